#include "verifier/renumbering.h"

#include "catalogue/key_walk.h"
#include "verifier/inventory.h"

#include <array>

namespace verificateur
{
namespace
{

// How one catalogue is rewritten.
struct Plan {
    int entete = -1;   // index of its section's header; -1 when it has none
    int premiere = -1; // first and last of its key lines in that section
    int derniere = -1;
    std::vector<size_t> cles;          // its key lines with a value, in file order
    int numero = 0;                    // the last number given
    int ramenees = 0;                  // keys brought back from outside the section
    int renumerotees = 0;              // keys whose name changed
    std::vector<std::string> retirees; // notes on the empty keys left out
};

} // namespace

Renumerotation renumeroter(std::string octets)
{
    const Inventaire inv = inventorier(std::move(octets));
    const std::vector<LigneFichier>& lignes = inv.lignes;

    std::array<Plan, 3> plans;
    for (size_t i = 0; i < lignes.size(); ++i) {
        const LigneFichier& l = lignes[i];
        if (l.ligne.genre == ini::Ligne::Genre::Entete && l.sectionCatalogue >= 0)
            plans[static_cast<size_t>(l.sectionCatalogue)].entete = static_cast<int>(i);
        if (l.catalogueCle < 0)
            continue;
        Plan& p = plans[static_cast<size_t>(l.catalogueCle)];
        if (l.sectionCatalogue == l.catalogueCle) {
            p.premiere = p.premiere < 0 ? static_cast<int>(i) : p.premiere;
            p.derniere = static_cast<int>(i);
        }
        if (!l.ligne.valeur.empty())
            p.cles.push_back(i);
        else
            p.retirees.push_back("ligne " + std::to_string(l.numero) + " : " +
                                 std::string(l.ligne.nom) +
                                 ", vide, est retirée (une valeur vide arrête le catalogue).");
    }

    Renumerotation r;
    std::string& sortie = r.texte;
    const auto ecrire = [&](std::string_view texte) {
        sortie += texte;
        sortie += '\n';
    };
    const auto ecrireCle = [&](size_t ci, size_t i) {
        Plan& p = plans[ci];
        const LigneFichier& l = lignes[i];
        const std::string nom = catalogue::Tous[ci]->prefixe + std::to_string(++p.numero);
        p.ramenees += l.sectionCatalogue != static_cast<int>(ci);
        p.renumerotees += nom != l.ligne.nom;
        ecrire(nom + "=" + std::string(valeurEcrite(l)));
    };
    // The keys written outside the section, before it or after it.
    const auto ecrireRamenees = [&](size_t ci, bool avant) {
        for (const size_t i : plans[ci].cles)
            if (lignes[i].sectionCatalogue != static_cast<int>(ci) &&
                (static_cast<int>(i) < plans[ci].entete) == avant)
                ecrireCle(ci, i);
    };

    for (size_t i = 0; i < lignes.size(); ++i) {
        const LigneFichier& l = lignes[i];
        if (l.catalogueCle < 0) {
            ecrire(l.brute);
            // A section without keys of its own receives the others after its header.
            const auto ci = static_cast<size_t>(l.sectionCatalogue);
            if (l.ligne.genre == ini::Ligne::Genre::Entete && l.sectionCatalogue >= 0 &&
                plans[ci].premiere < 0) {
                ecrireRamenees(ci, true);
                ecrireRamenees(ci, false);
            }
            continue;
        }
        // Keys from before the section go before its first key, those from
        // after it after its last, so that the numbers follow the file.
        const auto ci = static_cast<size_t>(l.catalogueCle);
        if (static_cast<int>(i) == plans[ci].premiere)
            ecrireRamenees(ci, true);
        if (l.sectionCatalogue == l.catalogueCle && !l.ligne.valeur.empty())
            ecrireCle(ci, i);
        if (static_cast<int>(i) == plans[ci].derniere)
            ecrireRamenees(ci, false);
    }

    for (size_t ci = 0; ci < plans.size(); ++ci) {
        Plan& p = plans[ci];
        const catalogue::Catalogue& c = *catalogue::Tous[ci];
        // Built by appending: GCC 12 at -O2 sees a false overlap in
        // `"[" + std::string(...)` and would fail a Release build with -Werror.
        std::string section = "[";
        section.append(c.section).append("]");
        const bool ajoutee = p.entete < 0 && !p.cles.empty();
        if (ajoutee) {
            if (!sortie.empty() && !sortie.ends_with("\n\n"))
                sortie += '\n';
            ecrire(section);
            for (const size_t i : p.cles)
                ecrireCle(ci, i);
        }
        if (p.numero > 0) {
            std::string note =
                std::string(c.section) + " : " + std::to_string(p.numero) +
                (p.numero == 1 ? " entrée, " : " entrées, de ") + c.prefixe + "1" +
                (p.numero == 1 ? "" : " à " + std::string(c.prefixe) + std::to_string(p.numero));
            if (p.renumerotees > 0)
                note += " ; " + std::to_string(p.renumerotees) +
                        (p.renumerotees == 1 ? " clé change" : " clés changent") + " de nom";
            if (p.ramenees > 0)
                note += " ; " + std::to_string(p.ramenees) +
                        (p.ramenees == 1 ? " ramenée" : " ramenées") + " sous " + section;
            if (ajoutee)
                note += " ; la section " + section + " est ajoutée à la fin du fichier";
            r.notes.push_back(note + ".");
        }
        if (p.numero > catalogue::CleMaximale)
            r.notes.push_back(
                std::string(c.section) + " : au-delà de " + c.prefixe +
                std::to_string(catalogue::CleMaximale) + ", Listora ne lira pas les " +
                std::to_string(p.numero - catalogue::CleMaximale) + " dernières entrées.");
        r.notes.insert(r.notes.end(), p.retirees.begin(), p.retirees.end());
    }
    return r;
}

} // namespace verificateur
