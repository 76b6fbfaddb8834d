// Random configurations of a simulated device, for property tests: every writable parameter
// gets a value its domain may hold (the device's own validation decides), and most sensor items
// a random item. A generator seeded alike always makes the same configuration.
#pragma once

#include <algorithm>
#include <random>
#include <string>

#include "device_config.h"
#include "domain/device_params.h"

inline std::string Printable(std::mt19937& random, size_t maxLength, const char* alphabet) {
  const std::string letters = alphabet;
  std::uniform_int_distribution<size_t> length(0, maxLength);
  std::uniform_int_distribution<size_t> pick(0, letters.size() - 1);
  std::string text(length(random), ' ');
  for (char& c : text) c = letters[pick(random)];
  return text;
}

// A value the domain may hold, often one the device refuses: the device decides.
inline std::string Candidate(std::mt19937& random, const ValueDomain& domain) {
  auto number = [&](int64_t min, int64_t max) {
    return std::to_string(std::uniform_int_distribution<int64_t>(min, max)(random));
  };
  const size_t longest = static_cast<size_t>(std::max(domain.maxLength, 1));
  switch (domain.kind) {
    case DomainKind::kItems:
      return domain.items[std::uniform_int_distribution<size_t>(0, domain.items.size() - 1)(random)]
          .code;
    case DomainKind::kNumber:
      return number(domain.min, domain.max);
    case DomainKind::kText:
      return Printable(random, std::min<size_t>(longest, 24),
                       "abcXYZ019 -_.#*@/:;!?()[]{}=+'\"<>~^`|\\$%&");
    case DomainKind::kHost:
      if (random() % 2 == 0) {
        return number(0, 255) + "." + number(0, 255) + "." + number(0, 255) + "." + number(0, 255);
      }
      return Printable(random, 12, "abcdefxyz-") + ".example";
    case DomainKind::kIpv4:
      return number(0, 255) + "." + number(0, 255) + "." + number(0, 255) + "." + number(0, 255);
    case DomainKind::kPhone:
      return (random() % 2 ? "+" : "") +
             Printable(random, std::min<size_t>(longest - 1, 15), "0123456789");
    case DomainKind::kHex:
      return Printable(random, longest - 1, "0123456789ABCDEF") + "7";
    case DomainKind::kReadOnly:
      return {};
  }
  return {};
}

inline constexpr int kSensorItems = 16;

inline std::string SensorCandidate(std::mt19937& random) {
  // The numeric fields' ranges, field 8 is the data name.
  constexpr int64_t kMax[] = {1, 247, 16, 65535, 125, 15, 6, 3, -1, 65535};
  std::string fields;
  for (size_t p = 0; p < std::size(kMax); ++p) {
    if (p > 0) fields += ",";
    if (kMax[p] < 0) {
      fields += Printable(random, 12, "abcxyz0129_ ");
    } else {
      fields += std::to_string(std::uniform_int_distribution<int64_t>(0, kMax[p])(random));
    }
  }
  return fields;
}

inline DeviceConfig RandomDevice(const DeviceModel& model, std::mt19937& random) {
  DeviceConfig device(model);
  for (const DeviceParam& param : DeviceParams()) {
    if (param.command.empty() || param.domain->kind == DomainKind::kReadOnly) continue;
    // Several tries, so that most parameters leave their factory value.
    for (int attempt = 0; attempt < 3; ++attempt) {
      if (device.Write(param.command, Candidate(random, *param.domain)) == WriteOutcome::kStored)
        break;
    }
  }
  for (int i = 0; i < kSensorItems; ++i) {
    if (random() % 3 != 0) device.WriteSensorItem(i, SensorCandidate(random));
  }
  return device;
}

// The device's whole reply to AT+SHOW, as a configuration file holds it.
inline std::string Reply(const DeviceConfig& device) {
  return "\r\nAT+SHOW\r\n" + device.ShowText() + "OK\r\n";
}
