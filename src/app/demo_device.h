// The simulated device of the demo mode: dtu-sim started beside the program on a pseudo-terminal.
#pragma once

#include <QProcess>

#include <string>

// Whether the simulator knows a model called `name` ("zr350-l", ...).
bool IsDemoModel(const std::string& name);

// What the simulated device answers to "AT+SHOW", from the echo to the final "OK": the model
// `model` when given, else the one whose module page is `page` (LoRa, ZigBee, GPS), else the
// simulator's default. The pictures of the form show it without a device.
std::string DemoShowReply(int page, const std::string& model);

class DemoDevice {
 public:
  DemoDevice() = default;
  ~DemoDevice();
  DemoDevice(const DemoDevice&) = delete;
  DemoDevice& operator=(const DemoDevice&) = delete;

  // Starts `simPath` and waits for the pty path it announces. False (and `*error` says why) when
  // the simulator cannot be started or does not announce a port.
  bool Start(const std::string& simPath, std::string* error);
  const std::string& PortPath() const { return portPath_; }

 private:
  QProcess process_;
  std::string portPath_;
};
