// The name tables of a parsed document: names matched without regard to
// ASCII case, the first insertion of a name kept.
//
// Open addressing with part of the hash kept in each slot: a lookup is one
// probe into a flat array and one comparison of names, where a node-based
// map would chase pointers and hash the neighbouring keys again. The names
// are views into the document's text and are not copied.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace ini
{

inline char16_t majusculeAscii(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - (u'a' - u'A')) : c;
}

// FNV-1a over the upper-cased code units; never 0, which marks a free slot.
inline uint64_t hacherNom(std::u16string_view nom)
{
    uint64_t h = 14695981039346656037ull;
    for (char16_t c : nom) {
        h ^= majusculeAscii(c);
        h *= 1099511628211ull;
    }
    return h | 1;
}

inline bool memesNoms(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (majusculeAscii(a[i]) != majusculeAscii(b[i]))
            return false;
    return true;
}

template <class Valeur> class TableNoms
{
public:
    // Adds `nom` with `valeur` unless the name is already there. Returns the
    // value stored under the name and whether it was added now.
    std::pair<const Valeur*, bool> ajouter(std::u16string_view nom, const Valeur& valeur)
    {
        if (2 * (entrees_.size() + 1) > cases_.size())
            agrandir();
        const uint64_t h = hacherNom(nom);
        Case& c = cases_[chercher(nom, h)];
        if (c.rang != 0)
            return {&entrees_[c.rang - 1].valeur, false};
        entrees_.push_back({nom, valeur});
        c = {static_cast<uint32_t>(h), static_cast<uint32_t>(entrees_.size())};
        return {&entrees_.back().valeur, true};
    }

    // The value stored under `nom`, or nullptr. Not thread-safe: a lookup
    // updates the guess of the next one.
    const Valeur* trouver(std::u16string_view nom) const
    {
        // Callers walk keys in number order and files list them in that
        // order, so the entry after the last one found is tried first: it
        // saves the hashing and a probe far away in memory. Names are
        // unique among entries, so a match there is the match.
        if (suivante_ < entrees_.size() && memesNoms(entrees_[suivante_].nom, nom))
            return &entrees_[suivante_++].valeur;
        if (entrees_.empty())
            return nullptr;
        const Case& c = cases_[chercher(nom, hacherNom(nom))];
        if (c.rang == 0)
            return nullptr;
        suivante_ = c.rang;
        return &entrees_[c.rang - 1].valeur;
    }

    size_t taille() const { return entrees_.size(); }

private:
    // Slots are small, so that the slots of a whole catalogue stay in the
    // processor's cache; entries lie in file order, so a walk over the keys
    // in order reads them one after the other.
    struct Case {
        uint32_t hachage = 0; // low half of the name's hash
        uint32_t rang = 0;    // entry number + 1; 0: free
    };
    struct Entree {
        std::u16string_view nom;
        Valeur valeur;
    };

    // The slot holding `nom`, or the free slot where it would go. The table
    // is never more than half full, so a free slot is always met.
    size_t chercher(std::u16string_view nom, uint64_t h) const
    {
        const size_t masque = cases_.size() - 1;
        for (size_t i = static_cast<size_t>(h) & masque;; i = (i + 1) & masque) {
            const Case& c = cases_[i];
            if (c.rang == 0 ||
                (c.hachage == static_cast<uint32_t>(h) && memesNoms(entrees_[c.rang - 1].nom, nom)))
                return i;
        }
    }

    void agrandir()
    {
        cases_.assign(cases_.empty() ? 16 : 2 * cases_.size(), Case{});
        const size_t masque = cases_.size() - 1;
        for (uint32_t rang = 1; rang <= entrees_.size(); ++rang) {
            const uint64_t h = hacherNom(entrees_[rang - 1].nom);
            size_t i = static_cast<size_t>(h) & masque;
            while (cases_[i].rang != 0)
                i = (i + 1) & masque;
            cases_[i] = {static_cast<uint32_t>(h), rang};
        }
    }

    std::vector<Case> cases_;
    std::vector<Entree> entrees_;
    mutable size_t suivante_ = 0;
};

} // namespace ini
