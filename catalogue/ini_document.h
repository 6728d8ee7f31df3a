// A parsed INI document and the two reads every caller relies on.
//
// The file is parsed once into a table of sections and keys so that reading
// a key costs one hash lookup, however many keys come before it. The reading
// rules are those of the Windows profile services, since users bring files
// written there:
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
#include "catalogue/ini_table.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ini
{

// The text is kept in the file's own encoding (the bytes of a Windows-1252 or
// UTF-8 file, the code units of a UTF-16LE one); names and values are ranges
// of it, decoded to UTF-16 when they are read or matched.
class Document
{
public:
    // Takes the bytes of a file, tells their encoding (see ini_decode.h) and
    // parses them. Never fails: any bytes give a document, possibly an empty
    // one.
    static std::unique_ptr<Document> depuisOctets(std::string octets);

    // The names and values below are ranges of the document's own text,
    // which is why a document is never copied or moved.
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // The value of `cle` in `section`, whole and decoded; nothing when either
    // is absent.
    std::optional<std::u16string> valeur(std::u16string_view section,
                                         std::u16string_view cle) const;

    // Copies the value of `cle` in `section` into `tampon`, or `defaut` when
    // the key or the section is absent, then a NUL. At most `capacite` - 1
    // characters are copied, one fewer when the cut would split a surrogate
    // pair. Returns the number of characters copied: 0 for an empty value and
    // for an absent key with an empty default, and whenever `capacite` < 2.
    int lireValeur(std::u16string_view section, std::u16string_view cle, std::u16string_view defaut,
                   char16_t* tampon, int capacite) const;

    // Copies the entries of `section` into `tampon`, each followed by a NUL,
    // then one more NUL, stopping when `capacite` - 2 characters are written.
    // Returns the characters written, so 0 exactly when the section is
    // absent or holds no entry (blank and comment lines are no entries), or
    // when `capacite` < 3.
    int lireSection(std::u16string_view section, char16_t* tampon, int capacite) const;

    // Whether the document was parsed from exactly these bytes.
    bool memesOctets(std::string_view octets) const;

private:
    struct Section {
        Plage corps; // its lines, from after its header to the next header
        TableNoms<Plage> cles;
    };
    template <class Curseur> struct Noms;

    explicit Document(std::string octets);
    template <class Curseur>
    void analyser(const typename Curseur::Unite* texte, size_t debut, size_t fin);
    template <class Curseur> const Section* trouverSection(std::u16string_view nom) const;
    template <class Curseur>
    const Plage* trouverCle(std::u16string_view section, std::u16string_view cle) const;
    template <class Curseur>
    int lireValeurEn(std::u16string_view section, std::u16string_view cle,
                     std::u16string_view defaut, char16_t* tampon, int capacite) const;
    template <class Curseur>
    int lireSectionEn(std::u16string_view section, char16_t* tampon, size_t limite) const;
    template <class Curseur>
    std::optional<std::u16string> valeurEn(std::u16string_view section,
                                           std::u16string_view cle) const;
    template <class Curseur> Curseur curseur(Plage p) const;

    Codage codage_ = Codage::Cp1252;
    // The file's bytes, mark included, for Windows-1252 and UTF-8; empty for
    // UTF-16LE, whose code units (mark removed) are kept instead, with the
    // odd last byte that gave a U+FFFD, if any.
    std::string octets_;
    std::u16string unites_;
    int octetImpair_ = -1;
    std::vector<Section> sections_;
    TableNoms<uint32_t> indexSections_;
};

} // namespace ini
