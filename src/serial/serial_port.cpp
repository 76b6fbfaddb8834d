#include "serial_port.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "port_error.h"
#include "termios_line.h"

namespace {

// A write that cannot hand a single byte to the driver for this long gives up.
constexpr int kWriteStallMs = 1000;

// FTDI-style adapters otherwise hold received bytes for up to 16 ms before passing them on, which
// every reply would pay. Drivers without this setting (ptys, most CDC-ACM) simply refuse it.
void RequestLowLatency(int fd) {
  serial_struct info{};
  if (ioctl(fd, TIOCGSERIAL, &info) != 0) return;
  if (info.flags & ASYNC_LOW_LATENCY) return;
  info.flags |= ASYNC_LOW_LATENCY;
  (void)ioctl(fd, TIOCSSERIAL, &info);
}

// Devices powered or reset through the modem lines expect DTR and RTS on while the port is open.
void RaiseModemLines(int fd) {
  int lines = TIOCM_DTR | TIOCM_RTS;
  (void)ioctl(fd, TIOCMBIS, &lines);
}

int LineErrorCount(const serial_icounter_struct& counts) {
  return counts.frame + counts.parity + counts.overrun + counts.brk + counts.buf_overrun;
}

// Releases a descriptor that OpenPort gave up on, leaving the device as others expect to find it.
void Abandon(int fd) {
  (void)ioctl(fd, TIOCNXCL);
  close(fd);
}

}  // namespace

CSerialPort::CSerialPort() = default;

CSerialPort::~CSerialPort() {
  ClosePort();
}

bool CSerialPort::OpenPort(const std::string& path, const LineSettings& settings,
                           DataHandler onData, GoneHandler onGone, int* error) {
  int ignored = 0;
  if (!error) error = &ignored;
  *error = 0;
  ClosePort();
  path_ = path;

  // Non-blocking: neither the open nor any later read waits for a carrier line.
  int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    *error = errno;
    return false;
  }
  if (!isatty(fd)) {
    *error = ENOTTY;
    close(fd);
    return false;
  }
  // TIOCEXCL keeps other openers out, but root ignores it (and so would a second root instance
  // of this program), so the advisory lock is what reliably refuses a second opener.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    *error = errno == EWOULDBLOCK ? EBUSY : errno;
    close(fd);
    return false;
  }
  // As root our open succeeds even on a port another program holds with TIOCEXCL; ask.
  int exclusive = 0;
  if (ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive) {
    *error = EBUSY;
    close(fd);
    return false;
  }
  (void)ioctl(fd, TIOCEXCL);

  LineApplyResult applied = ApplyLineSettings(fd, settings);
  if (!applied.ok) {
    ReportPortError(applied.failedCall, applied.errorText);
    Abandon(fd);
    *error = EINVAL;
    return false;
  }
  RequestLowLatency(fd);
  RaiseModemLines(fd);
  // Whatever the device sent before we were listening belongs to nobody.
  tcflush(fd, TCIOFLUSH);

  int wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake < 0) {
    *error = errno;
    Abandon(fd);
    return false;
  }
  {
    std::lock_guard lock(ioMutex_);
    fd_ = fd;
    wakeFd_ = wake;
  }
  generation_ = handOver_.Begin(std::move(onData), std::move(onGone));
  isOpen = 1;
  return true;
}

