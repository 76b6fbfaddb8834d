#include "writing/config_file.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include "texts/atomic_file.h"

namespace {

constexpr char kEndOfText = '\x1a';
// Each character of the text takes at most two bytes of the file (a CR LF pair); one byte more
// shows whether a CR at the limit starts a pair.
constexpr qint64 kMaxFileBytesRead = 2 * static_cast<qint64>(kConfigFileMaxChars) + 1;

void SetError(std::string* error, const std::string& text) {
  if (error != nullptr) *error = text;
}

}  // namespace

std::string EncodeConfigFile(std::string_view replyText) {
  std::string bytes;
  bytes.reserve(replyText.size() + replyText.size() / 16);
  for (char c : replyText) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  return bytes;
}

std::string DecodeConfigFile(std::string_view fileBytes) {
  std::string text;
  text.reserve(std::min(fileBytes.size(), kConfigFileMaxChars));
  for (size_t i = 0; i < fileBytes.size() && text.size() < kConfigFileMaxChars; ++i) {
    const char c = fileBytes[i];
    if (c == kEndOfText) break;
    if (c == '\r' && i + 1 < fileBytes.size() && fileBytes[i + 1] == '\n') {
      text += '\n';
      ++i;
    } else {
      text += c;
    }
  }
  // Plain line ends, as an editor or git leaves them: the device's lines end in CR LF.
  if (text.find('\n') != std::string::npos && text.find("\r\n") == std::string::npos) {
    std::string lines;
    lines.reserve(text.size() + text.size() / 16);
    for (char c : text) {
      if (c == '\n') lines += '\r';
      lines += c;
    }
    text = std::move(lines);
    // The limit holds for the text as read.
    if (text.size() > kConfigFileMaxChars) text.resize(kConfigFileMaxChars);
  }
  return text;
}

bool WriteConfigFileTo(const std::string& path, std::string_view replyText, std::string* error,
                       unsigned mode) {
  return WriteFileAtomically(path, EncodeConfigFile(replyText), error, mode);
}

bool ReadConfigFileFrom(const std::string& path, std::string* text, std::string* error) {
  QFile file(QFile::decodeName(path.c_str()));
  // Opening a FIFO would wait for a writer, and a device gives no file: only files are read.
  const QFileInfo info(file);
  if (info.exists() && !info.isFile()) {
    SetError(error, "not a regular file");
    return false;
  }
  if (!file.open(QIODevice::ReadOnly)) {
    SetError(error, file.errorString().toStdString());
    return false;
  }
  const QByteArray bytes = file.read(kMaxFileBytesRead);
  if (file.error() != QFileDevice::NoError) {
    SetError(error, file.errorString().toStdString());
    return false;
  }
  if (text != nullptr) {
    *text =
        DecodeConfigFile(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
  }
  return true;
}

std::string SuggestedConfigFileName(std::string_view deviceType, std::string_view day) {
  std::string name;
  for (char c : deviceType) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '.' || c == '_' || c == '-';
    name += plain ? c : '-';
  }
  // Nothing but dashes and dots says nothing (and ".." is no name for a file).
  if (name.find_first_not_of("-.") == std::string::npos) name = "dtu-config";
  return name + "-" + std::string(day) + ".cfg";
}
