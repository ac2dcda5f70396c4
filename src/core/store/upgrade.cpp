#include "core/store/upgrade.h"

#include <array>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace store {
namespace {

// What a schema statement adds: a table, a column of a table, or an index on a table.
struct Addition {
  enum class Kind { kNone, kTable, kColumn, kIndex };
  Kind kind = Kind::kNone;
  std::string table;
  std::string name;  // the column or index
};

// One statement of a group. A schema statement is skipped when what it adds is there already;
// any other statement changes data.
struct Step {
  std::function<void(Database&)> run;
  Addition adds;
};
using Group = std::vector<Step>;

// Reads what a statement of the fixed list below adds from its own words.
Addition AdditionOf(const std::string& sql) {
  std::istringstream words(sql);
  std::vector<std::string> w;
  for (std::string word; w.size() < 8 && words >> word;) w.push_back(word);
  auto bare = [](std::string word) { return word.substr(0, word.find('(')); };
  if (w.size() >= 5 && w[0] == "alter" && w[1] == "table" && w[3] == "add") {
    return {Addition::Kind::kColumn, w[2], w[4]};
  }
  if (w.size() >= 3 && w[0] == "create" && w[1] == "table") {
    return {Addition::Kind::kTable, bare(w[2]), {}};
  }
  if (w.size() >= 8 && w[0] == "create" && w[1] == "index" && w[6] == "on") {
    return {Addition::Kind::kIndex, w[7], w[5]};
  }
  return {};
}

Step Sql(std::string text) {
  Addition adds = AdditionOf(text);
  return {[text = std::move(text)](Database& db) { db.ExecScript(text); }, std::move(adds)};
}

Step Data(std::function<void(Database&)> run) { return {std::move(run), {}}; }

bool TableExists(Database& db, const std::string& table) {
  return db.HasRow("select 1 from sqlite_master where type = 'table' and lower(name) = lower(?)",
                   table);
}

// True when the statement has nothing to add: its table, column or index is there, or the
// table it would add to is missing from an odd old file.
bool NothingToAdd(Database& db, const Addition& adds) {
  switch (adds.kind) {
    case Addition::Kind::kNone:
      return false;
    case Addition::Kind::kTable:
      return TableExists(db, adds.table);
    case Addition::Kind::kColumn:
      return !TableExists(db, adds.table) ||
             db.HasRow("select 1 from pragma_table_info(?) where lower(name) = lower(?)",
                       adds.table, adds.name);
    case Addition::Kind::kIndex:
      return !TableExists(db, adds.table) ||
             db.HasRow("select 1 from sqlite_master where type = 'index' and name = ?", adds.name);
  }
  return false;
}

// One field of a shipped label layout: where it sits (design pixels, 5 per mm), its font
// size, how long it prints (mm) and whether it is shown.
struct LabelField {
  const char* name;
  int cx;
  int cy;
  const char* font;
  int itemwidth;
  bool visible;
};

constexpr std::array<const char*, 7> kLabelItems = {"商品条码", "商品名称", "单位",   "类别",
                                                    "售价",     "是否称重", "PLU编号"};

// Inserts the default fields of one label kind unless that kind already has rows.
Step DefaultLabelRows(std::string kind, int width, int height, std::array<LabelField, 7> fields) {
  return Data([=](Database& db) {
    if (db.HasRow("select * from labeltemplate where labelkind = ?", kind)) return;
    for (const LabelField& field : fields) {
      db.Exec(
          "insert into labeltemplate (tempname,cx,cy,fontsize,visible,labelkind,"
          "labelwidth,labelheight,itemwidth) values (?,?,?,?,?,?,?,?,?)",
          field.name, field.cx, field.cy, field.font, field.visible ? 1 : 0, kind, width, height,
          field.itemwidth);
    }
  });
}

// The first label table: seven items for each kind, all at one spot.
Step FirstLabelRows() {
  return Data([](Database& db) {
    for (const char* kind : {"货架签", "商品签"}) {
      bool shelf = std::string(kind) == "货架签";
      for (const char* item : kLabelItems) {
        db.Exec(
            "insert into labeltemplate (tempname,cx,cy,fontsize,visible,labelkind,"
            "labelwidth,labelheight) values (?,10,20,'中',1,?,?,?)",
            item, kind, shelf ? 60 : 32, shelf ? 35 : 19);
      }
    }
  });
}

std::vector<Group> UpgradeGroups() {
  const Step scale_defaults = Data([](Database& db) {
    db.Exec("update management set scaleip = ?,scalekind = ''", kDefaultScaleAddress);
  });
  const Step drawer_default = Data([](Database& db) {
    db.Exec("update management set opencashiercmd = ?", kDefaultDrawerCommand);
  });
  std::vector<Group> groups = {
      /* 1 */ {Sql("create table deposit (memberid text,depositvalue real,confirmdate text)")},
      /* 2 */
      {Sql("create table depositbak (memberid text,depositvalue real,confirmdate text)")},
      /* 3 */ {Sql("alter table management add opencashiercmd text"), drawer_default},
      /* 4 */
      {Sql("alter table management add priceforcost text"),
       Sql("update management set priceforcost = 'averageprice'")},
      /* 5 */
      {Sql("alter table goodsmaster add averageimportprice real"),
       Sql("update goodsmaster set averageimportprice = 0")},
      /* 6 */
      {Sql("alter table import add importprice real"), Sql("update import set importprice = 0")},
      /* 7 */
      {Sql("alter table importbak add importprice real"),
       Sql("update importbak set importprice = 0")},
      /* 8 */
      {Sql("alter table return add returnprice real"), Sql("update return set returnprice = 0")},
      /* 9 */
      {Sql("alter table returnbak add returnprice real"),
       Sql("update returnbak set returnprice = 0")},
      /* 10 */
      {Sql("alter table dutyrights add DataClear int"), Sql("update dutyrights set DataClear = 0")},
      /* 11 */
      {Sql("alter table goodsmaster add isscalegoods text"),
       Sql("alter table goodsmaster add pluno int"),
       Sql("update goodsmaster set isscalegoods = '否',pluno = 0")},
      /* 12 */
      {Sql("alter table management add scaleip text"),
       Sql("alter table management add scalekind text"), scale_defaults},
      /* 13 */
      {Sql("alter table management add usescalefront text"),
       Sql("update management set usescalefront = '否'")},
      /* 14 */
      {Sql("alter table management add usecomscale text"),
       Sql("update management set usecomscale = '否'")},
      /* 15 */
      {Sql("alter table management add comscaleport text"),
       Sql("update management set comscaleport = 'com2'")},
      /* 16 */
      {Sql("alter table management add useitemlibrary text"),
       Sql("update management set useitemlibrary = '是'")},
      /* 17 */
      {Sql("alter table management add emptylines int"),
       Sql("update management set emptylines = 3")},
      /* 18 */
      {Sql("create table labeltemplate (tempname text,cx integer,cy integer,fontsize text,"
           "visible integer,labelkind text,labelwidth integer,labelheight integer)"),
       FirstLabelRows(), Sql("create table itemtemp (barcode text)")},
      /* 19 */
      {Sql("alter table goodsmaster add iniinventory real"),
       Sql("update goodsmaster set iniinventory = 0")},
      /* 20 */
      {Sql("alter table dutyrights add BaseInfo int"), Sql("update dutyrights set baseinfo = 1")},
      /* 21: every goods row gets a stock row; runs every time */
      {Sql("insert into inventory (barcode,quantity) select barcode,0 from goodsmaster "
           "where barcode not in (select barcode from inventory where barcode is not null)")},
      /* 22 */
      {Sql("alter table shiftsum add PettyValue real"), Sql("update shiftsum set pettyvalue = 0")},
      /* 23 */
      {Sql("alter table management add wipevalue int"), Sql("update management set wipevalue=2")},
      /* 24 */
      {Sql("alter table transactiondetails add wipevalue real"),
       Sql("update transactiondetails set wipevalue=0")},
      /* 25 */
      {Sql("alter table shiftsum add wipevalue real"), Sql("update shiftsum set wipevalue=0")},
      /* 26 */
      {Sql("alter table membermaster add dismode text"),
       Sql("update membermaster set dismode = '没有优惠'")},
      /* 27 */
      {Sql("alter table membermaster add disrate real"),
       Sql("update membermaster set disrate = 1")},
      /* 28 */
      {Sql("alter table goodsmaster add memberprice real"),
       Sql("update goodsmaster set memberprice = salesprice")},
      /* 29 */
      {Sql("alter table labeltemplate add itemwidth int"),
       Sql("update labeltemplate set itemwidth = 10")},
      /* 30 */
      {DefaultLabelRows("货架签", 60, 35,
                        {{{"商品名称", 10, 5, "大", 56, true},
                          {"商品条码", 15, 40, "大", 30, true},
                          {"售价", 10, 95, "大", 30, true},
                          {"单位", 170, 95, "大", 24, true},
                          {"类别", 10, 135, "中", 22, true},
                          {"是否称重", 130, 135, "中", 14, true},
                          {"PLU编号", 210, 135, "中", 16, true}}})},
      /* 31: the goods label is too small for more than name, bars, price and unit to read */
      {DefaultLabelRows("商品签", 32, 19,
                        {{{"商品名称", 5, 0, "中", 30, true},
                          {"商品条码", 5, 20, "中", 30, true},
                          {"售价", 5, 60, "中", 17, true},
                          {"单位", 95, 60, "中", 12, true},
                          {"类别", 5, 80, "小", 11, false},
                          {"是否称重", 65, 80, "小", 8, false},
                          {"PLU编号", 110, 80, "小", 9, false}}})},
      /* 32 */ {Sql("alter table dutyrights add OpenMoneyBox int")},
      /* 33 */ {Sql("alter table membermaster add DisOnDis text")},
      /* 34 */ {Sql("alter table transactiondetails add valuediscount real")},
      /* 35 */ {Sql("alter table shiftsum add valuediscount real")},
      /* 36 */
      {Sql("alter table management add basevalue int"), Sql("update management set basevalue = 1")},
      /* 37 */
      {Sql("alter table management add pointsvalue int"),
       Sql("update management set pointsvalue = 1")},
      /* 38 */ {Sql("alter table transactiondetails add pricediscount real")},
      /* 39 */ {Sql("alter table transactiondetails add checkpaid real")},
      /* 40 */ {Sql("alter table transactiondetails add unionpaid real")},
      /* 41 */ {Sql("alter table shiftsum add checkpaid real")},
      /* 42 */ {Sql("alter table shiftsum add unionpaid real")},
      /* 43 */
      {Sql("alter table goodsmaster add givepoints int"),
       Sql("update goodsmaster set givepoints = 1")},
      /* 44 */
      {Sql("alter table labeltemplate add paperkind text"),
       Sql("alter table labeltemplate add printername text"),
       Sql("alter table labeltemplate add columns integer"),
       Sql("alter table labeltemplate add betweenspace integer"),
       Sql("alter table labeltemplate add leftspace integer"),
       Sql("alter table labeltemplate add repeat integer"),
       Sql("alter table labeltemplate add printkind text"),
       Sql("alter table labeltemplate add classname text"),
       Sql("update goodsmaster set givepoints = 1")},
      /* 45 */
      {Sql("alter table labeltemplate add topspace integer"),
       Sql("alter table labeltemplate add linebetweenspace integer")},
      /* 46 */
      {Sql("alter table labeltemplate add printtitle integer"),
       Sql("update labeltemplate set printtitle =1")},
      /* 47 */
      {Sql("create table dailystatistics (barcode text,quantity real,actualvalue real,"
           "discountvalue real,returnquantity real,returnvalue real,costaverage real,"
           "profitaverage real,profitratioaverage real,costrecent real,profitrecent real,"
           "profitratiorecent real,salesdate text)"),
       Sql("alter table transactiondetails add salesdate text")},
      /* 48 */
      {Sql("alter table transactiondetails add roundoffvalue real"),
       Sql("alter table transactiondetails add salesdate text")},
      /* 49 */
      {Sql("create table combinedgoods (barcode text,underlyingcode text,quantity real)"),
       Sql("create table combinedgoodstemp (barcode text,underlyingcode text,quantity real)"),
       Sql("alter table goodsmaster add iscombined text"),
       Sql("create table pointsreturn (memberid text,giftrebate text,giftbarcode text,"
           "giftquantity real,rebaterate real,deductionpoints integer,workno text,"
           "transdate text)"),
       Sql("alter table dutyrights add pointsreturn integer")},
      /* 50 */
      {Sql("alter table import add importvalue real"),
       Sql("alter table importbak add importvalue real")},
      /* 51 */
      {Sql("create table transactionpendinglist (listnumber integer,barcode text,quantity real,"
           "frontprice real,frontdiscount real,memberid text,transdatetime text)")},
      /* 52 */ {Sql("create table memberbatchselect (memberid text)")},
      /* 53 */ {Sql("create table goodsbatchselect (barcode text,quantity integer)")},
      /* 54: runs every time */
      {Sql("update goodsmaster set averageimportprice = 0 where averageimportprice is null")},
      /* 55: runs every time */
      {Sql("update goodsmaster set iscombined = '否' where iscombined is null")},
      /* 56 */ {Sql("alter table transactionpendinglist add frontdisrate real")},
      /* 57: a return line keeps its amount, as a purchase line does */
      {Sql("alter table return add returnvalue real"),
       Sql("alter table returnbak add returnvalue real")},
      /* 58: records waiting for the shop server, and the till's link to it */
      {Sql("create table outbox (seq integer primary key,epoch text not null,kind text not null,"
           "localno text not null,payload text not null,queuedat text not null,sentat text)"),
       Sql("create table serverlink (tillid text,epoch text,conninfo text,shopname text,"
           "tillname text,place text,lastsent text,lasterror text)"),
       Sql("create index if not exists outbox_pending_idx on outbox (sentat,seq)")},
      /* 59: the audit trail; nothing in the program changes or deletes its rows */
      {Sql("create table auditlog (logtime text,workno text,action text,detail text,"
           "transactionnumber integer)"),
       Sql("create index auditlog_time_idx on auditlog (logtime)")},
      /* 60: wrong passwords in a row per account, and when the last one was typed */
      {Sql("create table loginthrottle (workno text,failures integer,lastfailure text)"),
       Sql("create unique index loginthrottle_workno_idx on loginthrottle (workno)")},
      /* 61: minutes without input before a cashier screen locks itself; 0 never */
      {Sql("alter table management add idlelockminutes int default 10")},
      /* 62: how many of the till's records the shop server holds aside as alarms */
      {Sql("alter table serverlink add alarms integer")},
      /* 63: the till's copy of the shop's shared data: each key's sequence on the server as
         last applied here, how far the copy has pulled, and the stock and balance moves a
         record carries */
      {Sql("create table replica (tbl text not null,key text not null,seq integer not null)"),
       Sql("create unique index replica_key_idx on replica (tbl,key)"),
       Sql("alter table serverlink add pulledseq integer"),
       Sql("alter table serverlink add lastpulled text"),
       Sql("alter table outbox add moves text")},
  };

  // Lookup indexes: every key and date range the program searches by, so that a lookup costs
  // the same at 200 000 goods as at 20. One group each, so a table missing from an odd old
  // file costs only its own index.
  constexpr std::array<std::array<const char*, 3>, 27> kIndexes = {{
      {"goodsmaster_barcode_idx", "goodsmaster", "barcode"},
      {"goodsmaster_class_idx", "goodsmaster", "class"},
      {"goodsmaster_name_idx", "goodsmaster", "goodsname"},
      {"goodsmaster_plu_idx", "goodsmaster", "isscalegoods,pluno"},
      {"inventory_barcode_idx", "inventory", "barcode"},
      {"transactiondetails_tranno_idx", "transactiondetails", "transactionnumber"},
      {"transactiondetails_datetime_idx", "transactiondetails", "transactiondatetime"},
      {"transactiondetails_type_idx", "transactiondetails", "transactiontype,shiftid"},
      {"membermaster_id_idx", "membermaster", "memberid"},
      {"membermaster_phone_idx", "membermaster", "memberphone"},
      {"membermaster_pid_idx", "membermaster", "memberpid"},
      {"import_barcode_idx", "import", "barcode"},
      {"importbak_barcode_idx", "importbak", "barcode"},
      {"importbak_date_idx", "importbak", "confirmdate"},
      {"return_barcode_idx", "return", "barcode"},
      {"returnbak_barcode_idx", "returnbak", "barcode"},
      {"returnbak_date_idx", "returnbak", "confirmdate"},
      {"invcount_barcode_idx", "invcount", "barcode"},
      {"invcountbak_date_idx", "invcountbak", "confirmdate"},
      {"transactionpendinglist_list_idx", "transactionpendinglist", "listnumber"},
      {"combinedgoods_barcode_idx", "combinedgoods", "barcode"},
      {"combinedgoodstemp_barcode_idx", "combinedgoodstemp", "barcode"},
      {"shiftsum_date_idx", "shiftsum", "shiftdate"},
      {"shiftsum_id_idx", "shiftsum", "shiftid"},
      {"pointsreturn_date_idx", "pointsreturn", "transdate"},
      {"depositbak_date_idx", "depositbak", "confirmdate"},
      {"depositbak_member_idx", "depositbak", "memberid"},
  }};
  for (const auto& [name, table, columns] : kIndexes) {
    groups.push_back({Sql(std::string("create index if not exists ") + name + " on " + table +
                          " (" + columns + ")")});
  }
  return groups;
}

}  // namespace

void UpgradeSchema(Database& db) {
  for (const Group& group : UpgradeGroups()) {
    // A group's default values belong to the run that adds its first table or column; a
    // group that adds nothing repairs data and runs every time.
    Transaction tx(db);
    bool adds_something = false;
    bool first_added = false;
    for (const Step& step : group) {
      if (step.adds.kind != Addition::Kind::kNone) {
        bool first = !adds_something;
        adds_something = true;
        if (NothingToAdd(db, step.adds)) continue;
        first_added = first_added || first;
      } else if (adds_something && !first_added) {
        continue;
      }
      step.run(db);
    }
    tx.Commit();
  }
}

}  // namespace store
