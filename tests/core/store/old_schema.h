#pragma once

#include "support/test_database.h"

// The tables of a till file from before any upgrade: the columns the first version had, and
// none of the tables that later versions added.
inline constexpr const char* kOldStyleTables = R"sql(
create table management (printercontrol text, printerport text, printername text,
  displaycontrol text, displayport text, moneyboxcontrol text, printtimes integer, welcome text,
  bye text, scale text, scalesimple text, scalebarcode integer, scalevalue integer);
create table operatormaster (workno text, operatorname text, operatorpassword text,
  operatorduty text);
create table dutyrights (operatorduty text, sales integer, operator integer,
  dutyrights integer, discount integer, settings integer, member integer, inventory integer,
  inquiry integer);
create table itemlibrary (barcode text, goodsname text, unit text);
create table unitmaster (unitcode text, unitname text);
create table largeclassmaster (largeclasscode text, largeclassname text);
create table lockprocess (processname text, workno text, locktime text);
create table goodsmaster (barcode text, goodsname text, unit text, class text,
  salesprice real, importprice real, recordingdate text);
create table inventory (barcode text, quantity real);
create table import (barcode text, quantity real);
create table importbak (barcode text, quantity real, confirmdate text);
create table return (barcode text, quantity real);
create table returnbak (barcode text, quantity real, confirmdate text);
create table invcount (barcode text, accquant real, invquant real, plquant real);
create table invcountbak (barcode text, accquant real, invquant real, plquant real,
  confirmdate text);
create table transactiondetails (transactionnumber integer, transactiontype text,
  transactiondatetime text, quantity real, price real, actualvalue real, discountrate real,
  discountvalue real, barcode text, workno text, shiftid integer, memberid text, paid real,
  change real, cardpaid real);
create table shiftsum (shiftid integer, shiftdate text, workno text, billcount integer,
  salesquantity real, salesvalue real, discountvalue real, cardpaid real, cashpaid real);
create table membermaster (memberid text, membername text, membersex text, memberpid text,
  memberphone text, memberaddress text, memberpointsmode text, memberpointsvalue real,
  depositmode text, depositvalue real, memberpw text, birthday text);
insert into management values ('POS58','lpt1','','LED8N','com1','弹出',1,'欢迎','再见','否',
  '2',5,5);
insert into operatormaster values ('0','老板','secret','经理');
insert into operatormaster values ('7','小王','7','收银员');
insert into dutyrights values ('经理',1,1,1,1,1,1,1,1);
insert into dutyrights values ('收银员',1,0,0,0,0,0,0,0);
insert into goodsmaster values ('6901','可乐',  '瓶','饮料',3.5,2.1,'2013-01-02 10:00:00');
insert into goodsmaster values ('6902','薯片',  '包','零食',6.0,4.0,'2013-01-02 10:00:00');
insert into goodsmaster values ('6903','老干妈''s','瓶','调料',9.9,7.0,'2013-01-02 10:00:00');
insert into inventory values ('6901', 12);
insert into transactiondetails values (1,'销售','2013-02-01 09:00:00',2,3.5,7,1,0,'6901','0',0,
  '',0,0,0);
insert into transactiondetails values (1,'销售总计','2013-02-01 09:00:00',2,0,7,1,0,'','0',0,
  '',10,3,0);
insert into shiftsum values (1,'2013-02-01 18:00:00','0',1,2,7,0,0,7);
insert into membermaster values ('M1','张三','男','110101199001011234','13800000000','北京',
  '是',10,'否',0,'123','1990-01-01');
)sql";

// A data directory whose kasso.db holds only the tables above.
class OldFileTest : public testing_support::TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    std::filesystem::remove(store::DatabasePath());
    store::Database(store::DatabasePath(), store::OpenMode::kCreate).ExecScript(kOldStyleTables);
  }
};
