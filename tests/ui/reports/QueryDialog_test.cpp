// F5's query screen over sales the sale engine committed.

#include "ui/reports/QueryDialog.h"

#include "core/app/main_menu.h"
#include "core/common/clock.h"
#include "core/common/text_encoding.h"
#include "core/sale/commit_sale.h"
#include "core/sale/sale_fixture.h"
#include "ui/app/ModuleLauncher.h"
#include "ui/backoffice/members/MemberNamePickerDialog.h"
#include "ui/reports/AuditFilterDialog.h"
#include "ui/reports/DateRangeDialog.h"
#include "ui/reports/OtherQueryDialog.h"
#include "ui/reports/QueryResultModel.h"
#include "ui/sale/RecordListDialog.h"
#include "ui/ui_test_support.h"

namespace {

using namespace testing_support;

class QueryDialogTest : public TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    AddGoods("1", "面包", 10.00);
    Open().ExecScript(
        "insert into inventory values ('1',100);"
        "insert into membermaster (memberid,membername,memberpw,dismode,disrate) "
        "values ('M1','张三','','没有优惠',1);");
    Sell(common::MakeTime(2024, 4, 30, 18, 0, 0), 1, "");  // the day before: left out
    Sell(common::MakeTime(2024, 5, 1, 9, 0, 0), 2, "");
    Sell(common::MakeTime(2024, 5, 1, 9, 30, 0), 1, "M1");
  }

  // Commits a sale of bread through the sale engine, the clock left at its time ("today").
  void Sell(const std::tm& when, int loaves, const std::string& member) {
    common::SetFixedClock(when);
    sale::CurrentSale sale;
    sale.workno = "0";
    sale::NewSale(sale);
    sale_testing::ScriptedSaleUi ui;
    sale_testing::RecordingDisplay display;
    if (!member.empty()) {
      ui.members.push_back(member);
      sale::AttachMember(sale, ui, display);
    }
    sale::ProcessEntry(sale, "1", ui, display);
    sale::ProcessEntry(sale, "*" + std::to_string(loaves), ui, display);
    ASSERT_TRUE(sale::CommitSale(sale, {.due = sale.total, .cash = sale.total}, ui).committed);
  }

  static QAbstractItemModel* List(const QWidget& dialog) { return Model(dialog, "resultTable"); }
  static QString Cell(const QWidget& dialog, int row, int column) {
    return testing_support::Cell(dialog, "resultTable", row, column);
  }

  ui::MessageBoxSeam messages_;
};

TEST_F(QueryDialogTest, F5ShowsTodaysJournalWithItsTotalsAndExportsItAsText) {
  const std::filesystem::path file = dir() / "journal.txt";
  FileSeams files;
  files.Next(ui::ExportFormat::kText, file);
  ModalDriver<ui::DateRangeDialog> today(Press("confirmButton"));
  ModalDriver<ui::QueryDialog> queries([&](ui::QueryDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "查询");
    EXPECT_EQ(List(*dialog)->rowCount(), 0);
    Click(*dialog, "journalButton");
    EXPECT_EQ(dialog->windowTitle(), "销售流水查询");
    auto tester = CheckModel(*dialog, "resultTable");
    EXPECT_EQ(List(*dialog)->rowCount(), 5);
    EXPECT_EQ(Cell(*dialog, 4, 6), "30.00");
    EXPECT_EQ(Cell(*dialog, 3, 18), "张三");
    const auto alignment = [&](int column) {
      return List(*dialog)->index(0, column).data(Qt::TextAlignmentRole).value<Qt::Alignment>();
    };
    EXPECT_TRUE(alignment(6) & Qt::AlignRight);    // 金额
    EXPECT_TRUE(alignment(3) & Qt::AlignHCenter);  // 名称
    Click(*dialog, "exportButton");
    Click(*dialog, "exitButton");
  });
  ui::LaunchModule(app::ModuleForKey(5), nullptr, "0");
  ASSERT_TRUE(queries.ran());
  EXPECT_EQ(files.chooser.requests().at(0).proposal, "销售流水查询20240501093000.txt");
  EXPECT_EQ(messages_.Texts(), Texts{"导出完成"});
  const std::string expected =
      "单号,类别,条码,名称,数量,单价,金额,折扣率,折扣金额,抹零金额,整单折让,变价优惠,交易时间,"
      "现金金额,找零金额,支票金额,银联卡金额,卡付金额,会员名,\r\n"
      "2,销售,1,面包,2.000,10.00,20.00,1.000,0.00,0.00,0.00,0.00,2024-05-01 09:00:00,"
      "0.00,0.00,0.00,0.00,0.00,,\r\n"
      "2,销售总计,,,2.000,0.00,20.00,0.000,0.00,0.00,0.00,0.00,2024-05-01 09:00:00,"
      "20.00,0.00,0.00,0.00,0.00,,\r\n"
      "3,销售,1,面包,1.000,10.00,10.00,1.000,0.00,0.00,0.00,0.00,2024-05-01 09:30:00,"
      "0.00,0.00,0.00,0.00,0.00,张三,\r\n"
      "3,销售总计,,,1.000,0.00,10.00,0.000,0.00,0.00,0.00,0.00,2024-05-01 09:30:00,"
      "10.00,0.00,0.00,0.00,0.00,张三,\r\n"
      "总计,,,,3.000,,30.00,,0.00,0.00,0.00,0.00,,30.00,0.00,0.00,0.00,0.00,,\r\n";
  EXPECT_EQ(FileBytes(file), common::Utf8ToGbk(expected));
}

