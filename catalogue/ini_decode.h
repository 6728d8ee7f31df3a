// Turning the bytes of a data file into UTF-16 text.
//
// Files come from two worlds: the 8-bit Windows-1252 text of the platform
// where catalogues were first written, and today's editors, which save UTF-8
// (with or without a byte-order mark) or UTF-16LE with its mark. The encoding
// is told from the bytes alone; nothing in the file names it.
#pragma once

#include <string>
#include <string_view>

namespace ini
{

enum class Codage { Windows1252, Utf8, Utf16LE };

// The encoding of `octets`: UTF-16LE after the FF FE mark; UTF-8 after the
// EF BB BF mark or when every byte sequence is well-formed UTF-8 (so plain
// ASCII counts as UTF-8, which reads the same); Windows-1252 otherwise.
Codage detecterCodage(std::string_view octets);

// `octets` decoded as `detecterCodage` says, without the byte-order mark.
// Malformed sequences after a UTF-8 mark and an odd last byte of UTF-16LE
// become U+FFFD; Windows-1252 decoding cannot fail.
std::u16string decoder(std::string_view octets);

} // namespace ini
