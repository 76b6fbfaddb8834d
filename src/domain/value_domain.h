// What the device accepts for one parameter and how it reports it.
//
// A drop-down parameter is an ordered list of items: the item's position is the index the form
// shows, its code is the text the device stores and reports. For most lists the code is the
// index itself; some store the item text ("PROT", "9600") and a few store other numbers
// ("net mode" 0, 4, 5, 6). Hidden items are accepted and reported but are not offered in the
// list (the "-1" of an unset work mode, the DIO work modes 4 and 5 that other rows write).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

enum class DomainKind {
  kItems,     // one of the item codes
  kNumber,    // decimal integer within [min, max]
  kText,      // free text of printable bytes (any from 0x80 too), at most maxLength bytes
  kHost,      // IPv4 address or host name: letters, digits, '.', '-', at most maxLength
  kIpv4,      // dotted IPv4 address
  kPhone,     // digits with an optional leading '+', at most maxLength; may be empty
  kHex,       // 1 to maxLength hexadecimal digits
  kReadOnly,  // reported by the device, never written
};

struct DomainItem {
  const char* code;     // what the device stores and reports
  const char* meaning;  // what the item stands for (English, for the docs and the form)
  bool hidden = false;  // accepted and reported, but not offered in the drop-down list
};

struct ValueDomain {
  const char* name;  // short identifier used by the docs
  DomainKind kind;
  std::span<const DomainItem> items;  // kItems only
  int64_t min = 0;                    // kNumber only
  int64_t max = 0;                    // kNumber only
  int32_t maxLength = 0;              // kText, kHost, kPhone, kHex
  bool mayBeEmpty = false;            // kText, kHost: the empty value is accepted
};

// Whether the device accepts `value` for a parameter of this domain.
bool AcceptsValue(const ValueDomain& domain, std::string_view value);

// The kind's short name: "list", "number", "text", ...
const char* DomainKindName(DomainKind kind);

// What the device takes, in words, for a message that refuses a value: "one of 0 (unused),
// 1 (digital input), ...", "a whole number from 1 to 65535", ...
std::string DescribeDomain(const ValueDomain& domain);
