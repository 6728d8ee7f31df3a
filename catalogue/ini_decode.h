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

// `octets` decoded, without their byte-order mark: as UTF-16LE after the
// FF FE mark; as UTF-8 after the EF BB BF mark or when every byte sequence is
// well-formed UTF-8 (overlong forms, surrogates and code points above
// U+10FFFF are not; plain ASCII is, and reads the same either way); as
// Windows-1252 otherwise. Malformed sequences after a UTF-8 mark and an odd
// last byte of UTF-16LE become U+FFFD; Windows-1252 decoding cannot fail.
std::u16string decoder(std::string_view octets);

} // namespace ini
