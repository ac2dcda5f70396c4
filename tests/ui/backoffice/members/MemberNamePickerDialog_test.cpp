// Choosing a member by name for the member queries.

#include "ui/backoffice/members/MemberNamePickerDialog.h"

#include "ui/ui_test_support.h"

namespace {

using namespace testing_support;

class MemberNamePickerTest : public TestDatabase {
 protected:
  ui::MessageBoxSeam messages_;
};

TEST_F(MemberNamePickerTest, GivesAllOrTheFirstIdOfTheChosenName) {
  Open().ExecScript(
      "insert into membermaster (memberid,membername) values ('M7','王五');"
      "insert into membermaster (memberid,membername) values ('M2','张三');"
      "insert into membermaster (memberid,membername) values ('M1','张三');");
  const std::vector<std::pair<int, std::optional<std::string>>> cases = {
      {0, "全部"}, {1, "M7"}, {2, "M2"}, {-1, std::nullopt}};
  for (const auto& [index, expected] : cases) {
    ModalDriver<ui::MemberNamePickerDialog> driver([index](ui::MemberNamePickerDialog* picker) {
      auto* names = Find<QComboBox>(*picker, "memberCombo");
      EXPECT_EQ(names->count(), 3);  // "全部", then each name once
      EXPECT_EQ(names->currentIndex(), -1);
      names->setCurrentIndex(index);
      Click(*picker, index < 0 ? "cancelButton" : "confirmButton");
    });
    EXPECT_EQ(ui::MemberNamePickerDialog::Choose(nullptr), expected) << index;
  }
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(MemberNamePickerTest, RefusesAnEmptyChoiceAndAnUnreadableMemberList) {
  ui::MemberNamePickerDialog picker(nullptr, {"张三"});
  Click(picker, "confirmButton");
  EXPECT_EQ(messages_.Texts(), Texts{"请选择会员名称"});
  EXPECT_EQ(picker.result(), 0);

  messages_.Clear();
  std::filesystem::remove(store::DatabasePath());
  EXPECT_EQ(ui::MemberNamePickerDialog::Choose(nullptr), std::nullopt);
  EXPECT_EQ(messages_.Texts(), Texts{"设定有误"});
}

}  // namespace
