#include "sim_options.h"

#include <charconv>
#include <cmath>

namespace {

bool ParseInt(const std::string& text, int64_t min, int64_t max, int64_t& value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return !text.empty() && ec == std::errc() && ptr == end && value >= min && value <= max;
}

// Seconds with an optional fraction ("120", "0.5").
bool ParseSeconds(const std::string& text, int64_t& ms) {
  double seconds = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, seconds);
  if (text.empty() || ec != std::errc() || ptr != end || !(seconds >= 0) || seconds > 86400) {
    return false;
  }
  ms = static_cast<int64_t>(std::llround(seconds * 1000));
  return true;
}

}  // namespace

bool ParseSimOptions(const std::vector<std::string>& args, SimOptions& options,
                     std::string& message) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    std::string text;
    int64_t number = 0;
    bool ok = true;
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--list-models") {
      options.listModels = true;
    } else if (arg == "--parameters-doc") {
      options.parametersDoc = true;
    } else if (arg == "--model") {
      ok = value(options.model);
    } else if (arg == "--config") {
      ok = value(options.configFile);
    } else if (arg == "--boot-ms") {
      ok = value(text) && ParseInt(text, 0, 600000, options.bootMs);
    } else if (arg == "--prompt-period-ms") {
      ok = value(text) && ParseInt(text, 1, 600000, options.promptPeriodMs);
    } else if (arg == "--strict") {
      options.strict = true;
    } else if (arg == "--lenient") {
      options.strict = false;
    } else if (arg == "--idle-timeout") {
      ok = value(text) && ParseSeconds(text, options.idleTimeoutMs);
    } else if (arg == "--latency-ms") {
      ok = value(text) && ParseInt(text, 0, 60000, options.latencyMs);
    } else if (arg == "--baud") {
      ok = value(text) && ParseInt(text, 50, 4000000, number);
      options.baud = static_cast<int>(number);
    } else if (arg == "--line") {
      ok = value(text) && ParseLineCode(text, options.line);
      options.lineFixed = true;
    } else if (arg == "--reboot-on-open") {
      options.rebootOnOpen = true;
    } else if (arg == "--no-reboot-on-open") {
      options.rebootOnOpen = false;
    } else if (arg == "--stdin-control") {
      options.stdinControl = true;
    } else if (arg == "--no-stdin-control") {
      options.stdinControl = false;
    } else if (arg == "--record") {
      ok = value(options.recordFile);
    } else if (arg == "--link") {
      ok = value(options.linkPath);
    } else if (arg == "--fault") {
      ok = value(text);
      options.faults.push_back(text);
    } else {
      message = "unknown option: " + arg;
      return false;
    }
    if (!ok) {
      message = "missing or bad value for " + arg;
      return false;
    }
  }
  return true;
}

std::string SimUsage() {
  return "usage: dtu-sim [options]\n"
         "A simulated DTU on a pseudo-terminal. Prints \"PTY <path>\" first, then reads\n"
         "control commands on stdin (reboot, replug, status, quit, fault ...).\n"
         "  --model NAME          device model (--list-models), default zr350\n"
         "  --config FILE         a .cfg file as the initial configuration\n"
         "  --boot-ms N           how long the boot prompt waits for 's' (3000)\n"
         "  --prompt-period-ms N  time between two boot prompts (1000)\n"
         "  --idle-timeout SEC    setting mode ends after SEC without a command (120; 0 never)\n"
         "  --latency-ms N        processing time before each answer (5)\n"
         "  --strict              behave like the hardware: bytes before a command belong to\n"
         "                        its line, \"+++\" is an escape only alone in its burst and\n"
         "                        is not confirmed again in setting mode\n"
         "  --lenient             forgive those (the default)\n"
         "  --baud N              wire speed; default: the rate set on the pty\n"
         "  --line 8N1            line code; default: 8 data bits, no parity, the pty's stop bits\n"
         "  --no-reboot-on-open   do not reboot when a program opens the pty\n"
         "  --record FILE         append every byte received from the program to FILE\n"
         "  --link PATH           symlink PATH to the pty (removed on exit)\n"
         "  --no-stdin-control    ignore stdin (demo mode); exit on SIGTERM/SIGINT only\n"
         "  --fault 'WORDS'       a fault trigger, as after \"fault\" on the control channel:\n"
         "                        silent CMD | error CMD | garbage on|off | nul on|off |\n"
         "                        (CMD +++ for the escape: \"error +++\" answers it ERROR)\n"
         "                        unplug-after-bytes N | chunk BYTES GAP_MS | chunk off |\n"
         "                        clear [CMD]\n"
         "  --list-models         print the models and exit\n"
         "  --version             print the version and exit\n"
         "  --parameters-doc      print the parameter table as Markdown and exit\n"
         "SIGUSR1 reboots the device.\n";
}
