// A pseudo-terminal for the serial tests: the test holds the master side and plays the device;
// the port under test opens the slave path.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

class PtyPair {
 public:
  PtyPair() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
    char name[128];
    if (ptsname_r(master_, name, sizeof name) == 0) slavePath_ = name;
  }
  ~PtyPair() {
    CloseMaster();
    if (slaveProbe_ >= 0) close(slaveProbe_);
  }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  bool ok() const { return master_ >= 0 && !slavePath_.empty(); }
  int master() const { return master_; }
  const std::string& slavePath() const { return slavePath_; }

  // A descriptor of the slave side opened before the port under test opens it (an opener without
  // the lock, as a sloppy program would be): lets a test read back the line settings and see
  // how many received bytes still wait to be read.
  int SlaveProbe() {
    if (slaveProbe_ < 0) slaveProbe_ = open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    return slaveProbe_;
  }

  // Plays the device unplugging.
  void CloseMaster() {
    if (master_ >= 0) close(master_);
    master_ = -1;
  }

  // Writes everything to the device side, waiting for room as long as `deadline` allows.
  bool Send(const std::string& bytes, std::chrono::milliseconds deadline = kDeadline) {
    auto end = std::chrono::steady_clock::now() + deadline;
    size_t done = 0;
    while (done < bytes.size()) {
      ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
      if (n > 0) {
        done += static_cast<size_t>(n);
        continue;
      }
      if (std::chrono::steady_clock::now() > end) return false;
      pollfd fd{master_, POLLOUT, 0};
      poll(&fd, 1, 10);
    }
    return true;
  }

  // Collects what the port under test wrote until `count` bytes arrived or the deadline passed.
  std::string Receive(size_t count, std::chrono::milliseconds deadline = kDeadline) {
    auto end = std::chrono::steady_clock::now() + deadline;
    std::string got;
    char buffer[4096];
    while (got.size() < count && std::chrono::steady_clock::now() < end) {
      ssize_t n = read(master_, buffer, sizeof buffer);
      if (n > 0) {
        got.append(buffer, static_cast<size_t>(n));
        continue;
      }
      pollfd fd{master_, POLLIN, 0};
      poll(&fd, 1, 10);
    }
    return got;
  }

  static constexpr std::chrono::milliseconds kDeadline{10000};

 private:
  int master_ = -1;
  int slaveProbe_ = -1;
  std::string slavePath_;
};

// Runs the UI thread's event loop until `done` holds; false when the generous deadline passed.
inline bool WaitFor(const std::function<bool()>& done,
                    std::chrono::milliseconds deadline = PtyPair::kDeadline) {
  auto end = std::chrono::steady_clock::now() + deadline;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}
