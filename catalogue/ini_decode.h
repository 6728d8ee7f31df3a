// Telling the encoding of a data file and reading its text as UTF-16.
//
// Files come from two worlds: the 8-bit Windows-1252 text of the platform
// where catalogues were first written, and today's editors, which save UTF-8
// (with or without a byte-order mark) or UTF-16LE with its mark. The encoding
// is told from the bytes alone; nothing in the file names it.
//
// A parsed file keeps its text in its own encoding, which for the 8-bit ones
// takes half the room of UTF-16, and turns a piece of it into UTF-16 only
// when the piece is read: the cursors below give the UTF-16 code units of a
// stored range one by one. Every character the INI syntax uses is one ASCII
// unit in the three encodings, and no unit of a multi-byte UTF-8 sequence
// looks like ASCII, so the text can be cut into lines, names and values
// before it is decoded.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace ini
{

enum class Codage : uint8_t { Cp1252, Utf8, Utf16LE };

struct Forme {
    Codage codage;
    size_t marque; // length of the byte-order mark, in bytes
};

// The encoding of `octets`: UTF-16LE after the FF FE mark; UTF-8 after the
// EF BB BF mark or when every byte sequence is well-formed UTF-8 (overlong
// forms, surrogates and code points above U+10FFFF are not; plain ASCII is,
// and reads the same either way); Windows-1252 otherwise.
Forme reconnaitre(std::string_view octets);

// The UTF-16LE code units of `octets` (mark removed); an odd last byte
// becomes U+FFFD.
std::u16string unitesUtf16LE(std::string_view octets);

// `octets` decoded as reconnaitre() tells, without their mark. Malformed
// sequences after a UTF-8 mark become U+FFFD; Windows-1252 decoding cannot
// fail.
std::u16string decoder(std::string_view octets);

inline constexpr char16_t Remplacement = 0xFFFD;

// Windows-1252 differs from Latin-1 only at 0x80..0x9F. The five bytes the
// code page leaves undefined (81, 8D, 8F, 90, 9D) map to the same code point,
// as Windows' own conversion does.
inline constexpr std::array<char16_t, 32> Cp1252Haut{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Length of the well-formed UTF-8 sequence at `p` (1 to 4, `reste` bytes
// available), or 0 when it is malformed: overlong forms, surrogates and code
// points above U+10FFFF are refused.
inline size_t longueurSequence(const char* p, size_t reste, char32_t& point)
{
    const auto o = [&](size_t i) { return static_cast<uint8_t>(p[i]); };
    const auto suite = [&](size_t i, uint8_t bas, uint8_t haut) {
        return i < reste && o(i) >= bas && o(i) <= haut;
    };
    const uint8_t b0 = o(0);
    if (b0 < 0x80) {
        point = b0;
        return 1;
    }
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        if (!suite(1, 0x80, 0xBF))
            return 0;
        point = (char32_t(b0 & 0x1F) << 6) | (o(1) & 0x3F);
        return 2;
    }
    if (b0 >= 0xE0 && b0 <= 0xEF) {
        const uint8_t bas = b0 == 0xE0 ? 0xA0 : 0x80;
        const uint8_t haut = b0 == 0xED ? 0x9F : 0xBF;
        if (!suite(1, bas, haut) || !suite(2, 0x80, 0xBF))
            return 0;
        point = (char32_t(b0 & 0x0F) << 12) | (char32_t(o(1) & 0x3F) << 6) | (o(2) & 0x3F);
        return 3;
    }
    if (b0 >= 0xF0 && b0 <= 0xF4) {
        const uint8_t bas = b0 == 0xF0 ? 0x90 : 0x80;
        const uint8_t haut = b0 == 0xF4 ? 0x8F : 0xBF;
        if (!suite(1, bas, haut) || !suite(2, 0x80, 0xBF) || !suite(3, 0x80, 0xBF))
            return 0;
        point = (char32_t(b0 & 0x07) << 18) | (char32_t(o(1) & 0x3F) << 12) |
                (char32_t(o(2) & 0x3F) << 6) | (o(3) & 0x3F);
        return 4;
    }
    return 0;
}

// The bytes of one malformed sequence: the lead byte and the continuation
// bytes that follow it, so one fault gives one U+FFFD.
inline size_t longueurFaute(const char* p, size_t reste)
{
    size_t n = 1;
    while (n < reste && n < 4 && (static_cast<uint8_t>(p[n]) & 0xC0) == 0x80)
        ++n;
    return n;
}

// The cursors: `fini()` once every unit was given, `suivante()` the next
// one, `lire(dest, max)` up to `max` of them into `dest`, returning how many.

class CurseurCp1252
{
public:
    using Unite = char;
    CurseurCp1252(const char* p, size_t n) : p_(p), fin_(p + n) {}
    bool fini() const { return p_ == fin_; }
    char16_t suivante()
    {
        const uint8_t o = static_cast<uint8_t>(*p_++);
        return (o >= 0x80 && o <= 0x9F) ? Cp1252Haut[o - 0x80] : char16_t(o);
    }
    // Writes up to `max` units into `dest`; returns how many.
    size_t lire(char16_t* dest, size_t max)
    {
        const size_t n = std::min(max, static_cast<size_t>(fin_ - p_));
        // Widen every byte, then mend those in 0x80..0x9F if there are any:
        // the widening and the search vectorize, the mending is rare.
        const auto* octets = reinterpret_cast<const uint8_t*>(p_);
        unsigned aMender = 0;
        for (size_t i = 0; i < n; ++i)
            aMender |= static_cast<uint8_t>(octets[i] - 0x80) < 0x20 ? 1u : 0u;
        for (size_t i = 0; i < n; ++i)
            dest[i] = octets[i];
        if (aMender)
            for (size_t i = 0; i < n; ++i)
                if (dest[i] >= 0x80 && dest[i] <= 0x9F)
                    dest[i] = Cp1252Haut[dest[i] - 0x80];
        p_ += n;
        return n;
    }

private:
    const char* p_;
    const char* fin_;
};

// Malformed sequences (only possible after a UTF-8 mark) give U+FFFD; a code
// point above U+FFFF gives its two surrogates.
class CurseurUtf8
{
public:
    using Unite = char;
    CurseurUtf8(const char* p, size_t n) : p_(p), fin_(p + n) {}
    bool fini() const { return p_ == fin_ && bas_ == 0; }
    char16_t suivante()
    {
        if (bas_ != 0)
            return std::exchange(bas_, char16_t(0));
        if (static_cast<uint8_t>(*p_) < 0x80)
            return static_cast<char16_t>(*p_++);
        const size_t reste = static_cast<size_t>(fin_ - p_);
        char32_t point = 0;
        const size_t n = longueurSequence(p_, reste, point);
        if (n == 0) {
            p_ += longueurFaute(p_, reste);
            return Remplacement;
        }
        p_ += n;
        if (point < 0x10000)
            return static_cast<char16_t>(point);
        point -= 0x10000;
        bas_ = static_cast<char16_t>(0xDC00 + (point & 0x3FF));
        return static_cast<char16_t>(0xD800 + (point >> 10));
    }
    size_t lire(char16_t* dest, size_t max)
    {
        size_t n = 0;
        while (n < max && !fini()) {
            // Runs of ASCII are the bulk of any catalogue.
            while (bas_ == 0 && n < max && p_ != fin_ && static_cast<uint8_t>(*p_) < 0x80)
                dest[n++] = static_cast<char16_t>(*p_++);
            if (n < max && !fini())
                dest[n++] = suivante();
        }
        return n;
    }

private:
    const char* p_;
    const char* fin_;
    char16_t bas_ = 0; // the low surrogate still to give
};

class CurseurUtf16
{
public:
    using Unite = char16_t;
    CurseurUtf16(const char16_t* p, size_t n) : p_(p), fin_(p + n) {}
    explicit CurseurUtf16(std::u16string_view s) : CurseurUtf16(s.data(), s.size()) {}
    bool fini() const { return p_ == fin_; }
    char16_t suivante() { return *p_++; }
    size_t lire(char16_t* dest, size_t max)
    {
        const size_t n = std::min(max, static_cast<size_t>(fin_ - p_));
        std::copy_n(p_, n, dest);
        p_ += n;
        return n;
    }

private:
    const char16_t* p_;
    const char16_t* fin_;
};

} // namespace ini
