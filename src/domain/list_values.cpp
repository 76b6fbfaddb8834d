#include "domain/list_values.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <utility>

#include "domain/device_params.h"

namespace {

const ValueDomain& DomainNamed(std::string_view name) {
  for (const ValueDomain* domain : ValueDomains()) {
    if (name == domain->name) return *domain;
  }
  static const ValueDomain kNone{"", DomainKind::kItems, {}};
  return kNone;
}

// The list offers the domain's items that are not hidden, in the domain's order; the hidden ones
// are reported without an item of their own.
ListValues FromDomain(const char* control, const char* domain) {
  ListValues list;
  list.control = control;
  for (const DomainItem& item : DomainNamed(domain).items) {
    if (item.hidden) {
      list.hidden.emplace_back(item.code);
    } else {
      list.items.emplace_back(item.code);
    }
  }
  return list;
}

// A list whose index is counted from its first code ("0" or "1", "11" for the ZigBee channels):
// any number shows the item it counts to, an empty value changes nothing.
ListValues Counted(const char* control, const char* domain) {
  ListValues list = FromDomain(control, domain);
  list.emptyKeeps = true;
  return list;
}

// The LoRa rate and ZigBee channel lists, the serial port lists: counted also from an empty
// value, which shows no item.
ListValues CountedFromEmpty(const char* control, const char* domain) {
  return FromDomain(control, domain);
}

// The list holds the codes as its item texts and writes the text of its item.
ListValues ByText(const char* control, const char* domain, std::optional<std::string> none = "") {
  ListValues list = FromDomain(control, domain);
  list.read = ReadAs::kItemText;
  list.unlisted = Unlisted::kClear;
  list.none = std::move(none);
  return list;
}

// A list of words the device reports exactly ("PROT", "CLI", "AUTO"); its hidden "-1" (not set)
// shows no item.
ListValues ByCode(const char* control, const char* domain, Unlisted unlisted,
                  std::optional<std::string> none) {
  ListValues list = FromDomain(control, domain);
  list.read = ReadAs::kCode;
  list.unlisted = unlisted;
  list.none = std::move(none);
  return list;
}

// A list of numbers that are not its indexes ("EXFUN" 0 and 3, the binding centers).
ListValues ByNumber(const char* control, const char* domain, Unlisted unlisted) {
  ListValues list = FromDomain(control, domain);
  list.unlisted = unlisted;
  return list;
}

// The DIO work-mode lists: "0" .. "3" and "6" (analogue input); the modes 4 and 5 come from the
// I/O selection and I/O control lists and show "unused". The analogue lines offer "unused" and
// "analogue input" only, and every other mode shows "unused". Both write by the language text of
// their item, so that a list the skin shortens still writes the mode it shows.
ListValues DioWorkMode(const char* control, bool analogueLine) {
  ListValues list = FromDomain(control, "DIO work mode");
  list.hiddenShows = 0;
  list.none = "0";
  list.namesSection = "DIO workmode";
  for (size_t i = 0; i < list.items.size(); ++i)
    list.names.emplace_back(*list.items[i], "Text" + std::to_string(i + 1));
  if (analogueLine) {
    list.unlisted = Unlisted::kFirst;
    list.items = {"0", "6"};
    list.hidden = {"1", "2", "3", "4", "5"};
  }
  return list;
}

// "I/O1 Mode", "I/O2 Mode": normal I/O (the line's own list decides, nothing is written), then
// activation input (4) and control output (5) of the same line.
ListValues IoMode(const char* control) {
  ListValues list;
  list.control = control;
  list.items = {std::nullopt, "4", "5"};
  list.unlisted = Unlisted::kFirst;
  return list;
}

// "I/O1 control" .. "I/O3 control": the center a line answers to, which makes the line of the
// same number a control output (5) unless the item is "None" (6).
ListValues IoControl(const char* control, const char* line) {
  ListValues list = Counted(control, "mapping center");
  list.steerMode = "5";
  list.steeredLine = line;
  list.unsteered = "6";
  return list;
}

// The line whose work mode is activation input (4). The third item stands for the "DIO4"
// controls, which name the device's third line on every model; it is shown from the "DIO3"
// controls. A three-DIO model looks at its three lines only. When no line is one, the list shows
// none: a choice left over from an earlier read would make the next Write turn that line into an
// activation input on a device that has none.
ListValues IoSelection(bool fiveDioModel) {
  ListValues list;
  list.control = "I/O selection";
  list.read = ReadAs::kSteeredLine;
  list.unlisted = Unlisted::kClear;
  list.steerMode = "4";
  list.steeredLines = {{"DIO1 workmode", "DIO1 workmode"},
                       {"DIO2 workmode", "DIO2 workmode"},
                       {"DIO3 workmode", "DIO4 workmode"}};
  if (fiveDioModel) {
    list.steeredLines.push_back({"DIO4 workmode", "DIO4 workmode"});
    list.steeredLines.push_back({"DIO5 workmode", "DIO5 workmode"});
  }
  list.items.resize(list.steeredLines.size());
  return list;
}

// The settings of one I/O line that are plain counted lists; "%d" is the line's number.
std::string Line(std::string_view format, int line) {
  std::string text(format);
  text.replace(text.find("%d"), 2, std::to_string(line));
  return text;
}

std::vector<ListValues> BuildTable(bool fiveDioModel) {
  std::vector<ListValues> table = {
      ByCode("Protocolmodel", "work mode", Unlisted::kItemText, ""),
      ByCode("DeviceModel", "device model", Unlisted::kKeep, "-1"),
      ByCode("ActivateMethod", "activation method", Unlisted::kKeep, ""),
      ByNumber("EXFUN", "EXFUN", Unlisted::kKeep),
      ByNumber("net mode", "net mode", Unlisted::kCountedOn),
      ByNumber("A serial port binding center", "binding center", Unlisted::kKeep),
      ByNumber("A serial 2 port binding center", "binding center", Unlisted::kKeep),
      ByNumber("RS485 port binding center", "binding center", Unlisted::kKeep),
      IoMode("I/O1 Mode"),
      IoMode("I/O2 Mode"),
      IoControl("I/O1 control", "DIO1 workmode"),
      IoControl("I/O2 control", "DIO2 workmode"),
      IoControl("I/O3 control", "DIO3 workmode"),
      IoSelection(fiveDioModel),
      CountedFromEmpty("ZigBee_RFchannel", "ZigBee channel"),
      CountedFromEmpty("LORA Rate", "LoRa rate"),
      CountedFromEmpty("ActivationInterface", "serial port"),
      CountedFromEmpty("Debugging  port", "serial port"),
      ByText("Transferprotocol", "TCP/UDP by name"),
      ByText("Dtumanagetransferprotocol", "TCP/UDP by name"),
      ByText("Serial Baudrate", "baud rate"),
      ByText("Serial 2 Baudrate", "baud rate"),
      ByText("RS485 Baudrate", "baud rate"),
      ByText("Serial port commu mode", "line code"),
      ByText("Serial 2 port commu mode", "line code"),
      ByText("RS485 port commu mode", "line code"),
      ByText("The PPP authentication", "PPP authentication"),
      ByText("LORA Mode", "LoRa mode", std::nullopt),
  };
  ListValues loraType = Counted("LORA typ", "LoRa type");
  loraType.none = "0";
  table.push_back(loraType);
  ListValues serverCount = Counted("Server Count", "server count");
  serverCount.none = "";
  table.push_back(serverCount);

  const std::pair<const char*, const char*> counted[] = {
      {"GPS work mode", "GPS mode"},
      {"GPS Protocol", "TCP/UDP by index"},
      {"GPS GPRMC", "off/on"},
      {"GPS GPVTG", "off/on"},
      {"GPS GPGGA", "off/on"},
      {"GPS GPGSA", "off/on"},
      {"GPS GPGSV", "off/on"},
      {"GPS GPGLL", "off/on"},
      {"ZigBee_WorkMode", "ZigBee mode"},
      {"ZigBee_Type", "ZigBee type"},
      {"dtu is connect to dtu manage platform", "no/yes"},
      {"DTU SMS configure fun", "off/on"},
      {"RegistrationAndHeart", "off/on"},
      {"RegisterbHex", "ASCII/HEX"},
      {"Show Phone NO", "no/yes"},
      {"Encode Hex SMS", "no/yes"},
      {"Send Hex SMS", "no/yes"},
      {"Deliver Recved Tcp Data Directly", "no/yes"},
      {"HTTP Request Mode", "HTTP request"},
      {"MQTT CACHEEANBLE", "off/on"},
      {"DataFormat", "ASCII/HEX"},
      {"IOactivationmethods", "I/O activation"},
      {"Debug Level", "debug level"},
      {"Clear Serial Buffer", "no/yes"},
      {"Should Return To Main Server", "no/yes"},
      {"LCP ECHO", "off/on"},
      {"After a failed action", "after failure"},
      {"DIO3 ADCType", "ADC type"},
      {"DIO5 ADCType", "ADC type"},
  };
  for (auto [control, domain] : counted) table.push_back(Counted(control, domain));

  // The I/O page's lines; "DIO3" holds the device's fourth line on a five-DIO model.
  for (int line = 1; line <= 5; ++line) {
    const bool analogue = line == 5 || (line == 3 && !fiveDioModel);
    table.push_back(DioWorkMode(Line("DIO%d workmode", line).c_str(), analogue));
    table.push_back(ByText(Line("DIO%d interface", line).c_str(), "DIO interface"));
    const std::pair<const char*, const char*> lineLists[] = {
        {"DIO%d and mapping center", "mapping center"},
        {"DIO%d reported methods", "report method"},
        {"A DIO%d data format", "ASCII/HEX"},
        {"DIO%d protocol", "DIO protocol"},
    };
    for (auto [format, domain] : lineLists)
      table.push_back(Counted(Line(format, line).c_str(), domain));
  }
  return table;
}

// Index arithmetic on a clamped number must not overflow either.
int ClampedIndex(int64_t index) {
  return static_cast<int>(std::clamp<int64_t>(index, INT_MIN, INT_MAX));
}

bool Matches(const ListValues& list, const std::string& value, const std::string& code) {
  if (list.read == ReadAs::kCode) return value == code;
  return LeadingNumber(value) == LeadingNumber(code);
}

int IndexOfText(std::span<const std::string> texts, std::string_view text) {
  for (size_t i = 0; i < texts.size(); ++i) {
    if (texts[i] == text) return static_cast<int>(i);
  }
  return -1;
}

// The number of the first and the last item that has a code.
std::optional<std::pair<int64_t, int64_t>> CodeRange(const ListValues& list) {
  auto first = std::find_if(list.items.begin(), list.items.end(),
                            [](const auto& code) { return code.has_value(); });
  if (first == list.items.end()) return std::nullopt;
  return std::pair<int64_t, int64_t>{LeadingNumber(**first), LeadingNumber(*list.items.back())};
}

}  // namespace

