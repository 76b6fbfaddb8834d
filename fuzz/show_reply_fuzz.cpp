// libFuzzer target: any bytes, as a device reply or as a configuration file, give values or
// empty values, never a crash or a read outside the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "catalogue/param_table.h"
#include "catalogue/show_reply_parser.h"
#include "writing/config_file.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void ParseAndCheck(const char* data, size_t size) {
  static ParamTable params;
  static ListParamTable lists;
  if (params.empty()) BuildParamTable(params, lists, 12);
  bool fiveDio = false;
  ParseShowReply(data, size, params, lists, fiveDio);
  for (const auto& [name, row] : params) {
    Check(row.value.size() < kMaxValueLength);
    Check(row.value.find("\r\n") == std::string::npos);
  }
  for (const auto& [name, list] : lists) {
    for (const auto& [label, value] : list.items) Check(value.size() <= kMaxItemValueLength);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* bytes = reinterpret_cast<const char*>(data);
  ParseAndCheck(bytes, size);
  const std::string text = DecodeConfigFile(std::string_view(bytes, size));
  Check(text.size() <= kConfigFileMaxChars);
  Check(DecodeConfigFile(EncodeConfigFile(text)) == text);
  ParseAndCheck(text.data(), text.size());
  return 0;
}
