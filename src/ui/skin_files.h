// The files a skin names (skin files, page and row files, the style sheet, images): found inside
// the skin folder only and read up to a sane size, so that a hostile or broken skin can neither
// read the rest of the machine nor make the program allocate without bound.
#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <string>

namespace skin {

// The largest skin file read (the real ones are a few KB).
inline constexpr std::int64_t kMaxSkinFileBytes = 4 * 1024 * 1024;

// The path of the file `name` names in `skinDir`; nothing, and `error` naming the file, when the
// name is empty or absolute, has a ".." part, or resolves (symbolic links followed) outside the
// folder, or when the file does not exist.
std::optional<std::string> ResolveSkinFile(const std::string& skinDir, const std::string& name,
                                           std::string* error);

// Reads the whole file `name` of `skinDir` (resolved as above) into `data`. A file that is not a
// regular file or is larger than kMaxSkinFileBytes is refused unread. False, and `error` naming
// the file and the reason, on failure.
bool ReadSkinFile(const std::string& skinDir, const std::string& name, QByteArray* data,
                  std::string* error);

}  // namespace skin