std::span<const ListValues> ListValuesTable(bool fiveDioModel) {
  static const std::vector<ListValues> threeDio = BuildTable(false);
  static const std::vector<ListValues> fiveDio = BuildTable(true);
  return fiveDioModel ? fiveDio : threeDio;
}

const ListValues* FindListValues(std::string_view control, bool fiveDioModel) {
  for (const ListValues& list : ListValuesTable(fiveDioModel)) {
    if (control == list.control) return &list;
  }
  return nullptr;
}

const ListValues& IndexListValues() {
  static const ListValues list = [] {
    ListValues index;
    index.emptyKeeps = true;
    return index;
  }();
  return list;
}

int LeadingNumber(std::string_view value) {
  size_t at = 0;
  while (at < value.size() && (value[at] == ' ' || (value[at] >= '\t' && value[at] <= '\r'))) ++at;
  bool negative = false;
  if (at < value.size() && (value[at] == '+' || value[at] == '-')) negative = value[at++] == '-';
  int64_t number = 0;
  for (; at < value.size() && value[at] >= '0' && value[at] <= '9'; ++at) {
    // Past the 32-bit range the number only needs to stay past it.
    if (number <= INT64_C(1) << 40) number = number * 10 + (value[at] - '0');
  }
  return ClampedIndex(negative ? -number : number);
}

