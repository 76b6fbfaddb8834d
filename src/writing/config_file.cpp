#include "writing/config_file.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>

namespace {

constexpr char kEndOfText = '\x1a';
constexpr std::string_view kMarker = "Access Point Name:";
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

bool WriteConfigFileTo(const std::string& path, std::string_view replyText, std::string* error) {
  QSaveFile file(QFile::decodeName(path.c_str()));
  if (!file.open(QIODevice::WriteOnly)) {
    SetError(error, file.errorString().toStdString());
    return false;
  }
  const std::string bytes = EncodeConfigFile(replyText);
  if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
      static_cast<qint64>(bytes.size())) {
    SetError(error, file.errorString().toStdString());
    file.cancelWriting();
    return false;
  }
  if (!file.commit()) {
    SetError(error, file.errorString().toStdString());
    return false;
  }
  return true;
}

bool ReadConfigFileFrom(const std::string& path, std::string* text, std::string* error) {
  QFile file(QFile::decodeName(path.c_str()));
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
