#include "core/serversync/head_office.h"

#include <optional>
#include <vector>

#include "core/common/error.h"
#include "core/serversync/pg.h"
#include "core/store/outbox.h"
#include "core/store/schema.h"

namespace serversync {
namespace {

// $1 start, $2 end, $3 this till's id, $4 the scope's word.
constexpr const char* kScope =
    " and ($4 = 'all' or ($4 = 'till' and t.till_id = $3::uuid) or ($4 = 'shop' and "
    "t.shop_id = (select shop_id from tills where till_id = $3::uuid)))";

constexpr const char* kJournalColumns =
    "transactionnumber,transactiontype,transactiondatetime,quantity,price,actualvalue,"
    "discountrate,discountvalue,barcode,workno,shiftid,memberid,paid,change,cardpaid,wipevalue,"
    "valuediscount,pricediscount,checkpaid,unionpaid";

// Which columns of a copied row hold numbers (bound as numbers, so sums read them as SQLite
// would have stored them).
void CopyRows(PgResult& rows, store::Database& target, const std::string& insert,
              const std::vector<bool>& numeric) {
  store::Statement statement = target.Query(insert);
  for (int row = 0; row < rows.Rows(); ++row) {
    statement.Reset();
    for (int column = 0; column < static_cast<int>(numeric.size()); ++column) {
      if (rows.IsNull(row, column)) {
        statement.Bind(column + 1, nullptr);
      } else if (numeric[static_cast<std::size_t>(column)]) {
        statement.Bind(column + 1, rows.Double(row, column));
      } else {
        statement.Bind(column + 1, rows.Text(row, column));
      }
    }
    statement.Run();
  }
}

const char* ScopeWord(HeadOfficeScope scope) {
  switch (scope) {
    case HeadOfficeScope::kThisTill:
      return "till";
    case HeadOfficeScope::kThisShop:
      return "shop";
    case HeadOfficeScope::kAllShops:
      return "all";
  }
  return "till";
}

void CopyFromServer(PgConnection& conn, const store::ServerLink& link, HeadOfficeScope scope,
                    const std::string& start, const std::string& end, store::Database& target) {
  const std::vector<PgValue> values = {start, end, link.till_id, ScopeWord(scope)};
  PgResult journal = conn.Exec(std::string("select ") + kJournalColumns +
                                   " from journal j join tills t using (till_id) "
                                   "where j.transactiondatetime >= $1 and "
                                   "j.transactiondatetime <= $2" +
                                   kScope,
                               values);
  CopyRows(journal, target,
           std::string("insert into transactiondetails (") + kJournalColumns +
               ") values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
           {true, false, false, true, true, true, true, true, false, false,
            true, false, true,  true, true, true, true, true, true,  true});

  // The bills and stocktakes: their rows are read out of the records' payloads.
  struct Bak {
    const char* kind;
    const char* table;
    const char* columns;
    const char* types;  // for jsonb_to_recordset
    std::vector<bool> numeric;
  };
  const Bak baks[] = {
      {"purchase",
       "importbak",
       "barcode,quantity,importprice,importvalue,confirmdate",
       "barcode text,quantity float8,importprice float8,importvalue float8,confirmdate text",
       {false, true, true, true, false}},
      {"return",
       "returnbak",
       "barcode,quantity,returnprice,returnvalue,confirmdate",
       "barcode text,quantity float8,returnprice float8,returnvalue float8,confirmdate text",
       {false, true, true, true, false}},
      {"stocktake",
       "invcountbak",
       "barcode,accquant,invquant,plquant,confirmdate",
       "barcode text,accquant float8,invquant float8,plquant float8,confirmdate text",
       {false, true, true, true, false}},
  };
  for (const Bak& bak : baks) {
    std::vector<PgValue> with_kind = values;
    with_kind.emplace_back(bak.kind);
    PgResult rows =
        conn.Exec(std::string("select x.* from records r join tills t using (till_id) "
                              "cross join lateral jsonb_to_recordset(r.payload) as x(") +
                      bak.types +
                      ") where r.kind = $5 and x.confirmdate >= $1 and "
                      "x.confirmdate <= $2" +
                      kScope,
                  with_kind);
    CopyRows(rows, target,
             std::string("insert into ") + bak.table + " (" + bak.columns + ") values (?,?,?,?,?)",
             bak.numeric);
  }
}

}  // namespace

void BuildHeadOfficeFile(store::Database& local, HeadOfficeScope scope, const std::string& start,
                         const std::string& end, const std::filesystem::path& target) {
  std::optional<store::ServerLink> link = store::ReadServerLink(local);
  if (!link) throw kasso::UserError("本机尚未加入总部服务器");
  std::error_code ignored;
  std::filesystem::remove(target, ignored);
  try {
    store::CreateNewDatabase(target);
    store::Database copy(target);
    copy.ExecScript("pragma synchronous = off");
    // Names and prices as this till knows them: the shop's tills share their goods.
    const char* local_file = sqlite3_db_filename(local.handle(), "main");
    copy.Exec("attach database ? as till", local_file != nullptr ? local_file : "");
    store::Transaction tx(copy);
    copy.ExecScript("delete from goodsmaster; delete from membermaster; delete from inventory");
    copy.ExecScript(
        "insert into goodsmaster (barcode,goodsname,importprice,averageimportprice) "
        "select barcode,goodsname,importprice,averageimportprice from till.goodsmaster;"
        "insert into membermaster (memberid,membername) "
        "select memberid,membername from till.membermaster;"
        "insert into operatormaster (workno,operatorname) "
        "select workno,operatorname from till.operatormaster "
        "where workno not in (select workno from operatormaster)");
    PgConnection conn(link->conninfo);
    CopyFromServer(conn, *link, scope, start, end, copy);
    tx.Commit();
    copy.ExecScript("detach database till");
  } catch (...) {
    std::filesystem::remove(target, ignored);
    throw;
  }
}

}  // namespace serversync