std::optional<int> DecodeListValue(const ListValues& list, const std::string& value,
                                   const ListContext& context) {
  if (list.read == ReadAs::kSteeredLine) {
    for (size_t i = 0; i < list.steeredLines.size(); ++i) {
      const char* row = list.steeredLines[i].reads;
      if (row && context.rowValue && context.rowValue(row) == list.steerMode)
        return static_cast<int>(i);
    }
    return -1;
  }
  if (list.read == ReadAs::kItemText) return IndexOfText(context.itemTexts, value);
  if (list.emptyKeeps && value.empty()) return std::nullopt;
  for (size_t i = 0; i < list.items.size(); ++i) {
    if (list.items[i] && Matches(list, value, *list.items[i])) return static_cast<int>(i);
  }
  for (const std::string& code : list.hidden) {
    if (Matches(list, value, code)) return list.hiddenShows;
  }
  const int64_t number = LeadingNumber(value);
  const auto range = CodeRange(list);
  switch (list.unlisted) {
    case Unlisted::kKeep:
      return std::nullopt;
    case Unlisted::kClear:
      return -1;
    case Unlisted::kFirst:
      return 0;
    case Unlisted::kCounted:
      return ClampedIndex(number - (range ? range->first : 0));
    case Unlisted::kCountedOn:
      if (!range || number <= range->second) return std::nullopt;
      return ClampedIndex(static_cast<int64_t>(list.items.size()) - 1 + number - range->second);
    case Unlisted::kItemText:
      return IndexOfText(context.itemTexts, value);
  }
  return std::nullopt;
}

