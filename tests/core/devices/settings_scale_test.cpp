#include <gtest/gtest.h>

#include <fstream>
#include <thread>
#include <tuple>

#include "core/common/text_encoding.h"
#include "core/devices/port.h"
#include "core/devices/scale.h"
#include "core/devices/settings_checks.h"
#include "core/settings/settings.h"
#include "pty.h"
#include "support/test_database.h"

namespace {
namespace fs = std::filesystem;
using testing_support::FileBytes;

using SettingsTest = testing_support::TestDatabase;

std::string RefusalOf(const settings::Settings& record) {
  return testing_support::ErrorOf([&] { devices::ValidateSettings(record); });
}

settings::Settings Stored() {
  store::Database db;
  return settings::LoadSettings(db);
}

void Save(const settings::Settings& record) {
  store::Database db;
  settings::SaveSettings(db, record);
}

TEST_F(SettingsTest, PortConflictsAndBadNumbersAreRefused) {
  settings::Settings r = Stored();
  EXPECT_EQ(RefusalOf(r), "");
  r.display_port = "com1";
  r.printer_port = "com1";
  EXPECT_EQ(RefusalOf(r), "客显端口与打印端口冲突");
  r.printer_port = "lpt1";
  r.serial_scale_port = "";
  EXPECT_EQ(RefusalOf(r), "");
  r.touch_front = true;
  EXPECT_EQ(RefusalOf(r), "启用计价秤时，必须指定端口");
  r.printer_port = "";
  EXPECT_EQ(RefusalOf(r), "计价秤端口与打印端口冲突");
  r.printer_port = "lpt1";
  r.serial_scale_port = "com1";
  EXPECT_EQ(RefusalOf(r), "客显端口与计价秤端口冲突");
  r.serial_scale_port = "com2";
  r.wipe = std::nullopt;
  EXPECT_EQ(RefusalOf(r), "请选择抹零方式");
  EXPECT_EQ(settings::ParseSettingsInteger(" 3 ", "票尾空行", "emptylines"), 3);
  for (const char* bad : {"", "x", "1.5", "-1", "99999999999"}) {
    auto refusal = testing_support::RefusalOf(
        [&] { settings::ParseSettingsInteger(bad, "票尾空行", "emptylines"); });
    EXPECT_EQ(refusal.field, "emptylines") << bad;
    EXPECT_NE(refusal.message.find("票尾空行"), std::string::npos) << bad;
  }
}

TEST_F(SettingsTest, APortIsADeviceNeverAFileAndSaveStoresEveryFieldAsTypedButTheScaleKind) {
  PseudoTerminal serial_adapter;
  settings::Settings r = Stored();
  const std::string db = store::DatabasePath().string();
  for (auto [port, refusal] : {std::pair{std::string("LPT1"), ""},
                               {"usb001", ""},
                               {serial_adapter.slave_path(), ""},
                               {db, "端口必须是设备文件"},
                               {"../../etc/passwd", "端口必须是设备文件"},
                               {dir().string(), "端口必须是设备文件"},
                               {"com9", "端口必须是设备文件"}}) {
    r.printer_port = port;
    EXPECT_EQ(RefusalOf(r), refusal) << port;
  }
  r.printer_port = "lpt1";
  r.display_port = db;
  EXPECT_EQ(RefusalOf(r), "端口必须是设备文件");
  // Every field differs from the shipped value, so a column left out or swapped shows.
  r = settings::Settings{.printer_mode = "POS58",
                         .printer_port = serial_adapter.slave_path(),
                         .printer_name = "前台",
                         .display_mode = "LED8N",
                         .display_port = "com3",
                         .drawer_mode = "弹出",
                         .drawer_command = "27,112,0,25,250",
                         .receipt_copies = 2,
                         .welcome = "Tom's 小店",
                         .bye = "'; drop table management; --",
                         .feed_lines = 5,
                         .scale_barcodes = true,
                         .scale_flag = "21",
                         .scale_code_digits = 6,
                         .scale_amount_digits = 4,
                         .scale_address = "10.0.0.5",
                         .scale_kind = "ignored",
                         .touch_front = true,
                         .serial_scale = true,
                         .serial_scale_port = "com4",
                         .cost_basis = settings::CostBasis::kRecentPrice,
                         .wipe = settings::Wipe::kToYuan,
                         .points_base = 10,
                         .points_per_base = 3,
                         .item_library = true};
  Save(r);
  settings::Settings back = Stored();
  EXPECT_EQ(back.scale_kind, "");  // not written by the settings screen
  r.scale_kind = "";
  auto fields = [](const settings::Settings& m) {
    return std::tie(m.printer_mode, m.printer_port, m.printer_name, m.display_mode, m.display_port,
                    m.drawer_mode, m.drawer_command, m.receipt_copies, m.welcome, m.bye,
                    m.feed_lines, m.scale_barcodes, m.scale_flag, m.scale_code_digits,
                    m.scale_amount_digits, m.scale_address, m.scale_kind, m.touch_front,
                    m.serial_scale, m.serial_scale_port, m.cost_basis, m.wipe, m.points_base,
                    m.points_per_base, m.item_library);
  };
  EXPECT_EQ(fields(back), fields(r));
  r.points_base = 0;  // points in raw proportion to what was paid
  r.wipe = settings::Wipe::kToJiao;
  Save(r);
  EXPECT_EQ(Stored().points_base, 0);
  EXPECT_EQ(Stored().wipe, settings::Wipe::kToJiao);
  // Stored values the screen does not offer: no wipe choice, the recent price, no switches.
  Open().Exec(
      "update management set wipevalue = 7, priceforcost = 'other', scale = 'x', "
      "usecomscale = '否', useitemlibrary = '否'");
  back = Stored();
  EXPECT_EQ(back.wipe, std::nullopt);
  EXPECT_EQ(back.WipeOrNone(), settings::Wipe::kNone);
  EXPECT_EQ(back.cost_basis, settings::CostBasis::kRecentPrice);
  EXPECT_FALSE(back.scale_barcodes || back.serial_scale || back.item_library);
}

TEST(PluLineTest, PluLinesMatchTheScaleFormatAndWeightsReadThroughNoise) {
  // PLU 7, code, price 12.50 in fen, then the scale's fixed fields.
  std::string expected = "IP0007A02100007001250000000000802100" + std::string(13, '0') + "00000" +
                         std::string(28, '0') + "##" + kasso::Utf8ToGbk("苹果") + "##" +
                         std::string(24, ' ') + "##" + std::string(24, ' ') + "\r\n";
  EXPECT_EQ(devices::PluLine(7, "2100007", 12.5, "21", "苹果"), expected);
  // Prices of 10000.00 and more take more than six digits; PLU numbers above 9999 likewise.
  EXPECT_NE(devices::PluLine(12345, "1", 12345.67, "2", "x").find("IP12345A011234567"),
            std::string::npos);
  // 23 ASCII bytes then Chinese: byte 24 is the first half of a character.
  std::string name = std::string("abcdefghijklmnopqrstuvw") + "苹果苹果";
  std::string line = devices::PluLine(1, "1", 1, "2", name);
  size_t start = line.find("##") + 2;
  EXPECT_EQ(line.substr(start, line.find("##", start) - start), name.substr(0, 23));
  using Pairs = std::vector<std::pair<std::string, std::string>>;
  for (const auto& [raw, shown] : Pairs{
           {" 1234 ", "1.234"}, {"01234", "01.234"}, {"0.560", "0.560"}, {"123", ""}, {"", "0"}}) {
    EXPECT_EQ(devices::FormatScaleWeight(raw), shown) << raw;
  }
  for (const auto& [answer, weight] : Pairs{{"\x02  1.234kg\r", "1.234"},
                                            {"\xff\x13garbage\x02 0.500kg\r\x02 0.75", "0.500"},
                                            {"01234\r\n", "01234"},
                                            {"\x02 1.2", ""},
                                            {"", ""}}) {
    EXPECT_EQ(devices::ParseScaleAnswer(answer), weight) << answer;
  }
}

TEST_F(SettingsTest, PluFileAddressFileAndSerialScale) {
  std::ofstream(dir() / "tma07.txt") << "old";
  devices::WritePluFile(dir());
  EXPECT_EQ(FileBytes(dir() / "tma07.txt"), "old");
  Open().ExecScript(
      "update management set scalesimple = '21';"
      "insert into goodsmaster (barcode,goodsname,salesprice,isscalegoods,pluno) values "
      "('2100009','香蕉',3.2,'是',9),('2100007','苹果',12.5,'是',7),('6901','可乐',3,'否',0);");
  devices::WritePluFile(dir());
  EXPECT_EQ(FileBytes(dir() / "tma07.txt"), devices::PluLine(7, "2100007", 12.5, "21", "苹果") +
                                                devices::PluLine(9, "2100009", 3.2, "21", "香蕉"));
  EXPECT_FALSE(fs::exists(dir() / "tma07.txt.part"));
  // A download writes the file anew; without the tool the till says so, and a tool that is
  // present runs in the data folder and is waited for.
  fs::remove(dir() / "tma07.txt");
  EXPECT_NE(devices::DownloadPluToScale(dir()).find("testexe"), std::string::npos);
  EXPECT_TRUE(fs::exists(dir() / "tma07.txt"));
  fs::path tool = dir() / "testexe";
  std::ofstream(tool) << "#!/bin/sh\ncp tma07.txt sent.txt\n";
  fs::permissions(tool, fs::perms::owner_all);
  EXPECT_EQ(devices::DownloadPluToScale(dir()), "");
  EXPECT_EQ(FileBytes(dir() / "sent.txt"), FileBytes(dir() / "tma07.txt"));
  PseudoTerminal scale;
  devices::OverridePortPath("com2", scale.slave_path());
  Open().Exec("update management set usecomscale = '是', comscaleport = 'com2'");
  std::thread answer([&] {
    if (scale.ReadSome(2000) == "W") scale.Write("\x02  2.345kg\r");
  });
  EXPECT_EQ(devices::ReadScaleWeight(), "2.345");
  answer.join();
  Open().Exec("update management set usecomscale = '否'");
  EXPECT_EQ(devices::ReadScaleWeight(), "");
  devices::OverridePortPath("com2", {});
  devices::SaveScaleAddressFile("192.168.1.87", dir());
  devices::SaveScaleAddressFile("10.0.0.5", dir());
  EXPECT_EQ(FileBytes(dir() / "dhip.ini"), "10.0.0.5\t3\r\n");
  EXPECT_THROW(devices::SaveScaleAddressFile("1.2.3.4", dir() / "missing"), kasso::UserError);
}

}  // namespace
