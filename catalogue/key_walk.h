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

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

namespace catalogue
{

// Capacity of the value buffer: a value is read up to its 199th character.
inline constexpr int TailleTampon = 200;

// The value as the program reads it, into `Tampon`: decoded from the
// document's UTF-8 and cut to TailleTampon - 1 characters, never between the
// two halves of a surrogate pair. An absent value reads as empty.
void lireValeur(std::optional<std::string_view> utf8, QString& Tampon);

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
    QStringView valeur() const { return Tampon; }
    std::u16string_view vue() const { return catalogue::vue(Tampon); }

private:
    const Catalogue& catalogue_;
    std::shared_ptr<const ini::Document> version_;
    const ini::Section* section_ = nullptr; // found once for all keys
    ini::Section::Curseur curseur_;
    int16_t Num_Cle = 0;
    QString Tampon; // reused from key to key
};

// For tests: called after every key a pass reads, before the caller sees
// it, so that a test can look at the window or change the file between two
// keys.
void observerPasse(std::function<void()> observateur);

} // namespace catalogue