TEST_F(QueryDialogTest, TheOperationLogListsTheTrailOfOneActionAndExportsIt) {
  common::SetFixedClock(common::MakeTime(2024, 5, 1, 10, 0, 0));
  sale::CurrentSale sale;
  sale.workno = "0";
  sale::NewSale(sale);
  sale_testing::ScriptedSaleUi ui;
  sale_testing::RecordingDisplay display;
  for (const char* typed : {"1", "="}) sale::ProcessEntry(sale, typed, ui, display);
  const std::filesystem::path file = dir() / "log.txt";
  FileSeams files;
  files.Next(ui::ExportFormat::kText, file);
  ModalDriver<ui::DateRangeDialog> today(Press("confirmButton"));
  ModalDriver<ui::AuditFilterDialog> filter([](ui::AuditFilterDialog* dialog) {
    Find<QComboBox>(*dialog, "actionCombo")->setCurrentText("整单取消");
    Click(*dialog, "confirmButton");
  });
  ModalDriver<ui::QueryDialog> queries([&](ui::QueryDialog* dialog) {
    Click(*dialog, "auditButton");
    EXPECT_EQ(dialog->windowTitle(), "操作日志");
    EXPECT_EQ(List(*dialog)->rowCount(), 2);
    EXPECT_EQ(Cell(*dialog, 0, 2), "整单取消");
    EXPECT_EQ(Cell(*dialog, 0, 3), "1 行 合计 10.00");
    EXPECT_EQ(Cell(*dialog, 1, 2), "共 1 条");
    Click(*dialog, "exportButton");
    Click(*dialog, "exitButton");
  });
  ui::LaunchModule(app::ModuleForKey(5), nullptr, "0");
  ASSERT_TRUE(queries.ran() && filter.ran());
  EXPECT_EQ(common::GbkToUtf8(FileBytes(file)),
            "时间,账号,操作,内容,单号,\r\n2024-05-01 10:00:00,0,整单取消,1 行 合计 10.00,4,\r\n"
            "总计,,共 1 条,,,\r\n");
}

