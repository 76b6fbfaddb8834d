// Values in what the headless commands print, as text or JSON. JSON texts are Unicode, and a
// device keeps bytes: a value that is not UTF-8 (GB 18030 text from a Chinese Windows tool)
// cannot be a JSON text as it is. Such a value is given twice: "KEY" holds its readable decoding,
// "KEYBytes" its exact bytes in hexadecimal. A value that is UTF-8 has no "KEYBytes".
#pragma once

#include <QJsonObject>
#include <QString>

#include <string>

// A UTF-8 text as a JSON text (a byte that is not UTF-8 becomes U+FFFD).
QString Utf8(const std::string& text);

// Sets "key" to the readable text of `bytes` and, when they are not UTF-8, "keyBytes" to them
// in hexadecimal.
void PutBytes(QJsonObject& object, const QString& key, const std::string& bytes);

// A text for one line of output: control bytes escaped (\r, \n, \t, \xNN, \\), and in a text that
// is not UTF-8 (GB 18030) every byte from 0x80 as \xNN; UTF-8 text keeps its characters.
std::string EscapedText(const std::string& text);
