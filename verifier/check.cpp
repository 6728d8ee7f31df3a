#include "verifier/check.h"

#include "catalogue/loading.h"

#include "catalogue/data_file.h"
#include "catalogue/key_walk.h"
#include "catalogue/value_cut.h"
#include "verifier/inventory.h"
#include "verifier/visible.h"

#include <QHash>
#include <QString>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>

namespace verificateur
{
namespace
{

using catalogue::Catalogue;
using catalogue::CleMaximale;
using catalogue::TailleTampon;
using catalogue::vue;

// Qt's string hash, with its seed drawn at each run: names in a file
// cannot be chosen to collide.
struct Hachage {
    size_t operator()(const QString& s) const noexcept { return qHash(s, QHashSeed::globalSeed()); }
};

// Findings of one kind written out in full; the others are counted in one
// line, so that the report stays short whatever the file.
constexpr int ParGenre = 5;

const char* const Syntaxe = "Listora s'arrêtera avec « Erreur de Syntaxe »";
const char* const Doublon =
    "avec « Vérifier les doublons » coché, Listora s'arrêtera avec « Doublon »";

std::string nomCle(const Catalogue& c, int numero)
{
    return c.prefixe + std::to_string(numero);
}

std::string nombre(int64_t n, const char* un, const char* plusieurs)
{
    return std::to_string(n) + ' ' + (n == 1 ? un : plusieurs);
}

std::string ligne(int numero)
{
    return "ligne " + std::to_string(numero) + " : ";
}

// A name from the file (a key, a section, a term), shown visibly and cut
// to about 60 bytes.
std::string cite(std::string_view nom)
{
    bool coupe = false;
    const std::string s = citer(nom, 60, &coupe);
    return coupe ? s + "…" : s;
}

std::string entreCrochets(std::string_view nom)
{
    return "[" + cite(nom) + "]";
}

// A line quoted in a sentence: at most about 60 bytes, shown visibly, never
// cut inside a character or an escape.
std::string extrait(std::string_view texte)
{
    bool coupe = false;
    std::string s = citer(texte, 60, &coupe);
    if (coupe)
        s = citer(texte, 57) + "…";
    return "« " + s + " »";
}

// A value as a read by key gives it: cut to 199 characters by the program's
// own copy.
QString lue(std::optional<std::string_view> valeur)
{
    QString v;
    catalogue::lireValeur(valeur, v);
    return v;
}

// Why a value holds too few commas for its catalogue, or nothing when it
// holds enough within what the program reads.
std::string virgulesManquantes(const Catalogue& c, const QString& lue, std::string_view entiere)
{
    if (catalogue::aAssezDeVirgules(vue(lue), c.virgules))
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

// Findings of one kind: the first ParGenre written out, the others counted
// and told in one line after them.
struct Serie {
    const char* genre; // what each is, for the count: "clé écrite deux fois"
    bool grave = false;
    int ecrites = 0;
    int64_t autres = 0;
    int derniere = 0; // line of the last one written

    // Whether the finding on line `numero` (covering `lignes` lines) is to
    // be written out; counts it otherwise.
    bool garder(int numero, int64_t lignes = 1)
    {
        if (ecrites < ParGenre) {
            ++ecrites;
            derniere = numero;
            return true;
        }
        autres += lignes;
        return false;
    }

    void conclure(std::vector<Constat>& constats) const
    {
        if (autres > 0)
            constats.push_back({derniere, grave,
                                "… et " + std::to_string(autres) +
                                    (autres == 1 ? " autre ligne du même genre ("
                                                 : " autres lignes du même genre (") +
                                    genre + ")."});
    }
};

// A catalogue's key as the program finds it: the first line of its name in
// the section.
struct Premiere {
    int ligne = 0; // 0 when the section has no such key
    std::string_view valeur;
};

// What the check keeps of a catalogue's section, whatever the file's size:
// its header's line and one record per key number.
struct Releve {
    int ligneSection = 0; // 0 when the section is absent
    bool sansEntree = true;
    std::vector<Premiere> cles; // by number, up to the highest written, at most CleMaximale

    const Premiere& cle(int n) const
    {
        static const Premiere absente;
        return size_t(n) < cles.size() ? cles[size_t(n)] : absente;
    }
};

std::array<Releve, 3> relever(const Inventaire& inv)
{
    std::array<Releve, 3> releves;
    parcourir(inv, [&](const LigneFichier& l) {
        if (l.sectionCatalogue < 0)
            return;
        Releve& r = releves[size_t(l.sectionCatalogue)];
        if (l.ligne.genre == ini::Ligne::Genre::Entete)
            r.ligneSection = l.numero;
        if (l.catalogueCle != l.sectionCatalogue || l.etatNumero != Numero::Valide)
            return;
        if (r.cles.size() <= size_t(l.cle))
            r.cles.resize(size_t(l.cle) + 1);
        if (r.cles[size_t(l.cle)].ligne == 0)
            r.cles[size_t(l.cle)] = {l.numero, l.ligne.valeur};
    });
    for (size_t i = 0; i < releves.size(); ++i)
        releves[i].sansEntree = !Lire_Section(inv.document.get(), catalogue::Tous[i]->section);
    return releves;
}

// Where a press of the catalogue's button ends.
struct Marche {
    int chargees = 0;     // entries the press loads
    int fin = 0;          // the key missing or empty that ends the walk; 0 when it reached the last
    int lues = 0;         // keys read before it
    int arretSyntaxe = 0; // key on which the program ends with " Erreur de Syntaxe"; 0 none
    int arretDoublon = 0; // the same for "Doublon"
};

// A press of the catalogue's button, made by the program's own loader on the
// checked document, without and with the duplicate check, so that what the
// check says will load is what loads; then the program's walk on to the key
// that ends the numbering itself, past a value that ends the program.
Marche marcher(const Catalogue& c, const std::shared_ptr<const ini::Document>& document)
{
    using Issue = catalogue::Chargement::Issue;
    Marche m;
    const catalogue::Chargement sans = catalogue::lireCatalogue(c, false, document);
    m.chargees = static_cast<int>(sans.termes.nombre());
    if (sans.issue == Issue::Syntaxe)
        m.arretSyntaxe = m.chargees + 1;
    const catalogue::Chargement avec = catalogue::lireCatalogue(c, true, document);
    if (avec.issue == Issue::Doublon)
        m.arretDoublon = static_cast<int>(avec.termes.nombre()) + 1;
    catalogue::Passe passe(c, document);
    while (passe.suivante())
        m.lues = passe.numero();
    m.fin = m.lues == CleMaximale ? 0 : m.lues + 1;
    return m;
}

// What becomes of a catalogue's key line.
enum class Sort {
    Lue,          // the walk reads it
    Fin,          // the key, empty, that ends the walk
    ApresLaFin,   // its number comes after the key that ends the walk
    CleRepetee,   // a second line of the same key: the first wins
    MalNumerotee, // a number the walk never forms
    Deplacee,     // outside its catalogue's section
};

// Where a line outside its section stands, for "... est <place>".
std::string place(const LigneFichier& l)
{
    if (l.entete == 0)
        return "avant le premier en-tête de section";
    if (!l.sectionLue)
        return "sous l'en-tête " + entreCrochets(l.nomEntete) + " répété ligne " +
               std::to_string(l.entete);
    return "sous " + entreCrochets(l.nomEntete);
}

// A run of keys written outside their section, under one header.
struct Groupe {
    int nombre = 0;
    int premiere = 0, derniere = 0; // their lines
    std::string_view de, a;         // their names
    LigneFichier l;                 // the first, for its place
};

// The check of one catalogue: fed the file's lines in order, it writes the
// findings of each kind, then the sentence on what a press will load.
class Examen
{
public:
    Examen(size_t indice, const Releve& releve,
           const std::shared_ptr<const ini::Document>& document)
        : c_(*catalogue::Tous[indice]), ci_(static_cast<int>(indice)), releve_(releve),
          marche_(marcher(c_, document))
    {
        b_.catalogue = &c_;
        b_.arretSyntaxe = marche_.arretSyntaxe;
        b_.arretDoublon = marche_.arretDoublon;
        b_.chargees = marche_.chargees;
        // The terms met again, first among the keys the walk reads, in the
        // order it reads them.
        for (int n = 1; n <= marche_.lues; ++n)
            chercherDoublon(releve_.cle(n).ligne, nomCle(c_, n), lue(releve_.cle(n).valeur), true);
    }

    void voir(const LigneFichier& l)
    {
        if (l.catalogueCle == ci_)
            voirCle(l);
        else if (l.sectionCatalogue == ci_)
            voirAutreLigne(l);
    }

    BilanCatalogue conclure(bool& renumeroterAide);

private:
    int ligneDeCle(int n) const { return releve_.cle(n).ligne; }
    Sort classer(const LigneFichier& l) const;
    void voirCle(const LigneFichier& l);
    void voirAutreLigne(const LigneFichier& l);
    void signalerVide(const LigneFichier& l);
    void signalerVirgules(const LigneFichier& l, const QString& valeur, Sort sort);
    void signalerLongue(const LigneFichier& l);
    void signalerRepetee(const LigneFichier& l);
    void signalerMalNumerotee(const LigneFichier& l);
    void suivreDeplacee(const LigneFichier& l);
    void signalerDeplacees();
    void chercherDoublon(int numero, std::string_view nom, const QString& valeur, bool luParMarche);
    void signalerFin();
    std::string resume(bool& manque) const;

    const Catalogue& c_;
    const int ci_;
    const Releve& releve_;
    const Marche marche_;
    BilanCatalogue b_;
    Serie vides_{"clé vide"}, virgules_{"virgule manquante", true},
        longues_{"valeur de plus de 199 caractères"}, repetees_{"clé écrite deux fois", true},
        malNumerotees_{"clé mal numérotée", true}, deplacees_{"clé hors de sa section", true},
        doublons_{"terme en double", true}, sansEgal_{"ligne sans « = »", true},
        etrangeres_{"clé d'une autre forme", true}, etrangeresVides_{"clé vide d'une autre forme"};
    int apres_ = 0, premierApres_ = 0, dernierApres_ = 0; // keys past the one that ends the walk
    bool horsDeLaMarche_ = false;                         // an entry the walk does not reach
    Groupe groupe_;
    // Each term met, in capitals, with the line and key that hold it first.
    // Past the walk's keys, at most CleMaximale more are remembered: no
    // catalogue can load more, and memory stays bounded on any file.
    struct Vu {
        int ligne;
        std::string nom;
    };
    // Not a QHash: Qt 6.4's insertion is noexcept, so running out of memory
    // there would abort instead of ending in a message.
    std::unordered_map<QString, Vu, Hachage> dejaVus_;
};

Sort Examen::classer(const LigneFichier& l) const
{
    if (l.sectionCatalogue != ci_)
        return Sort::Deplacee;
    if (l.etatNumero != Numero::Valide)
        return Sort::MalNumerotee;
    if (ligneDeCle(l.cle) != l.numero)
        return Sort::CleRepetee;
    if (marche_.fin != 0 && l.cle == marche_.fin)
        return Sort::Fin;
    if (marche_.fin != 0 && l.cle > marche_.fin)
        return Sort::ApresLaFin;
    return Sort::Lue;
}

void Examen::voirCle(const LigneFichier& l)
{
    const Sort sort = classer(l);
    if (sort != Sort::Deplacee || l.ligne.valeur.empty())
        signalerDeplacees(); // a run of misplaced keys ends here
    if (l.ligne.valeur.empty()) {
        if (sort != Sort::Fin)
            signalerVide(l);
        return;
    }
    ++b_.tenues;
    horsDeLaMarche_ = horsDeLaMarche_ || sort != Sort::Lue;
    const QString valeur = lue(l.ligne.valeur);
    signalerVirgules(l, valeur, sort);
    switch (sort) {
    case Sort::Lue:
        signalerLongue(l);
        break;
    case Sort::ApresLaFin:
        premierApres_ = apres_ == 0 ? l.cle : std::min(premierApres_, l.cle);
        dernierApres_ = std::max(dernierApres_, l.cle);
        ++apres_;
        break;
    case Sort::CleRepetee:
        signalerRepetee(l);
        break;
    case Sort::MalNumerotee:
        signalerMalNumerotee(l);
        break;
    case Sort::Deplacee:
        suivreDeplacee(l);
        break;
    case Sort::Fin:
        break;
    }
    // Then the others, in file order.
    if (sort != Sort::Lue)
        chercherDoublon(l.numero, l.ligne.nom, valeur, false);
}

void Examen::signalerVide(const LigneFichier& l)
{
    if (vides_.garder(l.numero))
        b_.constats.push_back({l.numero, false,
                               ligne(l.numero) + cite(l.ligne.nom) +
                                   " est vide ; --renumeroter la retire, car une valeur vide "
                                   "arrête le catalogue."});
}

void Examen::signalerVirgules(const LigneFichier& l, const QString& valeur, Sort sort)
{
    const std::string virgules = virgulesManquantes(c_, valeur, l.ligne.valeur);
    if (!virgules.empty() && virgules_.garder(l.numero))
        b_.constats.push_back({l.numero, true,
                               ligne(l.numero) + cite(l.ligne.nom) + " — " + virgules + " : " +
                                   Syntaxe +
                                   (sort == Sort::Lue ? "." : " une fois cette entrée lue.")});
}

void Examen::signalerLongue(const LigneFichier& l)
{
    const std::string_view v = l.ligne.valeur;
    // Only a value of more than 199 bytes can hold more than 199 characters.
    if (v.size() < TailleTampon)
        return;
    // Counted in UTF-16 units, as the program's strings count, without
    // decoding a value that may be as long as the file: one per character,
    // two for one beyond U+FFFF (a four-byte sequence).
    const auto longueur =
        std::count_if(v.begin(), v.end(), [](char o) { return (o & 0xC0) != 0x80; }) +
        std::count_if(v.begin(), v.end(), [](char o) { return (o & 0xF8) == 0xF0; });
    if (longueur > TailleTampon - 1 && longues_.garder(l.numero))
        b_.constats.push_back({l.numero, false,
                               ligne(l.numero) + cite(l.ligne.nom) + " — la valeur a " +
                                   std::to_string(longueur) +
                                   " caractères : Listora n'en lit que les 199 premiers."});
}

void Examen::signalerRepetee(const LigneFichier& l)
{
    if (repetees_.garder(l.numero))
        b_.constats.push_back({l.numero, true,
                               ligne(l.numero) + cite(l.ligne.nom) + " est déjà écrite ligne " +
                                   std::to_string(ligneDeCle(l.cle)) +
                                   " : Listora ne lit que la première."});
}

void Examen::signalerMalNumerotee(const LigneFichier& l)
{
    if (!malNumerotees_.garder(l.numero))
        return;
    const std::string pourquoi = l.etatNumero == Numero::Zero ? "les numéros commencent à 1"
                                 : l.etatNumero == Numero::ZeroDevant
                                     ? "un numéro ne s'écrit pas avec un 0 devant"
                                     : "Listora ne lit pas au-delà de " + nomCle(c_, CleMaximale);
    b_.constats.push_back({l.numero, true,
                           ligne(l.numero) + cite(l.ligne.nom) + " — " + pourquoi +
                               " : cette clé ne sera jamais lue."});
}

// Keys written outside their section, each run of them under one header
// in one sentence.
void Examen::suivreDeplacee(const LigneFichier& l)
{
    if (groupe_.nombre > 0 && groupe_.l.entete != l.entete)
        signalerDeplacees();
    if (groupe_.nombre == 0) {
        groupe_.l = l;
        groupe_.premiere = l.numero;
        groupe_.de = l.ligne.nom;
    }
    ++groupe_.nombre;
    groupe_.derniere = l.numero;
    groupe_.a = l.ligne.nom;
}

void Examen::signalerDeplacees()
{
    const Groupe g = std::exchange(groupe_, {});
    if (g.nombre == 0 || !deplacees_.garder(g.premiere, g.nombre))
        return;
    const std::string chezElle = entreCrochets(c_.section);
    const bool une = g.nombre == 1;
    // Under a second header of its own section, the key is where it
    // belongs but for the header.
    const bool repete = g.l.entete != 0 && memeNom(g.l.nomEntete, c_.section);
    const std::string pourquoi =
        repete ? "Listora ne lit que les lignes du premier en-tête " + chezElle + ", ligne " +
                     std::to_string(releve_.ligneSection)
        : une ? "Listora ne la lit pas là ; sa place est sous " + chezElle
              : "Listora ne les lit pas là ; leur place est sous " + chezElle;
    const std::string quoi = une ? ligne(g.premiere) + cite(g.de) + " est "
                                 : "lignes " + std::to_string(g.premiere) + " à " +
                                       std::to_string(g.derniere) + " : " +
                                       nombre(g.nombre, "clé", "clés") + " (" + cite(g.de) + " à " +
                                       cite(g.a) + ") sont ";
    b_.constats.push_back({g.premiere, true, quoi + place(g.l) + " : " + pourquoi + "."});
}

// A term met again, in the order the program meets them: the keys it reads
// by number, then the others in file order.
void Examen::chercherDoublon(int numero, std::string_view nom, const QString& valeur,
                             bool luParMarche)
{
    if (!catalogue::aAssezDeVirgules(vue(valeur), c_.virgules))
        return;
    const QString terme = catalogue::enTexte(catalogue::terme(vue(valeur)));
    const QString capitales = catalogue::enCapitales(terme);
    const auto avant = dejaVus_.find(capitales);
    if (avant == dejaVus_.end()) {
        if (dejaVus_.size() < size_t(marche_.lues + CleMaximale))
            dejaVus_.emplace(capitales, Vu{numero, std::string(nom)});
        return;
    }
    if (doublons_.garder(numero))
        b_.constats.push_back({numero, true,
                               ligne(numero) + "le terme « " + cite(terme.toStdString()) +
                                   " » de " + cite(nom) + " est déjà celui de " +
                                   cite(avant->second.nom) + " (ligne " +
                                   std::to_string(avant->second.ligne) + ") : " + Doublon +
                                   (luParMarche ? "." : " une fois cette entrée lue.")});
}

// The section's lines that hold no key of the catalogue.
void Examen::voirAutreLigne(const LigneFichier& l)
{
    if (l.ligne.genre == ini::Ligne::Genre::SansEgal && sansEgal_.garder(l.numero))
        b_.constats.push_back({l.numero, true,
                               ligne(l.numero) + extrait(l.ligne.texte) +
                                   " n'a pas la forme CLÉ=valeur : Listora ne lit pas cette "
                                   "ligne."});
    if (l.ligne.genre != ini::Ligne::Genre::Cle || l.catalogueCle >= 0)
        return;
    // A key of another form (misspelt, or with an invisible character
    // before it) holds an entry the program never reads; without a value
    // it holds nothing.
    const bool perdue = !l.ligne.valeur.empty();
    Serie& serie = perdue ? etrangeres_ : etrangeresVides_;
    if (serie.garder(l.numero))
        b_.constats.push_back({l.numero, perdue,
                               ligne(l.numero) + "la clé " + cite(l.ligne.nom) +
                                   " n'est pas de la forme " + nomCle(c_, 1) + ", " +
                                   nomCle(c_, 2) +
                                   (perdue ? "… : Listora ne lit jamais cette entrée."
                                           : "… : Listora ne la lit pas.")});
}

// The key that ends the walk, when keys of higher numbers follow.
void Examen::signalerFin()
{
    if (apres_ == 0)
        return;
    const int fin = marche_.fin;
    const std::string arret = fin > 1 ? "Listora arrête ce catalogue après " + nomCle(c_, fin - 1)
                                      : std::string("Listora ne lit aucune entrée de ce catalogue");
    const std::string perdues =
        apres_ == 1 ? "la clé " + nomCle(c_, premierApres_) + " qui suit"
                    : "les " + std::to_string(apres_) + " clés qui suivent (" +
                          nomCle(c_, premierApres_) + " à " + nomCle(c_, dernierApres_) + ")";
    const std::string suite = " : " + arret + " et ne lira jamais " + perdues + ".";
    if (ligneDeCle(fin) != 0)
        b_.constats.push_back({ligneDeCle(fin), true,
                               ligne(ligneDeCle(fin)) + nomCle(c_, fin) + " est vide" + suite});
    else
        b_.constats.push_back({0, true, nomCle(c_, fin) + " manque" + suite});
}

// One sentence: what a press of the catalogue's button will load.
std::string Examen::resume(bool& manque) const
{
    const std::string section = entreCrochets(c_.section);
    const int chargees = b_.chargees, tenues = b_.tenues;
    const std::string premieresCles =
        "(" + nomCle(c_, 1) + (chargees > 1 ? " à " + nomCle(c_, chargees) : "") + ")";
    manque = true;
    std::string r;
    if (releve_.ligneSection == 0) {
        r = "la section " + section +
            " est absente : Listora affichera « Erreur Fichier » pour ce catalogue.";
    } else if (releve_.sansEntree) {
        r = "la section " + section +
            " n'a aucune entrée : Listora affichera « Erreur Fichier » pour ce catalogue.";
    } else if (b_.arretSyntaxe != 0) {
        r = (chargees == 0 ? std::string("Listora")
                           : "Listora lira " + nombre(chargees, "entrée", "entrées") + " " +
                                 premieresCles + ", puis") +
            " s'arrêtera avec « Erreur de Syntaxe » sur " + nomCle(c_, b_.arretSyntaxe) +
            " (ligne " + std::to_string(ligneDeCle(b_.arretSyntaxe)) + ").";
    } else if (tenues == 0) {
        r = "la section " + section + " n'a aucune clé " + nomCle(c_, 1) + ", " + nomCle(c_, 2) +
            "… : la liste sera vide.";
    } else if (chargees == tenues) {
        manque = false;
        r = chargees == 1 ? "l'entrée " + nomCle(c_, 1) + " sera chargée."
                          : "les " + std::to_string(chargees) + " entrées seront chargées " +
                                premieresCles + ".";
    } else if (chargees == 0) {
        r = "aucune des " + nombre(tenues, "entrée", "entrées") + " du fichier ne sera chargée.";
    } else {
        r = std::to_string(chargees) + " des " + std::to_string(tenues) + " entrées du fichier " +
            (chargees == 1 ? "sera chargée " : "seront chargées ") + premieresCles +
            (tenues - chargees == 1 ? " ; l'autre, jamais." : " ; les autres, jamais.");
    }
    if (b_.arretDoublon != 0)
        r += " Avec « Vérifier les doublons » coché, Listora s'arrêtera avec « Doublon » sur " +
             nomCle(c_, b_.arretDoublon) + " (ligne " +
             std::to_string(ligneDeCle(b_.arretDoublon)) + ").";
    return r;
}

BilanCatalogue Examen::conclure(bool& renumeroterAide)
{
    signalerDeplacees();
    signalerFin();
    for (const Serie* s : {&vides_, &virgules_, &longues_, &repetees_, &malNumerotees_, &deplacees_,
                           &doublons_, &sansEgal_, &etrangeres_, &etrangeresVides_})
        s->conclure(b_.constats);
    std::stable_sort(b_.constats.begin(), b_.constats.end(),
                     [](const Constat& a, const Constat& b) { return a.ligne < b.ligne; });
    // Renumbering brings every entry within the walk's reach, but for those
    // past its last key.
    renumeroterAide = renumeroterAide || (horsDeLaMarche_ && b_.tenues <= CleMaximale);
    bool manque = true;
    b_.resume = resume(manque);
    b_.erreurFichier = releve_.ligneSection == 0 || releve_.sansEntree;
    b_.grave = manque || std::any_of(b_.constats.begin(), b_.constats.end(),
                                     [](const Constat& k) { return k.grave; });
    return std::move(b_);
}

// The line on which `position`, a place in `texte`, stands.
int numeroDeLigne(std::string_view texte, const char* position)
{
    size_t debut = static_cast<size_t>(position - texte.data());
    while (debut > 0 && texte[debut - 1] != '\n' && texte[debut - 1] != '\r')
        --debut;
    int numero = 1;
    ini::pourChaqueLigne(texte.substr(0, debut), [&](const ini::Ligne&) { ++numero; });
    return numero;
}

// The lines that belong to no catalogue, the headers repeated, and the
// lines whose encoding was guessed.
class Autres
{
public:
    explicit Autres(const Inventaire& inv) : inv_(inv) {}

    void voir(const LigneFichier& l)
    {
        if (l.ligne.genre == ini::Ligne::Genre::SansEgal && l.sectionCatalogue < 0 &&
            sansEgal_.garder(l.numero))
            constats_.push_back({l.numero, false,
                                 ligne(l.numero) + extrait(l.ligne.texte) +
                                     " n'a pas la forme CLÉ=valeur ; hors des catalogues, Listora "
                                     "ne la lit pas."});
        if (l.ligne.genre == ini::Ligne::Genre::Entete && !l.sectionLue)
            signalerEnteteRepete(l);
        suivreEncodage(l);
    }

    std::vector<Constat> conclure()
    {
        signalerEncodage();
        sansEgal_.conclure(constats_);
        entetes_.conclure(constats_);
        std::stable_sort(constats_.begin(), constats_.end(),
                         [](const Constat& a, const Constat& b) { return a.ligne < b.ligne; });
        return std::move(constats_);
    }

private:
    void signalerEnteteRepete(const LigneFichier& l);
    void suivreEncodage(const LigneFichier& l);
    void signalerEncodage();

    const Inventaire& inv_;
    std::vector<Constat> constats_;
    Serie sansEgal_{"ligne sans « = »"}, entetes_{"en-tête répété"},
        encodage_{"ligne en Windows-1252"};
    size_t cp1252_ = 0;         // the next line read as Windows-1252, in the document's list
    bool utf8Ailleurs_ = false; // a line that is UTF-8 and not ASCII
};

void Autres::signalerEnteteRepete(const LigneFichier& l)
{
    if (!entetes_.garder(l.numero))
        return;
    // The first header of the name opens the document's section: its line
    // is counted only for the few written out, so no map of every header is
    // kept.
    const std::string_view texte = inv_.document->texte().utf8;
    const int premier = numeroDeLigne(texte, inv_.document->section(l.ligne.nom)->corps().data());
    constats_.push_back({l.numero, false,
                         ligne(l.numero) + "l'en-tête " + entreCrochets(l.ligne.nom) +
                             " répète celui de la ligne " + std::to_string(premier) +
                             " : Listora ne lit aucune des lignes qui le suivent, jusqu'à "
                             "l'en-tête suivant."});
}

void Autres::suivreEncodage(const LigneFichier& l)
{
    const std::vector<int>& lignes = inv_.document->texte().lignesWindows1252;
    while (cp1252_ < lignes.size() && lignes[cp1252_] < l.numero)
        ++cp1252_;
    if (cp1252_ < lignes.size() && lignes[cp1252_] == l.numero)
        return;
    utf8Ailleurs_ = utf8Ailleurs_ ||
                    std::any_of(l.ligne.brute.begin(), l.ligne.brute.end(), [](char o) { return o & 0x80; });
}

// The lines read as Windows-1252. In a file otherwise UTF-8 each run of
// them is named, since their accents are a guess; a file without any UTF-8
// accent is simply a Windows-1252 file, said once.
void Autres::signalerEncodage()
{
    const std::vector<int>& cp1252 = inv_.document->texte().lignesWindows1252;
    if (cp1252.empty())
        return;
    if (!utf8Ailleurs_ && !inv_.marqueUtf8) {
        constats_.push_back({0, false,
                             "le fichier est écrit en Windows-1252 et non en UTF-8 : Listora le "
                             "lit ainsi, sans perte."});
        return;
    }
    for (size_t i = 0; i < cp1252.size();) {
        size_t j = i + 1;
        while (j < cp1252.size() && cp1252[j] == cp1252[j - 1] + 1)
            ++j;
        const bool une = j - i == 1;
        if (encodage_.garder(cp1252[i], int64_t(j - i)))
            constats_.push_back(
                {cp1252[i], false,
                 (une ? ligne(cp1252[i])
                      : "lignes " + std::to_string(cp1252[i]) + " à " +
                            std::to_string(cp1252[j - 1]) + " : ") +
                     "pas en UTF-8 comme le reste du fichier ; Listora " +
                     (une ? "la lit" : "les lit") +
                     " en Windows-1252 : vérifiez que les accents s'y affichent bien."});
        i = j;
    }
    encodage_.conclure(constats_);
}

// A file in UTF-16 that the program does not decode: UTF-16BE, with or
// without its mark, and UTF-16LE without its mark (with it, the program
// reads it). Told by the mark, or by NUL bytes at every other place, which
// no text file of another encoding holds.
enum class Utf16 { Non, GrosBoutiste, PetitBoutisteSansMarque };

Utf16 utf16Illisible(std::string_view octets)
{
    if (octets.starts_with("\xFE\xFF"))
        return Utf16::GrosBoutiste;
    if (octets.starts_with("\xFF\xFE"))
        return Utf16::Non;
    const std::string_view debut = octets.substr(0, 4096);
    size_t pairs = 0, impairs = 0;
    for (size_t i = 0; i < debut.size(); ++i)
        (i % 2 == 0 ? pairs : impairs) += debut[i] == '\0';
    const size_t moitie = debut.size() / 2;
    // Mostly ASCII text: one byte of each pair is NUL, the other not.
    if (moitie >= 2 && pairs >= moitie / 2 && impairs <= pairs / 8)
        return Utf16::GrosBoutiste;
    if (moitie >= 2 && impairs >= moitie / 2 && pairs <= impairs / 8)
        return Utf16::PetitBoutisteSansMarque;
    return Utf16::Non;
}

// The one finding on a UTF-16 file: its lines, read byte by byte, would
// be quoted full of NULs and say nothing.
std::string phraseUtf16(Utf16 genre)
{
    return std::string("le fichier est écrit en UTF-16") +
           (genre == Utf16::GrosBoutiste
                ? "BE (« Unicode big endian ») et non en UTF-8 : Listora ne lit pas cet encodage"
                : "LE sans sa marque d'ordre des octets (FF FE) : Listora ne lit l'UTF-16 "
                  "qu'avec cette marque en tête") +
           " et affichera « Erreur Fichier » pour chaque catalogue. Enregistrez-le en UTF-8 ; "
           "ses lignes ne sont pas citées ici.";
}

} // namespace

Rapport verifier(std::string octets)
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
    const std::string chemin = citer(nom);
    std::string t = "Vérification de « " + chemin + " »\n";
    bool remarques = false;
    for (const BilanCatalogue& b : rapport.catalogues) {
        t += "\n" + std::string(b.catalogue->section) + " : " + b.resume + "\n";
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
             pourLeShell(sortie) + " " + pourLeShell(nom) + "\n";
    return t;
}

} // namespace verificateur
