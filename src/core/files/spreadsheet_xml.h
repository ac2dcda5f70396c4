#pragma once

// Reads one XML part of a workbook as a stream of elements (expat underneath): memory stays
// that of the element being read, however long the part. Names are given without their
// namespace ("c", "table-cell"); workbooks name their elements with varying prefixes.

#include <exception>
#include <string>
#include <string_view>

#include "core/files/progress.h"
#include "core/files/spreadsheet_zip.h"

namespace files {

class XmlPart {
 public:
  virtual ~XmlPart() = default;

  // Reads the named part of the archive through the handlers below. Throws
  // kasso::UserError("打开文件错误") for broken XML or a document type declaration (no
  // workbook has one; entities could make a small part huge), the message given to Refuse,
  // and Cancelled.
  void ReadFrom(const ZipArchive& archive, std::string_view part, const Progress& progress = {});

 protected:
  // The attributes of the element being started, as expat gives them: name, value, ....
  class Attributes {
   public:
    explicit Attributes(const char** list) : list_(list) {}
    // The value of the attribute of that name (without namespace), empty when absent.
    std::string_view Get(std::string_view name) const;
    // The same of the attribute of that name in that namespace.
    std::string_view Get(std::string_view name, std::string_view space) const;
    bool Has(std::string_view name) const;
    // Whether any attribute of that name, in whatever namespace, has that value.
    bool AnyIs(std::string_view name, std::string_view value) const;

   private:
    const char** list_;
  };

  virtual void Start(std::string_view name, const Attributes& attributes) = 0;
  virtual void End(std::string_view name) = 0;
  virtual void Text(std::string_view text) = 0;
  // Stops reading; ReadFrom then throws kasso::UserError(message). An exception a handler
  // throws (a row handed on and refused, say) is held while the C parser underneath unwinds
  // and thrown again by ReadFrom.
  void Refuse(std::string message);
  // Stops reading early; ReadFrom returns as if the part had ended.
  void Stop();

 private:
  static void OnStart(void* self, const char* name, const char** attributes);
  static void OnEnd(void* self, const char* name);
  static void OnText(void* self, const char* text, int size);
  static void OnDoctype(void* self, const char*, const char*, const char*, int);

  // Runs a handler, holding what it throws and stopping the parser.
  template <typename Handler>
  static void Guarded(void* self, Handler&& handler);

  void* parser_ = nullptr;
  std::exception_ptr failure_;
  std::string refusal_;
  bool stopped_ = false;
};

// The name without its namespace: "urn:...:table:1.0|table-cell" gives "table-cell".
std::string_view LocalName(std::string_view name);

}  // namespace files
