#include "catalogue/ini_decode.h"

#include <array>
#include <cstdint>

namespace ini
{
namespace
{

constexpr char16_t Remplacement = 0xFFFD;

// Windows-1252 differs from Latin-1 only at 0x80..0x9F. The five bytes the
// code page leaves undefined (81, 8D, 8F, 90, 9D) map to the same code point,
// as Windows' own conversion does.
constexpr std::array<char16_t, 32> Cp1252Haut{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool commencePar(std::string_view octets, std::string_view marque)
{
    return octets.substr(0, marque.size()) == marque;
}

constexpr std::string_view MarqueUtf8{"\xEF\xBB\xBF"};
constexpr std::string_view MarqueUtf16LE{"\xFF\xFE"};

// Length of the well-formed UTF-8 sequence at the start of `s` (1 to 4), or 0
// when it is malformed: overlong forms, surrogates and code points above
// U+10FFFF are refused.
size_t longueurSequence(std::string_view s, char32_t& point)
{
    const auto o = [&](size_t i) { return static_cast<uint8_t>(s[i]); };
    const auto suite = [&](size_t i, uint8_t bas, uint8_t haut) {
        return i < s.size() && o(i) >= bas && o(i) <= haut;
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

void ajouterPoint(std::u16string& texte, char32_t point)
{
    if (point < 0x10000) {
        texte.push_back(static_cast<char16_t>(point));
        return;
    }
    point -= 0x10000;
    texte.push_back(static_cast<char16_t>(0xD800 + (point >> 10)));
    texte.push_back(static_cast<char16_t>(0xDC00 + (point & 0x3FF)));
}

// Skips the bytes of one malformed sequence: the lead byte and the
// continuation bytes that follow it, so one fault gives one U+FFFD.
size_t longueurFaute(std::string_view s)
{
    size_t n = 1;
    while (n < s.size() && n < 4 && (static_cast<uint8_t>(s[n]) & 0xC0) == 0x80)
        ++n;
    return n;
}

// UTF-8 to UTF-16. With `strict`, gives up at the first malformed sequence
// and returns false; otherwise replaces it with U+FFFD.
bool decoderUtf8(std::string_view s, bool strict, std::u16string& texte)
{
    texte.clear();
    texte.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        // Runs of ASCII are the bulk of any catalogue.
        while (i < s.size() && static_cast<uint8_t>(s[i]) < 0x80)
            texte.push_back(static_cast<char16_t>(s[i++]));
        if (i == s.size())
            break;
        char32_t point = 0;
        const size_t n = longueurSequence(s.substr(i), point);
        if (n == 0) {
            if (strict)
                return false;
            texte.push_back(Remplacement);
            i += longueurFaute(s.substr(i));
            continue;
        }
        ajouterPoint(texte, point);
        i += n;
    }
    return true;
}

std::u16string decoderUtf16LE(std::string_view s)
{
    std::u16string texte;
    texte.reserve(s.size() / 2 + 1);
    for (size_t i = 0; i + 1 < s.size(); i += 2)
        texte.push_back(static_cast<char16_t>(static_cast<uint8_t>(s[i]) |
                                              (static_cast<uint8_t>(s[i + 1]) << 8)));
    if (s.size() % 2 != 0)
        texte.push_back(Remplacement);
    return texte;
}

// Decodes into `texte`, reusing its storage: after a failed UTF-8 pass it
// already holds room for the whole file.
void decoderCp1252(std::string_view s, std::u16string& texte)
{
    texte.resize(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const uint8_t o = static_cast<uint8_t>(s[i]);
        texte[i] = (o >= 0x80 && o <= 0x9F) ? Cp1252Haut[o - 0x80] : char16_t(o);
    }
}

} // namespace

std::u16string decoder(std::string_view octets)
{
    if (commencePar(octets, MarqueUtf16LE))
        return decoderUtf16LE(octets.substr(MarqueUtf16LE.size()));
    std::u16string texte;
    if (commencePar(octets, MarqueUtf8)) {
        decoderUtf8(octets.substr(MarqueUtf8.size()), false, texte);
        return texte;
    }
    // One pass both checks and decodes; a Windows-1252 file usually shows
    // its first accented byte early, so little work is thrown away.
    if (!decoderUtf8(octets, true, texte))
        decoderCp1252(octets, texte);
    return texte;
}

} // namespace ini
