#include "verifier/visible.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include <unicode/uchar.h>

#include <cstdint>
#include <cstdio>

namespace verificateur
{
namespace
{

// The code point that starts `texte` and its length in bytes, or a length
// of 0 when `texte` does not start with well-formed UTF-8.
struct Point {
    char32_t code = 0;
    size_t longueur = 0;
};

Point lirePoint(std::string_view texte)
{
    const auto o = [&](size_t i) { return static_cast<uint8_t>(texte[i]); };
    const auto suite = [&](size_t i, uint8_t bas, uint8_t haut) {
        return i < texte.size() && o(i) >= bas && o(i) <= haut;
    };
    const uint8_t b0 = o(0);
    if (b0 < 0x80)
        return {b0, 1};
    if (b0 >= 0xC2 && b0 <= 0xDF && suite(1, 0x80, 0xBF))
        return {char32_t(b0 & 0x1F) << 6 | (o(1) & 0x3F), 2};
    // E0 would be overlong below A0; ED above 9F a surrogate.
    if (b0 >= 0xE0 && b0 <= 0xEF && suite(1, b0 == 0xE0 ? 0xA0 : 0x80, b0 == 0xED ? 0x9F : 0xBF) &&
        suite(2, 0x80, 0xBF))
        return {char32_t(b0 & 0x0F) << 12 | char32_t(o(1) & 0x3F) << 6 | (o(2) & 0x3F), 3};
    // F0 would be overlong below 90; F4 above 8F past U+10FFFF.
    if (b0 >= 0xF0 && b0 <= 0xF4 && suite(1, b0 == 0xF0 ? 0x90 : 0x80, b0 == 0xF4 ? 0x8F : 0xBF) &&
        suite(2, 0x80, 0xBF) && suite(3, 0x80, 0xBF))
        return {char32_t(b0 & 0x07) << 18 | char32_t(o(1) & 0x3F) << 12 |
                    char32_t(o(2) & 0x3F) << 6 | (o(3) & 0x3F),
                4};
    return {};
}

// Whether `c` would not show as itself. Told by ICU's Unicode data, which
// has what Qt lacks, the Default_Ignorable property: characters that a
// terminal or a font shows as nothing (variation selectors, Hangul fillers,
// the tag characters...), whatever their category. Unassigned code points
// and noncharacters show as nothing or as a box, so they are escaped too.
bool invisible(char32_t c, bool espaces)
{
    if (c < 0x20 || (c >= 0x7F && c < 0xA0))
        return true;
    if (c < 0x80)
        return false;
    const auto point = static_cast<UChar32>(c);
    if (u_hasBinaryProperty(point, UCHAR_DEFAULT_IGNORABLE_CODE_POINT) ||
        u_hasBinaryProperty(point, UCHAR_NONCHARACTER_CODE_POINT))
        return true;
    switch (u_charType(point)) {
    case U_UNASSIGNED:
    case U_FORMAT_CHAR:         // bidi controls, zero-width characters, the mark
    case U_LINE_SEPARATOR:      // U+2028
    case U_PARAGRAPH_SEPARATOR: // U+2029
    case U_CONTROL_CHAR:
        return true;
    case U_SPACE_SEPARATOR:
        return espaces;
    default:
        return false;
    }
}

std::string echappement(char32_t c)
{
    char tampon[16];
    if (c < 0x80)
        std::snprintf(tampon, sizeof tampon, "\\x%02X", unsigned(c));
    else if (c <= 0xFFFF)
        std::snprintf(tampon, sizeof tampon, "\\u%04X", unsigned(c));
    else
        std::snprintf(tampon, sizeof tampon, "\\U%08X", unsigned(c));
    return tampon;
}

// The escapes of citer and assainir; `garder` is a character left as it is.
std::string rendreVisible(std::string_view texte, size_t limite, bool* coupe, bool espaces,
                          char garder)
{
    std::string sortie;
    sortie.reserve(std::min(texte.size(), limite));
    if (coupe)
        *coupe = false;
    for (size_t i = 0; i < texte.size();) {
        const Point p = lirePoint(texte.substr(i));
        std::string morceau;
        if (p.longueur == 0)
            morceau = echappement(static_cast<uint8_t>(texte[i])); // a byte that is not UTF-8
        else if (p.code != char32_t(garder) && invisible(p.code, espaces))
            morceau = echappement(p.code);
        else
            morceau = texte.substr(i, p.longueur);
        if (sortie.size() + morceau.size() > limite) {
            if (coupe)
                *coupe = true;
            break;
        }
        sortie += morceau;
        i += std::max<size_t>(p.longueur, 1);
    }
    return sortie;
}

} // namespace

std::string citer(std::string_view texte, size_t limite, bool* coupe)
{
    return rendreVisible(texte, limite, coupe, true, ' ');
}

std::string assainir(std::string_view sortie)
{
    return rendreVisible(sortie, std::string_view::npos, nullptr, false, '\n');
}

namespace
{

// A path that holds a character citer escapes is written as the shell's
// $'…', each byte of such a character as \xHH: the shell gives back the
// path's own bytes, in any locale, and the terminal shows the escapes.
std::string pourLeShellEchappe(std::string_view chemin)
{
    std::string cite = chemin.front() == '-' ? "$'./" : "$'";
    for (size_t i = 0; i < chemin.size();) {
        const size_t longueur = std::max<size_t>(lirePoint(chemin.substr(i)).longueur, 1);
        const std::string_view morceau = chemin.substr(i, longueur);
        if (citer(morceau) != morceau) {
            char octet[8];
            for (const char o : morceau) {
                std::snprintf(octet, sizeof octet, "\\x%02X", unsigned(static_cast<uint8_t>(o)));
                cite += octet;
            }
        } else {
            for (const char c : morceau)
                cite += c == '\'' || c == '\\' ? std::string{'\\', c} : std::string(1, c);
        }
        i += longueur;
    }
    return cite + "'";
}

} // namespace

std::string pourLeShell(std::string_view chemin)
{
    if (chemin.empty())
        return "''";
    const std::string vu = citer(chemin);
    if (vu != chemin)
        return pourLeShellEchappe(chemin);
    const bool litteral =
        vu.front() != '-' && vu.front() != '~' && std::all_of(vu.begin(), vu.end(), [](char c) {
            return (c & 0x80) || std::isalnum(static_cast<unsigned char>(c)) ||
                   (c != '\0' && std::strchr("_./+,:@%=-", c));
        });
    if (litteral)
        return vu;
    std::string cite = "'";
    for (const char c : vu)
        cite += c == '\'' ? std::string("'\\''") : std::string(1, c);
    // A path that starts with "-" would read as an option: "./" before it.
    return (vu.front() == '-' ? "'./" + cite.substr(1) : cite) + "'";
}

} // namespace verificateur
