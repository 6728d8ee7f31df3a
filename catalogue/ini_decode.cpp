#include "catalogue/ini_decode.h"

#include <QString>

#include <array>
#include <cstdint>

namespace ini
{
namespace
{

// Windows-1252 differs from Latin-1 only at 0x80..0x9F. The five bytes the
// code page leaves undefined (81, 8D, 8F, 90, 9D) map to the same code point,
// as Windows' own conversion does.
constexpr std::array<char16_t, 32> Cp1252Haut{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void ajouterUtf8(std::string& sortie, char16_t point)
{
    if (point < 0x80) {
        sortie += static_cast<char>(point);
    } else if (point < 0x800) {
        sortie += static_cast<char>(0xC0 | (point >> 6));
        sortie += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        sortie += static_cast<char>(0xE0 | (point >> 12));
        sortie += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        sortie += static_cast<char>(0x80 | (point & 0x3F));
    }
}

void ajouterWindows1252(std::string& sortie, std::string_view ligne)
{
    for (const char c : ligne) {
        const auto o = static_cast<uint8_t>(c);
        ajouterUtf8(sortie, o >= 0x80 && o < 0xA0 ? Cp1252Haut[o - 0x80] : char16_t(o));
    }
}

// Where the line that starts at `debut` ends, its line end included.
size_t finAvecFinDeLigne(std::string_view octets, size_t debut)
{
    const size_t longueur = finDeLigne(octets.substr(debut));
    const size_t fin = longueur == std::string_view::npos ? octets.size() : debut + longueur;
    if (fin == octets.size())
        return fin;
    return fin + (octets.compare(fin, 2, "\r\n") == 0 ? 2 : 1);
}

Texte depuisUtf16LE(std::string_view octets)
{
    QString texte(static_cast<qsizetype>((octets.size() + 1) / 2), Qt::Uninitialized);
    for (size_t i = 0; i + 1 < octets.size(); i += 2)
        texte[static_cast<qsizetype>(i / 2)] = QChar(static_cast<char16_t>(
            static_cast<uint8_t>(octets[i]) | (static_cast<uint8_t>(octets[i + 1]) << 8)));
    if (octets.size() % 2 != 0)
        texte.back() = QChar::ReplacementCharacter;
    const QByteArray utf8 = texte.toUtf8();
    return {std::string(utf8.constData(), static_cast<size_t>(utf8.size())), {}, false};
}

} // namespace

bool estUtf8(std::string_view octets)
{
    const auto o = [&](size_t i) { return static_cast<uint8_t>(octets[i]); };
    const auto suite = [&](size_t i, uint8_t bas, uint8_t haut) {
        return i < octets.size() && o(i) >= bas && o(i) <= haut;
    };
    for (size_t i = 0; i < octets.size();) {
        const uint8_t b0 = o(i);
        if (b0 < 0x80) {
            ++i;
        } else if (b0 >= 0xC2 && b0 <= 0xDF) {
            if (!suite(i + 1, 0x80, 0xBF))
                return false;
            i += 2;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            // E0 would be overlong below A0; ED above 9F a surrogate.
            if (!suite(i + 1, b0 == 0xE0 ? 0xA0 : 0x80, b0 == 0xED ? 0x9F : 0xBF) ||
                !suite(i + 2, 0x80, 0xBF))
                return false;
            i += 3;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            // F0 would be overlong below 90; F4 above 8F past U+10FFFF.
            if (!suite(i + 1, b0 == 0xF0 ? 0x90 : 0x80, b0 == 0xF4 ? 0x8F : 0xBF) ||
                !suite(i + 2, 0x80, 0xBF) || !suite(i + 3, 0x80, 0xBF))
                return false;
            i += 4;
        } else {
            return false;
        }
    }
    return true;
}

Texte decoder(std::string octets)
{
    std::string_view vue(octets);
    if (vue.substr(0, 2) == "\xFF\xFE")
        return depuisUtf16LE(vue.substr(2));
    const size_t marque = vue.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    if (estUtf8(vue.substr(marque))) {
        // The usual case: the bytes are the text, and cost no copy.
        octets.erase(0, marque);
        return {std::move(octets), {}, marque == 0};
    }
    Texte texte;
    texte.utf8.reserve(octets.size() + octets.size() / 8);
    int numero = 1;
    for (size_t debut = marque; debut < vue.size(); ++numero) {
        const size_t fin = finAvecFinDeLigne(vue, debut);
        const std::string_view ligne = vue.substr(debut, fin - debut);
        if (estUtf8(ligne)) {
            texte.utf8 += ligne;
        } else {
            ajouterWindows1252(texte.utf8, ligne);
            texte.lignesWindows1252.push_back(numero);
        }
        debut = fin;
    }
    return texte;
}

} // namespace ini
