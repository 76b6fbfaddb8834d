// One device command waiting for the worker, and the facts about each job kind.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The awaited kinds of the login and the job kinds the worker runs. While a job runs, its kind is
// also the receive path's awaited kind. Each kind's behaviour is one row of job_kinds.cpp.
enum class JobKind : int {
  kAwaitNothing = -1,
  kAwaitSettingMenu = 0,   // the port opened: the booting device's setting menu
  kShow = 1,               // "AT+SHOW": fill the tables and the form
  kWrite = 2,              // one parameter, a sensor item or the clock
  kAwaitEscapeAnswer = 3,  // the answer to "+++"
  kFactoryReset = 4,
  kSaveToFile = 5,    // "AT+SHOW" into a configuration file
  kLoadFromFile = 6,  // "AT+SHOW" before the loaded file's differences are written
  kQuitSetting = 7,   // leaving the setting mode
  kFindNetMode = 8,
  kVersion = 9,
  kSimStatus = 10,
  kSignal = 11,
  kSignalRetry = 12,
  kReadLogFile = 13,
  kNamedCommand = 15,  // a button named after an AT command
};

// The show request of the file operations: the leading line break ends whatever half line the
// device may still hold.
inline constexpr std::string_view kFileShowCommand = "\r\nAT+SHOW\r\n";

struct WorkJob {
  JobKind kind = JobKind::kAwaitSettingMenu;
  // The exact bytes sent, line end included, up to the first zero byte.
  std::string command;
  // Writes: the control name of the parameter, the value written, "List" for an item of
  // a list parameter, and that item's key.
  std::string name;
  std::string value;
  std::string group;
  std::string subkey;
  // Saving to a file: the file the reply goes to. It travels with the job, so a file
  // dialog confirmed while the job waits does not redirect the reply into another file.
  std::string filePath;
  // The opening of the port the job was queued for; a job of an earlier opening is never sent.
  uint64_t epoch = 0;
};

// A write of a batch: a parameter or a sensor item, named (the clock write has no name). Once one
// of them is not accepted, the rest of its batch is not sent.
bool IsBatchWrite(const WorkJob& job);

// A job with only its kind and command, as the buttons queue them.
WorkJob MakeJob(JobKind kind, std::string_view command);

// The bytes the worker writes: the command up to its first zero byte.
std::string_view CommandBytes(const WorkJob& job);

// The write of `value` to the row `name` by its command stem ("AT+APN"): "AT+APN=value\r\n".
WorkJob MakeParamWrite(const std::string& name, const std::string& command,
                       const std::string& value);

// Whether the text holds a carriage return, a line feed or a zero byte: a value holding one
// would end its command early and reach the device with the rest as a command of its own.
bool HoldsLineBreak(std::string_view text);

// Whether the command holds a carriage return, a line feed or a zero byte anywhere but in its
// final "\r\n". Sending such a write would end the command early and let the rest of the value
// reach the device as a second command.
bool HasInnerLineBreak(std::string_view command);
