#include "core/app/update_check.h"

#include <sstream>

#include "core/common/format.h"

namespace app {
namespace {

// apt writes "(none)" where there is no version.
std::string VersionField(const std::string& value) { return value == "(none)" ? "" : value; }

size_t Indent(const std::string& line) {
  size_t indent = line.find_first_not_of(' ');
  return indent == std::string::npos ? line.size() : indent;
}

}  // namespace

UpdateCheck ParseAptPolicy(std::string_view text) {
  UpdateCheck check;
  bool in_table = false;
  bool from_archive = false;
  size_t version_indent = std::string::npos;
  std::istringstream lines{std::string(text)};
  for (std::string line; std::getline(lines, line);) {
    std::string trimmed = common::Trim(line);
    if (trimmed.starts_with("Installed:")) {
      check.installed = VersionField(common::Trim(trimmed.substr(10)));
    } else if (trimmed.starts_with("Candidate:")) {
      check.candidate = VersionField(common::Trim(trimmed.substr(10)));
    } else if (trimmed == "Version table:") {
      in_table = true;
    } else if (in_table && !trimmed.empty()) {
      // Version lines (" *** 1.0.3 100") carry the sources that offer them, indented deeper.
      // An archive is a URI ("500 http://...", "500 file:/srv/archive ..."); the installed
      // copy is listed as a plain path, dpkg's status file.
      size_t indent = trimmed.starts_with("***") ? line.find("***") : Indent(line);
      if (version_indent == std::string::npos || indent <= version_indent) {
        version_indent = indent;
        continue;
      }
      size_t space = trimmed.find(' ');
      std::string source = space == std::string::npos ? "" : common::Trim(trimmed.substr(space));
      std::string location = source.substr(0, source.find(' '));
      if (location.find(':') != std::string::npos) from_archive = true;
    }
  }
  if (check.candidate.empty() || !from_archive) {
    check.state = UpdateState::kNoSource;
  } else if (check.installed.empty()) {
    check.state = UpdateState::kNotInstalled;
  } else if (check.installed == check.candidate) {
    check.state = UpdateState::kUpToDate;
  } else {
    check.state = UpdateState::kNewer;
  }
  return check;
}

}  // namespace app
