#include "terminal/visible.h"

#include "terminal/unicode_table.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include <cstdint>
#include <cstdio>

namespace terminal
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

// Whether `c` would not show as itself, from the table of Unicode's data
// (unicode_table.h): what a terminal or a font shows as nothing, whatever
// its category, unassigned code points and noncharacters, which show as
// nothing or as a box; spaces other than U+0020 when `espaces` says so.
bool invisible(char32_t c, bool espaces)
{
    if (c < 0x80)
        return c < 0x20 || c == 0x7F;
    const Apparence a = apparence(c);
    return a == Apparence::Invisible || (espaces && a == Apparence::Espace);
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
        const auto octet = static_cast<uint8_t>(texte[i]);
        if (octet >= 0x20 && octet < 0x7F) { // printable ASCII, most of any text: as it is
            if (sortie.size() + 1 > limite) {
                if (coupe)
                    *coupe = true;
                break;
            }
            sortie += char(octet);
            ++i;
            continue;
        }
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

Apparence apparence(char32_t c)
{
    if (c > 0x10FFFF)
        return Apparence::Invisible;
    // The last run that starts at or before c.
    const Plage* fin = TablePlages + NombrePlages;
    const Plage* suivante =
        std::upper_bound(TablePlages, fin, c,
                         [](char32_t point, const Plage& plage) { return point < plage.debut; });
    return (suivante - 1)->apparence;
}

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

#ifdef _WIN32
const Interprete InterpreteDuSysteme = Interprete::Cmd;
#else
const Interprete InterpreteDuSysteme = Interprete::Sh;
#endif

// cmd has no way to write a character by its code, nor to quote " (no
// Windows file name holds one) or % inside double quotes (%NOM% is replaced
// by the variable NOM when it is set, quotes or not). A path holding such a
// character, or one citer escapes, is written in double quotes with citer's
// escapes and % as they are: nothing raw reaches the terminal, the user sees
// where the odd character stands, and the command must be adapted by hand
// (a name typed with the tab key, say).
std::string pourCmd(std::string_view chemin)
{
    const std::string vu = citer(chemin);
    // A name starting with "-" would read as an option.
    const std::string debut = !vu.empty() && vu.front() == '-' ? ".\\" : "";
    const bool litteral =
        !vu.empty() && vu == chemin && std::all_of(vu.begin(), vu.end(), [](char c) {
            return (c & 0x80) || std::isalnum(static_cast<unsigned char>(c)) ||
                   (c != '\0' && std::strchr("_.\\/:+-@#$~", c));
        });
    return litteral ? debut + vu : "\"" + debut + vu + "\"";
}

std::string pourLaCommande(std::string_view chemin, Interprete interprete)
{
    return interprete == Interprete::Cmd ? pourCmd(chemin) : pourLeShell(chemin);
}

} // namespace terminal
