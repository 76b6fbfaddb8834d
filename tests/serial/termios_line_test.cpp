// The termios side of the line settings: what is asked of the driver, and how its answer is
// judged (real drivers quietly keep what they cannot do, so only the read-back tells).
#include "termios_line.h"

#include <gtest/gtest.h>

namespace {

termios Built(const LineSettings& settings) {
  termios tio{};
  tio.c_iflag = ICRNL | IXON | IGNPAR;
  tio.c_oflag = OPOST | ONLCR;
  tio.c_lflag = ICANON | ECHO | ISIG;
  tio.c_cflag = CS7 | PARENB | CRTSCTS | HUPCL;
  EXPECT_TRUE(BuildLineTermios(settings, &tio)) << LineDefinition(settings);
  return tio;
}

TEST(LineTermios, AsksForRawModeWithTheChosenFraming) {
  struct Case {
    LineSettings settings;
    tcflag_t cflag;  // within CSIZE | PARENB | PARODD | CMSPAR | CSTOPB
    speed_t speed;
  } cases[] = {
      {{9600, 'N', 8, 1}, CS8, B9600},
      {{115200, 'E', 7, 1}, CS7 | PARENB, B115200},
      {{921600, 'O', 8, 2}, CS8 | PARENB | PARODD | CSTOPB, B921600},
      {{4800, 'M', 8, 1}, CS8 | PARENB | PARODD | CMSPAR, B4800},
      {{460800, 'S', 5, 1}, CS5 | PARENB | CMSPAR, B460800},
      {{14400, 'N', 6, 2}, CS6 | CSTOPB, B38400},  // the real rate goes through termios2
  };
  for (const Case& c : cases) {
    termios tio = Built(c.settings);
    const std::string what = LineDefinition(c.settings);
    EXPECT_EQ(tio.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB), c.cflag) << what;
    EXPECT_EQ(cfgetospeed(&tio), c.speed) << what;
    EXPECT_EQ(cfgetispeed(&tio), c.speed) << what;
    EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD | CRTSCTS), CLOCAL | CREAD) << what;
    EXPECT_EQ(tio.c_iflag & (ICRNL | IXON | IGNPAR), 0u) << what;
    EXPECT_EQ((tio.c_iflag & INPCK) != 0, c.settings.parity != 'N') << what;
    EXPECT_EQ(tio.c_oflag & OPOST, 0u) << what;
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u) << what;
  }
}

TEST(LineTermios, RefusesSettingsNoLineHas) {
  const LineSettings invalid[] = {
      {0, 'N', 8, 1},    {9600, 'X', 8, 1}, {9600, '\0', 8, 1},
      {9600, 'N', 9, 1}, {9600, 'N', 4, 1}, {9600, 'N', 8, 3},
  };
  for (const LineSettings& settings : invalid) {
    termios tio{};
    EXPECT_FALSE(BuildLineTermios(settings, &tio)) << LineDefinition(settings);
  }
}

TEST(LineTermios, ReadBackShowsWhatTheDriverRefused) {
  const termios wanted = Built({921600, 'M', 7, 2});
  struct Case {
    const char* what;
    void (*driver)(termios*);  // what the driver did to the settings
    bool pseudoTerminal;
    const char* refused;
  } cases[] = {
      {"took everything", [](termios*) {}, false, ""},
      {"kept its old rate", [](termios* t) { cfsetospeed(t, B115200); }, false, "baud rate"},
      {"no input rate", [](termios* t) { cfsetispeed(t, B9600); }, false, "baud rate"},
      {"no stick parity", [](termios* t) { t->c_cflag &= ~CMSPAR; }, false,
       "parity, data or stop bits"},
      {"8 bits only", [](termios* t) { t->c_cflag = (t->c_cflag & ~CSIZE) | CS8; }, false,
       "parity, data or stop bits"},
      {"one stop bit only", [](termios* t) { t->c_cflag &= ~CSTOPB; }, false,
       "parity, data or stop bits"},
      {"pty: always 8 bits, no parity",
       [](termios* t) { t->c_cflag = (t->c_cflag & ~(CSIZE | PARENB)) | CS8; }, true, ""},
      {"pty: rate not kept", [](termios* t) { cfsetospeed(t, B9600); }, true, "baud rate"},
  };
  for (const Case& c : cases) {
    termios actual = wanted;
    c.driver(&actual);
    EXPECT_EQ(RefusedLineSettings(wanted, actual, c.pseudoTerminal), c.refused) << c.what;
  }
}

}  // namespace
