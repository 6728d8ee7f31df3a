#include "catalogue/loading.h"

#include "catalogue/constant.h"
#include "catalogue/data_file.h"
#include "catalogue/key_walk.h"
#include "catalogue/value_cut.h"

#include <QSet>

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

// False when `terme` was met before, letter case aside; remembers it otherwise.
bool ajouterTerme(QSet<QString>& vus, const QString& terme)
{
    const qsizetype avant = vus.size();
    vus.insert(enCapitales(terme));
    return vus.size() != avant;
}

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
    // Terms are compared letter case aside in a set rather than against
    // every earlier term: a long catalogue would otherwise cost a comparison
    // per pair.
    QSet<QString> vus;
    if (verifierDoublons)
        vus.reserve(4096);
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
        if (verifierDoublons) {
            QString ecrit = vueLu.toString();
            if (!ajouterTerme(vus, ecrit)) {
                resultat.issue = Chargement::Issue::Doublon;
                resultat.fautif = std::move(ecrit); // as written, not upper-cased
                return resultat;
            }
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
