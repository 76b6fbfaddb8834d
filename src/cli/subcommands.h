// Headless subcommands of dtu-config ("dtu-config show FILE"): they run without a window and
// report on stdout and stderr, for scripts.
#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>
#include <ostream>

// Runs a headless subcommand when argv[1] names one ("show", later "read" ...): returns its exit
// status. Returns std::nullopt when argv[1] is not a subcommand, so the GUI starts instead.
std::optional<int> RunSubcommand(int argc, char** argv);

// The same, printing to the given streams instead of stdout and stderr.
std::optional<int> RunSubcommand(int argc, char** argv, std::ostream& out, std::ostream& err);

// The messages of Qt's font machinery that a headless command drops while it runs (its form is
// never shown): "OpenType support missing for ..." from text shaping, which a port sending
// random bytes would otherwise repeat for every font and script, anything below an error in the
// font categories, and the runtime folder's warnings of QStandardPaths (no window is opened).
// `category` may be null.
bool IsFontNoise(QtMsgType type, const char* category, const QString& message);

// Exit statuses of the subcommands.
inline constexpr int kExitOk = 0;
// The input was unreadable or refused.
inline constexpr int kExitFailure = 1;
// The command line itself was wrong.
inline constexpr int kExitUsage = 2;
