#pragma once

#include <filesystem>
#include <string>

#include "core/store/database.h"

namespace devices {

// One line of the scale's PLU file, in GBK, ended by CR LF.
std::string PluLine(long long pluno, const std::string& barcode, double salesprice,
                    const std::string& scalesimple, const std::string& goodsname);

// Writes tma07.txt in the directory: one line per scale goods, ordered by PLU number. With no
// scale goods the file is left as it was. The file is replaced whole or not at all. Throws
// common::UserError ("创建电子称下传文件失败") when it cannot be written.
void WritePluFile(const std::filesystem::path& directory);

// Writes the PLU file, then runs the scale download tool "testexe" from the directory and
// waits for it. Returns a message to show when the tool is missing, else empty.
std::string DownloadPluToScale(const std::filesystem::path& directory);

// The weight text the weighing dialog shows for a scale's answer: "" -> "0"; with a point ->
// as it is; else its digits in grams as kilograms ("1234" -> "1.234", "01234" -> "01.234");
// any other digit count -> "".
std::string FormatScaleWeight(const std::string& answer);

// The weight in the last complete frame a serial scale sent: the digits and point of a line
// such as "\x02  1.234kg\r"; empty when no complete frame came. Noise and partial frames
// are skipped.
std::string ParseScaleAnswer(const std::string& received);

// Asks the serial scale on comscaleport for its weight ("W", 9600 8N1) and returns the
// weight text of its answer; empty when there is no scale or no answer.
std::string ReadScaleWeight();

}  // namespace devices
