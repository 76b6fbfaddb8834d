#include "domain/value_domain.h"

#include <charconv>
#include <string>

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// A decimal integer as the device reads it: an optional '-', then digits only.
bool ParseDecimal(std::string_view text, int64_t& number) {
  if (text.empty() || text.size() > 12) return false;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, number);
  return ec == std::errc() && ptr == end;
}

// Printable ASCII and every byte from 0x80: the device keeps text in whatever character set it
// was sent (UTF-8, or GB 18030 from Chinese Windows tools). Control bytes are refused: a CR or
// LF would break the show reply's lines, a NUL the program's receive buffer.
bool IsPrintableText(std::string_view text) {
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return false;
  }
  return true;
}

bool IsIpv4(std::string_view text) {
  int parts = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t dot = text.find('.', start);
    if (dot == std::string_view::npos) dot = text.size();
    std::string_view part = text.substr(start, dot - start);
    if (part.empty() || part.size() > 3) return false;
    for (char c : part) {
      if (!IsDigit(c)) return false;
    }
    int64_t number = 0;
    if (!ParseDecimal(part, number) || number > 255) return false;
    ++parts;
    start = dot + 1;
    if (dot == text.size()) break;
  }
  return parts == 4;
}

// An IPv4 address, or a host name as RFC 1123 has it: labels of 1 to 63 letters, digits and
// inner hyphens, joined by dots. Text of digits and dots alone is an address and must be a
// whole one: a host name's last label is never all digits, so "999.1.1.1" is no name either.
bool IsHostName(std::string_view text) {
  if (text.find_first_not_of("0123456789.") == std::string_view::npos) return IsIpv4(text);
  size_t start = 0;
  std::string_view last;
  while (start <= text.size()) {
    size_t dot = text.find('.', start);
    if (dot == std::string_view::npos) dot = text.size();
    const std::string_view label = text.substr(start, dot - start);
    if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-')
      return false;
    for (char c : label) {
      const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
      if (!letter && !IsDigit(c) && c != '-') return false;
    }
    last = label;
    if (dot == text.size()) break;
    start = dot + 1;
  }
  return last.find_first_not_of("0123456789") != std::string_view::npos;
}

}  // namespace

bool AcceptsValue(const ValueDomain& domain, std::string_view value) {
  const auto length = static_cast<int64_t>(value.size());
  switch (domain.kind) {
    case DomainKind::kItems:
      for (const DomainItem& item : domain.items) {
        if (value == item.code) return true;
      }
      return false;
    case DomainKind::kNumber: {
      // A leading '+' or blank is not a number to the device.
      if (value.empty() || !(IsDigit(value[0]) || value[0] == '-')) return false;
      int64_t number = 0;
      return ParseDecimal(value, number) && number >= domain.min && number <= domain.max;
    }
    case DomainKind::kText:
      if (value.empty()) return domain.mayBeEmpty;
      return length <= domain.maxLength && IsPrintableText(value);
    case DomainKind::kHost:
      if (value.empty()) return domain.mayBeEmpty;
      return length <= domain.maxLength && IsHostName(value);
    case DomainKind::kIpv4:
      return IsIpv4(value);
    case DomainKind::kPhone: {
      if (value.empty()) return domain.mayBeEmpty;
      if (length > domain.maxLength) return false;
      std::string_view digits = value[0] == '+' ? value.substr(1) : value;
      if (digits.empty()) return false;
      for (char c : digits) {
        if (!IsDigit(c)) return false;
      }
      return true;
    }
    case DomainKind::kHex:
      if (value.empty() || length > domain.maxLength) return false;
      for (char c : value) {
        if (!IsHexDigit(c)) return false;
      }
      return true;
    case DomainKind::kReadOnly:
      return false;
  }
  return false;
}

std::string DescribeDomain(const ValueDomain& domain) {
  const std::string most = std::to_string(domain.maxLength);
  switch (domain.kind) {
    case DomainKind::kItems: {
      std::string text = "one of";
      const char* separator = " ";
      for (const DomainItem& item : domain.items) {
        text += separator + std::string(item.code) + " (" + item.meaning + ")";
        separator = ", ";
      }
      return text;
    }
    case DomainKind::kNumber:
      return "a whole number from " + std::to_string(domain.min) + " to " +
             std::to_string(domain.max);
    case DomainKind::kText:
      return "text of at most " + most + " bytes, no control characters" +
             (domain.mayBeEmpty ? ", or nothing" : "");
    case DomainKind::kHost:
      return "an IPv4 address (four numbers from 0 to 255, such as 10.0.0.1) or a host name "
             "(letters, digits, hyphens and dots, not ending in a number), at most " +
             most + " bytes";
    case DomainKind::kIpv4:
      return "an IPv4 address: four numbers from 0 to 255 joined by dots, such as 10.0.0.1";
    case DomainKind::kPhone:
      return "digits with an optional leading +, at most " + most + " characters" +
             (domain.mayBeEmpty ? ", or nothing" : "");
    case DomainKind::kHex:
      return "1 to " + most + " hexadecimal digits";
    case DomainKind::kReadOnly:
      return "nothing: the device only reports it";
  }
  return {};
}

const char* DomainKindName(DomainKind kind) {
  switch (kind) {
    case DomainKind::kItems:
      return "list";
    case DomainKind::kNumber:
      return "number";
    case DomainKind::kText:
      return "text";
    case DomainKind::kHost:
      return "host";
    case DomainKind::kIpv4:
      return "IPv4";
    case DomainKind::kPhone:
      return "phone";
    case DomainKind::kHex:
      return "hex";
    case DomainKind::kReadOnly:
      return "read-only";
  }
  return "";
}
