#include "setting_commands.h"

#include <charconv>

#include "domain/sensor_items.h"

namespace {

std::string Ok(std::string_view info = {}) {
  if (info.empty()) return "\r\nOK\r\n";
  return "\r\n" + std::string(info) + "\r\n\r\nOK\r\n";
}

std::string Error() {
  return "\r\nERROR\r\n";
}

bool ParseIndex(std::string_view text, int& number) {
  if (text.empty() || text.size() > 4) return false;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, number);
  return ec == std::errc() && ptr == end;
}

bool InRange(std::string_view text, int min, int max) {
  int number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return ParseIndex(text, number) && number >= min && number <= max;
}

// "\"2024/03/05,08:07:06\",5": the quoted local time, then the time zone in quarter hours.
bool ParseClock(std::string_view args, std::string& time) {
  if (args.size() < 23 || args[0] != '"' || args[20] != '"' || args[21] != ',') return false;
  std::string_view t = args.substr(1, 19);
  if (t[4] != '/' || t[7] != '/' || t[10] != ',' || t[13] != ':' || t[16] != ':') return false;
  if (!InRange(t.substr(0, 4), 2000, 2099) || !InRange(t.substr(5, 2), 1, 12) ||
      !InRange(t.substr(8, 2), 1, 31) || !InRange(t.substr(11, 2), 0, 23) ||
      !InRange(t.substr(14, 2), 0, 59) || !InRange(t.substr(17, 2), 0, 59)) {
    return false;
  }
  std::string_view zone = args.substr(22);
  if (!zone.empty() && zone[0] == '-') zone.remove_prefix(1);
  if (!InRange(zone, 0, 48)) return false;
  time = t;
  return true;
}

std::string FoundNetMode(const DeviceConfig& config) {
  const std::string mode = config.Value("AT+NETMODE");
  if (mode == "4") return "GSM";
  if (mode == "5") return "WCDMA";
  return "LTE";
}

std::string FileLog(const DeviceConfig& config, const DeviceClock& clock) {
  const std::string stamp = "[" + clock.text + "] ";
  return stamp + "power on, firmware " + config.model().firmware + "\r\n" + stamp +
         "SIM card ready\r\n" + stamp + "registered, signal 24, " + FoundNetMode(config) + "\r\n" +
         stamp + "PPP up, local address 10.64.12.7\r\n" + stamp + "link to " +
         config.Value("AT+IPAD") + ":" + config.Value("AT+PORT") + " established";
}

CommandAnswer AnswerWrite(std::string_view line, DeviceConfig& config, DeviceClock& clock) {
  const size_t equals = line.find('=');
  std::string_view name = line.substr(3, equals - 3);
  std::string_view args = line.substr(equals + 1);
  if (name == "EXCCLK") {
    std::string time;
    if (!ParseClock(args, time)) return {Error()};
    clock.text = time;
    return {Ok()};
  }
  if (name == "GENSENSORINFO") {
    const size_t comma = args.find(',');
    int index = 0;
    if (comma == std::string_view::npos || !InRange(args.substr(0, comma), 0, 9999) ||
        !ParseIndex(args.substr(0, comma), index)) {
      return {Error()};
    }
    return {config.WriteSensorItem(index, args.substr(comma + 1)) ? Ok() : Error()};
  }
  return {config.Write(line.substr(0, equals), args) == WriteOutcome::kStored ? Ok() : Error()};
}

}  // namespace

std::string SettingMenuText() {
  return "\r\n"
         "========== DTU setting menu ==========\r\n"
         "AT+LIST          this list\r\n"
         "AT+SHOW          show every parameter\r\n"
         "AT+<NAME>=<v>    set a parameter\r\n"
         "AT+FACTORY       restore the factory settings\r\n"
         "AT+FINDNETMODE   network the modem found\r\n"
         "At+VER  At+CSQ  At+CPIN?  at+READFILELOG\r\n"
         "at+quit          leave the setting menu\r\n";
}

CommandAnswer AnswerSettingCommand(std::string_view line, DeviceConfig& config,
                                   DeviceClock& clock) {
  if (!IsAtPrefix(line)) return {Error()};
  if (line.find('=') != std::string_view::npos) return AnswerWrite(line, config, clock);
  const std::string_view name = line.substr(3);
  if (name == "SHOW") return {config.ShowText() + Ok()};
  if (name == "LIST") return {SettingMenuText() + Ok()};
  if (name == "FACTORY") {
    config.FactoryReset();
    return {Ok()};
  }
  if (name == "quit") return {Ok(), true};
  if (name == "FINDNETMODE") return {Ok("+FINDNETMODE:" + FoundNetMode(config))};
  if (name == "VER") return {Ok(std::string("+VER:") + config.model().firmware)};
  if (name == "CPIN?") return {Ok("+CPIN: READY")};
  if (name == "CSQ") return {Ok("+CSQ: 24,99")};
  if (name == "READFILELOG") return {Ok(FileLog(config, clock))};
  return {Error()};
}
