#include "texts/byte_text.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

namespace {

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

}  // namespace

size_t Utf8SequenceAt(std::string_view text, size_t at) {
  if (at >= text.size()) return 0;
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) return 1;
  size_t length = 0;
  char32_t point = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    point = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    point = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    point = lead & 0x07;
  } else {
    return 0;  // a continuation byte, an overlong lead (C0, C1) or past U+10FFFF (F5..FF)
  }
  if (text.size() - at < length) return 0;
  for (size_t k = 1; k < length; ++k) {
    const auto byte = static_cast<unsigned char>(text[at + k]);
    if (!IsContinuation(byte)) return 0;
    point = (point << 6) | (byte & 0x3F);
  }
  if (length == 3 && (point < 0x800 || (point >= 0xD800 && point <= 0xDFFF))) return 0;
  if (length == 4 && (point < 0x10000 || point > 0x10FFFF)) return 0;
  return length;
}

bool IsUtf8(std::string_view text) {
  for (size_t at = 0; at < text.size();) {
    const size_t length = Utf8SequenceAt(text, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

std::string ReadableText(std::string_view bytes) {
  if (IsUtf8(bytes)) return std::string(bytes);
  // Qt decodes GB 18030 through ICU, which Debian's Qt is built with.
  // Stateless: a sequence cut at the end shows as U+FFFD instead of being held back.
  QStringDecoder decoder("GB18030", QStringConverter::Flag::Stateless);
  const QByteArray input(bytes.data(), static_cast<qsizetype>(bytes.size()));
  if (!decoder.isValid()) return QString::fromUtf8(input).toStdString();
  const QString text = decoder.decode(input);
  return text.toUtf8().toStdString();
}

std::string HexBytes(std::string_view bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0x0F];
  }
  return hex;
}