TEST_F(QueryDialogTest, OtherQueriesAskForTheirStocktakeOrMemberFirst) {
  Open().ExecScript(
      "insert into invcountbak values ('1',100,97,-3,'2024-05-01 12:00:00');"
      "insert into invcountbak values ('1',97,97,0,'2024-05-01 15:00:00');");
  ModalDriver<ui::QueryDialog> queries([&](ui::QueryDialog* dialog) {
    {
      ModalDriver<ui::OtherQueryDialog> other(Press("stocktakeButton"));
      ModalDriver<ui::DateRangeDialog> today(Press("confirmButton"));
      ModalDriver<ui::RecordListDialog> stocktakes([](ui::RecordListDialog* list) {
        EXPECT_EQ(list->mode(), "盘点单");
        Click(*list, "okButton");  // on the first row
      });
      Click(*dialog, "otherButton");
      EXPECT_EQ(dialog->windowTitle(), "盘点查询");
      EXPECT_EQ(List(*dialog)->rowCount(), 2);
      EXPECT_EQ(Cell(*dialog, 0, 4), "-3.000");
      EXPECT_EQ(Cell(*dialog, 1, 4), "-3.000");
    }
    {
      ModalDriver<ui::OtherQueryDialog> other(Press("memberSalesButton"));
      ModalDriver<ui::DateRangeDialog> today(Press("confirmButton"));
      ModalDriver<ui::MemberNamePickerDialog> picker([&](ui::MemberNamePickerDialog* pick) {
        Find<QComboBox>(*pick, "memberCombo")->setCurrentIndex(1);  // after "全部"
        Click(*pick, "confirmButton");
      });
      Click(*dialog, "otherButton");
      EXPECT_EQ(dialog->windowTitle(), "会员消费查询");
      EXPECT_EQ(Cell(*dialog, 0, 0), "张三");
      EXPECT_EQ(Cell(*dialog, 1, 4), "10.00");
    }
    {
      // "退出" of the choice leaves the list as it is.
      ModalDriver<ui::OtherQueryDialog> other(Press("exitButton"));
      Click(*dialog, "otherButton");
      EXPECT_EQ(dialog->windowTitle(), "会员消费查询");
    }
    dialog->reject();
  });
  ui::LaunchModule(app::ModuleForKey(5), nullptr, "0");
  EXPECT_TRUE(queries.ran());
}

TEST_F(QueryDialogTest, ALongJournalShowsItsFirstRowsAtOnceThenEveryRowAndExportsEveryRow) {
  {
    // 700 more bills of 1.25 on the same day: 1 404 journal rows in all.
    store::Database db = Open();
    store::Transaction tx(db);
    store::Statement insert = db.Query(
        "insert into transactiondetails (transactionnumber,transactiontype,transactiondatetime,"
        "quantity,price,actualvalue,paid,barcode) values (?,?,'2024-05-01 12:00:00',1,1.25,1.25,"
        "1.25,'1')");
    for (int bill = 10; bill < 710; ++bill) {
      for (const char* type : {"销售", "销售总计"}) {
        insert.BindAll(bill, type);
        insert.Run();
        insert.Reset();
      }
    }
    tx.Commit();
  }
  const std::filesystem::path file = dir() / "journal.txt";
  FileSeams files;
  files.Next(ui::ExportFormat::kText, file);
  ModalDriver<ui::QueryDialog> queries([&](ui::QueryDialog* dialog) {
    const ui::QueryResultModel& model = dialog->model();
    {
      ModalDriver<ui::DateRangeDialog> today(Press("confirmButton"));
      Click(*dialog, "journalButton");
    }
    // The first screen is there at once, the "总计" row not yet.
    EXPECT_EQ(List(*dialog)->rowCount(), 200);
    EXPECT_TRUE(model.IsFilling());
    EXPECT_EQ(Cell(*dialog, 0, 0), "2");
    for (int spins = 0; model.IsFilling() && spins < 10000; ++spins) {
      QCoreApplication::processEvents();
    }
    ASSERT_FALSE(model.IsFilling());
    ASSERT_EQ(List(*dialog)->rowCount(), 1405);
    EXPECT_EQ(Cell(*dialog, 1404, 0), "总计");
    EXPECT_EQ(Cell(*dialog, 1404, 6), "905.00");  // 30.00 + 700 x 1.25
    // Exported while the list is still filling, the file still holds every row.
    {
      ModalDriver<ui::DateRangeDialog> today(Press("confirmButton"));
      Click(*dialog, "journalButton");
    }
    EXPECT_EQ(List(*dialog)->rowCount(), 200);
    Click(*dialog, "exportButton");
    EXPECT_EQ(List(*dialog)->rowCount(), 1405);
    Click(*dialog, "exitButton");
  });
  ui::LaunchModule(app::ModuleForKey(5), nullptr, "0");
  ASSERT_TRUE(queries.ran());
  const std::string text = FileBytes(file);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1406);  // the titles, 1 404 rows, 总计
  EXPECT_NE(text.find(common::Utf8ToGbk("总计,,,,703.000,,905.00,")), std::string::npos);
}

}  // namespace
