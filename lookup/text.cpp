#include "lookup/text.h"

#include "catalogue/case_fold.h"
#include "lookup/case_fold_table.h"

#include <algorithm>
#include <climits>

namespace consultation
{
namespace
{

void ajouterUtf16(std::u16string& s, char32_t c)
{
    if (c >= 0x10000) {
        s += static_cast<char16_t>(0xD7C0 + (c >> 10));
        s += static_cast<char16_t>(0xDC00 | (c & 0x3FF));
    } else {
        s += static_cast<char16_t>(c);
    }
}

// The code point of the UTF-8 character at `i` and its length; length 0 when
// the bytes there are not one (overlong, a surrogate, beyond U+10FFFF, cut).
char32_t caractere(std::string_view s, size_t i, size_t& longueur)
{
    const auto o = [&](size_t k) { return static_cast<unsigned char>(s[i + k]); };
    const unsigned char b0 = o(0);
    longueur = b0 < 0x80                 ? 1
               : b0 >= 0xC2 && b0 < 0xE0 ? 2
               : b0 >= 0xE0 && b0 < 0xF0 ? 3
               : b0 >= 0xF0 && b0 < 0xF5 ? 4
                                         : 0;
    if (longueur == 0 || i + longueur > s.size()) {
        longueur = 0;
        return 0;
    }
    char32_t c = longueur == 1 ? b0 : b0 & (0x7F >> longueur);
    for (size_t k = 1; k < longueur; ++k) {
        if ((o(k) & 0xC0) != 0x80) {
            longueur = 0;
            return 0;
        }
        c = (c << 6) | (o(k) & 0x3F);
    }
    const char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < minimum[longueur] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000))
        longueur = 0;
    return c;
}

bool estBlanc(char16_t c)
{
    if (c <= 0xFF)
        return c == 0x20 || (c >= 0x09 && c <= 0x0D) || c == 0x85 || c == 0xA0;
    // Unicode's other space, line and paragraph separators (Zs, Zl, Zp),
    // unchanged since Unicode 6.3.
    return c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 ||
           c == 0x202F || c == 0x205F || c == 0x3000;
}

} // namespace

std::u16string utf16(std::string_view utf8)
{
    std::u16string s;
    s.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        size_t longueur = 0;
        const char32_t c = caractere(utf8, i, longueur);
        ajouterUtf16(s, longueur == 0 ? char32_t(0xFFFD) : c);
        i += longueur == 0 ? 1 : longueur;
    }
    return s;
}

std::string utf8(std::u16string_view texte)
{
    std::string s;
    s.reserve(texte.size() + texte.size() / 2);
    for (size_t i = 0; i < texte.size(); ++i) {
        char32_t c = texte[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < texte.size() && texte[i + 1] >= 0xDC00 &&
            texte[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (texte[++i] - 0xDC00);
        else if (c >= 0xD800 && c < 0xE000)
            c = 0xFFFD;
        if (c < 0x80) {
            s += static_cast<char>(c);
        } else if (c < 0x800) {
            s += static_cast<char>(0xC0 | (c >> 6));
            s += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            s += static_cast<char>(0xE0 | (c >> 12));
            s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            s += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            s += static_cast<char>(0xF0 | (c >> 18));
            s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            s += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return s;
}

char32_t plierPoint(char32_t c)
{
    // The last run that starts at or before c.
    const PlagePli* fin = TablePli + NombrePlagesPli;
    const PlagePli* suivante =
        std::upper_bound(TablePli, fin, c,
                         [](char32_t point, const PlagePli& plage) { return point < plage.debut; });
    if (suivante == TablePli)
        return c;
    const PlagePli& plage = *(suivante - 1);
    if (c > plage.fin || (c - plage.debut) % char32_t(plage.pas) != 0)
        return c;
    return static_cast<char32_t>(int32_t(c) + plage.ecart);
}

void plier(std::u16string_view texte, std::u16string& plie)
{
    plie.resize(texte.size());
    catalogue::plierCasse(texte, plie.data(), plierPoint);
}

bool egaux(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    if (a == b)
        return true;
    std::u16string pa, pb;
    plier(a, pa);
    plier(b, pb);
    return pa == pb;
}

bool commencePar(std::u16string_view texte, std::u16string_view debut)
{
    return texte.size() >= debut.size() && egaux(texte.substr(0, debut.size()), debut);
}

std::u16string_view rogner(std::u16string_view texte)
{
    while (!texte.empty() && estBlanc(texte.front()))
        texte.remove_prefix(1);
    while (!texte.empty() && estBlanc(texte.back()))
        texte.remove_suffix(1);
    return texte;
}

bool entier(std::u16string_view texte, int& valeur)
{
    const bool negatif = !texte.empty() && texte.front() == u'-';
    if (!texte.empty() && (texte.front() == u'-' || texte.front() == u'+'))
        texte.remove_prefix(1);
    if (texte.empty())
        return false;
    long long n = 0;
    for (const char16_t c : texte) {
        if (c < u'0' || c > u'9')
            return false;
        n = n * 10 + (c - u'0');
        if (n > 1LL + INT_MAX)
            return false;
    }
    if (negatif)
        n = -n;
    if (n < INT_MIN || n > INT_MAX)
        return false;
    valeur = static_cast<int>(n);
    return true;
}

std::vector<std::u16string_view> decouper(std::u16string_view texte, std::u16string_view separateur)
{
    std::vector<std::u16string_view> morceaux;
    for (size_t ou; (ou = texte.find(separateur)) != std::u16string_view::npos;) {
        morceaux.push_back(texte.substr(0, ou));
        texte.remove_prefix(ou + separateur.size());
    }
    morceaux.push_back(texte);
    return morceaux;
}

} // namespace consultation
