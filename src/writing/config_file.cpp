#include "writing/config_file.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include "texts/atomic_file.h"

namespace {

constexpr char kEndOfText = '\x1a';
constexpr std::string_view kMarker = "Access Point Name:";
constexpr std::string_view kFinalLine = "OK";
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
  return text;
}

bool CheckConfigText(std::string_view text, std::string* reason) {
  if (text.find(kMarker) != std::string_view::npos) return true;
  SetError(reason, text.empty() ? "the file is empty"
                                : "not a saved device configuration (no \"Access Point Name:\")");
  return false;
}

bool ConfigTextIsComplete(std::string_view text) {
  // Line ends, blanks and a cut-off line end after the final line do not count.
  size_t end = text.size();
  while (end > 0 && (text[end - 1] == '\r' || text[end - 1] == '\n' || text[end - 1] == ' ')) --end;
  const size_t lineStart = text.find_last_of('\n', end == 0 ? 0 : end - 1);
  if (lineStart == std::string_view::npos || end == 0) return false;
  return text.substr(lineStart + 1, end - lineStart - 1) == kFinalLine;
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
