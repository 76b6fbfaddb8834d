#include "cli/json_bytes.h"

#include "texts/byte_text.h"

QString Utf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void PutBytes(QJsonObject& object, const QString& key, const std::string& bytes) {
  object[key] = Utf8(ReadableText(bytes));
  if (!IsUtf8(bytes)) object[key + QStringLiteral("Bytes")] = Utf8(HexBytes(bytes));
}
