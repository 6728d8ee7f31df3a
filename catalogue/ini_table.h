// The name tables of a parsed document: names matched without regard to
// ASCII case, the first insertion of a name kept.
//
// Open addressing with part of the hash kept in each slot: a lookup is one
// probe into a flat array and one comparison of names, where a node-based
// map would chase pointers and hash the neighbouring keys again. The names
// are ranges of the document's stored text, not copies: the table asks a
// `Noms` object of the caller to compare them, with
//     bool egaux(Plage stocke, Plage autre) const;
//     bool egaux(Plage stocke, std::u16string_view requete) const;
// so that names compare as the UTF-16 text they decode to.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace ini
{

// A range of a document's stored text, in code units of its encoding. Files
// are at most 64 MB, so 32 bits hold any offset.
struct Plage {
    uint32_t debut = 0;
    uint32_t longueur = 0;
};

inline char16_t majusculeAscii(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - (u'a' - u'A')) : c;
}

// FNV-1a over the upper-cased UTF-16 units a cursor gives (see ini_decode.h).
template <class Curseur> uint32_t hacherNom(Curseur c)
{
    uint64_t h = 14695981039346656037ull;
    while (!c.fini()) {
        h ^= majusculeAscii(c.suivante());
        h *= 1099511628211ull;
    }
    return static_cast<uint32_t>(h ^ (h >> 32));
}

// Whether two cursors give the same units, ASCII letters in either case.
template <class A, class B> bool memesNoms(A a, B b)
{
    while (!a.fini() && !b.fini())
        if (majusculeAscii(a.suivante()) != majusculeAscii(b.suivante()))
            return false;
    return a.fini() && b.fini();
}

template <class Valeur> class TableNoms
{
public:
    // Adds the name `nom`, whose hash is `h`, with `valeur` unless the name
    // is already there. Returns the value stored under the name and whether
    // it was added now.
    template <class Noms>
    std::pair<const Valeur*, bool> ajouter(Plage nom, uint32_t h, const Valeur& valeur,
                                           const Noms& noms)
    {
        if (2 * (entrees_.size() + 1) > cases_.size())
            agrandir();
        Case& c = cases_[chercher(nom, h, noms)];
        if (c.rang != 0)
            return {&entrees_[c.rang - 1].valeur, false};
        entrees_.push_back({nom, valeur});
        c = {h, static_cast<uint32_t>(entrees_.size())};
        return {&entrees_.back().valeur, true};
    }

    // Gives back the room kept for growth, once every name is in.
    void ajuster() { entrees_.shrink_to_fit(); }

    // The value stored under `nom`, whose hash is `h` (hacherNom of it), or
    // nullptr. Not thread-safe: a lookup updates the guess of the next one.
    template <class Noms>
    const Valeur* trouver(std::u16string_view nom, uint32_t h, const Noms& noms) const
    {
        if (entrees_.empty())
            return nullptr;
        const Case& c = cases_[chercher(nom, h, noms)];
        if (c.rang == 0)
            return nullptr;
        suivante_ = c.rang;
        return &entrees_[c.rang - 1].valeur;
    }

    // The entry after the last one found, or that one again, when its name
    // is `nom`: callers walk keys in number order and files list them in
    // that order, and read the same section key after key, so this saves the
    // hashing and a probe far away in memory. Names are unique among
    // entries, so a match there is the match.
    template <class Noms> const Valeur* deviner(std::u16string_view nom, const Noms& noms) const
    {
        if (suivante_ < entrees_.size() && noms.egaux(entrees_[suivante_].nom, nom))
            return &entrees_[suivante_++].valeur;
        if (suivante_ > 0 && suivante_ <= entrees_.size() &&
            noms.egaux(entrees_[suivante_ - 1].nom, nom))
            return &entrees_[suivante_ - 1].valeur;
        return nullptr;
    }

    size_t taille() const { return entrees_.size(); }

private:
    // Slots are small, so that the slots of a whole catalogue stay in the
    // processor's cache; entries lie in file order, so a walk over the keys
    // in order reads them one after the other.
    struct Case {
        uint32_t hachage = 0; // the name's hash
        uint32_t rang = 0;    // entry number + 1; 0: free
    };
    struct Entree {
        Plage nom;
        Valeur valeur;
    };

    // The slot holding `nom`, or the free slot where it would go. The table
    // is never more than half full, so a free slot is always met.
    template <class Nom, class Noms>
    size_t chercher(const Nom& nom, uint32_t h, const Noms& noms) const
    {
        const size_t masque = cases_.size() - 1;
        for (size_t i = h & masque;; i = (i + 1) & masque) {
            const Case& c = cases_[i];
            if (c.rang == 0 || (c.hachage == h && noms.egaux(entrees_[c.rang - 1].nom, nom)))
                return i;
        }
    }

    // Doubles the slots; the hashes kept in them place the names again
    // without reading them.
    void agrandir()
    {
        std::vector<Case> anciennes(cases_.empty() ? 16 : 2 * cases_.size());
        anciennes.swap(cases_);
        const size_t masque = cases_.size() - 1;
        for (const Case& a : anciennes) {
            if (a.rang == 0)
                continue;
            size_t i = a.hachage & masque;
            while (cases_[i].rang != 0)
                i = (i + 1) & masque;
            cases_[i] = a;
        }
    }

    std::vector<Case> cases_;
    std::vector<Entree> entrees_;
    mutable size_t suivante_ = 0;
};

} // namespace ini
