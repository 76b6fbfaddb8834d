#include "catalogue/show_reply_parser.h"

#include <cctype>
#include <optional>
#include <string>

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// The value that follows a label, as positions in the window: `first` is its first byte and
// `last` its last one, after skipping leading blanks and trimming trailing blanks and CRs.
// `startsWithCr` means the device sent no value: the line was empty or only blanks.
struct ValueSpan {
  size_t first;
  size_t last;
  bool startsWithCr;
};

// nullopt when no CR LF follows `behindLabel`: the line was cut and its value cannot be trusted.
std::optional<ValueSpan> FindValue(std::string_view window, size_t behindLabel) {
  const size_t lineEnd = window.find(kLineEnd, behindLabel);
  if (lineEnd == std::string_view::npos) return std::nullopt;
  size_t first = behindLabel;
  while (first < lineEnd && window[first] == ' ') ++first;
  size_t last = lineEnd;
  // Only blanks and CRs are trimmed: a tab belongs to the value.
  while (first < last && (window[last] == ' ' || window[last] == '\r')) --last;
  // window[lineEnd] is the CR of the line end, so `first` always indexes a byte of the window.
  return ValueSpan{first, last, window[first] == '\r'};
}

std::optional<size_t> FindBehind(std::string_view window, std::string_view label) {
  // An empty label matches at the window's start, so that row gets the window's first line.
  const size_t at = window.find(label);
  if (at == std::string_view::npos) return std::nullopt;
  return at + label.size();
}

}  // namespace

std::string_view ShowReplyWindow(const char* data, size_t count) {
  if (data == nullptr || count == 0) return {};
  const std::string_view received(data, count);
  const size_t marker = received.find(kShowMarker);
  if (marker == std::string_view::npos) return {};
  // The window is an 8192-byte text with its terminating zero, searched as zero-terminated text:
  // at most 8191 bytes from the marker, and a zero byte ends what the parser sees.
  std::string_view window = received.substr(marker, kParseWindowSize - 1);
  return window.substr(0, window.find('\0'));
}

ShowReplyResult ParseShowReply(const char* data, size_t count, ParamTable& params,
                               ListParamTable& lists, bool& fiveDioModel) {
  ShowReplyResult result;
  const std::string_view received =
      data != nullptr ? std::string_view(data, count) : std::string_view();
  const std::string_view window = ShowReplyWindow(data, count);
  result.markerFound = !window.empty();

  fiveDioModel = FiveDioModelOf(received);
  // The DIO3 rows must carry this model's labels before they are searched.
  BindDio3Rows(params, fiveDioModel);

  for (auto& [name, row] : params) {
    row.value.clear();
    const std::optional<size_t> behind = FindBehind(window, row.label);
    const std::optional<ValueSpan> span =
        behind ? FindValue(window, *behind) : std::optional<ValueSpan>();
    if (!span) {
      result.missingRows.push_back(name);
      continue;
    }
    ++result.labelsFound;
    const size_t length = span->startsWithCr ? 0 : span->last - span->first + 1;
    if (length < kMaxValueLength) {
      row.value.assign(window.substr(span->first, length));
    } else {
      result.overlongRows.push_back(name);
    }
  }

  result.overlongItems = ParseListItems(window, lists);
  return result;
}

bool FiveDioModelOf(std::string_view text) {
  auto variantIn = [](std::string_view part) {
    return part.find("Zr350V3") != std::string_view::npos ||
           part.find("Zr350V4") != std::string_view::npos;
  };
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    for (std::string_view label : {"software version:", "firmware version:"}) {
      if (line.size() < label.size()) continue;
      bool same = true;
      for (size_t i = 0; i < label.size() && same; ++i)
        same = std::tolower(static_cast<unsigned char>(line[i])) == label[i];
      if (same) return variantIn(line.substr(label.size()));
    }
    start = end + 1;
  }
  // Replies without the statement: the variant may stand anywhere, also in the banner.
  return variantIn(text);
}

std::vector<std::string> ParseListItems(std::string_view window, ListParamTable& lists) {
  std::vector<std::string> overlong;
  for (auto& [name, list] : lists) {
    for (int32_t i = 0; i < list.itemCount; ++i) {
      std::string label = ListItemLabel(list.labelFormat, i);
      const std::optional<size_t> behind = FindBehind(window, label);
      if (!behind) {
        list.items.erase(label);
        continue;
      }
      const std::optional<ValueSpan> span = FindValue(window, *behind);
      if (!span) continue;
      if (span->last - span->first >= kMaxItemValueLength) {
        overlong.push_back(label);
        continue;
      }
      std::string& item = list.items[std::move(label)];
      if (span->startsWithCr) {
        item.clear();
      } else {
        item.assign(window.substr(span->first, span->last - span->first + 1));
      }
    }
  }
  return overlong;
}
