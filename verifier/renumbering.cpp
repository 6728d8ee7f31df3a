#include "verifier/renumbering.h"

#include "catalogue/key_walk.h"
#include "terminal/visible.h"
#include "verifier/inventory.h"
#include "verifier/wording.h"

#include <array>

namespace verificateur
{
namespace
{

// A key brought back into its section from elsewhere in the file.
struct Ramenee {
    int numero = 0; // its line
    std::string_view nom, valeur;
};

// How one catalogue is rewritten.
struct Plan {
    int entete = 0;   // line of its section's header; 0 when it has none
    int premiere = 0; // first and last of its key lines in that section
    int derniere = 0;
    std::vector<Ramenee> ramenees;     // those outside it, in file order
    int numero = 0;                    // the last number given
    int renumerotees = 0;              // keys whose name changed
    std::vector<std::string> retirees; // notes on the first empty keys left out
    Decompte decompte;                 // and how many more
};

std::array<Plan, 3> planifier(const Inventaire& inv)
{
    std::array<Plan, 3> plans;
    parcourir(inv, [&](const LigneFichier& l) {
        if (l.ligne.genre == ini::Ligne::Genre::Entete && l.sectionCatalogue >= 0)
            plans[static_cast<size_t>(l.sectionCatalogue)].entete = l.numero;
        if (l.catalogueCle < 0)
            return;
        Plan& p = plans[static_cast<size_t>(l.catalogueCle)];
        const bool dedans = l.sectionCatalogue == l.catalogueCle;
        if (dedans) {
            p.premiere = p.premiere == 0 ? l.numero : p.premiere;
            p.derniere = l.numero;
        }
        if (l.ligne.valeur.empty()) {
            if (p.decompte.garder(Genre::CleVideRetiree, l.numero))
                p.retirees.push_back("ligne " + std::to_string(l.numero) + " : " +
                                     terminal::citer(l.ligne.nom, 60) +
                                     ", vide, est retirée (une valeur vide arrête le catalogue).");
        } else if (!dedans) {
            p.ramenees.push_back({l.numero, l.ligne.nom, valeurEcrite(l)});
        }
    });
    return plans;
}

void noter(const Plan& p, const catalogue::Catalogue& c, bool ajoutee, const std::string& section,
           std::vector<std::string>& notes)
{
    if (p.numero > 0) {
        std::string note =
            std::string(c.section) + " : " + std::to_string(p.numero) +
            (p.numero == 1 ? " entrée, " : " entrées, de ") + c.prefixe + "1" +
            (p.numero == 1 ? "" : " à " + std::string(c.prefixe) + std::to_string(p.numero));
        if (p.renumerotees > 0)
            note += " ; " + std::to_string(p.renumerotees) +
                    (p.renumerotees == 1 ? " clé change" : " clés changent") + " de nom";
        const size_t ramenees = p.ramenees.size();
        if (ramenees > 0)
            note += " ; " + std::to_string(ramenees) + (ramenees == 1 ? " ramenée" : " ramenées") +
                    " sous " + section;
        if (ajoutee)
            note += " ; la section " + section + " est ajoutée à la fin du fichier";
        notes.push_back(note + ".");
    }
    if (p.numero > catalogue::CleMaximale)
        notes.push_back(std::string(c.section) + " : au-delà de " + c.prefixe +
                        std::to_string(catalogue::CleMaximale) + ", Listora ne lira pas les " +
                        std::to_string(p.numero - catalogue::CleMaximale) + " dernières entrées.");
    notes.insert(notes.end(), p.retirees.begin(), p.retirees.end());
    if (const int64_t autres = p.decompte.autres(Genre::CleVideRetiree); autres > 0)
        notes.push_back("… et " + std::to_string(autres) + " autres clés vides de " + c.section +
                        " retirées de même.");
}

// The new file's text, written as the file's lines come.
class Copie
{
public:
    Copie(std::array<Plan, 3>& plans, std::string& sortie) : plans_(plans), sortie_(sortie) {}

    void ecrire(std::string_view texte)
    {
        sortie_ += texte;
        sortie_ += '\n';
    }

    void ligne(const LigneFichier& l)
    {
        if (l.catalogueCle < 0) {
            ecrire(l.ligne.brute);
            // A section without keys of its own receives the others after its header.
            const auto ci = static_cast<size_t>(l.sectionCatalogue);
            if (l.ligne.genre == ini::Ligne::Genre::Entete && l.sectionCatalogue >= 0 &&
                plans_[ci].premiere == 0) {
                ecrireRamenees(ci, true);
                ecrireRamenees(ci, false);
            }
            return;
        }
        // Keys from before the section go before its first key, those from
        // after it after its last, so that the numbers follow the file.
        const auto ci = static_cast<size_t>(l.catalogueCle);
        if (l.numero == plans_[ci].premiere)
            ecrireRamenees(ci, true);
        if (l.sectionCatalogue == l.catalogueCle && !l.ligne.valeur.empty())
            ecrireCle(ci, l.ligne.nom, valeurEcrite(l));
        if (l.numero == plans_[ci].derniere)
            ecrireRamenees(ci, false);
    }

    // The keys written outside the section, before it or after it.
    void ecrireRamenees(size_t ci, bool avant)
    {
        for (const Ramenee& k : plans_[ci].ramenees)
            if ((k.numero < plans_[ci].entete) == avant)
                ecrireCle(ci, k.nom, k.valeur);
    }

private:
    void ecrireCle(size_t ci, std::string_view ancien, std::string_view valeur)
    {
        Plan& p = plans_[ci];
        const std::string nom = catalogue::Tous[ci]->prefixe + std::to_string(++p.numero);
        p.renumerotees += nom != ancien;
        ecrire(nom + "=" + std::string(valeur));
    }

    std::array<Plan, 3>& plans_;
    std::string& sortie_;
};

} // namespace

Renumerotation renumeroter(ini::Octets octets)
{
    const Inventaire inv = inventorier(std::move(octets));
    std::array<Plan, 3> plans = planifier(inv);
    Renumerotation r;
    r.texte.reserve(inv.document->texte().utf8.size());
    Copie copie(plans, r.texte);
    parcourir(inv, [&](const LigneFichier& l) { copie.ligne(l); });

    for (size_t ci = 0; ci < plans.size(); ++ci) {
        const catalogue::Catalogue& c = *catalogue::Tous[ci];
        // Built by appending: GCC 12 at -O2 sees a false overlap in
        // `"[" + std::string(...)` and would fail a Release build with -Werror.
        std::string section = "[";
        section.append(c.section).append("]");
        // A catalogue without a section gets one at the end of the file.
        const bool ajoutee = plans[ci].entete == 0 && !plans[ci].ramenees.empty();
        if (ajoutee) {
            if (!r.texte.empty() && !r.texte.ends_with("\n\n"))
                r.texte += '\n';
            copie.ecrire(section);
            copie.ecrireRamenees(ci, false);
        }
        noter(plans[ci], c, ajoutee, section, r.notes);
    }
    return r;
}

} // namespace verificateur
