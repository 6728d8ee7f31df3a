#include "lookup/output.h"

#include "catalogue/value_cut.h"
#include "lookup/text.h"
#include "verifier/visible.h"

#include <algorithm>

namespace consultation
{
namespace
{

// The width of a line's opening word, and the indent of its folded lines.
constexpr size_t Retrait = 10;

// A term as the checker quotes one: a blank that is not U+0020 shows too.
std::string terme(std::u16string_view piece)
{
    return verificateur::citer(utf8(piece));
}

// A description: its own spaces (a no-break space before a colon) are left
// as they are, but nothing acts on the terminal, not even a line end.
std::string texte(std::u16string_view piece)
{
    std::string s;
    for (const char o : utf8(piece))
        s += o == '\n' ? std::string("\\x0A") : std::string(1, o);
    return verificateur::assainir(s);
}

// Columns a piece of UTF-8 takes: one a code point. (Wide East Asian
// characters take two on most terminals; the catalogues hardly hold any.)
size_t colonnes(std::string_view s)
{
    return static_cast<size_t>(
        std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

// The byte offset at which column `colonne` of `s` starts.
size_t octetDeColonne(std::string_view s, size_t colonne)
{
    size_t vues = 0;
    for (size_t i = 0; i < s.size(); ++i)
        if ((s[i] & 0xC0) != 0x80 && vues++ == colonne)
            return i;
    return s.size();
}

const char* pluriel(const catalogue::Catalogue& c)
{
    return &c == &catalogue::IpPorts     ? "ports IP"
           : &c == &catalogue::Acronymes ? "acronymes"
                                         : "types MIME";
}

} // namespace

std::string etiquette(const catalogue::Catalogue& c)
{
    std::string mot = &c == &catalogue::IpPorts     ? "Port IP"
                      : &c == &catalogue::Acronymes ? "Acronyme"
                                                    : "Type MIME";
    return mot + std::string(Retrait - mot.size(), ' ');
}

std::string ligneEntree(const catalogue::Catalogue& c, std::u16string_view v)
{
    std::string ligne = etiquette(c) + terme(catalogue::terme(v));
    if (&c == &catalogue::IpPorts && catalogue::aAssezDeVirgules(v, 5)) {
        const catalogue::ChampsIpPort f = catalogue::champsIpPort(v);
        return ligne + " — " + texte(f.champs[0]) + " " + texte(f.champs[1]) + ", client " +
               texte(f.champs[2]) + " " + texte(f.champs[3]) + " — " + texte(f.reste);
    }
    if (catalogue::positionVirgule(v) == 0)
        return ligne;
    return ligne + " — " + texte(catalogue::sens(v));
}

std::string plierLigne(const std::string& ligne, int largeur)
{
    if (largeur <= 0 || colonnes(ligne) <= size_t(largeur))
        return ligne + "\n";
    // Too narrow a terminal to spare an indent: folded lines start at the left.
    const size_t retrait = size_t(largeur) >= 2 * Retrait ? Retrait : 0;
    std::string sortie;
    std::string_view reste = ligne;
    size_t place = size_t(largeur);
    size_t debut = Retrait; // no fold inside the opening word
    while (colonnes(reste) > place) {
        const size_t coupe = octetDeColonne(reste, place);
        const size_t blanc = reste.rfind(' ', coupe);
        const bool aUnBlanc = blanc != std::string_view::npos && blanc > debut;
        sortie.append(reste.substr(0, aUnBlanc ? blanc : coupe));
        sortie += '\n';
        reste.remove_prefix(aUnBlanc ? blanc : coupe);
        while (!reste.empty() && reste.front() == ' ')
            reste.remove_prefix(1);
        sortie.append(retrait, ' ');
        place = size_t(largeur) - retrait;
        debut = 0;
    }
    sortie.append(reste);
    return sortie + "\n";
}

std::string enTexte(const std::array<Groupe, 3>& groupes, size_t limite, int largeur)
{
    // The catalogue whose best entry answers best comes first; on a tie, the
    // order of the catalogues.
    std::array<const Groupe*, 3> ordre{&groupes[0], &groupes[1], &groupes[2]};
    const auto meilleur = [](const Groupe* g) {
        return g->trouvees.empty() ? 99 : int(g->trouvees.front().rang);
    };
    std::stable_sort(ordre.begin(), ordre.end(),
                     [&](const Groupe* a, const Groupe* b) { return meilleur(a) < meilleur(b); });
    std::string sortie;
    for (const Groupe* g : ordre) {
        const size_t montrees =
            limite == 0 ? g->trouvees.size() : std::min(limite, g->trouvees.size());
        for (size_t i = 0; i < montrees; ++i)
            sortie += plierLigne(ligneEntree(*g->catalogue, g->trouvees[i].valeur), largeur);
        if (montrees < g->trouvees.size())
            sortie += plierLigne(etiquette(*g->catalogue) + "… et " +
                                     std::to_string(g->trouvees.size() - montrees) + " autres " +
                                     pluriel(*g->catalogue) + " (--tout pour les voir)",
                                 largeur);
    }
    return sortie;
}

} // namespace consultation
