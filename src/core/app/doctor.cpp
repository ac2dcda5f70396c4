#include "core/app/doctor.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <exception>
#include <optional>
#include <string_view>

#include "core/common/format.h"
#include "core/devices/port.h"
#include "core/settings/settings.h"
#include "core/store/database.h"

namespace app {
namespace fs = std::filesystem;
namespace {

constexpr const char* kSerialGroup = "dialout";
constexpr const char* kPrinterGroup = "lp";

// A path as a shell word, so that a command the doctor proposes can be pasted as it is.
std::string ShellWord(const std::string& text) {
  bool plain = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) ||
           std::string_view("/._-+:@%,").find(c) != std::string_view::npos;
  });
  if (plain) return text;
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string Octal(mode_t mode) {
  char text[8];
  std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
  return text;
}

std::string GroupName(gid_t gid) {
  const group* entry = ::getgrgid(gid);
  return entry ? entry->gr_name : std::to_string(gid);
}

bool ProcessHasGroup(gid_t gid) {
  if (::getegid() == gid) return true;
  int count = ::getgroups(0, nullptr);
  std::vector<gid_t> groups(static_cast<size_t>(std::max(count, 0)));
  count = ::getgroups(count, groups.data());
  return count > 0 && std::find(groups.begin(), groups.begin() + count, gid) != groups.end();
}

// True when the user database lists this user in the group, whether or not the running
// session has picked it up yet (that takes a new login).
bool UserListedInGroup(gid_t gid) {
  const passwd* user = ::getpwuid(::geteuid());
  if (user == nullptr) return false;
  int count = 64;
  std::vector<gid_t> groups(static_cast<size_t>(count));
  if (::getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0) {
    groups.resize(static_cast<size_t>(count));
    if (::getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0) return false;
  }
  return std::find(groups.begin(), groups.begin() + count, gid) != groups.begin() + count;
}

// What to do about a device this user may not use.
std::string DeviceAccessAdvice(const struct stat& info, const std::string& group) {
  const struct group* wanted = ::getgrnam(group.c_str());
  if (wanted != nullptr && !ProcessHasGroup(wanted->gr_gid)) {
    if (UserListedInGroup(wanted->gr_gid)) return "已在 " + group + " 组, 注销后重新登录才生效";
    return "sudo adduser $USER " + group + ", 然后注销重新登录";
  }
  // In the group already: the device itself is set up for someone else.
  return "设备属组 " + GroupName(info.st_gid) + ", 权限 " + Octal(info.st_mode) +
         ": 检查 udev 规则 (/usr/lib/udev/rules.d/60-tillwise.rules), 或重新插上设备";
}

DoctorLine CheckDevice(const std::string& label, const fs::path& path, const std::string& group,
                       bool read_too) {
  std::string name = label + " (" + path.string() + ")";
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    return {false, name + ": 设备不存在: 检查接线和电源, 或在设定里改端口"};
  }
  if (!S_ISCHR(info.st_mode)) {
    return {false, name + ": 不是设备文件: 在设定里改端口"};
  }
  if (::access(path.c_str(), W_OK | (read_too ? R_OK : 0)) != 0) {
    return {false, name + ": 本用户不能" + (read_too ? "读写" : "写") + ": " +
                       DeviceAccessAdvice(info, group)};
  }
  return {true, name};
}

// A port setting checked as the till uses it: the first device file it names, or for "usb"
// every USB printer node (the drawer kick goes to all of them).
void CheckPort(std::vector<DoctorLine>& lines, const std::string& what, const std::string& setting,
               const std::string& group, bool read_too = false) {
  std::string label = what + " " + (setting.empty() ? "(空)" : setting);
  std::vector<fs::path> paths = devices::PortDevicePaths(setting);
  if (paths.empty()) {
    if (kasso::ToLower(setting).starts_with("usb")) {
      lines.push_back({false, label + ": 没有找到 USB 打印机 (" +
                                  (devices::UsbPrinterDirectory() / "lp*").string() +
                                  "): 接上打印机, 打开电源"});
    } else {
      lines.push_back({false, label + ": 不是端口: 在设定里选 com1..com4、lpt1、usb 或设备路径"});
    }
    return;
  }
  if (!kasso::ToLower(setting).starts_with("usb")) paths.resize(1);
  for (const fs::path& path : paths) lines.push_back(CheckDevice(label, path, group, read_too));
}

