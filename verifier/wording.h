// The report's French: key names, line numbers, counts with their nouns,
// what the file holds quoted visibly (visible.h) and cut short; and the
// kinds of findings in one table, with how many of each are written out
// before the rest are only counted, so that the report and the
// renumbering's notes stay short whatever the file.
#pragma once

#include "catalogue/key_walk.h"
#include "catalogue/loading.h"
#include "catalogue/value_cut.h"
#include "verifier/check.h"
#include "verifier/visible.h"

#include <QString>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace verificateur
{

inline constexpr const char* Syntaxe = "Listora s'arrêtera avec « Erreur de Syntaxe »";
inline constexpr const char* Doublon =
    "avec « Vérifier les doublons » coché, Listora s'arrêtera avec « Doublon »";

inline std::string nomCle(const catalogue::Catalogue& c, int numero)
{
    return c.prefixe + std::to_string(numero);
}

// "1 clé", "2 clés".
inline std::string nombre(int64_t n, const char* un, const char* plusieurs)
{
    return std::to_string(n) + ' ' + (n == 1 ? un : plusieurs);
}

// "ligne 12 : ", which opens a finding.
inline std::string ligne(int numero)
{
    return "ligne " + std::to_string(numero) + " : ";
}

// A name from the file (a key, a section, a term), shown visibly and cut
// to about 60 bytes.
inline std::string cite(std::string_view nom)
{
    bool coupe = false;
    const std::string s = citer(nom, 60, &coupe);
    return coupe ? s + "…" : s;
}

inline std::string entreCrochets(std::string_view nom)
{
    // Appended piece by piece: MinGW's GCC 12 at -O2 sees a false overlap
    // in "[" + s + "]" (-Wrestrict).
    std::string crochets = "[";
    crochets += cite(nom);
    crochets += ']';
    return crochets;
}

// A line quoted in a sentence: at most about 60 bytes, shown visibly, never
// cut inside a character or an escape.
inline std::string extrait(std::string_view texte)
{
    bool coupe = false;
    std::string s = citer(texte, 60, &coupe);
    if (coupe)
        s = citer(texte, 57) + "…";
    return "« " + s + " »";
}

// A value as a read by key gives it: cut to 199 characters by the program's
// own copy.
inline QString lue(std::optional<std::string_view> valeur)
{
    QString v;
    catalogue::lireValeur(valeur, v);
    return v;
}

// Why a value holds too few commas for its catalogue, or nothing when it
// holds enough within what the program reads.
inline std::string virgulesManquantes(const catalogue::Catalogue& c, const QString& lue,
                                      std::string_view entiere)
{
    if (catalogue::aAssezDeVirgules(catalogue::vue(lue), c.virgules))
        return {};
    if (std::count(entiere.begin(), entiere.end(), ',') >= c.virgules)
        return c.virgules == 1 ? "la virgule vient après le 199e caractère, que Listora ne lit pas"
                               : "les virgules ne sont pas toutes dans les 199 premiers "
                                 "caractères, les seuls que Listora lit";
    if (c.virgules == 1)
        return "la virgule est manquante";
    const qsizetype lues = lue.count(u',');
    return (lues == 0 ? std::string("il n'y a aucune virgule")
                      : "il n'y a que " + nombre(lues, "virgule", "virgules")) +
           " (il en faut " + std::to_string(c.virgules) + ")";
}

// In the order their counting lines are written, on the same line.
// clang-format off
enum class Genre {
    CleVide, VirguleManquante, ValeurLongue, CleRepetee, CleMalNumerotee, CleDeplacee,
    TermeEnDouble, SansEgal, CleEtrangere, CleEtrangereVide, Windows1252, SansEgalHorsCatalogue,
    EnteteRepete, CleVideRetiree, Nombre
};
// clang-format on

struct DefinitionGenre {
    const char* libelle; // what each is, for the count: "clé écrite deux fois"
    bool grave;          // loses entries or ends the program: Statut::Pertes
    int ecrites;         // written out before the others are only counted
};

inline constexpr std::array<DefinitionGenre, size_t(Genre::Nombre)> Genres{{
    {"clé vide", false, 5},
    {"virgule manquante", true, 5},
    {"valeur de plus de 199 caractères", false, 5},
    {"clé écrite deux fois", true, 5},
    {"clé mal numérotée", true, 5},
    {"clé hors de sa section", true, 5},
    {"terme en double", true, 5},
    {"ligne sans « = »", true, 5},
    {"clé d'une autre forme", true, 5},
    {"clé vide d'une autre forme", false, 5},
    {"ligne en Windows-1252", false, 5},
    {"ligne sans « = »", false, 5},
    {"en-tête répété", false, 5},
    {"clé vide retirée", false, 5},
}};

// The findings of each kind met so far: which are written out, how many
// more there are.
class Decompte
{
public:
    // Whether the finding on line `numero` (covering `lignes` lines) is to
    // be written out; counts it otherwise.
    bool garder(Genre g, int numero, int64_t lignes = 1)
    {
        Compte& c = comptes_[size_t(g)];
        if (c.ecrites < Genres[size_t(g)].ecrites) {
            ++c.ecrites;
            c.derniere = numero;
            return true;
        }
        c.autres += lignes;
        return false;
    }

    // Adds the finding `texte()` when it is to be written out.
    template <class F> void noter(Genre g, int numero, std::vector<Constat>& constats, F&& texte)
    {
        if (garder(g, numero))
            constats.push_back({numero, Genres[size_t(g)].grave, texte()});
    }

    int64_t autres(Genre g) const { return comptes_[size_t(g)].autres; }

    // One line for each kind of which some were only counted, after the
    // last one written out; then `constats` in line order.
    void conclure(std::vector<Constat>& constats) const
    {
        for (size_t g = 0; g < comptes_.size(); ++g)
            if (const int64_t autres = comptes_[g].autres; autres > 0)
                constats.push_back({comptes_[g].derniere, Genres[g].grave,
                                    "… et " + std::to_string(autres) +
                                        (autres == 1 ? " autre ligne du même genre ("
                                                     : " autres lignes du même genre (") +
                                        Genres[g].libelle + ")."});
        std::stable_sort(constats.begin(), constats.end(),
                         [](const Constat& a, const Constat& b) { return a.ligne < b.ligne; });
    }

private:
    struct Compte {
        int ecrites = 0;
        int64_t autres = 0;
        int derniere = 0; // line of the last one written out
    };
    std::array<Compte, size_t(Genre::Nombre)> comptes_{};
};

} // namespace verificateur
