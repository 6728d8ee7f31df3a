// Loading a catalogue: its terms read from the data file and checked, and
// the texts the main window shows for the outcome. No widget here: the
// catalogue buttons' handlers show what this returns.
#pragma once

#include "catalogue/catalogues.h"
#include "catalogue/ini_document.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace catalogue
{

// Terms one after the other in one string: a catalogue of 32,767 terms costs
// no string object each, on its way from the file to its list.
class Termes
{
public:
    void ajouter(std::u16string_view terme)
    {
        ajouter(QStringView(terme.data(), static_cast<qsizetype>(terme.size())));
    }
    void ajouter(QStringView terme)
    {
        texte_.append(terme);
        fins_.push_back(static_cast<uint32_t>(texte_.size()));
    }
    qsizetype nombre() const { return static_cast<qsizetype>(fins_.size()); }
    QStringView terme(qsizetype i) const
    {
        const uint32_t debut = i == 0 ? 0 : fins_[static_cast<size_t>(i) - 1];
        return QStringView(texte_).sliced(debut, fins_[static_cast<size_t>(i)] - debut);
    }
    // The terms end to end and where each one ends, given away whole to a
    // list that keeps them as they are.
    std::pair<QString, std::vector<uint32_t>> ceder() &&
    {
        return {std::move(texte_), std::move(fins_)};
    }

private:
    QString texte_;
    std::vector<uint32_t> fins_;
};

struct Chargement {
    enum class Issue {
        Charge,        // every key read up to the first missing or empty one
        FichierAbsent, // no file, no section, or a section without entries
        Syntaxe,       // a value with fewer commas than its catalogue needs
        Doublon,       // with the check on, a term met before, letter case aside
    };
    Issue issue = Issue::Charge;
    Termes termes;  // in key order; those read before a fault
    QString fautif; // Syntaxe: the value as read; Doublon: the term as written
};

// Reads catalogue `c` in one pass over its keys of one version of the file
// (the data file as it is now, for the program), after checking that its
// section holds entries; stops at the first value that breaks a rule, which
// is key number termes.nombre() + 1.
Chargement lireCatalogue(const Catalogue& c, bool verifierDoublons);
Chargement lireCatalogue(const Catalogue& c, bool verifierDoublons,
                         std::shared_ptr<const ini::Document> version);

// A term as the duplicate check compares it: upper-cased one character at a
// time, so that a character whose capital is longer (the German sharp s)
// stays as it is and "straße" is not taken for "STRASSE".
QString enCapitales(const QString& terme);

// The messages of a load that failed, and their titles.
QString messageFichier(const Catalogue& c, const QString& repertoire);
QString messageSyntaxe(const QString& valeur);
QString messageDoublon(const Catalogue& c, const QString& terme);
inline const QString TitreFichier = QStringLiteral("Erreur Fichier");
inline const QString TitreSyntaxe = QStringLiteral(" Erreur de Syntaxe");
inline const QString TitreDoublon = QStringLiteral("Doublon");

// The frame's caption after a load ("Acronymes (12)") and after a search.
QString legende(const Catalogue& c, qsizetype nombre);
QString legendeRecherche(const Catalogue& c, qsizetype nombre);


} // namespace catalogue
