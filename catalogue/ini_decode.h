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

#include "catalogue/byte_buffer.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ini
{

// A set of line numbers, one bit a line: at most an eighth of the file's
// size whatever its lines, where a list of numbers would take four bytes for
// a line of two.
class EnsembleDeLignes
{
public:
    void ajouter(int numero)
    {
        const auto mot = static_cast<size_t>(numero) / 64;
        if (mot >= mots_.size())
            mots_.resize(mot + 1);
        const uint64_t bit = uint64_t(1) << (numero % 64);
        nombre_ += (mots_[mot] & bit) == 0;
        mots_[mot] |= bit;
    }
    bool contient(int numero) const
    {
        const auto mot = static_cast<size_t>(numero) / 64;
        return numero >= 0 && mot < mots_.size() && (mots_[mot] >> (numero % 64) & 1) != 0;
    }
    bool empty() const { return nombre_ == 0; }
    size_t size() const { return nombre_; }

    // Calls `f(premiere, nombre)` for each run of consecutive numbers, in
    // order.
    template <class F> void pourChaqueSuite(F&& f) const
    {
        int premiere = 0, nombre = 0;
        for (size_t m = 0; m < mots_.size(); ++m) {
            if (mots_[m] == 0 && nombre == 0)
                continue;
            for (int b = 0; b < 64; ++b) {
                if (mots_[m] >> b & 1) {
                    premiere = nombre == 0 ? static_cast<int>(m * 64) + b : premiere;
                    ++nombre;
                } else if (nombre > 0) {
                    f(premiere, nombre);
                    nombre = 0;
                }
            }
        }
        if (nombre > 0)
            f(premiere, nombre);
    }

private:
    std::vector<uint64_t> mots_;
    size_t nombre_ = 0;
};

struct Texte {
    Octets utf8;
    // Numbers (from 1) of the lines that were not UTF-8 and were read as
    // Windows-1252; none for a UTF-16LE file.
    EnsembleDeLignes lignesWindows1252;
    // True when `utf8` is the file's bytes themselves: UTF-8 throughout,
    // without a mark.
    bool octetsIntacts = false;
};

// The text of `octets`: UTF-16LE after the FF FE mark (an odd last byte and
// unpaired surrogates become U+FFFD); otherwise, after an optional EF BB BF
// mark, line by line as above. LF, CRLF and CR end a line. Lines are
// decoded where the bytes stand, in their block grown to the text's size:
// the file is never held beside its text. Throws std::bad_alloc when the
// memory for the text cannot be had.
Texte decoder(Octets octets);

// Where the first line of `texte` ends (before its CR, LF or CRLF), or
// npos. Both characters are looked for at once, sixteen bytes at a time
// where the processor compares sixteen at once, so the cost is the line's
// own length plus at most 15 bytes, whatever follows the line. (Looking for
// LF over the whole rest of the text first made every line of a CR-only
// file cost the rest of the file.)
inline size_t finDeLigne(std::string_view texte)
{
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r');
    for (; i + 16 <= texte.size(); i += 16) {
        const __m128i o = _mm_loadu_si128(reinterpret_cast<const __m128i*>(texte.data() + i));
        const auto fins =
            unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(o, lf), _mm_cmpeq_epi8(o, cr))));
        if (fins != 0)
            return i + size_t(std::countr_zero(fins));
    }
#endif
    for (; i < texte.size(); ++i)
        if (texte[i] == '\n' || texte[i] == '\r')
            return i;
    return std::string_view::npos;
}

// Whether `octets` is well-formed UTF-8: no overlong form, surrogate or code
// point above U+10FFFF.
bool estUtf8(std::string_view octets);

} // namespace ini
