// Replacing a file on disk so that it holds either all of its previous bytes or all of the new
// ones, whatever fails in between (a full disk, a quota, a removed medium).
#pragma once

#include <string>
#include <string_view>

// Writes `bytes` to a new file beside `path`, checks every write, the flush to the disk (fsync)
// and the close, and only then renames it over `path`. A path that names a symbolic link
// replaces the file the link points to. A target that exists and is not a regular file (a
// device node, a FIFO, a folder) is refused before anything is written. On failure the previous
// file is untouched, the new one removed, and `error` (when given) holds the reason: the
// operating system's text for the failed call ("No space left on device", ...) or "not a
// regular file". A new file gets `mode` (through the umask); a replaced one keeps its own: a
// file of secrets is made with 0600, so that it is never readable by others, not even for a
// moment.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error,
                         unsigned mode = 0666);
