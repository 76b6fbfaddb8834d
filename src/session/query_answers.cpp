#include "session/query_answers.h"

#include <cctype>
#include <charconv>

#include "texts/language.h"

namespace {

constexpr const char* kSection = "Ports";

std::string_view LineAfter(std::string_view answer, std::string_view marker) {
  const size_t at = answer.find(marker);
  if (at == std::string_view::npos) return {};
  std::string_view rest = answer.substr(at + marker.size());
  const size_t end = rest.find_first_of("\r\n");
  if (end != std::string_view::npos) rest = rest.substr(0, end);
  while (!rest.empty() && std::isspace(static_cast<unsigned char>(rest.front())))
    rest.remove_prefix(1);
  while (!rest.empty() && std::isspace(static_cast<unsigned char>(rest.back())))
    rest.remove_suffix(1);
  return rest;
}

bool ReadNumber(std::string_view text, int* value) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return error == std::errc() && end == text.data() + text.size();
}

SignalQuality QualityOf(int rssi) {
  // -113 + 2 x rssi dBm: below about -109 dBm nothing gets through, below -95 dBm a connection
  // drops often, from -83 dBm on it is steady.
  if (rssi == 99) return SignalQuality::kUnknown;
  if (rssi <= 1) return SignalQuality::kNone;
  if (rssi <= 9) return SignalQuality::kWeak;
  if (rssi <= 14) return SignalQuality::kFair;
  return SignalQuality::kGood;
}

struct SimStatusText {
  const char* text;
  SimState state;
};

// The statuses of "+CPIN:" and the SIM-related texts of "+CME ERROR:"; compared without case.
constexpr SimStatusText kSimStatuses[] = {
    {"READY", SimState::kReady},
    {"SIM PIN", SimState::kPinNeeded},
    {"SIM PUK", SimState::kPukNeeded},
    {"SIM PIN2", SimState::kPin2Needed},
    {"SIM PUK2", SimState::kPuk2Needed},
    {"PH-SIM PIN", SimState::kPhonePinNeeded},
    {"NOT INSERTED", SimState::kNotInserted},
    {"SIM NOT INSERTED", SimState::kNotInserted},
    {"NOT READY", SimState::kNotReady},
    {"SIM BUSY", SimState::kNotReady},
    {"SIM FAILURE", SimState::kFailure},
    {"SIM PIN REQUIRED", SimState::kPinNeeded},
    {"SIM PUK REQUIRED", SimState::kPukNeeded},
    {"SIM PIN2 REQUIRED", SimState::kPin2Needed},
    {"SIM PUK2 REQUIRED", SimState::kPuk2Needed},
};

// The numeric "+CME ERROR:" codes about the SIM.
struct SimErrorCode {
  int code;
  SimState state;
};
constexpr SimErrorCode kSimErrorCodes[] = {
    {10, SimState::kNotInserted}, {11, SimState::kPinNeeded}, {12, SimState::kPukNeeded},
    {13, SimState::kFailure},     {14, SimState::kNotReady},  {17, SimState::kPin2Needed},
    {18, SimState::kPuk2Needed},
};

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

std::string Filled(std::string text, const std::string& one, const std::string& two = {},
                   const std::string& three = {}, const std::string& four = {}) {
  const std::string* values[] = {&one, &two, &three, &four};
  for (size_t at = text.find('%'); at != std::string::npos && at + 1 < text.size();
       at = text.find('%', at)) {
    const char digit = text[at + 1];
    if (digit < '1' || digit > '4') {
      ++at;
      continue;
    }
    const std::string& value = *values[digit - '1'];
    text.replace(at, 2, value);
    at += value.size();
  }
  return text;
}

const char* QualityKey(SignalQuality quality) {
  switch (quality) {
    case SignalQuality::kNone:
      return "QualityNone";
    case SignalQuality::kWeak:
      return "QualityWeak";
    case SignalQuality::kFair:
      return "QualityFair";
    case SignalQuality::kGood:
      return "QualityGood";
    case SignalQuality::kUnknown:
      break;
  }
  return "QualityUnknown";
}

