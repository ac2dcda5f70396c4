#include "core/labels/template_exchange.h"

#include <array>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "core/common/error.h"
#include "core/labels/template_limits.h"

namespace labels {
namespace {

constexpr std::array<const char*, 20> kColumns = {
    "tempname",    "cx",         "cy",           "fontsize",         "visible",
    "labelkind",   "labelwidth", "labelheight",  "itemwidth",        "paperkind",
    "printername", "columns",    "betweenspace", "leftspace",        "repeat",
    "printkind",   "classname",  "topspace",     "linebetweenspace", "printtitle"};

constexpr const char* kCreateTable =
    "CREATE TABLE labeltemplate (tempname text,cx integer,cy integer,fontsize text,"
    "visible integer,labelkind text,labelwidth integer,labelheight integer,itemwidth integer,"
    "paperkind text,printername text,columns integer,betweenspace integer,leftspace integer,"
    "repeat integer,printkind text,classname text,topspace integer,linebetweenspace integer,"
    "printtitle integer)";

// Where the field's name and the label kind stand in kColumns.
constexpr size_t kTempname = 0;
constexpr size_t kLabelkind = 5;

// One row as stored; values travel as text and the columns' types turn them back into
// numbers, while NULL stays NULL.
using Row = std::array<std::optional<std::string>, kColumns.size()>;

std::string InsertSql() {
  std::string sql = "insert into labeltemplate (";
  std::string marks;
  for (const char* column : kColumns) {
    if (!marks.empty()) {
      sql += ",";
      marks += ",";
    }
    sql += column;
    marks += "?";
  }
  return sql + ") values (" + marks + ")";
}

// Reads every row, naming the columns the table lacks as NULL; the names come from kColumns.
std::vector<Row> ReadRows(store::Database& db) {
  std::set<std::string> present;
  store::Statement info = db.Query("pragma table_info(labeltemplate)");
  while (info.Step()) present.insert(info.Text(1));
  std::string select;
  for (const char* column : kColumns) {
    select += select.empty() ? "select " : ",";
    select += present.count(column) ? column : "null";
  }
  std::vector<Row> rows;
  store::Statement statement = db.Query(select + " from labeltemplate order by rowid");
  while (statement.Step()) {
    Row row;
    for (size_t i = 0; i < kColumns.size(); ++i) {
      if (!statement.IsNull(static_cast<int>(i))) row[i] = statement.Text(static_cast<int>(i));
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

// Refuses a file with any value the designer could not have stored, naming the row by its
// label kind and field.
void CheckRows(const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    for (size_t i = 0; i < kColumns.size(); ++i) {
      // A column an older till did not have, or left empty, reads as its default; a row
      // must still say which field of which kind it is.
      if (!row[i] && i != kTempname && i != kLabelkind) continue;
      try {
        CheckTemplateValue(kColumns[i], row[i].value_or(""));
      } catch (const common::UserError& error) {
        throw common::UserError("模板文件有误,没有导入(" + row[kLabelkind].value_or("") + " " +
                                row[kTempname].value_or("") + "): " + error.what());
      }
    }
  }
}

void WriteRows(store::Database& db, const std::vector<Row>& rows) {
  store::Statement insert = db.Query(InsertSql());
  for (const Row& row : rows) {
    insert.Reset();
    for (size_t i = 0; i < row.size(); ++i) {
      if (row[i]) {
        insert.Bind(static_cast<int>(i + 1), *row[i]);
      } else {
        insert.Bind(static_cast<int>(i + 1), nullptr);
      }
    }
    insert.Run();
  }
}

}  // namespace

std::filesystem::path TemplateExchangeFile() { return store::DataDirectory() / "labelprint.db"; }

void ExportTemplates(store::Database& db, const std::filesystem::path& file) {
  const bool existed = std::filesystem::exists(file);
  try {
    const std::vector<Row> rows = ReadRows(db);
    store::Database exchange(file, store::OpenMode::kCreate);
    store::Transaction tx(exchange);
    exchange.ExecScript("drop table if exists labeltemplate");
    exchange.ExecScript(kCreateTable);
    WriteRows(exchange, rows);
    tx.Commit();
  } catch (const store::DbError& error) {
    if (!existed) {
      std::error_code ignored;
      std::filesystem::remove(file, ignored);
    }
    throw common::UserError("模板导出失败,模板文件没有改动: " + std::string(error.what()));
  }
}

int ImportTemplates(store::Database& db, const std::filesystem::path& file) {
  if (!std::filesystem::is_regular_file(file)) {
    throw common::UserError("找不到模板文件 " + file.string());
  }
  std::vector<Row> rows;
  try {
    store::Database exchange(file);
    if (!exchange.HasRow("select 1 from sqlite_master where type = 'table' and name = ?",
                         "labeltemplate")) {
      throw common::UserError("模板文件中没有标签模板");
    }
    rows = ReadRows(exchange);
  } catch (const store::DbError& error) {
    throw common::UserError("模板文件无法读取: " + std::string(error.what()));
  }
  if (rows.empty()) throw common::UserError("模板文件中没有标签模板");
  CheckRows(rows);
  try {
    store::Transaction tx(db);
    db.Exec("delete from labeltemplate");
    WriteRows(db, rows);
    tx.Commit();
  } catch (const store::DbError& error) {
    throw common::UserError("模板导入失败,原模板没有改动: " + std::string(error.what()));
  }
  return static_cast<int>(rows.size());
}

}  // namespace labels
