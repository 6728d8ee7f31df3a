#include "catalogue/ini_document.h"

#include <algorithm>
#include <cstring>

namespace ini
{
namespace
{

char majuscule(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c;
}

} // namespace

bool Nom::operator==(const Nom& autre) const
{
    if (texte.size() != autre.texte.size())
        return false;
    if (texte == autre.texte) // names are mostly written as they are asked for
        return true;
    for (size_t i = 0; i < texte.size(); ++i)
        if (majuscule(texte[i]) != majuscule(autre.texte[i]))
            return false;
    return true;
}

size_t qHash(Nom nom, size_t graine) noexcept
{
    // Eight bytes at a time, each with its 0x20 bit cleared: a letter hashes
    // like its capital (so do a few other pairs of characters, which only
    // costs a comparison).
    const char* p = nom.texte.data();
    size_t reste = nom.texte.size();
    uint64_t h = graine ^ (reste * 0x9E3779B97F4A7C15ULL);
    while (reste > 0) {
        uint64_t mot = 0;
        const size_t n = std::min<size_t>(reste, 8);
        std::memcpy(&mot, p, n);
        h = (h ^ (mot & 0xDFDFDFDFDFDFDFDFULL)) * 0xFF51AFD7ED558CCDULL;
        h ^= h >> 29;
        p += n;
        reste -= n;
    }
    // Every byte must reach the low bits, from which the table takes its
    // bucket (MurmurHash3's finaliser).
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ULL;
    h ^= h >> 33;
    return static_cast<size_t>(h);
}

Document::Document(std::string octets) : texte_(decoder(std::move(octets)))
{
    const std::string_view texte = texte_.utf8;
    Section* courante = nullptr; // where the lines go: none before the first header
    const char* corps = nullptr;
    const auto fermer = [&](const char* fin) {
        if (courante)
            courante->corps = std::string_view(corps, static_cast<size_t>(fin - corps));
    };
    pourChaqueLigne(texte, [&](const Ligne& ligne) {
        if (ligne.genre == Ligne::Genre::Entete) {
            fermer(ligne.texte.data());
            // A repeated header opens nothing: its lines are read by no one.
            const bool nouvelle = !sections_.contains(Nom{ligne.nom});
            courante = nouvelle ? &sections_[Nom{ligne.nom}] : nullptr;
            // The body starts on the next line; the header's own text is
            // never an entry since it opens with "[".
            corps = ligne.texte.data();
        } else if (ligne.genre == Ligne::Genre::Cle && courante) {
            // The first occurrence wins.
            if (!courante->cles.contains(Nom{ligne.nom}))
                courante->cles.insert(Nom{ligne.nom}, ligne.valeur);
        }
    });
    fermer(texte.data() + texte.size());
}

std::optional<std::string_view> Document::valeur(std::string_view section,
                                                 std::string_view cle) const
{
    const auto s = sections_.constFind(Nom{section});
    if (s == sections_.cend())
        return std::nullopt;
    const auto v = s->cles.constFind(Nom{cle});
    if (v == s->cles.cend())
        return std::nullopt;
    return *v;
}

std::vector<std::string_view> Document::entrees(std::string_view section, size_t limite) const
{
    std::vector<std::string_view> resultat;
    const auto s = sections_.constFind(Nom{section});
    if (s == sections_.cend())
        return resultat;
    size_t octets = 0;
    pourChaqueLigne(s->corps, [&](const Ligne& ligne) {
        if (ligne.genre == Ligne::Genre::Cle || ligne.genre == Ligne::Genre::SansEgal) {
            resultat.push_back(detail::jusquAuNul(ligne.texte));
            octets += resultat.back().size() + 1;
        }
        return octets < limite;
    });
    return resultat;
}

} // namespace ini