// Receipt printers and drawers on a serial line need the serial group, the others lp.
std::string PrinterGroup(const std::string& setting) {
  std::string name = kasso::ToLower(setting);
  return name.starts_with("com") || name.find("/tty") != std::string::npos ? kSerialGroup
                                                                           : kPrinterGroup;
}

DoctorLine CheckFolder(const fs::path& dir) {
  std::string word = ShellWord(dir.string());
  struct stat info {};
  if (::stat(dir.c_str(), &info) != 0) {
    return {false, "数据文件夹 " + dir.string() + " 不存在: 用 tillwise --data " + word +
                       " 或 tillwise-admin init " + word + " 新建"};
  }
  if (!S_ISDIR(info.st_mode)) return {false, dir.string() + " 不是文件夹"};
  if (::access(dir.c_str(), R_OK | W_OK | X_OK) != 0) {
    return {false, "本用户打不开数据文件夹 " + dir.string() + ": sudo chown -R $USER " + word};
  }
  if ((info.st_mode & 077) != 0) {
    return {false, "数据文件夹 " + dir.string() + " 的权限是 " + Octal(info.st_mode) +
                       ", 别的用户也能打开: chmod 700 " + word};
  }
  return {true, "数据文件夹 " + dir.string() + ": " + Octal(info.st_mode) + ", 只有本用户能打开"};
}

DoctorLine CheckDatabaseFile(const fs::path& file) {
  std::string word = ShellWord(file.string());
  struct stat info {};
  if (::stat(file.c_str(), &info) != 0) {
    return {false, "没有 " + file.string() +
                       ": 启动 tillwise 时会问是否新建, 或 tillwise-admin init " +
                       ShellWord(file.parent_path().string())};
  }
  if (!S_ISREG(info.st_mode)) return {false, file.string() + " 不是普通文件"};
  if (::access(file.c_str(), R_OK | W_OK) != 0) {
    std::string fix = info.st_uid == ::geteuid() ? "chmod 600 " + word : "sudo chown $USER " + word;
    return {false, "本用户不能读写 " + file.string() + ": " + fix};
  }
  return {true, "kasso.db 可读写 (" + kasso::Fixed(static_cast<double>(info.st_size) / 1048576, 1) +
                    " MB)"};
}

void CheckDevices(std::vector<DoctorLine>& lines, const fs::path& file) {
  settings::Settings till;
  try {
    store::Database db(file);
    till = settings::LoadSettings(db);
  } catch (const std::exception& error) {
    lines.push_back({false, std::string("读不出设定 (") + error.what() +
                                "): 用 tillwise 打开一次 (会升级数据库), 或从备份恢复"});
    return;
  }
  if (till.display_mode == "LED8N") {
    CheckPort(lines, "客显", till.display_port, kSerialGroup);
  } else {
    lines.push_back({true, "客显: " + till.display_mode});
  }

  std::string printer_port = kasso::ToLower(till.printer_port);
  bool printer_port_checked = false;
  if (till.printer_mode == "POS58") {
    if (printer_port == "lpt1" || printer_port == "com1") {
      CheckPort(lines, "打印机 POS58", till.printer_port, PrinterGroup(printer_port));
      printer_port_checked = true;
    } else {
      lines.push_back({false, "打印机 POS58 接在 " + till.printer_port +
                                  " 上: 小票只从 lpt1 或 com1 打出, 在设定里改端口"});
    }
  } else if (till.printer_mode == "驱动打印" || till.printer_mode == "驱动76mm") {
    lines.push_back({true, "打印机: " + till.printer_mode + ", " +
                               (till.printer_name.empty() ? "系统默认打印机"
                                                          : "打印机名 " + till.printer_name)});
  } else {
    lines.push_back({true, "打印机: " + till.printer_mode});
  }
  // The drawer hangs on the receipt printer's port.
  if (till.drawer_mode == "弹出" && !printer_port_checked) {
    bool drawer_port = printer_port.starts_with("com") || printer_port.starts_with("lpt") ||
                       printer_port.starts_with("usb") || printer_port.starts_with('/');
    if (drawer_port) {
      CheckPort(lines, "钱箱", till.printer_port, PrinterGroup(printer_port));
    } else {
      lines.push_back({false, "钱箱接在 " + till.printer_port +
                                  " 上: 钱箱只从 com、lpt 或 usb 端口弹出, 在设定里改打印机端口"});
    }
  }

  if (till.serial_scale) {
    CheckPort(lines, "计价秤", till.serial_scale_port, kSerialGroup, true);
  } else {
    lines.push_back({true, "计价秤: 未启用"});
  }
}

