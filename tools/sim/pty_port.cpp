#include "pty_port.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

struct SpeedEntry {
  speed_t speed;
  int baud;
};

constexpr SpeedEntry kSpeeds[] = {
    {B50, 50},         {B75, 75},         {B110, 110},         {B134, 134},       {B150, 150},
    {B200, 200},       {B300, 300},       {B600, 600},         {B1200, 1200},     {B1800, 1800},
    {B2400, 2400},     {B4800, 4800},     {B9600, 9600},       {B19200, 19200},   {B38400, 38400},
    {B57600, 57600},   {B115200, 115200}, {B230400, 230400},   {B460800, 460800}, {B500000, 500000},
    {B576000, 576000}, {B921600, 921600}, {B1000000, 1000000},
};

}  // namespace

bool PtyPort::Open(std::string& error) {
  Close();
  int fd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (fd < 0 || grantpt(fd) != 0 || unlockpt(fd) != 0) {
    error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
    if (fd >= 0) close(fd);
    return false;
  }
  char name[256];
  if (ptsname_r(fd, name, sizeof name) != 0) {
    error = std::string("cannot name the pseudo-terminal: ") + std::strerror(errno);
    close(fd);
    return false;
  }
  // The slave starts in canonical mode with echo; a program that opens it and has not yet
  // switched to raw mode would echo the device's own output back as input. Setting raw mode
  // once here holds for every later opening of the slave. Opening and closing it also puts
  // the master into the "nobody holds the slave" state (POLLHUP) from the start.
  int slave = open(name, O_RDWR | O_NOCTTY);
  if (slave < 0) {
    error = std::string("cannot open ") + name + ": " + std::strerror(errno);
    close(fd);
    return false;
  }
  termios tio{};
  if (tcgetattr(slave, &tio) == 0) {
    cfmakeraw(&tio);
    cfsetispeed(&tio, B115200);
    cfsetospeed(&tio, B115200);
    tcsetattr(slave, TCSANOW, &tio);
  }
  close(slave);
  fd_ = fd;
  slavePath_ = name;
  return true;
}

void PtyPort::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

bool PtyPort::SlaveHeld() const {
  if (fd_ < 0) return false;
  pollfd p{fd_, POLLIN, 0};
  if (poll(&p, 1, 0) < 0) return false;
  return (p.revents & POLLHUP) == 0;
}

bool PtyPort::ReadLineSettings(int& baud, LineCode& code) const {
  termios tio{};
  if (fd_ < 0 || tcgetattr(fd_, &tio) != 0) return false;
  const speed_t speed = cfgetospeed(&tio);
  for (const SpeedEntry& entry : kSpeeds) {
    if (entry.speed == speed) baud = entry.baud;
  }
  code.stopBits = (tio.c_cflag & CSTOPB) ? 2 : 1;
  return true;
}
