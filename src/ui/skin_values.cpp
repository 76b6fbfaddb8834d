#include "skin_values.h"

#include <charconv>
#include <utility>
#include <vector>

namespace skin {
namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::vector<std::string_view> SplitCommas(std::string_view text) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (true) {
    size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) {
      parts.push_back(text.substr(start));
      return parts;
    }
    parts.push_back(text.substr(start, comma - start));
    start = comma + 1;
  }
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
    if (x != b[i]) return false;
  }
  return true;
}

}  // namespace

std::optional<int> ParseInt(std::string_view text) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

std::optional<bool> ParseBool(std::string_view text) {
  text = Trim(text);
  for (std::string_view yes : {"true", "1", "yes"}) {
    if (EqualsNoCase(text, yes)) return true;
  }
  for (std::string_view no : {"false", "0", "no"}) {
    if (EqualsNoCase(text, no)) return false;
  }
  return std::nullopt;
}

std::optional<Margins> ParseMargins(std::string_view text) {
  std::vector<std::string_view> parts = SplitCommas(text);
  std::vector<int> values;
  for (std::string_view part : parts) {
    std::optional<int> v = ParseInt(part);
    if (!v) return std::nullopt;
    values.push_back(*v);
  }
  if (values.size() == 1) return Margins{values[0], values[0], values[0], values[0]};
  if (values.size() == 4) return Margins{values[0], values[1], values[2], values[3]};
  return std::nullopt;
}

std::optional<std::pair<int, int>> ParseSize(std::string_view text) {
  std::vector<std::string_view> parts = SplitCommas(text);
  if (parts.size() != 2) return std::nullopt;
  std::optional<int> w = ParseInt(parts[0]);
  std::optional<int> h = ParseInt(parts[1]);
  if (!w || !h) return std::nullopt;
  return std::make_pair(*w, *h);
}

}  // namespace skin
