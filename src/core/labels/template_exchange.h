#pragma once

#include <filesystem>

#include "core/store/database.h"

namespace labels {

// labelprint.db beside kasso.db: the file that carries label templates between tills.
std::filesystem::path TemplateExchangeFile();

// Replaces the templates in the exchange file with every row of labeltemplate, creating the
// file when it is missing. One transaction: on any failure the file is as it was (and a file
// this call created is removed). Throws common::UserError with the reason.
void ExportTemplates(store::Database& db,
                     const std::filesystem::path& file = TemplateExchangeFile());

// Replaces every row of labeltemplate with the exchange file's rows, in one transaction; a
// file from an older till may lack the later columns, which then read as not set. A missing
// file, one without a template table, one holding no rows, or one with any value outside the
// designer's limits (a row without a known kind and field name included) is refused whole
// and changes nothing.
// Returns the rows read. Throws common::UserError.
int ImportTemplates(store::Database& db,
                    const std::filesystem::path& file = TemplateExchangeFile());

}  // namespace labels
