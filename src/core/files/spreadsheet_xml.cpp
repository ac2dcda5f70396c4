#include "core/files/spreadsheet_xml.h"

#include <expat.h>

#include <cstring>
#include <memory>

#include "core/common/error.h"

namespace files {
namespace {

constexpr char kNamespaceEnd = '|';
constexpr const char* kUnreadable = "打开文件错误";

// Thrown past the archive's reading to end it when a handler stopped early.
struct StoppedEarly {};

struct ParserFree {
  void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};

}  // namespace

std::string_view LocalName(std::string_view name) {
  const std::size_t end = name.rfind(kNamespaceEnd);
  return end == std::string_view::npos ? name : name.substr(end + 1);
}

std::string_view XmlPart::Attributes::Get(std::string_view name) const {
  for (const char** at = list_; at[0] != nullptr; at += 2) {
    if (LocalName(at[0]) == name) return at[1];
  }
  return {};
}

std::string_view XmlPart::Attributes::Get(std::string_view name, std::string_view space) const {
  for (const char** at = list_; at[0] != nullptr; at += 2) {
    const std::string_view full = at[0];
    if (full.size() == space.size() + 1 + name.size() && full.starts_with(space) &&
        full[space.size()] == kNamespaceEnd && full.ends_with(name)) {
      return at[1];
    }
  }
  return {};
}

bool XmlPart::Attributes::Has(std::string_view name) const {
  for (const char** at = list_; at[0] != nullptr; at += 2) {
    if (LocalName(at[0]) == name) return true;
  }
  return false;
}

bool XmlPart::Attributes::AnyIs(std::string_view name, std::string_view value) const {
  for (const char** at = list_; at[0] != nullptr; at += 2) {
    if (LocalName(at[0]) == name && value == at[1]) return true;
  }
  return false;
}

void XmlPart::Refuse(std::string message) {
  if (refusal_.empty()) refusal_ = std::move(message);
  XML_StopParser(static_cast<XML_Parser>(parser_), XML_FALSE);
}

void XmlPart::Stop() {
  stopped_ = true;
  XML_StopParser(static_cast<XML_Parser>(parser_), XML_FALSE);
}

template <typename Handler>
void XmlPart::Guarded(void* self, Handler&& handler) {
  auto* part = static_cast<XmlPart*>(self);
  if (part->failure_) return;
  try {
    handler(*part);
  } catch (...) {
    part->failure_ = std::current_exception();
    XML_StopParser(static_cast<XML_Parser>(part->parser_), XML_FALSE);
  }
}

void XmlPart::OnStart(void* self, const char* name, const char** attributes) {
  Guarded(self, [&](XmlPart& part) { part.Start(LocalName(name), Attributes(attributes)); });
}

void XmlPart::OnEnd(void* self, const char* name) {
  Guarded(self, [&](XmlPart& part) { part.End(LocalName(name)); });
}

void XmlPart::OnText(void* self, const char* text, int size) {
  Guarded(self, [&](XmlPart& part) {
    part.Text(std::string_view(text, static_cast<std::size_t>(size)));
  });
}

void XmlPart::OnDoctype(void* self, const char*, const char*, const char*, int) {
  static_cast<XmlPart*>(self)->Refuse(kUnreadable);
}

void XmlPart::ReadFrom(const ZipArchive& archive, std::string_view part, const Progress& progress) {
  std::unique_ptr<XML_ParserStruct, ParserFree> parser(XML_ParserCreateNS(nullptr, kNamespaceEnd));
  if (!parser) throw kasso::UserError(kUnreadable);
  parser_ = parser.get();
  failure_ = nullptr;
  refusal_.clear();
  stopped_ = false;
  XML_SetUserData(parser.get(), this);
  XML_SetElementHandler(parser.get(), OnStart, OnEnd);
  XML_SetCharacterDataHandler(parser.get(), OnText);
  XML_SetStartDoctypeDeclHandler(parser.get(), OnDoctype);
  // A refusal or broken XML ends the reading at once, without inflating the rest.
  auto feed = [&](std::string_view piece, bool last) {
    if (XML_Parse(parser.get(), piece.data(), static_cast<int>(piece.size()), last ? 1 : 0) !=
        XML_STATUS_OK) {
      if (failure_) std::rethrow_exception(failure_);
      if (stopped_ && refusal_.empty()) throw StoppedEarly();
      throw kasso::UserError(refusal_.empty() ? kUnreadable : refusal_);
    }
  };
  try {
    archive.Read(
        part, [&](std::string_view piece) { feed(piece, false); }, progress);
    feed({}, true);
  } catch (const StoppedEarly&) {
  }
}

}  // namespace files