const char* SimKey(SimState state) {
  switch (state) {
    case SimState::kReady:
      return "SimReady";
    case SimState::kPinNeeded:
      return "SimPin";
    case SimState::kPukNeeded:
      return "SimPuk";
    case SimState::kPin2Needed:
      return "SimPin2";
    case SimState::kPuk2Needed:
      return "SimPuk2";
    case SimState::kPhonePinNeeded:
      return "SimPhonePin";
    case SimState::kNotInserted:
      return "SimNotInserted";
    case SimState::kNotReady:
      return "SimNotReady";
    case SimState::kFailure:
      return "SimFailure";
    case SimState::kOther:
      break;
  }
  return "SimOther";
}

}  // namespace

std::optional<SignalReading> ReadSignalAnswer(std::string_view answer) {
  const size_t at = answer.find("+CSQ:");
  if (at == std::string_view::npos) return std::nullopt;
  // The line ends at its line end; a reply cut short ends where the bytes end.
  const std::string_view line = LineAfter(answer.substr(at), "+CSQ:");
  const size_t comma = line.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  SignalReading reading;
  if (!ReadNumber(line.substr(0, comma), &reading.rssi) ||
      !ReadNumber(line.substr(comma + 1), &reading.bitErrorRate))
    return std::nullopt;
  const bool rssiKnown = reading.rssi >= 0 && reading.rssi <= 31;
  if (!rssiKnown && reading.rssi != 99) return std::nullopt;
  if ((reading.bitErrorRate < 0 || reading.bitErrorRate > 7) && reading.bitErrorRate != 99)
    return std::nullopt;
  reading.quality = QualityOf(reading.rssi);
  if (rssiKnown) {
    reading.dbm = -113 + 2 * reading.rssi;
    reading.dbmIsBound = reading.rssi == 0 || reading.rssi == 31;
  }
  return reading;
}

std::optional<SimReading> ReadSimAnswer(std::string_view answer) {
  std::string_view status = LineAfter(answer, "+CPIN:");
  const bool isError = status.empty();
  if (isError) status = LineAfter(answer, "+CME ERROR:");
  if (status.empty()) return std::nullopt;
  if (isError) {
    int code = 0;
    if (ReadNumber(status, &code)) {
      for (const SimErrorCode& known : kSimErrorCodes) {
        if (known.code == code) return SimReading{known.state, std::string(status)};
      }
      return SimReading{SimState::kOther, std::string(status)};
    }
  }
  for (const SimStatusText& known : kSimStatuses) {
    if (EqualsNoCase(status, known.text)) return SimReading{known.state, std::string(status)};
  }
  return SimReading{SimState::kOther, std::string(status)};
}

std::string SignalAnswerLine(std::string_view answer) {
  const std::optional<SignalReading> reading = ReadSignalAnswer(answer);
  if (!reading) return {};
  const std::string ber =
      reading->bitErrorRate == 99
          ? LanguageText(kSection, "BerUnknown", "")
          : Filled(LanguageText(kSection, "BerClass", ""), std::to_string(reading->bitErrorRate));
  if (reading->quality == SignalQuality::kUnknown) {
    return Filled(LanguageText(kSection, "SignalUnknown", ""), std::to_string(reading->rssi), ber) +
           "\r\n";
  }
  const char* dbmKey = reading->rssi == 0 ? "DbmOrLess" : reading->rssi == 31 ? "DbmOrMore" : "Dbm";
  return Filled(LanguageText(kSection, "SignalText", ""), std::to_string(reading->rssi),
                Filled(LanguageText(kSection, dbmKey, ""), std::to_string(reading->dbm)),
                LanguageText(kSection, QualityKey(reading->quality), ""), ber) +
         "\r\n";
}

std::string SimAnswerLine(std::string_view answer) {
  const std::optional<SimReading> reading = ReadSimAnswer(answer);
  if (!reading) return {};
  return Filled(LanguageText(kSection, SimKey(reading->state), ""), reading->status) + "\r\n";
}
