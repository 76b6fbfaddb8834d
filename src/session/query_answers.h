// The device's answers to the signal and SIM queries, read for the user: "+CSQ: 24,99" is a
// signal of about -65 dBm, good; "+CPIN: SIM PIN" means the SIM waits for its PIN. Pure; the raw
// answer stays in the log beside the line made from it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

enum class SignalQuality { kNone, kWeak, kFair, kGood, kUnknown };

struct SignalReading {
  int rssi = 99;            // 0..31, 99 when the modem does not know
  int bitErrorRate = 99;    // class 0..7, 99 when the modem does not know
  int dbm = 0;              // valid when quality is not kUnknown: -113 + 2 x rssi
  bool dbmIsBound = false;  // rssi 0 and 31 stand for "or less" / "or more"
  SignalQuality quality = SignalQuality::kUnknown;
};

// The first "+CSQ: <rssi>,<ber>" in the answer; nothing when there is none or its numbers are
// out of the modem's ranges.
std::optional<SignalReading> ReadSignalAnswer(std::string_view answer);

enum class SimState {
  kReady,
  kPinNeeded,
  kPukNeeded,  // too many wrong PINs: the SIM is blocked until its PUK is entered
  kPin2Needed,
  kPuk2Needed,
  kPhonePinNeeded,  // the modem is locked to another SIM
  kNotInserted,
  kNotReady,  // the SIM is still starting or busy
  kFailure,   // the SIM does not answer (damaged, badly seated)
  kOther,     // a status this program does not know; the text is kept
};

struct SimReading {
  SimState state = SimState::kOther;
  std::string status;  // the status text as the device wrote it ("READY", "SIM PIN", ...)
};

// The SIM status in "+CPIN: <status>", or in the "+CME ERROR: <n or text>" that many modems give
// instead when there is no usable SIM; nothing when the answer holds neither.
std::optional<SimReading> ReadSimAnswer(std::string_view answer);

// The line the log shows after the answer, in the user's language (section "Ports"); empty when
// the answer could not be read (the raw answer above it is then all there is).
std::string SignalAnswerLine(std::string_view answer);
std::string SimAnswerLine(std::string_view answer);
