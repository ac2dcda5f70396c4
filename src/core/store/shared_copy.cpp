#include <string>
#include <vector>

#include "core/store/json_rows.h"
#include "core/store/sharing.h"

// The till's copy of the shop's shared data: its rows as JSON for the server, and the server's
// rows written into it.

namespace store {

std::string SharedRowsJson(Database& db, const SharedTable& table, const std::string& key) {
  std::string sql = "select " + std::string(table.columns) + " from ";
  if (table.name == "balance") {
    sql += "membermaster where memberid = ? limit 1";
  } else if (table.key.empty()) {
    sql += std::string(table.name) + " where ? is not null limit 1";
  } else {
    sql += std::string(table.name) + " where " + std::string(table.key) + " = ? order by rowid";
  }
  return RowsAsJson(db.handle(), sql, key, false);
}

void ForEachSharedKey(Database& db, const SharedTable& table,
                      const std::function<void(const std::string&, const std::string&)>& each) {
  const std::string name(table.name), key(table.key), columns(table.columns);
  std::string sql;
  if (name == "inventory") {
    sql =
        "select barcode as k,barcode,sum(ifnull(quantity,0)) as quantity from inventory "
        "where barcode is not null group by barcode";
  } else if (name == "balance") {
    sql =
        "select memberid as k,memberid,ifnull(depositvalue,0) as depositvalue,"
        "ifnull(memberpointsvalue,0) as memberpointsvalue from membermaster "
        "where memberid is not null group by memberid";
  } else if (key.empty()) {
    sql = "select '' as k," + columns + " from " + name + " limit 1";
  } else {
    sql = "select " + key + " as k," + columns + " from " + name + " where " + key +
          " is not null order by " + key + ",rowid";
  }
  Statement rows = db.Query(sql);
  std::string current, json;
  bool any = false;
  while (rows.Step()) {
    std::string row_key = rows.Text(0);
    if (any && row_key != current) {
      each(current, json + "]");
      json.clear();
    }
    json += json.empty() ? "[" : ",";
    AppendRowAsJson(json, rows.raw(), 1);
    current = std::move(row_key);
    any = true;
  }
  if (any) each(current, json + "]");
}

std::int64_t ReplicaSeq(Database& db, std::string_view table, const std::string& key) {
  return db.QueryInt("select seq from replica where tbl = ? and key = ?", table, key).value_or(0);
}

PullState ReadPullState(Database& db) {
  Statement row =
      db.Query("select ifnull(pulledseq,0),ifnull(lastpulled,'') from serverlink limit 1");
  if (!row.Step()) return {};
  return {row.Int(0), row.Text(1)};
}

void WritePullState(Database& db, std::int64_t seq, const std::string& when) {
  db.Exec("update serverlink set pulledseq = ?,lastpulled = ?", seq, when);
}

SharedRowWriter::SharedRowWriter(Database& db) : db_(db), local_(db) {}

Statement& SharedRowWriter::Prepared(const std::string& sql) {
  auto found = statements_.find(sql);
  if (found == statements_.end()) {
    found = statements_.emplace(sql, std::make_unique<Statement>(db_.handle(), sql)).first;
  }
  found->second->Reset();
  return *found->second;
}

void SharedRowWriter::ClearAll() {
  for (const SharedTable& table : SharedTables()) {
    if (table.name == "balance" || table.key.empty()) continue;
    // Rows without a key are never shared (nothing could look them up); they stay as they are.
    db_.Exec("delete from " + std::string(table.name) + " where " + std::string(table.key) +
             " is not null");
  }
  db_.Exec("delete from replica");
  cleared_ = true;
}

void SharedRowWriter::Apply(std::string_view table_name, const std::string& key,
                            const std::string& rows_json, std::int64_t seq) {
  const SharedTable* table = FindSharedTable(table_name);
  if (table == nullptr) return;
  const std::string name(table->name);
  if (!cleared_ && ReplicaSeq(db_, name, key) >= seq) return;
  // Table and column names come from the fixed table list; the rows are bound as JSON.
  const std::vector<std::string_view> columns = ColumnsOf(*table);
  std::string list, values;
  for (std::string_view column : columns) {
    if (!list.empty()) {
      list += ',';
      values += ',';
    }
    list += column;
    values += "json_extract(value,'$." + std::string(column) + "')";
  }
  if (name == "balance") {
    Statement& update = Prepared(
        "update membermaster set depositvalue = json_extract(?1,'$[0].depositvalue'),"
        "memberpointsvalue = json_extract(?1,'$[0].memberpointsvalue') where memberid = ?2");
    update.BindAll(rows_json, key);
    update.Run();
  } else if (table->key.empty()) {
    std::string sql = "update " + name + " set ";
    for (std::size_t i = 0; i < columns.size(); ++i) {
      if (i > 0) sql += ',';
      sql += std::string(columns[i]) + " = json_extract(?1,'$[0]." + std::string(columns[i]) + "')";
    }
    Statement& update = Prepared(sql + " where json_array_length(?1) > 0");
    update.BindAll(rows_json);
    update.Run();
  } else {
    const std::string key_column(table->key);
    double deposit = 0, points = 0;
    const bool member = name == "membermaster";
    if (!cleared_) {
      if (member) {
        Statement& old = Prepared(
            "select ifnull(depositvalue,0),ifnull(memberpointsvalue,0) from membermaster "
            "where memberid = ? limit 1");
        old.BindAll(key);
        if (old.Step()) {
          deposit = old.Double(0);
          points = old.Double(1);
        }
        old.Reset();
      }
      Statement& remove = Prepared("delete from " + name + " where " + key_column + " = ?");
      remove.BindAll(key);
      remove.Run();
    }
    Statement& insert = member ? Prepared("insert into membermaster (" + list +
                                          ",depositvalue,memberpointsvalue) "
                                          "select " +
                                          values + ",?2,?3 from json_each(?1)")
                               : Prepared("insert into " + name + " (" + list + ") select " +
                                          values + " from json_each(?1)");
    if (member) {
      insert.BindAll(rows_json, deposit, points);
    } else {
      insert.BindAll(rows_json);
    }
    insert.Run();
  }
  Statement& replica = Prepared("insert or replace into replica (tbl,key,seq) values (?,?,?)");
  replica.BindAll(name, key, seq);
  replica.Run();
}

}  // namespace store
