// One device command waiting for the worker, and the facts about each job kind.
#pragma once

#include <string>
#include <string_view>

// The awaited kinds of the login; they are never queued.
inline constexpr int kAwaitNothing = -1;
inline constexpr int kAwaitSettingMenu = 0;
inline constexpr int kAwaitEscapeAnswer = 3;

// The job kinds the worker runs.
inline constexpr int kJobShow = 1;
inline constexpr int kJobWrite = 2;
inline constexpr int kJobFactoryReset = 4;
inline constexpr int kJobSaveToFile = 5;
inline constexpr int kJobLoadFromFile = 6;
inline constexpr int kJobQuitSetting = 7;
inline constexpr int kJobFindNetMode = 8;
inline constexpr int kJobVersion = 9;
inline constexpr int kJobSimStatus = 10;
inline constexpr int kJobSignal = 11;
inline constexpr int kJobSignalRetry = 12;
inline constexpr int kJobReadLogFile = 13;
inline constexpr int kJobNamedCommand = 15;

// The show request of the file operations: the leading line break ends whatever half line the
// device may still hold.
inline constexpr std::string_view kFileShowCommand = "\r\nAT+SHOW\r\n";

struct WorkJob {
  int kind = 0;
  // The exact bytes sent, line end included, up to the first zero byte.
  std::string command;
  // Writes (kind 2): the control name of the parameter, the value written, "List" for an item of
  // a list parameter, and that item's key.
  std::string name;
  std::string value;
  std::string group;
  std::string subkey;
  // Saving to a file (kind 5): the file the reply goes to. It travels with the job, so a file
  // dialog confirmed while the job waits does not redirect the reply into another file.
  std::string filePath;
};

// A job with only its kind and command, as the buttons queue them.
WorkJob MakeJob(int kind, std::string_view command);

// How long the worker waits for the reply of a job of `kind`, in milliseconds: 24000 for the
// show requests and the log file, 5000 for everything else, times the port's time-out factor.
int JobTimeoutMs(int kind, int timeoutFactor);

// The bytes the worker writes: the command up to its first zero byte.
std::string_view CommandBytes(const WorkJob& job);

// Whether the command holds a carriage return, a line feed or a zero byte anywhere but in its
// final "\r\n". Sending such a write would end the command early and let the rest of the value
// reach the device as a second command.
bool HasInnerLineBreak(std::string_view command);
