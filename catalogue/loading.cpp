#include "catalogue/loading.h"

#include "catalogue/data_file.h"
#include "catalogue/key_walk.h"
#include "catalogue/value_cut.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <vector>

namespace catalogue
{
namespace
{

const QString RetourChariot(QChar(13));

// A character as the duplicate check compares it: upper-cased on its own,
// so that a character whose capital is longer (the German sharp s) stays as
// it is and "straße" is not taken for "STRASSE". Most terms are ASCII, which
// needs no table.
char16_t capitale(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return u >= 'a' && u <= 'z' ? static_cast<char16_t>(u - ('a' - 'A')) : u;
    return c.toUpper().unicode();
}

bool memesCapitales(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (capitale(a[i]) != capitale(b[i]))
            return false;
    return true;
}

// The terms a load met so far, letter case aside: an open-addressing table
// of their numbers in `termes`, under a hash of their capitals, so that
// checking a term costs no string of its own, no allocation and no
// comparison with every earlier term.
class TermesVus
{
public:
    explicit TermesVus(const Termes& termes) : termes_(termes), cases_(4096) {}

    // False when `terme` was met before; remembers it otherwise, as the
    // term that `termes` is about to receive.
    bool ajouter(QStringView terme)
    {
        // Seeded at random for each run, as Qt's own tables are: terms
        // written to fall in one slot of a known hash would turn the check
        // into a scan of every earlier term.
        uint64_t h = 0x9E3779B97F4A7C15ULL ^ graine_;
        for (const QChar c : terme)
            h = (h ^ capitale(c)) * 0x100000001B3ULL;
        const auto empreinte = static_cast<uint32_t>((h ^ (h >> 29)) >> 32);
        size_t i = empreinte & (cases_.size() - 1);
        for (; cases_[i].numero != 0; i = (i + 1) & (cases_.size() - 1))
            if (cases_[i].empreinte == empreinte &&
                memesCapitales(termes_.terme(cases_[i].numero - 1), terme))
                return false;
        cases_[i] = {static_cast<uint32_t>(termes_.nombre() + 1), empreinte};
        // At most half full, so that a search meets an empty slot soon.
        if (2 * static_cast<size_t>(termes_.nombre() + 1) > cases_.size())
            agrandir();
        return true;
    }

private:
    struct Case {
        uint32_t numero = 0; // the term's number from 1, 0 for an empty slot
        uint32_t empreinte = 0;
    };

    void agrandir()
    {
        std::vector<Case> anciennes(2 * cases_.size());
        anciennes.swap(cases_);
        for (const Case& c : anciennes) {
            if (c.numero == 0)
                continue;
            size_t i = c.empreinte & (cases_.size() - 1);
            while (cases_[i].numero != 0)
                i = (i + 1) & (cases_.size() - 1);
            cases_[i] = c;
        }
    }

    const Termes& termes_;
    std::vector<Case> cases_;
    const uint64_t graine_ = QHashSeed::globalSeed();
};

} // namespace

QString enCapitales(const QString& terme)
{
    QString capitales = terme;
    for (QChar& c : capitales)
        c = QChar(capitale(c));
    return capitales;
}

Chargement lireCatalogue(const Catalogue& c, bool verifierDoublons)
{
    return lireCatalogue(c, verifierDoublons, versionFichier(Chemin_Fichier()));
}

Chargement lireCatalogue(const Catalogue& c, bool verifierDoublons,
                         std::shared_ptr<const ini::Document> version)
{
    Chargement resultat;
    if (!Lire_Section(version.get(), c.section)) {
        resultat.issue = Chargement::Issue::FichierAbsent;
        return resultat;
    }
    TermesVus vus(resultat.termes);
    Passe passe(c, std::move(version));
    while (passe.suivante()) {
        const std::u16string_view valeur = passe.vue();
        if (!aAssezDeVirgules(valeur, c.virgules)) {
            resultat.issue = Chargement::Issue::Syntaxe;
            resultat.fautif = passe.valeur().toString();
            return resultat;
        }
        const std::u16string_view lu = terme(valeur);
        const QStringView vueLu(lu.data(), static_cast<qsizetype>(lu.size()));
        if (verifierDoublons && !vus.ajouter(vueLu)) {
            resultat.issue = Chargement::Issue::Doublon;
            resultat.fautif = vueLu.toString(); // as written, not upper-cased
            return resultat;
        }
        resultat.termes.ajouter(vueLu);
    }
    return resultat;
}

QString messageFichier(const Catalogue& c, const QString& repertoire)
{
    return QStringLiteral("Le fichier LISTORA.DAT est absent ou corrompu.") + RetourChariot +
           RetourChariot + QStringLiteral("Vérifier sa présence dans le répertoire ") + repertoire +
           RetourChariot + RetourChariot +
           QStringLiteral("Vérifier aussi que la section se nomme ") + QLatin1String(c.section);
}

QString messageSyntaxe(const QString& valeur)
{
    return QStringLiteral("La ligne '") + valeur +
           QStringLiteral("' semble erronée. La virgule est manquante");
}

QString messageDoublon(const Catalogue& c, const QString& terme)
{
    return QString::fromUtf8(c.debutDoublon) + terme +
           QStringLiteral(" existe déjà dans la liste.") + RetourChariot + RetourChariot +
           QStringLiteral("Vérifier votre fichier LISTORA.DAT");
}

QString legende(const Catalogue& c, qsizetype nombre)
{
    return QString::fromUtf8(c.motCadre) + QStringLiteral(" (") + QString::number(nombre) +
           QLatin1Char(')');
}

QString legendeRecherche(const Catalogue& c, qsizetype nombre)
{
    return QString::fromUtf8(c.motRecherche) + QStringLiteral(" (") + QString::number(nombre) +
           QString::fromUtf8(c.queueRecherche);
}

} // namespace catalogue
