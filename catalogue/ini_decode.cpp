#include "catalogue/ini_decode.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace ini
{
namespace
{

// Windows-1252 differs from Latin-1 only at 0x80..0x9F. The five bytes the
// code page leaves undefined (81, 8D, 8F, 90, 9D) map to the same code point,
// as Windows' own conversion does.
constexpr std::array<char32_t, 32> Cp1252Haut{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// How many bytes UTF-8 takes for `point`, and writing it at `sortie`.
constexpr size_t tailleUtf8(char32_t point)
{
    return point < 0x80 ? 1 : point < 0x800 ? 2 : point < 0x10000 ? 3 : 4;
}

char* ecrireUtf8(char* sortie, char32_t point)
{
    const auto octet = [](char32_t v) { return static_cast<char>(v); };
    switch (tailleUtf8(point)) {
    case 1:
        *sortie++ = octet(point);
        break;
    case 2:
        *sortie++ = octet(0xC0 | (point >> 6));
        *sortie++ = octet(0x80 | (point & 0x3F));
        break;
    case 3:
        *sortie++ = octet(0xE0 | (point >> 12));
        *sortie++ = octet(0x80 | ((point >> 6) & 0x3F));
        *sortie++ = octet(0x80 | (point & 0x3F));
        break;
    default:
        *sortie++ = octet(0xF0 | (point >> 18));
        *sortie++ = octet(0x80 | ((point >> 12) & 0x3F));
        *sortie++ = octet(0x80 | ((point >> 6) & 0x3F));
        *sortie++ = octet(0x80 | (point & 0x3F));
    }
    return sortie;
}

char32_t depuisWindows1252(char c)
{
    const auto o = static_cast<uint8_t>(c);
    return o >= 0x80 && o < 0xA0 ? Cp1252Haut[o - 0x80] : char32_t(o);
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

// The code points of UTF-16LE `octets`, one at a time, each with the offset
// where its units end: a pair of surrogates is one, a surrogate alone and an
// odd last byte are U+FFFD. A point's units are all read before `f` is
// called for it.
template <class F> void pourChaquePoint(std::string_view octets, F&& f)
{
    const auto unite = [&](size_t i) -> char32_t {
        return static_cast<uint8_t>(octets[i]) | (static_cast<uint8_t>(octets[i + 1]) << 8);
    };
    size_t i = 0;
    for (; i + 1 < octets.size(); i += 2) {
        const char32_t u = unite(i);
        if (u < 0xD800 || u > 0xDFFF) {
            f(u, i + 2);
        } else if (u < 0xDC00 && i + 3 < octets.size() && unite(i + 2) >= 0xDC00 &&
                   unite(i + 2) <= 0xDFFF) {
            f(0x10000 + ((u - 0xD800) << 10) + (unite(i + 2) - 0xDC00), i + 4);
            i += 2;
        } else {
            f(char32_t(0xFFFD), i + 2);
        }
    }
    if (i < octets.size())
        f(char32_t(0xFFFD), octets.size());
}

// Grows `octets` to at least `bloc` bytes and moves those after the mark to
// end at `bloc`, where the text is then written over them from the start:
// the view of the bytes moved.
std::string_view aLaFin(Octets& octets, size_t marque, size_t bloc)
{
    const size_t brut = octets.size() - marque;
    octets.redimensionner(std::max(bloc, octets.size())); // cut only once decoded
    char* const debut = octets.data();
    std::memmove(debut + bloc - brut, debut + marque, brut);
    return {debut + bloc - brut, brut};
}

// UTF-16LE into UTF-8 where the bytes stand, in two passes. A run of ASCII
// shrinks (two bytes give one) and one of CJK grows (two give three), so the
// text may run ahead of the bytes read: the first pass measures the text and
// how far ahead it ever runs, and the block is made that much larger than
// the bytes, which then never are overtaken. The text of a catalogue, mostly
// ASCII, takes half its file, and the block is cut to it.
Texte depuisUtf16LE(Octets octets)
{
    const std::string_view unites = std::string_view(octets).substr(2);
    size_t taille = 0, avance = 0;
    pourChaquePoint(unites, [&](char32_t p, size_t lus) {
        taille += tailleUtf8(p);
        avance = std::max(avance, taille > lus ? taille - lus : 0);
    });
    const std::string_view vue = aLaFin(octets, 2, std::max(taille, unites.size() + avance));
    char* sortie = octets.data();
    pourChaquePoint(vue, [&](char32_t p, size_t) { sortie = ecrireUtf8(sortie, p); });
    octets.redimensionner(taille);
    octets.ajuster();
    Texte texte;
    texte.utf8 = std::move(octets);
    return texte;
}

// The text's size, and the numbers of the lines that are not UTF-8.
size_t mesurerLignes(std::string_view vue, EnsembleDeLignes& windows1252)
{
    size_t taille = 0;
    int numero = 1;
    for (size_t debut = 0; debut < vue.size(); ++numero) {
        const size_t fin = finAvecFinDeLigne(vue, debut);
        const std::string_view ligne = vue.substr(debut, fin - debut);
        if (estUtf8(ligne)) {
            taille += ligne.size();
        } else {
            for (const char c : ligne)
                taille += tailleUtf8(depuisWindows1252(c));
            windows1252.ajouter(numero);
        }
        debut = fin;
    }
    return taille;
}

// Lines that are not UTF-8 read as Windows-1252, where the bytes stand: the
// block grows to the text's size, the bytes move to its end, and the text is
// written from its start. Every byte becomes at least one byte of text (a
// UTF-8 line is copied, a Windows-1252 byte takes one to three), so the text
// of any part of the file is at least as long as that part, and what is
// written never reaches the bytes not yet read.
Texte depuisLignes(Octets octets, size_t marque)
{
    Texte texte;
    const size_t taille =
        mesurerLignes(std::string_view(octets).substr(marque), texte.lignesWindows1252);
    const std::string_view vue = aLaFin(octets, marque, std::max(taille, octets.size()));
    char* sortie = octets.data();
    int numero = 1;
    for (size_t i = 0; i < vue.size(); ++numero) {
        const size_t fin = finAvecFinDeLigne(vue, i);
        const std::string_view ligne = vue.substr(i, fin - i);
        if (texte.lignesWindows1252.contient(numero)) {
            for (const char c : ligne)
                sortie = ecrireUtf8(sortie, depuisWindows1252(c));
        } else {
            std::memmove(sortie, ligne.data(), ligne.size());
            sortie += ligne.size();
        }
        i = fin;
    }
    octets.redimensionner(taille);
    texte.utf8 = std::move(octets);
    return texte;
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
            // A run of ASCII, most of a file: sixteen bytes at a time where
            // the processor tests sixteen at once, then eight.
            ++i;
#if defined(__SSE2__)
            for (; i + 16 <= octets.size(); i += 16)
                if (_mm_movemask_epi8(
                        _mm_loadu_si128(reinterpret_cast<const __m128i*>(octets.data() + i))) != 0)
                    break;
#endif
            uint64_t mot;
            for (; i + 8 <= octets.size(); i += 8) {
                std::memcpy(&mot, octets.data() + i, 8);
                if (mot & 0x8080808080808080ULL)
                    break;
            }
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

// At most the file's bytes or its text, never both in full: a UTF-8 file
// is its own text, anything else is decoded where its bytes stand.
Texte decoder(Octets octets)
{
    const std::string_view vue(octets);
    if (vue.substr(0, 2) == "\xFF\xFE")
        return depuisUtf16LE(std::move(octets));
    const size_t marque = vue.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    if (estUtf8(vue.substr(marque))) {
        // The usual case: the bytes are the text, and cost no copy.
        octets.retirerDebut(marque);
        Texte texte;
        texte.utf8 = std::move(octets);
        texte.octetsIntacts = marque == 0;
        return texte;
    }
    return depuisLignes(std::move(octets), marque);
}

} // namespace ini
