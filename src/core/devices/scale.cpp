#include "core/devices/scale.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "core/common/error.h"
#include "core/common/format.h"
#include "core/common/text_encoding.h"
#include "core/devices/port.h"
#include "core/lookups/numbers.h"
#include "core/settings/settings.h"
#include "core/store/yes_no.h"

extern char** environ;

namespace devices {
namespace fs = std::filesystem;

std::string PluLine(long long pluno, const std::string& barcode, double salesprice,
                    const std::string& scalesimple, const std::string& goodsname) {
  char number[32];
  std::snprintf(number, sizeof number, "%.4lld", pluno);
  std::string price = kasso::Fixed(lookups::RoundTo(salesprice * 100, 0), 0);
  if (price.size() < 6) price.insert(0, 6 - price.size(), '0');
  std::string line = "IP" + std::string(number) + "A0" + kasso::Utf8ToGbk(barcode) + price +
                     "0000000" + "008" + "0" + kasso::Utf8ToGbk(scalesimple) + "00" +
                     std::string(13, '0') + "00000" + std::string(28, '0') + "##" +
                     kasso::CutGbk(kasso::Utf8ToGbk(goodsname), 24) + "##" + std::string(24, ' ') +
                     "##" + std::string(24, ' ') + "\r\n";
  return line;
}

void WritePluFile(const fs::path& directory) {
  std::string lines;
  {
    store::Database db;
    std::string flag = settings::LoadSettings(db).scale_flag;
    store::Statement rows = db.Query(
        "select pluno,barcode,salesprice,goodsname from goodsmaster "
        "where isscalegoods = ? order by pluno",
        store::ToYesNo(true));
    while (rows.Step()) {
      lines += PluLine(rows.Int(0), rows.Text(1), rows.Double(2), flag, rows.Text(3));
    }
  }
  if (lines.empty()) return;
  fs::path target = directory / "tma07.txt";
  fs::path partial = directory / "tma07.txt.part";
  {
    std::ofstream file(partial, std::ios::binary | std::ios::trunc);
    if (!file || !(file << lines) || !file.flush()) {
      std::error_code ignored;
      fs::remove(partial, ignored);
      throw kasso::UserError("创建电子称下传文件失败");
    }
  }
  fs::rename(partial, target);
}

std::string DownloadPluToScale(const fs::path& directory) {
  WritePluFile(directory);
  fs::path tool = fs::absolute(directory / "testexe");
  if (::access(tool.c_str(), X_OK) != 0) {
    return "没有找到电子秤下传程序testexe，商品信息已写入tma07.txt";
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, fs::absolute(directory).c_str());
  std::string path = tool.string();
  char* argv[] = {path.data(), nullptr};
  pid_t pid = 0;
  int rc = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return {};  // a tool that cannot start is not reported
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return {};
}

std::string FormatScaleWeight(const std::string& answer) {
  if (answer.empty()) return "0";
  if (answer.find('.') != std::string::npos) return answer;
  std::string digits;
  for (char c : kasso::Trim(answer)) {
    if (c >= '0' && c <= '9') digits += c;
  }
  if (digits.size() == 4) return digits.substr(0, 1) + "." + digits.substr(1);
  if (digits.size() == 5) return digits.substr(0, 2) + "." + digits.substr(2);
  return {};
}

std::string ParseScaleAnswer(const std::string& received) {
  // Frames end with CR, LF or ETX. Walk them all and keep the last that holds a weight.
  std::string weight;
  std::string frame;
  for (char c : received) {
    if (c == '\r' || c == '\n' || c == '\x03') {
      std::string number;
      for (char f : frame) {
        if ((f >= '0' && f <= '9') || f == '.') number += f;
      }
      if (!number.empty() && number.find_first_of("0123456789") != std::string::npos) {
        weight = number;
      }
      frame.clear();
    } else if (c == '\x02') {
      frame.clear();  // a new frame starts; whatever came before was noise
    } else {
      frame += c;
    }
  }
  return weight;
}

std::string ReadScaleWeight() {
  std::string port_name;
  try {
    store::Database db;
    settings::Settings till = settings::LoadSettings(db);
    if (!till.serial_scale) return {};
    port_name = till.serial_scale_port;
  } catch (const store::DbError&) {
    return {};
  }
  auto paths = PortDevicePaths(port_name);
  if (paths.empty()) return {};
  auto port = Port::Open(paths.front(), Port::Access::kReadWrite);
  if (!port) return {};
  port->ConfigureSerial(9600);
  if (!port->Write("W")) return {};
  return ParseScaleAnswer(port->Read(300));
}

}  // namespace devices
