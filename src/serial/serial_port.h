// CSerialPort: one serial device over POSIX termios, opened exclusively, with a monitoring
// thread that hands every received chunk to the UI thread.
//
// Threads: the UI thread opens, starts, closes and receives (both handlers run there); any
// thread may write; the monitoring thread only polls, reads and hands over.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "line_settings.h"
#include "port_hand_over.h"

class CSerialPort {
 public:
  using DataHandler = PortHandOver::DataHandler;
  using GoneHandler = PortHandOver::GoneHandler;

  // The most bytes one chunk carries, so the receiver may add a terminating zero in 4096 bytes.
  static constexpr size_t kMaxChunk = 4095;

  // Construct on the UI thread (a thread running a Qt event loop): both handlers run there.
  CSerialPort();
  // Stops monitoring and closes the port; never waits for a hand-over in progress.
  virtual ~CSerialPort();
  CSerialPort(const CSerialPort&) = delete;
  CSerialPort& operator=(const CSerialPort&) = delete;

  // UI thread. Closes a port left open, then opens `path` exclusively, configures it and purges
  // both directions. False with *error set to an errno value when the device cannot be opened
  // (ENOENT, EACCES, EBUSY when another program or another opening holds it, ENOTTY when it is
  // no terminal) or when the driver refuses the line settings (EINVAL); the latter is also reported
  // through ReportPortError, and the port is then closed again, since talking at a rate or
  // framing other than the chosen one would only produce garbage and time-outs.
  // `onData` receives every chunk (at most kMaxChunk bytes, in order, followed by a
  // zero byte that is not counted, valid during the call); `onGone` is called once
  // when the device goes away (unplugged, pty peer closed) with the errno that showed it.
  bool OpenPort(const std::string& path, const LineSettings& settings, DataHandler onData,
                GoneHandler onGone, int* error);
  // UI thread. Starts the monitoring thread; false when the port is not open or the thread could
  // not be started. Calling it again while monitoring does nothing and returns true.
  bool StartMonitor();
  // Any thread. Writes all bytes unless the port closes, fails or takes no byte for 1000 ms;
  // returns the number of bytes written (0 when the port is closed).
  size_t WriteBytes(const char* data, size_t count);
  // UI thread. Stops monitoring and closes the port. When it returns, no handler of this opening
  // runs any more. Does nothing when the port is closed.
  void ClosePort();

  bool IsOpen() const { return isOpen.load() != 0; }
  // The device path of the current or last opening.
  const std::string& PortPath() const { return path_; }
  // Shows "WARNING:  <call> Failed with the following error: \n<errno text>\nPort: <path>\n"
  // through the installed reporter (see port_error.h), using the calling thread's errno.
  void ReportPortError(const std::string& failedCall);

  // Non-zero from a successful OpenPort until ClosePort.
  std::atomic<int> isOpen{0};

 private:
  void MonitorThread(int fd, int wakeFd, uint64_t generation);
  void ReportPortError(const std::string& failedCall, const std::string& reason);

  PortHandOver handOver_;
  std::string path_;
  uint64_t generation_ = 0;
  std::thread monitor_;

  // Guards the descriptors against being closed under a writer.
  std::mutex ioMutex_;
  std::condition_variable writersDone_;
  int writers_ = 0;
  int fd_ = -1;
  // An eventfd signalled once when the opening ends: wakes the monitoring thread and any writer
  // waiting for room in the output buffer.
  int wakeFd_ = -1;
};
