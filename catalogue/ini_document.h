// A parsed INI document, and the reading rules of the Windows profile
// services, since users bring files written there:
//   - LF, CRLF and CR end a line; the last line needs no line end;
//   - blanks and tabs are dropped at both ends of a line, around a section
//     name inside its brackets, around a key name and around a value;
//   - a line whose first character is ";" is a comment ("#" is not);
//   - "[" opens a section whose name ends at the first "]" (text after it is
//     ignored) or, without "]", at the end of the line;
//   - a key and its value split at the first "="; a line without "=" holds
//     no key but still counts as an entry of its section;
//   - a value wrapped in one pair of the same quote (" or ') loses the pair;
//   - names match without regard to ASCII case and otherwise exactly;
//   - the first occurrence of a key wins, and only the first occurrence of
//     a section counts: the lines under a repeated header belong nowhere,
//     like the lines before the first header;
//   - a NUL character ends a name or a value where it stands.
#pragma once

#include "catalogue/ini_decode.h"

#include <cstdint>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

namespace ini
{

// One line of a text, as the rules above see it.
struct Ligne {
    enum class Genre { Blanche, Commentaire, Entete, Cle, SansEgal };
    Genre genre;
    std::string_view texte;  // the line without its end, trimmed
    std::string_view nom;    // Entete: the section's name; Cle: the key's
    std::string_view valeur; // Cle: the value
    std::string_view brute;  // the line without its end, blanks kept
};

// Calls `f(ligne)` for every line of `texte`, in order, or until `f` returns
// false when it returns a bool: the one parsing loop behind the document and
// the data-file checker, which copies the raw line (Ligne::brute) when it
// renumbers.
template <class F> void pourChaqueLigne(std::string_view texte, F&& f);

// A name compared, and hashed, without regard to ASCII case. The hash is
// keyed by a seed drawn at random once a process (graineAuHasard), so that
// names written in a file cannot be made to collide on purpose and turn a
// table's searches into scans. Nothing of Qt: the look-up tool reads the
// file without loading Qt.
struct Nom {
    std::string_view texte;
    bool operator==(const Nom& autre) const;
};
size_t hacher(Nom nom, size_t graine = 0) noexcept;
size_t graineAuHasard();

// One section of a document: its text, from its header to the next header.
class Section
{
public:
    explicit Section(std::string_view corps = {}) : corps_(corps) {}

    std::string_view corps() const { return corps_; }

    // The value of key `cle`, as UTF-8; nothing when it is absent: the first
    // line of that name, found by reading the section from its start. The
    // reading rule itself, against which the walk is checked.
    std::optional<std::string_view> valeur(std::string_view cle) const;

    // Where a walk over the section stands: see valeurSuivante.
    struct Curseur {
        size_t suite = 0;        // no key line before this offset is left to answer
        std::string_view nom;    // when `surCle`: the name of the key line at `suite`
        std::string_view valeur; // when `surCle`: that line's value
        size_t finLigne = 0;     // when `surCle`: where the line after it starts
        bool surCle = false;
    };

    // The value of key "<prefixe><numero>" (numero from 1 to 32767, written
    // as the walk forms it) for a walk that asks for keys 1, 2, 3... The
    // cursor stands on the first key line not yet answered: every key line
    // before it answered an earlier key of the walk, so when that line bears
    // the name asked now it is the first line of the name, and when there is
    // none the key is absent. Only a key line out of order sends the read to
    // the index.
    //
    // The bound, whatever the file: the lines between two key lines are
    // stepped over once a walk, as the cursor never goes back; a read costs
    // one name comparison at the cursor, plus one look-up in the index when
    // the line there bears another name; and the cursor's line is parsed
    // once, when the cursor reaches it, which keeps its value. A walk over a section of L bytes
    // costs O(L), with the index built once a version, in O(L).
    std::optional<std::string_view> valeurSuivante(Curseur& curseur, std::string_view prefixe,
                                                   int numero) const;

private:
    // Where the first key line of each number stands, for one prefix: the
    // offset of the line plus 1, by number, 0 for none; 128 KiB whatever the
    // file. Built at the first read that needs it: many files are only read
    // by walks in key order.
    struct Index {
        std::string prefixe;
        std::vector<uint32_t> lignes;
    };
    const Index& index(std::string_view prefixe) const;

