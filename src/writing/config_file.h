// Configuration files (.cfg): one show reply of a device, stored as text.
//
// The bytes follow the line-end translation of a text-mode file on the device's home platform:
// every line feed is stored as CR LF, so the reply's "\r\n" line ends become 0D 0D 0A; reading
// turns each 0D 0A pair back into one line feed and stops at a 0x1A byte. No header, no
// checksum, no character conversion. Files written by this program load back byte for byte. A
// file whose line ends an editor or a version control tool rewrote to plain CR LF or plain LF
// holds the same reply: its line ends are read as the device's CR LF again.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "catalogue/config_acceptance.h"

// A load reads at most this many characters, counted after the line-end translation.
inline constexpr size_t kConfigFileMaxChars = 8192;

// The bytes of a configuration file holding `replyText` (each "\n" stored as "\r\n").
std::string EncodeConfigFile(std::string_view replyText);

// The text of a configuration file's bytes: "\r\n" read as "\n", a 0x1A byte ends the text, at
// most 8192 characters. When the result holds line feeds but not one CR LF, the file's line ends
// were rewritten to one of the plain forms, and every line feed is read as CR LF.
std::string DecodeConfigFile(std::string_view fileBytes);

// Writes the file atomically (WriteFileAtomically): the previous file stays byte for byte
// unless the new one was written, flushed to the disk and closed without an error; a target
// that exists and is not a regular file (a device node, a FIFO, a folder) is refused before
// anything is written. On failure returns false and, when `error` is given, the reason (the
// operating system's text, e.g. "No space left on device", or "not a regular file"). A new file
// is created with `mode` (through the umask): a configuration holds the device's passwords, so
// only its owner may read it unless asked otherwise. A replaced file keeps its own mode.
bool WriteConfigFileTo(const std::string& path, std::string_view replyText, std::string* error,
                       unsigned mode = 0600);

// The name a save dialog suggests: the device's type and the day ("ZR350-20261211.cfg"), with
// every byte but letters, digits, '.', '_' and '-' turned into '-'; "dtu-config-20261211.cfg"
// before a read told the type. `day` is "yyyyMMdd".
std::string SuggestedConfigFileName(std::string_view deviceType, std::string_view day);

// Reads and decodes a file (only as many bytes as the 8192 characters can take); anything but a
// regular file (a FIFO, a device, a folder) is refused unread. On failure returns false and,
// when `error` is given, the reason; `text` is then left as it was.
bool ReadConfigFileFrom(const std::string& path, std::string* text, std::string* error);