std::optional<std::string> EncodeListValue(const ListValues& list, int index,
                                           const ListContext& context) {
  if (list.read == ReadAs::kSteeredLine) return std::nullopt;
  if (index < 0) return list.none;
  const auto at = static_cast<size_t>(index);
  if (list.read == ReadAs::kItemText) {
    if (at >= context.itemTexts.size()) return list.none;
    return context.itemTexts[at];
  }
  if (list.namesSection) {
    if (at >= context.itemTexts.size() || !context.languageText) return list.none;
    for (const auto& [code, key] : list.names) {
      if (context.itemTexts[at] == context.languageText(list.namesSection, key)) return code;
    }
    return list.none;
  }
  if (at < list.items.size()) return list.items[at];
  // Past the last item a counted list counts on; the others show nothing the device knows.
  const auto range = CodeRange(list);
  if (list.unlisted == Unlisted::kCounted && range) return std::to_string(range->first + index);
  if (list.unlisted == Unlisted::kCountedOn && range)
    return std::to_string(range->second + index - static_cast<int64_t>(list.items.size()) + 1);
  return list.none;
}

bool WritesOwnValue(const ListValues& list) {
  return list.read != ReadAs::kSteeredLine;
}

const char* SteeredRow(const ListValues& list, int index) {
  if (!list.steerMode || index < 0) return nullptr;
  const auto at = static_cast<size_t>(index);
  if (list.steeredLine) {
    if (list.unsteered && at < list.items.size() && list.items[at] == list.unsteered)
      return nullptr;
    return list.steeredLine;
  }
  return at < list.steeredLines.size() ? list.steeredLines[at].writes : nullptr;
}
