// libFuzzer target: any bytes as config.ini or Language.ini read without a crash, values within
// their capacity; a value written with WriteIniString reads back, and every other key keeps its
// value.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "texts/atomic_file.h"
#include "texts/language.h"
#include "texts/settings.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

std::string g_path;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // In memory where there is /dev/shm: every save flushes its file to the disk.
  std::string folder =
      std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/settings_fuzz.XXXXXX";
  Check(mkdtemp(folder.data()) != nullptr);
  g_path = folder + "/config.ini";
  static const std::string kFolder = folder;
  std::atexit([] {
    unlink(g_path.c_str());
    rmdir(kFolder.c_str());
  });
  SetLanguageFile(g_path);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Check(WriteFileAtomically(g_path, bytes, nullptr));

  Check(ReadIniString(g_path, "Set", "Language", "", 20).size() <= 19);
  (void)ReadLanguageValue(g_path);
  Check(LanguageText("ComSend", "send", "!").size() <= 200);
  const std::string other = ReadIniString(g_path, "Other", "Key", "none", 300);

  Check(WriteIniString(g_path, "Set", "Language", "7"));
  Check(ReadIniString(g_path, "Set", "Language", "", 20) == "7");
  Check(ReadLanguageValue(g_path) == 7);
  Check(ReadIniString(g_path, "Other", "Key", "none", 300) == other);
  return 0;
}