bool CSerialPort::StartMonitor() {
  if (!IsOpen()) return false;
  if (monitor_.joinable()) return true;
  int fd = -1;
  int wake = -1;
  {
    std::lock_guard lock(ioMutex_);
    fd = fd_;
    wake = wakeFd_;
  }
  try {
    monitor_ = std::thread(&CSerialPort::MonitorThread, this, fd, wake, generation_);
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

void CSerialPort::MonitorThread(int fd, int wakeFd, uint64_t generation) {
  pthread_setname_np(pthread_self(), "port-monitor");
  // Line error counters exist on real UARTs and most USB adapters, not on ptys.
  serial_icounter_struct counts{};
  const bool counting = ioctl(fd, TIOCGICOUNT, &counts) == 0;
  int lineErrors = counting ? LineErrorCount(counts) : 0;

  char buffer[kMaxChunk + 1];
  pollfd fds[2] = {{fd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
  for (;;) {
    if (poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      handOver_.SendGone(generation, errno);
      return;
    }
    if (fds[1].revents) return;
    const short events = fds[0].revents;
    if (events & POLLNVAL) {
      handOver_.SendGone(generation, EBADF);
      return;
    }
    if (events & POLLIN) {
      if (counting && ioctl(fd, TIOCGICOUNT, &counts) == 0 &&
          LineErrorCount(counts) != lineErrors) {
        // Framing, parity or overrun errors: what is queued is not what the device sent.
        lineErrors = LineErrorCount(counts);
        tcflush(fd, TCIFLUSH);
        continue;
      }
      ssize_t n = read(fd, buffer, kMaxChunk);
      if (n > 0) {
        if (!handOver_.SendData(generation, buffer, static_cast<size_t>(n))) return;
        continue;
      }
      // A hung-up terminal (USB adapter pulled) reads 0; a pty whose peer closed fails with EIO.
      int cause = n == 0 ? EIO : errno;
      if (n < 0 && (cause == EAGAIN || cause == EINTR) && !(events & (POLLHUP | POLLERR))) continue;
      handOver_.SendGone(generation, cause == EAGAIN || cause == EINTR ? EIO : cause);
      return;
    }
    if (events & (POLLHUP | POLLERR)) {
      handOver_.SendGone(generation, EIO);
      return;
    }
  }
}

size_t CSerialPort::WriteBytes(const char* data, size_t count) {
  int fd = -1;
  int wake = -1;
  {
    std::lock_guard lock(ioMutex_);
    if (!IsOpen() || fd_ < 0) return 0;
    fd = fd_;
    wake = wakeFd_;
    ++writers_;
  }
  size_t written = 0;
  while (written < count && IsOpen()) {
    ssize_t n = write(fd, data + written, count - written);
    if (n > 0) {
      written += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) break;
    // The output buffer is full: wait for room, for the port to close, or give up.
    pollfd fds[2] = {{fd, POLLOUT, 0}, {wake, POLLIN, 0}};
    int ready = poll(fds, 2, kWriteStallMs);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0 || fds[1].revents || (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL))) break;
  }
  {
    std::lock_guard lock(ioMutex_);
    --writers_;
  }
  writersDone_.notify_all();
  return written;
}

void CSerialPort::ClosePort() {
  isOpen = 0;
  // First release a monitoring thread that waits for us, then wake it and any writer.
  handOver_.End();
  {
    std::lock_guard lock(ioMutex_);
    if (wakeFd_ >= 0) {
      uint64_t one = 1;
      (void)!write(wakeFd_, &one, sizeof one);
    }
  }
  if (monitor_.joinable()) monitor_.join();

  int fd = -1;
  int wake = -1;
  {
    std::unique_lock lock(ioMutex_);
    writersDone_.wait(lock, [this] { return writers_ == 0; });
    fd = fd_;
    wake = wakeFd_;
    fd_ = -1;
    wakeFd_ = -1;
  }
  if (fd >= 0) {
    // close() waits until unsent output has drained, which never happens while the device holds
    // its flow control or has gone; unsent bytes are of no use to a closed connection.
    tcflush(fd, TCOFLUSH);
    Abandon(fd);
  }
  if (wake >= 0) close(wake);
}

void CSerialPort::ReportPortError(const std::string& failedCall) {
  const int error = errno;
  ReportPortError(failedCall, std::strerror(error));
}

void CSerialPort::ReportPortError(const std::string& failedCall, const std::string& reason) {
  ShowPortError(FormatPortError(failedCall, reason, path_));
}
