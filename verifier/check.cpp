#include "verifier/check.h"

#include "terminal/visible.h"
#include "verifier/examination.h"
#include "verifier/file_findings.h"
#include "verifier/inventory.h"

#include <algorithm>

namespace verificateur
{

Rapport verifier(ini::Octets octets)
{
    const Utf16 utf16 = utf16Illisible(octets);
    const Inventaire inv = inventorier(std::move(octets));
    const std::array<Releve, 3> releves = relever(inv);
    // The document as the program's loader takes it, held by the inventory.
    const std::shared_ptr<const ini::Document> document(std::shared_ptr<void>(),
                                                        inv.document.get());
    std::vector<Examen> examens;
    examens.reserve(releves.size());
    for (size_t i = 0; i < releves.size(); ++i)
        examens.emplace_back(i, releves[i], document);
    Autres autres(inv);
    parcourir(inv, [&](const LigneFichier& l) {
        for (Examen& e : examens)
            e.voir(l);
        autres.voir(l);
    });
    Rapport r;
    for (size_t i = 0; i < r.catalogues.size(); ++i)
        r.catalogues[i] = examens[i].conclure(r.renumeroterAide);
    r.autres = autres.conclure();
    const bool grave = std::any_of(r.catalogues.begin(), r.catalogues.end(),
                                   [](const BilanCatalogue& b) { return b.grave; });
    r.statut = grave ? Statut::Pertes : Statut::Complet;
    // NULs at every other place make a file look like UTF-16, yet a file
    // in which the program finds a catalogue's section reads as text: it is
    // reported as such, with all its findings.
    const bool illisible = std::all_of(r.catalogues.begin(), r.catalogues.end(),
                                       [](const BilanCatalogue& b) { return b.erreurFichier; });
    if (utf16 != Utf16::Non && illisible) {
        for (BilanCatalogue& b : r.catalogues)
            b.constats.clear();
        r.autres = {{0, true, phraseUtf16(utf16)}};
        r.renumeroterAide = false;
        r.statut = Statut::Pertes;
    }
    return r;
}

std::string enTexte(const Rapport& rapport, std::string_view nom, std::string_view sortie)
{
    const std::string chemin = terminal::citer(nom);
    std::string t = "Vérification de « " + chemin + " »\n";
    bool remarques = false;
    for (const BilanCatalogue& b : rapport.catalogues) {
        // Appended piece by piece: MinGW's GCC 12 sees a false overlap in a
        // chain of + that starts with a literal (-Wrestrict).
        t += '\n';
        t += b.catalogue->section;
        t += " : " + b.resume + "\n";
        for (const Constat& k : b.constats) {
            t += "  " + k.texte + "\n";
            remarques = remarques || !k.grave;
        }
    }
    if (!rapport.autres.empty()) {
        t += "\nAutres remarques :\n";
        for (const Constat& k : rapport.autres)
            t += "  " + k.texte + "\n";
        remarques = true;
    }
    if (rapport.statut == Statut::Complet) {
        t += "\nRésultat : Listora chargera toutes les entrées du fichier.";
        if (remarques)
            t += " Les remarques ci-dessus ne font perdre aucune entrée.";
        return t + "\n";
    }
    t += "\nRésultat : à corriger. Listora ne chargera pas tout, ou affichera l'un de ses "
         "messages d'erreur.\n";
    if (rapport.renumeroterAide)
        t += "Pour renuméroter les clés et ramener chaque entrée dans sa section, dans un "
             "nouveau fichier :\n    listora-verifier --renumeroter " +
             terminal::pourLaCommande(sortie, terminal::InterpreteDuSysteme) + " " +
             terminal::pourLaCommande(nom, terminal::InterpreteDuSysteme) + "\n";
    return t;
}

} // namespace verificateur
