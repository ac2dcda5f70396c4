// The check a restore makes of the chosen file, over any bytes: a sound till database is
// accepted, anything else refused with a reason; the file is never changed.

#include <cstring>
#include <fstream>
#include <iterator>

#include "core/app/restore.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto file = fuzzing::InputFile(data, size, "backup.dat");
  const std::optional<std::string> refusal = app::CheckBackupFile(file);
  if (refusal && refusal->empty()) __builtin_trap();  // a refusal always says why
  std::ifstream in(file, std::ios::binary);
  const std::string after((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (after.size() != size || (size > 0 && std::memcmp(after.data(), data, size) != 0)) {
    __builtin_trap();  // the check changed the file
  }
  return 0;
}
