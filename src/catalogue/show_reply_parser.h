// Reading the device's reply to "AT+SHOW" (or a configuration file's text) into the catalogue.
//
// The reply is one line per parameter: the parameter's label, then its value up to CR LF. The
// parser reads a window of the reply that starts at the first "Access Point Name:" and holds at
// most 8191 bytes (up to any zero byte), so a parse costs the same however much the device sent
// before or after. It reads only the `count` bytes it is given and needs no terminating zero:
// any byte sequence is a valid input and only yields empty values.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/param_table.h"

// The text that starts the parameter section of a show reply.
inline constexpr std::string_view kShowMarker = "Access Point Name:";
// The size of the parse window, terminating zero included.
inline constexpr size_t kParseWindowSize = 8192;
// A row's value must be shorter than this to be taken.
inline constexpr size_t kMaxValueLength = 1024;
// A sensor item's value longer than this leaves the item as it was.
inline constexpr size_t kMaxItemValueLength = 100;

struct ShowReplyResult {
  // Whether the text holds "Access Point Name:"; without it every value comes out empty.
  bool markerFound = false;
  // Rows whose label was found with a line end behind it (their value may still be empty).
  size_t labelsFound = 0;
  // Rows whose label is missing or has no line end behind it, in table order.
  std::vector<std::string> missingRows;
  // Rows whose value is too long for the device's field (they come out empty).
  std::vector<std::string> overlongRows;
  // Sensor item labels whose value is too long to be taken (the item keeps what it had).
  std::vector<std::string> overlongItems;
};

// Whether the text says it comes from a five-DIO model. The device's own statement, a line that
// starts with "Software version:" or "Firmware version:" (in any letter case), decides when the
// text holds one: a value can hold any text but never a line start. Without such a line the
// firmware variant "Zr350V3" or "Zr350V4" anywhere in the text decides.
bool FiveDioModelOf(std::string_view text);

// Sets `fiveDioModel` (FiveDioModelOf), rebinds the DIO3 rows to match, then sets every row's value
// from the window (empty where its label is missing) and reads the sensor items. Callers may ignore
// the result.
ShowReplyResult ParseShowReply(const char* data, size_t count, ParamTable& params,
                               ListParamTable& lists, bool& fiveDioModel);

// The window ParseShowReply reads: from the first "Access Point Name:" for at most 8191 bytes,
// ending before any zero byte; empty when the marker is missing.
std::string_view ShowReplyWindow(const char* data, size_t count);

// Reads items 0 to itemCount - 1 of every list entry from the window. Unlike rows, an item whose
// line has no CR LF or whose value is longer than 100 bytes keeps the value it had. An item the
// window does not list is no entry of `items` at all: the text says nothing about it. Returns
// the labels of the items whose value was too long.
std::vector<std::string> ParseListItems(std::string_view window, ListParamTable& lists);
