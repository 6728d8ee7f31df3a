#include "catalogue/loading.h"

#include "catalogue/constant.h"
#include "catalogue/data_file.h"
#include "catalogue/key_walk.h"
#include "catalogue/value_cut.h"

#include <QMultiHash>

#include <algorithm>
#include <array>

namespace catalogue
{
namespace
{

// Which lists hold search results, by catalogue number.
std::array<bool, 4> listesFiltrees{};

bool numeroValide(int16_t numero)
{
    return numero >= 1 && numero <= 3;
}

// Capacity of the buffer handed to the section read.
constexpr int TailleTampon = 200;

const QString RetourChariot(QChar(13));

// Terms compared as the duplicate check compares them, one character at a
// time in capitals.
bool memesCapitales(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].toUpper() != b[i].toUpper())
            return false;
    return true;
}

// The terms a load met so far, letter case aside: each term's number in
// `termes` under a hash of its capitals, so that checking a term costs no
// string of its own and no comparison with every earlier term.
class TermesVus
{
public:
    explicit TermesVus(const Termes& termes) : termes_(termes) { numeros_.reserve(4096); }

    // False when `terme` was met before; remembers it otherwise, as the
    // term that `termes` is about to receive.
    bool ajouter(QStringView terme)
    {
        uint64_t h = 0x9E3779B97F4A7C15ULL;
        for (const QChar c : terme)
            h = (h ^ c.toUpper().unicode()) * 0x100000001B3ULL;
        const auto empreinte = static_cast<quint64>(h ^ (h >> 29));
        for (auto i = numeros_.constFind(empreinte); i != numeros_.cend() && i.key() == empreinte;
             ++i)
            if (memesCapitales(termes_.terme(i.value()), terme))
                return false;
        numeros_.insert(empreinte, termes_.nombre());
        return true;
    }

private:
    const Termes& termes_;
    QMultiHash<quint64, qsizetype> numeros_;
};

} // namespace

QStringList Termes::enListe() const
{
    QStringList liste;
    liste.reserve(nombre());
    for (qsizetype i = 0; i < nombre(); ++i)
        liste.append(terme(i).toString());
    return liste;
}

QString enCapitales(const QString& terme)
{
    // Most terms are written in capitals already, and are shared, not copied.
    if (std::all_of(terme.cbegin(), terme.cend(), [](QChar c) { return c.toUpper() == c; }))
        return terme;
    QString capitales = terme;
    for (QChar& c : capitales)
        c = c.toUpper();
    return capitales;
}

Chargement lireCatalogue(const Catalogue& c, bool verifierDoublons)
{
    Chargement resultat;
    CONSTANT::Tampon.fill(QLatin1Char(' '), 255);
    CONSTANT::Longueur = Lire_Section(c.section, CONSTANT::Tampon, TailleTampon, Chemin_Fichier());
    if (CONSTANT::Longueur == 0) {
        resultat.issue = Chargement::Issue::FichierAbsent;
        return resultat;
    }
    TermesVus vus(resultat.termes);
    debutPasse();
    while (cleSuivante(c)) {
        const std::u16string_view valeur = vue(CONSTANT::Tampon);
        if (!aAssezDeVirgules(valeur, c.virgules)) {
            resultat.issue = Chargement::Issue::Syntaxe;
            resultat.fautif = CONSTANT::Tampon;
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

void marquerListeFiltree(int16_t numero)
{
    if (numeroValide(numero))
        listesFiltrees[static_cast<size_t>(numero)] = true;
}

bool listeFiltree(int16_t numero)
{
    return numeroValide(numero) && listesFiltrees[static_cast<size_t>(numero)];
}

void oublierListeFiltree(int16_t numero)
{
    if (numeroValide(numero))
        listesFiltrees[static_cast<size_t>(numero)] = false;
}

} // namespace catalogue
