// Finding the device's own notices in what it sent: its boot prompt ("'s' key") and the notice
// that it left its setting mode on its own ("Seting Timeout and quit").
//
// Both are plain words that a user may also store in a parameter (a custom register text, a
// topic), and the device then prints them back inside its show reply or in the echo of the
// write. Such a line is never the device's notice: a line that begins with a parameter's label
// and its colon, a sensor item line ("GENSENSORINFO n:"), or the echo of the command the running
// job sent. Anywhere else the words count: at a line start, behind other text, or split across
// chunks (the whole collection is searched).
#pragma once

#include <cstddef>
#include <string_view>

inline constexpr std::string_view kBootPromptText = "'s' key";
inline constexpr std::string_view kTimeoutQuitText = "Seting Timeout and quit";

// The position of the first occurrence of `notice` in `collected` that the device printed as a
// notice of its own; npos when every occurrence lies in a value line. `command` is the running
// job's command (empty when none runs).
size_t FindDeviceNotice(std::string_view collected, std::string_view notice,
                        std::string_view command);

// Whether `line` (from a line start on) is a parameter value line: it begins with a catalogue
// label and its colon, or it is a sensor item line.
bool IsValueLine(std::string_view line);
