#pragma once

#include <string>
#include <string_view>

namespace app {

// The package the till is installed from.
inline constexpr std::string_view kPackageName = "tillwise";

// What the package archive says about the till's package.
enum class UpdateState {
  kNoSource,      // no archive offers the package (only the installed copy is known, or nothing)
  kNotInstalled,  // an archive offers it, but this till was not installed as a package
  kUpToDate,      // the archive's version is the installed one
  kNewer,         // the archive offers another version: the one apt would install
};

struct UpdateCheck {
  UpdateState state = UpdateState::kNoSource;
  std::string installed;  // empty when not installed as a package
  std::string candidate;  // empty when no version is offered
};

// Reads the output of `apt-cache policy tillwise` (in the C locale): "Installed:",
// "Candidate:" and the sources of the version table. Anything else, an empty text included
// (apt-cache missing, the package unknown), reads as no source.
UpdateCheck ParseAptPolicy(std::string_view text);

}  // namespace app