DoctorLine CheckDiskSpace(const fs::path& dir) {
  struct statvfs info {};
  if (::statvfs(dir.c_str(), &info) != 0) return {false, "读不出磁盘剩余空间"};
  unsigned long long free_bytes = static_cast<unsigned long long>(info.f_bavail) *
                                  static_cast<unsigned long long>(info.f_frsize);
  std::string amount = kasso::Fixed(static_cast<double>(free_bytes) / (1024.0 * 1024 * 1024), 1);
  if (free_bytes < kLowDiskBytes) {
    return {false, "磁盘只剩 " + std::to_string(free_bytes / (1024 * 1024)) +
                       " MB: 清理磁盘, 或把旧备份移到别处"};
  }
  return {true, "磁盘剩余 " + amount + " GB"};
}

DoctorLine CheckNewestBackup(const fs::path& dir) {
  std::optional<fs::directory_entry> newest;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(dir / "backup", error)) {
    if (!entry.is_regular_file(error)) continue;
    if (!newest || entry.last_write_time(error) > newest->last_write_time(error)) newest = entry;
  }
  if (!newest) {
    return {false, "没有备份 (" + (dir / "backup").string() +
                       " 里没有文件): 在主菜单按 F10 备份; 收银程序开着时每两小时自动备份"};
  }
  auto age = fs::file_time_type::clock::now() - newest->last_write_time(error);
  auto hours = std::chrono::duration_cast<std::chrono::hours>(age).count();
  std::string name = newest->path().filename().string();
  if (hours > kBackupMaxAgeHours) {
    return {false, "最近的备份 " + name + " 已有 " + std::to_string(hours / 24) +
                       " 天: 在主菜单按 F10 备份"};
  }
  return {true,
          "最近的备份 " + name + " (" + std::to_string(std::max<long long>(hours, 0)) + " 小时前)"};
}

}  // namespace

DoctorLine CheckServerConnection(const fs::path& /*dir*/) {
  return {true, "总部: 未加入 (单机使用)"};
}

std::string DoctorReport(const std::vector<DoctorLine>& lines) {
  std::string report;
  for (const DoctorLine& line : lines) report += (line.ok ? "OK  " : "!!  ") + line.text + "\n";
  return report;
}

std::vector<DoctorLine> RunDoctor(const fs::path& dir) {
  std::vector<DoctorLine> lines;
  if (::geteuid() == 0) {
    lines.push_back({false, "正在以 root 运行: 设备权限要用收银员自己的账户检查 (不要用 sudo)"});
  }
  lines.push_back(CheckFolder(dir));
  std::error_code error;
  if (!lines.back().ok && !fs::is_directory(dir, error)) return lines;
  fs::path file = dir / "kasso.db";
  lines.push_back(CheckDatabaseFile(file));
  if (fs::is_regular_file(file, error)) CheckDevices(lines, file);
  lines.push_back(CheckDiskSpace(dir));
  lines.push_back(CheckNewestBackup(dir));
  lines.push_back(CheckServerConnection(dir));
  return lines;
}

}  // namespace app
