#include "verifier/visible.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include <QChar>

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

bool invisible(char32_t c, bool espaces)
{
    if (c < 0x20 || (c >= 0x7F && c < 0xA0))
        return true;
    if (c < 0x80)
        return false;
    switch (QChar::category(c)) {
    case QChar::Other_Format:        // bidi controls, zero-width characters, the mark
    case QChar::Separator_Line:      // U+2028
    case QChar::Separator_Paragraph: // U+2029
    case QChar::Other_Control:
        return true;
    case QChar::Separator_Space:
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

std::string pourLeShell(std::string_view chemin)
{
    const std::string vu = citer(chemin);
    if (vu.empty())
        return "''";
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
