// Every wait of the login into the device's setting mode, in one place, with why it is that long.
#pragma once

// The "s" stream from the moment the port opens: a device powered on now prints its prompt
// within a few hundred milliseconds and takes the first "s" it sees while the prompt runs.
inline constexpr int kBootStreamPeriodMs = 300;
// The stream once the prompt was seen: each prompt is answered at once, and this tick covers a
// prompt whose "s" was lost on the line.
inline constexpr int kPromptStreamPeriodMs = 500;
// No "s" while the device talked this recently: after it took an "s" it prints its setting
// menu, and an "s" sent into the menu would stand in front of the next command.
inline constexpr int kTalkQuietMs = 250;
// A running device is asked with "+++" this soon after the opening (a booting one prints its
// prompt within this time at any baud rate the device offers, or its banner has begun).
inline constexpr int kEscapeProbeDelayMs = 100;
// "+++" must come alone: this long after the device's last byte (it takes the escape only as a
// burst of its own).
inline constexpr int kEscapeGuardMs = 100;
// A "+++" left unanswered this long is sent again (the device may have been talking or booting).
inline constexpr int kEscapeRetryMs = 1000;
// A booting device repeats its prompt about once a second. One that answered no "s" and has
// been quiet this long has left its prompt (for its data mode, where "s" is only data): the
// headless login then asks it with "+++" instead (a busy machine may answer the prompt late).
inline constexpr int kBootQuietMs = 2500;
