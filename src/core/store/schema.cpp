#include "core/store/schema.h"

#include <fcntl.h>
#include <unistd.h>

#include <system_error>

#include "core/common/password.h"
#include "core/store/legacy_text.h"
#include "core/store/outbox.h"
#include "core/store/upgrade.h"

namespace store {
namespace {

// Every table with every column the till reads or writes, in the column order the program
// relies on for positional inserts (labeltemplate above all).
constexpr const char* kBaseTables = R"sql(
create table management (printercontrol text, printerport text, printername text,
  displaycontrol text, displayport text, moneyboxcontrol text, printtimes integer, welcome text,
  bye text, scale text, scalesimple text, scalebarcode integer, scalevalue integer,
  opencashiercmd text, priceforcost text, scaleip text, scalekind text, usescalefront text,
  usecomscale text, comscaleport text, useitemlibrary text, emptylines int, wipevalue int,
  basevalue int, pointsvalue int);
create table operatormaster (workno text, operatorname text, operatorpassword text,
  operatorduty text);
create table dutyrights (operatorduty text, sales integer, operator integer,
  dutyrights integer, discount integer, settings integer, member integer, inventory integer,
  inquiry integer, dataclear integer, baseinfo integer, openmoneybox integer,
  pointsreturn integer);
create table labeltemplate (tempname text, cx integer, cy integer, fontsize text,
  visible integer, labelkind text, labelwidth integer, labelheight integer, itemwidth int,
  paperkind text, printername text, columns integer, betweenspace integer, leftspace integer,
  repeat integer, printkind text, classname text, topspace integer, linebetweenspace integer,
  printtitle integer);
create table itemlibrary (barcode text, goodsname text, unit text);
create unique index itemlibrary_idx on itemlibrary (barcode);
create table unitmaster (unitcode text, unitname text);
create table largeclassmaster (largeclasscode text, largeclassname text);
create table lockprocess (processname text, workno text, locktime text);
create table goodsmaster (barcode text, goodsname text, unit text, class text,
  salesprice real, memberprice real, importprice real, averageimportprice real,
  recordingdate text, isscalegoods text, pluno int, iniinventory real, givepoints int,
  iscombined text);
create table inventory (barcode text, quantity real);
create table combinedgoods (barcode text, underlyingcode text, quantity real);
create table combinedgoodstemp (barcode text, underlyingcode text, quantity real);
create table import (barcode text, quantity real, importprice real, importvalue real);
create table importbak (barcode text, quantity real, importprice real, importvalue real,
  confirmdate text);
create table return (barcode text, quantity real, returnprice real, returnvalue real);
create table returnbak (barcode text, quantity real, confirmdate text, returnprice real,
  returnvalue real);
create table invcount (barcode text, accquant real, invquant real, plquant real);
create table invcountbak (barcode text, accquant real, invquant real, plquant real,
  confirmdate text);
create table dailystatistics (barcode text, quantity real, actualvalue real,
  discountvalue real, returnquantity real, returnvalue real, costaverage real,
  profitaverage real, profitratioaverage real, costrecent real, profitrecent real,
  profitratiorecent real, salesdate text);
create table transactiondetails (transactionnumber integer, transactiontype text,
  transactiondatetime text, quantity real, price real, actualvalue real, discountrate real,
  discountvalue real, barcode text, workno text, shiftid integer, memberid text, paid real,
  change real, cardpaid real, wipevalue real, valuediscount real, pricediscount real,
  checkpaid real, unionpaid real, roundoffvalue real, salesdate text);
create table transactionpendinglist (listnumber integer, barcode text, quantity real,
  frontprice real, frontdiscount real, memberid text, transdatetime text, frontdisrate real);
create table shiftsum (shiftid integer, shiftdate text, workno text, billcount integer,
  salesquantity real, salesvalue real, discountvalue real, wipevalue real,
  valuediscount real, cardpaid real, cashpaid real, checkpaid real, unionpaid real,
  pettyvalue real);
create table membermaster (memberid text, membername text, membersex text, memberpid text,
  memberphone text, memberaddress text, memberpointsmode text, memberpointsvalue real,
  depositmode text, depositvalue real, memberpw text, dismode text, disrate real,
  disondis text, birthday text);
create table deposit (memberid text, depositvalue real, confirmdate text);
create table depositbak (memberid text, depositvalue real, confirmdate text);
create table pointsreturn (memberid text, giftrebate text, giftbarcode text,
  giftquantity real, rebaterate real, deductionpoints integer, workno text, transdate text);
create table itemtemp (barcode text);
create table goodsbatchselect (barcode text, quantity integer);
create table memberbatchselect (memberid text);
)sql";

void FlushToDisk(const std::filesystem::path& file) {
  int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw DbError("cannot flush " + file.string());
  int rc = ::fsync(fd);
  ::close(fd);
  if (rc != 0) throw DbError("cannot flush " + file.string());
}

}  // namespace

