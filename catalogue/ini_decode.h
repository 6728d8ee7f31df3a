// Reading a data file's bytes as text.
//
// Files come from two worlds: the 8-bit Windows-1252 text of the platform
// where catalogues were first written, and today's editors, which save UTF-8
// (with or without a byte-order mark) or UTF-16LE with its mark. A file often
// holds both: an old catalogue in Windows-1252 with lines appended from a
// terminal in UTF-8. Nothing in the file names its encoding, so each line is
// told apart on its own: a line that is well-formed UTF-8 is UTF-8, any other
// is Windows-1252, and every line shows as its author wrote it.
//
// The text is kept as UTF-8, which for a catalogue takes half the room of
// UTF-16; a file that is UTF-8 throughout is kept as it is.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace ini
{

struct Texte {
    std::string utf8;
    // Numbers (from 1) of the lines that were not UTF-8 and were read as
    // Windows-1252; none for a UTF-16LE file.
    std::vector<int> lignesWindows1252;
    // True when `utf8` is the file's bytes themselves: UTF-8 throughout,
    // without a mark.
    bool octetsIntacts = false;
};

// The text of `octets`: UTF-16LE after the FF FE mark (an odd last byte and
// unpaired surrogates become U+FFFD); otherwise, after an optional EF BB BF
// mark, line by line as above. LF, CRLF and CR end a line.
Texte decoder(std::string octets);

// Where the first line of `texte` ends (before its CR, LF or CRLF), or
// npos. Both characters are looked for, by memchr(), in windows that double
// from 128 bytes: the cost is at most twice the line's own length plus 128
// bytes, whatever follows the line. (Looking for LF over the whole rest of
// the text first made every line of a CR-only file cost the rest of the
// file; find_first_of("\r\n") would try both characters at every byte.)
inline size_t finDeLigne(std::string_view texte)
{
    for (size_t debut = 0, fenetre = 128; debut < texte.size(); debut += fenetre, fenetre *= 2) {
        const std::string_view morceau = texte.substr(debut, fenetre);
        const size_t lf = morceau.find('\n');
        const size_t fin = std::min(lf, morceau.substr(0, lf).find('\r'));
        if (fin != std::string_view::npos)
            return debut + fin;
    }
    return std::string_view::npos;
}

// Whether `octets` is well-formed UTF-8: no overlong form, surrogate or code
// point above U+10FFFF.
bool estUtf8(std::string_view octets);

} // namespace ini
