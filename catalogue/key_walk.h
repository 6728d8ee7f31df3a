// The walk over a catalogue's keys, shared by loading, entry display, search
// and the data-file checker: keys are read from number 1 upward until the
// first one that is missing or empty.
//
//     catalogue::Passe passe(catalogue::Acronymes, versionFichier(Chemin_Fichier()));
//     while (passe.suivante()) {
//         ... passe.valeur() is the value of key passe.numero()
//     }
//
// A pass reads one version of the data file, the one it is given: no list
// ever mixes the file before and after an edit saved meanwhile; the next
// pass sees the edit. Its cost is linear in the section, whatever the order
// of the keys and whatever lies between them (see ini::Section::valeurSuivante).
#pragma once

#include "catalogue/catalogues.h"
#include "catalogue/ini_document.h"
#include "catalogue/key_number.h" // CleMaximale
#include "catalogue/value_cut.h"

#include <QString>
#include <QStringView>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

namespace catalogue
{

// Capacity of the value buffer: a value is read up to its 199th character.
inline constexpr int TailleTampon = 200;

// The UTF-16 units one value can take before it is cut: four bytes of
// UTF-8 at most for each character kept.
inline constexpr size_t UnitesLues = 4 * TailleTampon;

// The value as the program reads it, into `unites` (room for UnitesLues),
// returning its length: decoded from the document's UTF-8 and cut to
// TailleTampon - 1 characters, never between the two halves of a surrogate
// pair. An absent value reads as empty. Free of Qt, for the look-up tool.
size_t lireValeur(std::optional<std::string_view> utf8, char16_t* unites);

// The same, into `Tampon`.
inline void lireValeur(std::optional<std::string_view> utf8, QString& Tampon)
{
    if (!utf8) {
        Tampon.clear();
        return;
    }
    Tampon.resize(static_cast<qsizetype>(std::min(utf8->size(), UnitesLues)));
    Tampon.truncate(
        static_cast<qsizetype>(lireValeur(utf8, reinterpret_cast<char16_t*>(Tampon.data()))));
}

class Passe
{
public:
    // A pass over catalogue `c` in `version` (nullptr reads as a file without
    // sections), which it keeps until its end.
    Passe(const Catalogue& c, std::shared_ptr<const ini::Document> version);

    // Reads the next key, "<prefix><number>": false when it is missing or
    // empty, and, without reading, once key CleMaximale was read: a pass
    // never wraps to a negative key.
    bool suivante();

    int16_t numero() const { return Num_Cle; }
    // The value read, cut as lireValeur cuts it; valid until the next read.
    QStringView valeur() const { return QStringView(Tampon, qsizetype(longueur_)); }
    std::u16string_view vue() const { return {Tampon, longueur_}; }

private:
    const Catalogue& catalogue_;
    std::shared_ptr<const ini::Document> version_;
    const ini::Section* section_ = nullptr; // found once for all keys
    ini::Section::Curseur curseur_;
    int16_t Num_Cle = 0;
    // Reused from key to key, and no QString, so that a pass loads no Qt.
    char16_t Tampon[UnitesLues];
    size_t longueur_ = 0;
};

// For tests: called after every key a pass reads, before the caller sees
// it, so that a test can look at the window or change the file between two
// keys.
void observerPasse(std::function<void()> observateur);

} // namespace catalogue
