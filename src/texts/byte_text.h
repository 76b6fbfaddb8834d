// Values are bytes: the device keeps what it was sent and reports it back unchanged, whatever
// character set a tool that set it up used. Devices set up by Chinese Windows tools keep GB 18030
// text (an APN, a sensor's data name). These helpers show such bytes to people without changing
// what is kept or sent.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The length of the well-formed UTF-8 sequence that starts at `at` (1 for an ASCII byte), or 0
// when the bytes there are no such sequence (a lone continuation byte, a cut or overlong
// sequence, a surrogate, a code point past U+10FFFF).
size_t Utf8SequenceAt(std::string_view text, size_t at);

// Whether every byte of `text` belongs to a well-formed UTF-8 sequence.
bool IsUtf8(std::string_view text);

// A readable UTF-8 text for `bytes`: the bytes themselves when they are UTF-8, else their
// decoding as GB 18030 (a byte that is not GB 18030 either becomes U+FFFD). Only for showing:
// the result does not turn back into `bytes`.
std::string ReadableText(std::string_view bytes);

// `bytes` in lower-case hexadecimal, two digits a byte ("d6d0").
std::string HexBytes(std::string_view bytes);
