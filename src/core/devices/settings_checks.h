#pragma once

#include <filesystem>
#include <string>

#include "core/settings/settings.h"

namespace devices {

// The settings screen's checks before a save, in order: port conflicts, a touch front without
// a scale port, ports that are neither a kind the settings offer nor a device ("端口必须是设备
// 文件"), then the wipe choice and the points base. Throws kasso::ValidationError naming the
// field to focus.
void ValidateSettings(const settings::Settings& settings);

// Checks the settings as above, then writes them with the audit row naming the actor, in one
// transaction. Throws kasso::ValidationError or store::DbError.
void SaveCheckedSettings(const settings::Settings& settings, const std::string& actor);

// Writes dhip.ini for the scale tool: the address, TAB, "3", CR LF. Throws kasso::UserError
// ("文件不存在") when it cannot be written.
void SaveScaleAddressFile(const std::string& address, const std::filesystem::path& directory);

}  // namespace devices
