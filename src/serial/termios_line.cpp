#include "termios_line.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "custom_baud.h"

namespace {

struct BaudConstant {
  int baud;
  speed_t speed;
};

const BaudConstant kBaudTable[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

const BaudConstant* FindBaud(int baud) {
  for (const BaudConstant& entry : kBaudTable)
    if (entry.baud == baud) return &entry;
  return nullptr;
}

tcflag_t SizeFlag(int dataBits) {
  switch (dataBits) {
    case 5:
      return CS5;
    case 6:
      return CS6;
    case 7:
      return CS7;
    default:
      return CS8;
  }
}

// Mark and space parity are the "stick" parity of CMSPAR: the parity bit is always the value
// PARODD selects (1 for mark, 0 for space).
tcflag_t ParityFlags(char parity) {
  switch (parity) {
    case 'E':
      return PARENB;
    case 'O':
      return PARENB | PARODD;
    case 'M':
      return PARENB | PARODD | CMSPAR;
    case 'S':
      return PARENB | CMSPAR;
    default:
      return 0;
  }
}

// Unix98 pty slaves (/dev/pts/N) have these major numbers.
constexpr unsigned kPtySlaveMajor = 136;
constexpr unsigned kPtySlaveMajorCount = 8;

const tcflag_t kFramingMask = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB;

LineApplyResult Failed(const char* call, const std::string& text) {
  LineApplyResult result;
  result.ok = false;
  result.failedCall = call;
  result.errorText = text;
  return result;
}

LineApplyResult FailedErrno(const char* call) {
  return Failed(call, std::strerror(errno));
}

}  // namespace

bool IsStandardBaud(int baud) {
  return FindBaud(baud) != nullptr;
}

bool BuildLineTermios(const LineSettings& settings, termios* tio) {
  const bool valid = settings.baud > 0 && settings.dataBits >= 5 && settings.dataBits <= 8 &&
                     (settings.stopBits == 1 || settings.stopBits == 2) && settings.parity != 0 &&
                     std::strchr("NEOMS", settings.parity) != nullptr;
  if (!valid) return false;

  tio->c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                         IXON | IXOFF | IXANY | IGNPAR | INPCK);
  // With parity checking on, a byte received with a wrong parity bit arrives as a zero byte and
  // is counted as a line error, which drops the input around it.
  if (settings.parity != 'N') tio->c_iflag |= INPCK;
  tio->c_oflag &= ~static_cast<tcflag_t>(OPOST);
  tio->c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  tio->c_cflag &= ~(kFramingMask | CRTSCTS);
  // CLOCAL: the device drives no carrier line, and its absence must neither block nor hang up.
  tio->c_cflag |= CLOCAL | CREAD | SizeFlag(settings.dataBits) | ParityFlags(settings.parity);
  if (settings.stopBits == 2) tio->c_cflag |= CSTOPB;
  // The descriptor is non-blocking; poll() decides when to read.
  tio->c_cc[VMIN] = 1;
  tio->c_cc[VTIME] = 0;

  const BaudConstant* standard = FindBaud(settings.baud);
  // A rate without a constant is set through termios2 afterwards; B38400 is only a placeholder.
  speed_t speed = standard ? standard->speed : B38400;
  return cfsetispeed(tio, speed) == 0 && cfsetospeed(tio, speed) == 0;
}

std::string RefusedLineSettings(const termios& wanted, const termios& actual, bool pseudoTerminal) {
  if (cfgetospeed(&actual) != cfgetospeed(&wanted) || cfgetispeed(&actual) != cfgetispeed(&wanted))
    return "baud rate";
  tcflag_t judged = pseudoTerminal ? (CSTOPB | PARODD | CMSPAR) : kFramingMask;
  if ((actual.c_cflag & judged) != (wanted.c_cflag & judged)) return "parity, data or stop bits";
  return {};
}

LineApplyResult ApplyLineSettings(int fd, const LineSettings& settings) {
  termios tio{};
  if (tcgetattr(fd, &tio) != 0) return FailedErrno("tcgetattr()");
  if (!BuildLineTermios(settings, &tio))
    return Failed("tcsetattr()", "Invalid line settings " + LineDefinition(settings));
  if (tcsetattr(fd, TCSANOW, &tio) != 0) return FailedErrno("tcsetattr()");
  const bool standard = IsStandardBaud(settings.baud);
  if (!standard && !SetCustomBaud(fd, settings.baud)) return FailedErrno("ioctl(TCSETS2)");

  termios actual{};
  if (tcgetattr(fd, &actual) != 0) return FailedErrno("tcgetattr()");
  struct stat node {};
  const bool pseudoTerminal = fstat(fd, &node) == 0 && major(node.st_rdev) >= kPtySlaveMajor &&
                              major(node.st_rdev) < kPtySlaveMajor + kPtySlaveMajorCount;
  if (!standard) {
    // termios reports the placeholder speed; compare the framing only, and the real rate below.
    cfsetispeed(&actual, cfgetispeed(&tio));
    cfsetospeed(&actual, cfgetospeed(&tio));
  }
  std::string refused = RefusedLineSettings(tio, actual, pseudoTerminal);
  if (refused.empty() && !standard) {
    // A driver may round an unusual rate to the nearest one its clock divides to; within 2 percent
    // both ends still agree on every bit of a character.
    int got = ReadCustomBaud(fd);
    if (got <= 0 || std::abs(static_cast<long>(got) - settings.baud) * 50 > settings.baud)
      refused = "baud rate";
  }
  if (!refused.empty())
    return Failed("tcsetattr()",
                  "The port refused the " + refused + " of " + LineDefinition(settings) + ".");
  return {};
}
