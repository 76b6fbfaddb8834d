// Runs the real dtu-sim program as a child process for a test: starts it with options, learns
// its pty path, sends control lines and waits for their acknowledgement, reads what the
// device received (--record) and stops it (SIGTERM, then SIGKILL) when the object goes away.
//
//   SimProcess sim;
//   ASSERT_TRUE(sim.Start({"--model", "zr350v4", "--boot-ms", "500"}));   // strict
//   (or sim.Start({"--lenient", ...}) for the forgiving device of the demo mode)
//   int fd = open(sim.PtyPath().c_str(), O_RDWR | O_NOCTTY);
//   sim.SendControl("fault error AT+APN");
//   ... sim.Recording() == "s" "AT+APN=x\r\n" ...
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

class SimProcess {
 public:
  // `binDir` holds dtu-sim; tests built with dtu_add_test have DTU_BIN_DIR for it.
#ifdef DTU_BIN_DIR
  explicit SimProcess(std::string binDir = DTU_BIN_DIR);
#else
  explicit SimProcess(std::string binDir);
#endif
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;
  ~SimProcess();

  // Starts dtu-sim with `args` plus a --record file of its own, and waits (up to
  // `timeoutMs`) for the "PTY <path>" line. False with a reason in `error`.
  // The device is strict (--strict: stray bytes before a command make it fail, "+++" counts
  // only alone) unless `args` hold "--lenient".
  bool Start(const std::vector<std::string>& args, std::string* error = nullptr,
             int timeoutMs = 10000);

  const std::string& PtyPath() const {
    return ptyPath_;
  }
  // A symlink to the pty that follows a replug and is removed on an unplug. Open this rather
  // than PtyPath() when the device may be unplugged and plugged in again during the test.
  const std::string& LinkPath() const {
    return linkPath_;
  }
  pid_t pid() const {
    return pid_;
  }

  // Sends one control line ("reboot", "fault silent At+CSQ", ...) and waits for its "ACK".
  // False when the simulator refused it ("ERR ...") or did not answer in time.
  bool SendControl(const std::string& line, int timeoutMs = 10000);

  // The next line the simulator prints that starts with `prefix` ("UNPLUGGED", "PTY ",
  // "STATUS "); lines before it are skipped. Empty when none comes in time. A "PTY " line
  // also updates PtyPath().
  std::string WaitForLine(const std::string& prefix, int timeoutMs = 10000);

  // "mode=setting port=open slave=held" and so on, from the "status" control command.
  std::string Status(int timeoutMs = 10000);

  // Every byte the device received from the program since the start, in order.
  std::string Recording() const;
  const std::string& RecordPath() const {
    return recordPath_;
  }

  // Closes stdin (the simulator ends on its EOF) or sends `signal`, then waits for the exit.
  // Returns the exit status, or -1 when it did not end in time (it is then killed).
  int Stop(int signal = 0, int timeoutMs = 10000);

 private:
  bool ReadLine(std::string& line, int timeoutMs);

  std::string binDir_;
  pid_t pid_ = -1;
  int stdinFd_ = -1;
  int stdoutFd_ = -1;
  std::string pending_;  // stdout bytes not yet split into lines
  std::string ptyPath_;
  std::string linkPath_;
  std::string ownLink_;
  std::string recordPath_;
  std::string tempDir_;
};
