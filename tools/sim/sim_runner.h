// dtu-sim's event loop: the device core on a pty, paced at wire speed, with the control
// channel on stdin and signals. Single-threaded; everything waits in one ppoll().
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "device_core.h"
#include "pty_port.h"
#include "sim_options.h"
#include "wire_pacer.h"

class SimRunner {
 public:
  SimRunner(const SimOptions& options, const DeviceModel& model);
  ~SimRunner();

  // Applies --config and --fault, creates the pty; false with a message on stderr.
  bool Start();
  // Runs until SIGTERM/SIGINT, "quit" or the end of stdin; returns the exit status.
  int Run();

 private:
  int64_t NowNs() const;
  int64_t CoreMs(int64_t ns) const { return ns / 1'000'000; }
  bool Listening() const { return port_.IsOpen() && slaveHeld_; }
  bool OpenPort();
  void Reboot(int64_t nowNs);
  void Unplug();
  void TrackSlave(int64_t nowNs);
  void PumpOutput(int64_t nowNs);
  void FlushWrites();
  void ReadPort(int64_t nowNs);
  void ReadControl(int64_t nowNs);
  void HandleControl(const std::string& line, int64_t nowNs);
  void ApplyLineSettings();
  void Print(const std::string& line);
  void UpdateLink();
  void RemoveLink();

  SimOptions options_;
  DeviceCore core_;
  PtyPort port_;
  WirePacer pacer_;
  std::string writeBuffer_;  // due bytes the pty has not taken yet
  uint64_t bytesSent_ = 0;   // every byte that went out on the line (for the benchmarks)
  std::string controlBuffer_;
  bool slaveHeld_ = false;
  bool stdinOpen_ = true;
  bool quit_ = false;
  int recordFd_ = -1;
  bool linkMade_ = false;
  int64_t startNs_ = 0;
  int64_t unplugAtNs_ = kNoWake;  // an unplug fault has cut a reply; the port closes then
};
