// The pure helpers behind the connection panel's baud rate and line code.
#include "line_settings.h"

#include "connection_request.h"

#include <gtest/gtest.h>

namespace {

TEST(LineCode, ParsesValidCodesAndRefusesMalformedOnes) {
  struct Case {
    const char* code;
    bool ok;
    int dataBits;
    char parity;
    int stopBits;
  } cases[] = {
      {"8N1", true, 8, 'N', 1}, {"7E2", true, 7, 'E', 2}, {"8O1", true, 8, 'O', 1},
      {"8M1", true, 8, 'M', 1}, {"5S2", true, 5, 'S', 2}, {"8e1", true, 8, 'E', 1},
      {"", true, 8, 'N', 1},    {"  ", true, 8, 'N', 1},  {" 7E1 ", true, 7, 'E', 1},
      {"9N1", false, 0, 0, 0},  {"4N1", false, 0, 0, 0},  {"8X1", false, 0, 0, 0},
      {"8N3", false, 0, 0, 0},  {"8N0", false, 0, 0, 0},  {"8N", false, 0, 0, 0},
      {"8N1x", false, 0, 0, 0}, {"N81", false, 0, 0, 0},  {"8N1.5", false, 0, 0, 0},
  };
  for (const Case& c : cases) {
    LineSettings settings{115200, 'O', 6, 2};
    EXPECT_EQ(ParseLineCode(c.code, &settings), c.ok) << '"' << c.code << '"';
    EXPECT_EQ(settings.baud, 115200) << c.code;
    if (c.ok) {
      EXPECT_EQ(settings.dataBits, c.dataBits) << c.code;
      EXPECT_EQ(settings.parity, c.parity) << c.code;
      EXPECT_EQ(settings.stopBits, c.stopBits) << c.code;
    } else {
      EXPECT_EQ(settings.dataBits, 6) << "a refused code changed the settings: " << c.code;
      EXPECT_EQ(settings.parity, 'O') << c.code;
      EXPECT_EQ(settings.stopBits, 2) << c.code;
    }
  }
}

TEST(BaudRate, AcceptsPositiveDecimalsOnly) {
  struct Case {
    const char* text;
    bool ok;
    int baud;
  } cases[] = {
      {"9600", true, 9600},     {" 115200 ", true, 115200},
      {"921600", true, 921600}, {"0", false, 0},
      {"", false, 0},           {"   ", false, 0},
      {"abc", false, 0},        {"96OO", false, 0},
      {"-9600", false, 0},      {"+9600", false, 0},
      {"9600.5", false, 0},     {"99999999999", false, 0},
      {"9 600", false, 0},
  };
  for (const Case& c : cases) {
    int baud = 1234;
    EXPECT_EQ(ParseBaudRate(c.text, &baud), c.ok) << '"' << c.text << '"';
    EXPECT_EQ(baud, c.ok ? c.baud : 1234) << c.text;
  }
}

// The factor comes from the baud rate alone, so opening at 4800 twice does not double it.
TEST(TimeoutFactor, IsComputedAfreshFromTheBaudRateAtEachOpening) {
  struct Case {
    int baud;
    int factor;
  } cases[] = {{4800, 2}, {115200, 1}, {9600, 1}, {2400, 4}, {1200, 8}, {0, 1}, {-5, 1}};
  for (const Case& c : cases) EXPECT_EQ(TimeoutFactorForBaud(c.baud), c.factor) << c.baud;

  const int openings[] = {4800, 4800, 4800, 115200, 4800};
  const int expected[] = {2, 2, 2, 1, 2};
  for (size_t i = 0; i < std::size(openings); ++i)
    EXPECT_EQ(TimeoutFactorForBaud(openings[i]), expected[i]) << "opening " << i;
}

TEST(LineDefinition, SpellsOutTheSettings) {
  EXPECT_EQ(LineDefinition({9600, 'N', 8, 1}), "baud=9600 parity=N data=8 stop=1");
  EXPECT_EQ(LineDefinition({115200, 'E', 7, 2}), "baud=115200 parity=E data=7 stop=2");
}

TEST(ConnectionTexts, OpenClickReadsPortBaudAndLineCode) {
  struct Case {
    const char* port;
    const char* baud;
    const char* code;
    ConnectionTextError error;
    const char* path;
    LineSettings settings;
    int factor;
  } cases[] = {
      {"/dev/ttyUSB0 \xE2\x80\x94 FTDI FT232R USB UART",
       "115200",
       "8N1",
       ConnectionTextError::kNone,
       "/dev/ttyUSB0",
       {115200, 'N', 8, 1},
       1},
      {"ttyACM0", "4800", "", ConnectionTextError::kNone, "/dev/ttyACM0", {4800, 'N', 8, 1}, 2},
      {"/dev/pts/7", "9600", "7E2", ConnectionTextError::kNone, "/dev/pts/7", {9600, 'E', 7, 2}, 1},
      {"", "9600", "8N1", ConnectionTextError::kNoPort, "", {}, 0},
      {"/dev/ttyUSB0", "0", "8N1", ConnectionTextError::kBadBaudRate, "", {}, 0},
      {"/dev/ttyUSB0", "", "8N1", ConnectionTextError::kBadBaudRate, "", {}, 0},
      {"/dev/ttyUSB0", "fast", "8N1", ConnectionTextError::kBadBaudRate, "", {}, 0},
      {"/dev/ttyUSB0", "9600", "8Z1", ConnectionTextError::kBadLineCode, "", {}, 0},
  };
  for (const Case& c : cases) {
    ConnectionRequest request;
    request.path = "untouched";
    ConnectionTextError error = ParseConnectionTexts(c.port, c.baud, c.code, &request);
    EXPECT_EQ(error, c.error) << c.port << " " << c.baud << " " << c.code;
    std::string message = ConnectionTextErrorMessage(error, c.port, c.baud, c.code);
    if (c.error != ConnectionTextError::kNone) {
      EXPECT_EQ(request.path, "untouched");
      EXPECT_FALSE(message.empty());
      continue;
    }
    EXPECT_TRUE(message.empty());
    EXPECT_EQ(request.path, c.path);
    EXPECT_EQ(LineDefinition(request.settings), LineDefinition(c.settings));
    EXPECT_EQ(request.timeoutFactor, c.factor) << c.baud;
  }
  EXPECT_EQ(ConnectionTextErrorMessage(ConnectionTextError::kBadBaudRate, "", "0", ""),
            "Baud rate \"0\" is not a positive whole number.");
}

}  // namespace
