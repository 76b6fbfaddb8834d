// Line settings of a serial port and the pure helpers that turn the connection panel's texts
// ("BaudRate1", "Checkcode") into them.
#pragma once

#include <string>

struct LineSettings {
  int baud = 9600;
  char parity = 'N';  // N, E, O, M (mark) or S (space)
  int dataBits = 8;   // 5 to 8
  int stopBits = 1;   // 1 or 2
};

// "8N1" -> {8,'N',1}: data bits digit, parity letter, stop bits digit. Empty text (or only
// blanks) means 8N1. A lower-case parity letter is taken as upper case. False for anything else;
// *out is then left untouched. Only the line code fields of *out are written, not the baud rate.
bool ParseLineCode(const std::string& code, LineSettings* out);

// Decimal baud text -> baud. Surrounding blanks are allowed. False for 0, empty, non-numeric or
// out-of-range text, so no caller ever divides by a zero baud rate.
bool ParseBaudRate(const std::string& text, int* baud);

// The factor every job time-out is multiplied by: max(1, 9600 / baud), integer division,
// computed afresh from the baud rate alone. 1 for a baud rate that is not positive.
int TimeoutFactorForBaud(int baud);

// "baud=9600 parity=N data=8 stop=1", the text shown when a port refuses its settings.
std::string LineDefinition(const LineSettings& settings);
