#include "catalogue/ini_decode.h"

namespace ini
{
namespace
{

constexpr std::string_view MarqueUtf8{"\xEF\xBB\xBF"};
constexpr std::string_view MarqueUtf16LE{"\xFF\xFE"};

bool commencePar(std::string_view octets, std::string_view marque)
{
    return octets.substr(0, marque.size()) == marque;
}

bool estUtf8(std::string_view s)
{
    size_t i = 0;
    while (i < s.size()) {
        // Runs of ASCII are the bulk of any catalogue.
        if (static_cast<uint8_t>(s[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t point = 0;
        const size_t n = longueurSequence(s.data() + i, s.size() - i, point);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

template <class Curseur> std::u16string toutLire(Curseur c, size_t taille)
{
    std::u16string texte;
    texte.reserve(taille);
    while (!c.fini())
        texte.push_back(c.suivante());
    return texte;
}

} // namespace

Forme reconnaitre(std::string_view octets)
{
    if (commencePar(octets, MarqueUtf16LE))
        return {Codage::Utf16LE, MarqueUtf16LE.size()};
    if (commencePar(octets, MarqueUtf8))
        return {Codage::Utf8, MarqueUtf8.size()};
    // A Windows-1252 file usually shows its first accented byte early, so
    // the check seldom reads far.
    return {estUtf8(octets) ? Codage::Utf8 : Codage::Cp1252, 0};
}

std::u16string unitesUtf16LE(std::string_view s)
{
    std::u16string texte;
    texte.reserve(s.size() / 2 + s.size() % 2);
    for (size_t i = 0; i + 1 < s.size(); i += 2)
        texte.push_back(static_cast<char16_t>(static_cast<uint8_t>(s[i]) |
                                              (static_cast<uint8_t>(s[i + 1]) << 8)));
    if (s.size() % 2 != 0)
        texte.push_back(Remplacement);
    return texte;
}

std::u16string decoder(std::string_view octets)
{
    const Forme forme = reconnaitre(octets);
    const std::string_view texte = octets.substr(forme.marque);
    switch (forme.codage) {
    case Codage::Utf16LE:
        return unitesUtf16LE(texte);
    case Codage::Utf8:
        return toutLire(CurseurUtf8(texte.data(), texte.size()), texte.size());
    case Codage::Cp1252:
        break;
    }
    return toutLire(CurseurCp1252(texte.data(), texte.size()), texte.size());
}

} // namespace ini