void CreateBaseTables(Database& db) { db.ExecScript(kBaseTables); }

void SeedNewDatabase(Database& db) {
  Transaction tx(db);
  db.Exec(
      "insert into operatormaster (workno,operatorname,operatorpassword,operatorduty) "
      "values ('0','管理员',?,'经理')",
      kasso::kDefaultPasswordHash);
  db.Exec(
      "insert into dutyrights (operatorduty,sales,operator,dutyrights,discount,settings,"
      "member,inventory,inquiry,dataclear,baseinfo,openmoneybox,pointsreturn) "
      "values ('经理',1,1,1,1,1,1,1,1,1,1,1,1)");
  // A cashier sells, gives discounts at the till, opens the drawer and looks up sales;
  // everything that changes master data, accounts or settings stays with the manager.
  db.Exec(
      "insert into dutyrights (operatorduty,sales,operator,dutyrights,discount,settings,"
      "member,inventory,inquiry,dataclear,baseinfo,openmoneybox,pointsreturn) "
      "values ('收银员',1,0,0,1,0,0,0,1,0,0,1,0)");
  // A till without devices: no receipt, no display, the drawer stays shut, no scale.
  // The three ports differ so the settings screen's conflict checks pass as shipped.
  db.Exec(
      "insert into management (printercontrol,printerport,printername,displaycontrol,"
      "displayport,moneyboxcontrol,printtimes,welcome,bye,scale,scalesimple,scalebarcode,"
      "scalevalue,opencashiercmd,priceforcost,scaleip,scalekind,usescalefront,usecomscale,"
      "comscaleport,useitemlibrary,emptylines,wipevalue,basevalue,pointsvalue) "
      "values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
      "不打印", "lpt1", "", "不显示", "com1", "不弹出", 1, "欢迎光临", "谢谢惠顾,欢迎再次光临",
      "否", "2", 5, 5, kDefaultDrawerCommand, "averageprice", kDefaultScaleAddress, "", "否", "否",
      "com2", "是", 3, 2, 1, 1);
  // The upgrade lays out the fields of both label kinds; give them the page settings a
  // label run reads, so the first print needs no setup.
  db.Exec(
      "update labeltemplate set paperkind = ifnull(paperkind,'标签纸'),"
      "printername = ifnull(printername,''), columns = ifnull(columns,1),"
      "betweenspace = ifnull(betweenspace,0), leftspace = ifnull(leftspace,0),"
      "repeat = ifnull(repeat,1), printkind = ifnull(printkind,'barcode'),"
      "classname = ifnull(classname,''), topspace = ifnull(topspace,0),"
      "linebetweenspace = ifnull(linebetweenspace,0), printtitle = ifnull(printtitle,1)");
  tx.Commit();
}

void CreateNewDatabase(const std::filesystem::path& file) {
  namespace fs = std::filesystem;
  std::error_code status;
  if (fs::exists(file) && !(fs::is_regular_file(file) && fs::file_size(file, status) == 0)) {
    throw DbError(file.string() + " already exists");
  }
  fs::path partial = file;
  partial += ".new";
  std::error_code ignored;
  fs::remove(partial, ignored);
  try {
    {
      Database db(partial, OpenMode::kCreate);
      // Nobody sees the file until it is renamed into place, so its many small steps need
      // not each wait for the disk; one flush before the rename makes it durable.
      db.ExecScript("pragma synchronous = off");
      Transaction tx(db);
      CreateBaseTables(db);
      tx.Commit();
      UpgradeSchema(db);
      SeedNewDatabase(db);
    }
    FlushToDisk(partial);
    fs::rename(partial, file);
  } catch (...) {
    fs::remove(partial, ignored);
    throw;
  }
}

FileState PrepareDatabase(const std::filesystem::path& file) {
  FileState state = InspectDatabaseFile(file);
  if (state != FileState::kReady) return state;
  try {
    Database db(file);
    // One transaction over both: a failure anywhere leaves the file as it was.
    Transaction tx(db);
    // Old text first: the upgrade compares texts such as label kinds.
    ConvertLegacyText(db);
    UpgradeSchema(db);
    CheckTillPlace(db);
    tx.Commit();
  } catch (const DbError& failure) {
    state = StateAfterFailure(failure.primary_code());
    if (state == FileState::kReady) throw;
  }
  return state;
}

}  // namespace store
