// The master side of a pseudo-terminal that plays the device's serial port.
#pragma once

#include <string>

#include "wire_pacer.h"

class PtyPort {
 public:
  PtyPort() = default;
  PtyPort(const PtyPort&) = delete;
  PtyPort& operator=(const PtyPort&) = delete;
  ~PtyPort() { Close(); }

  // Creates a new pty in raw mode, with nobody holding its slave side open.
  bool Open(std::string& error);
  // Closes the master: a program holding the slave gets POLLHUP and EIO (an unplug).
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  const std::string& slavePath() const { return slavePath_; }

  // Whether some program holds the slave side open. While nobody does, the master reports
  // POLLHUP.
  bool SlaveHeld() const;

  // The baud rate and stop bits the program set on the slave (the master's termios mirror
  // the slave's). Linux ptys always report 8 data bits without parity, so data bits and
  // parity cannot be seen here; `code` keeps those.
  bool ReadLineSettings(int& baud, LineCode& code) const;

 private:
  int fd_ = -1;
  std::string slavePath_;
};