    std::string_view corps_;
    mutable std::shared_ptr<const Index> index_;
};

class Document
{
public:
    // Reads the text of a file's bytes (see ini_decode.h) and parses it.
    // Never fails: any bytes give a document, possibly an empty one.
    explicit Document(Octets octets);

    // The names and values are views of the document's own text.
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // Section `nom`, or nullptr when it is absent. A walk over many keys of
    // one section finds it once.
    const Section* section(std::string_view nom) const;

    // Whether the header line `entete` (a line of this document's text) is
    // the first of its name, the one whose section is read.
    bool ouvreSaSection(const Ligne& entete) const;

    // Whether `section` is there and holds an entry: a line that is neither
    // blank nor a comment.
    bool aDesEntrees(std::string_view section) const;

    const Texte& texte() const { return texte_; }

private:
    // The first header line of each name, in an open-addressing table under
    // the seeded hash of the name: 16 bytes a slot, at most 4 slots for 3
    // names. The name is compared where it stands in the text, by its
    // stored place and length: a header costs the length of its own name,
    // never a parse of the line of the header it matches (a long first
    // header repeated many times would otherwise cost its length each time).
    struct Entete {
        uint32_t empreinte = 0;
        uint32_t ligne = 0; // offset of the header's "[" plus 1; 0 for an empty slot
        uint32_t nom = 0;   // offset of the name
        uint32_t longueur = 0;
    };
    size_t caseDe(std::string_view nom, uint32_t empreinte) const;
    void agrandir();
    void noterEntete(const Ligne& entete); // a header line, found by the constructor

    Texte texte_;
    std::vector<Entete> entetes_;
    size_t nombreEntetes_ = 0;
    size_t graine_;
    // The sections asked for, by header, built once with their index.
    mutable std::unordered_map<uint32_t, Section> lues_;
};

namespace detail
{

inline bool estBlanc(char c)
{
    return c == ' ' || c == '\t';
}

inline std::string_view rogner(std::string_view s)
{
    while (!s.empty() && estBlanc(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && estBlanc(s.back()))
        s.remove_suffix(1);
    return s;
}

// A NUL ends a name or a value where it stands.
inline std::string_view jusquAuNul(std::string_view s)
{
    return s.substr(0, s.find('\0'));
}

inline std::string_view sansGuillemets(std::string_view v)
{
    if (v.size() >= 2 && v.front() == v.back() && (v.front() == '"' || v.front() == '\''))
        return v.substr(1, v.size() - 2);
    return v;
}

inline Ligne lireLigne(std::string_view brute)
{
    const std::string_view ligne = rogner(brute);
    if (ligne.empty())
        return {Ligne::Genre::Blanche, ligne, {}, {}, brute};
    if (ligne.front() == ';')
        return {Ligne::Genre::Commentaire, ligne, {}, {}, brute};
    if (ligne.front() == '[') {
        const std::string_view nom = ligne.substr(1, ligne.find(']') - 1);
        return {Ligne::Genre::Entete, ligne, rogner(jusquAuNul(nom)), {}, brute};
    }
    const size_t egal = ligne.find('=');
    if (egal == std::string_view::npos)
        return {Ligne::Genre::SansEgal, ligne, {}, {}, brute};
    std::string_view nom = ligne.substr(0, egal), valeur = ligne.substr(egal + 1);
    if (ligne.find('\0') != std::string_view::npos) { // one look for the line, most have none
        nom = jusquAuNul(nom);
        valeur = jusquAuNul(valeur);
    }
    return {Ligne::Genre::Cle, ligne, rogner(nom), sansGuillemets(rogner(valeur)), brute};
}

} // namespace detail

template <class F> void pourChaqueLigne(std::string_view texte, F&& f)
{
    while (!texte.empty()) {
        const size_t fin = std::min(finDeLigne(texte), texte.size());
        const Ligne ligne = detail::lireLigne(texte.substr(0, fin));
        if constexpr (std::is_same_v<decltype(f(ligne)), bool>) {
            if (!f(ligne))
                return;
        } else {
            f(ligne);
        }
        // CRLF is one line end; a lone CR or LF is one too.
        size_t suite = fin;
        if (suite < texte.size())
            suite += texte[suite] == '\r' && suite + 1 < texte.size() && texte[suite + 1] == '\n'
                         ? 2
                         : 1;
        texte.remove_prefix(suite);
    }
}

} // namespace ini
