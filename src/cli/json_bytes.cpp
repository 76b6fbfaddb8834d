#include "cli/json_bytes.h"

#include <cstdio>

#include "texts/byte_text.h"

QString Utf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void PutBytes(QJsonObject& object, const QString& key, const std::string& bytes) {
  object[key] = Utf8(ReadableText(bytes));
  if (!IsUtf8(bytes)) object[key + QStringLiteral("Bytes")] = Utf8(HexBytes(bytes));
}

std::string EscapedText(const std::string& text) {
  // UTF-8 text is printed as it is. In a text that is not UTF-8 (GB 18030) every byte from 0x80
  // is escaped: some of its byte pairs happen to be UTF-8 characters, and printing those would
  // mix two character sets in one value.
  const bool utf8 = IsUtf8(text);
  std::string out;
  for (unsigned char c : text) {
    if (c >= 0x80 && utf8) {
      out += static_cast<char>(c);
    } else if (c == '\\') {
      out += "\\\\";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20 || c >= 0x7f) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}
