#include "verifier/inventory.h"

#include "catalogue/key_number.h"

namespace verificateur
{
namespace
{

// Fills in which catalogue's key `l` is, if any: its prefix followed by
// nothing but ASCII digits.
void reconnaitreCle(LigneFichier& l)
{
    for (size_t i = 0; i < catalogue::Tous.size(); ++i) {
        const catalogue::NumeroLu lu =
            catalogue::numeroDeCle(l.ligne.nom, catalogue::Tous[i]->prefixe);
        if (lu.etat == Numero::Aucun)
            continue;
        l.catalogueCle = static_cast<int>(i);
        l.etatNumero = lu.etat;
        l.cle = lu.valeur;
        return;
    }
}

// The index in catalogue::Tous of the catalogue whose section is `nom`, or -1.
int catalogueDeSection(std::string_view nom)
{
    for (size_t i = 0; i < catalogue::Tous.size(); ++i)
        if (memeNom(nom, catalogue::Tous[i]->section))
            return static_cast<int>(i);
    return -1;
}

} // namespace

std::string_view valeurEcrite(const LigneFichier& l)
{
    // The line is trimmed at its end already.
    const std::string_view v = l.ligne.texte.substr(l.ligne.texte.find('=') + 1);
    return v.substr(std::min(v.find_first_not_of(" \t"), v.size()));
}

Inventaire inventorier(ini::Octets octets)
{
    Inventaire inv;
    inv.marqueUtf8 = std::string_view(octets).starts_with("\xEF\xBB\xBF");
    inv.document = std::make_unique<const ini::Document>(std::move(octets));
    return inv;
}

void parcourir(const Inventaire& inv, const std::function<void(const LigneFichier&)>& f)
{
    const ini::Document& doc = *inv.document;
    LigneFichier entete; // the header the lines stand under; none at first
    int numero = 0;
    ini::pourChaqueLigne(doc.texte().utf8, [&](const ini::Ligne& ligne) {
        LigneFichier l;
        l.numero = ++numero;
        l.ligne = ligne;
        if (ligne.genre == ini::Ligne::Genre::Entete) {
            // Only the first header of a name opens a section the program
            // reads.
            entete.entete = l.numero;
            entete.nomEntete = ligne.nom;
            entete.sectionLue = doc.ouvreSaSection(ligne);
            entete.sectionCatalogue = entete.sectionLue ? catalogueDeSection(ligne.nom) : -1;
        } else if (ligne.genre == ini::Ligne::Genre::Cle) {
            reconnaitreCle(l);
        }
        // A header belongs to the section it opens.
        l.entete = entete.entete;
        l.nomEntete = entete.nomEntete;
        l.sectionLue = entete.sectionLue;
        l.sectionCatalogue = entete.sectionCatalogue;
        f(l);
    });
}

} // namespace verificateur
