#include "verifier/check.h"

#include "catalogue/loading.h"

#include "catalogue/data_file.h"
#include "catalogue/key_walk.h"
#include "catalogue/value_cut.h"
#include "verifier/inventory.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <algorithm>

namespace verificateur
{
namespace
{

using catalogue::Catalogue;
using catalogue::CleMaximale;
using catalogue::TailleTampon;
using catalogue::vue;

const char* const Syntaxe = "Listora s'arrêtera avec « Erreur de Syntaxe »";
const char* const Doublon =
    "avec « Vérifier les doublons » coché, Listora s'arrêtera avec « Doublon »";

std::string nomCle(const Catalogue& c, int numero)
{
    return c.prefixe + std::to_string(numero);
}

std::string nombre(qsizetype n, const char* un, const char* plusieurs)
{
    return std::to_string(n) + ' ' + (n == 1 ? un : plusieurs);
}

std::string ligne(int numero)
{
    return "ligne " + std::to_string(numero) + " : ";
}

std::string entreCrochets(std::string_view nom)
{
    return "[" + std::string(nom) + "]";
}

std::string enUtf8(const QString& texte)
{
    return texte.toUtf8().toStdString();
}

// A line quoted in a sentence: at most about 60 bytes, never cut inside a
// character.
std::string extrait(std::string_view texte)
{
    if (texte.size() <= 60)
        return "« " + std::string(texte) + " »";
    size_t n = 57;
    while (n > 0 && (static_cast<unsigned char>(texte[n]) & 0xC0) == 0x80)
        --n;
    return "« " + std::string(texte.substr(0, n)) + "… »";
}

// A key line's value as a read by key would give it (see Lire_Cle): cut to
// 199 characters, never inside a surrogate pair. For the lines the walk
// does not reach, which the check looks at all the same.
QString valeurLue(std::string_view utf8)
{
    QString v;
    catalogue::lireValeur(utf8, v);
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

// What becomes of a catalogue's key line.
enum class Sort {
    Lue,          // the walk reads it
    Fin,          // the key, empty, that ends the walk
    ApresLaFin,   // its number comes after the key that ends the walk
    CleRepetee,   // a second line of the same key: the first wins
    MalNumerotee, // a number the walk never forms
    Deplacee,     // outside its catalogue's section
};

struct Entree {
    const LigneFichier* l;
    Sort sort;
    QString valeur; // as read: cut to 199 characters
};

// Where a line outside its section stands, for "... est <place>".
std::string place(const Inventaire& inv, const LigneFichier& l)
{
    if (l.entete < 0)
        return "avant le premier en-tête de section";
    const LigneFichier& entete = inv.lignes[static_cast<size_t>(l.entete)];
    if (!entete.sectionLue)
        return "sous l'en-tête " + entreCrochets(entete.ligne.nom) + " répété ligne " +
               std::to_string(entete.numero);
    return "sous " + entreCrochets(entete.ligne.nom);
}

// Keys written outside their section, each run of them under one header
// in one sentence.
void signalerDeplacees(const Inventaire& inv, const Catalogue& c, int ligneSection,
                       const std::vector<Entree>& entrees, std::vector<Constat>& constats)
{
    const std::string chezElle = entreCrochets(c.section);
    for (size_t i = 0; i < entrees.size();) {
        const Entree& premiere = entrees[i];
        size_t j = i + 1;
        if (premiere.sort == Sort::Deplacee)
            while (j < entrees.size() && entrees[j].sort == Sort::Deplacee &&
                   entrees[j].l->entete == premiere.l->entete)
                ++j;
        if (premiere.sort != Sort::Deplacee || premiere.valeur.isEmpty()) {
            i = j;
            continue;
        }
        const LigneFichier& a = *premiere.l;
        const LigneFichier& b = *entrees[j - 1].l;
        const bool une = j - i == 1;
        // Under a second header of its own section, the key is where it
        // belongs but for the header.
        const bool repete =
            a.entete >= 0 && memeNom(inv.lignes[size_t(a.entete)].ligne.nom, c.section);
        const std::string pourquoi =
            repete ? "Listora ne lit que les lignes du premier en-tête " + chezElle + ", ligne " +
                         std::to_string(ligneSection)
            : une ? "Listora ne la lit pas là ; sa place est sous " + chezElle
                  : "Listora ne les lit pas là ; leur place est sous " + chezElle;
        const std::string quoi =
            une ? ligne(a.numero) + std::string(a.ligne.nom) + " est "
                : "lignes " + std::to_string(a.numero) + " à " + std::to_string(b.numero) + " : " +
                      nombre(static_cast<qsizetype>(j - i), "clé", "clés") + " (" +
                      std::string(a.ligne.nom) + " à " + std::string(b.ligne.nom) + ") sont ";
        constats.push_back({a.numero, true, quoi + place(inv, a) + " : " + pourquoi + "."});
        i = j;
    }
}

BilanCatalogue bilan(const Inventaire& inv, size_t indice, bool& renumeroterAide)
{
    const Catalogue& c = *catalogue::Tous[indice];
    const int ci = static_cast<int>(indice);
    const ini::Document& doc = *inv.document;
    BilanCatalogue b;
    b.catalogue = &c;

    // A press of the catalogue's button, by the program's own loader, with
    // and without the duplicate check; then the walk on to the key that ends
    // the numbering itself, past a value that would end the program.
    const std::shared_ptr<const ini::Document> version(std::shared_ptr<void>(), &doc);
    const catalogue::Chargement lu = catalogue::lireCatalogue(c, false, version);
    const catalogue::Chargement luAvecDoublons = catalogue::lireCatalogue(c, true, version);
    const bool sansEntree = lu.issue == catalogue::Chargement::Issue::FichierAbsent;
    if (lu.issue == catalogue::Chargement::Issue::Syntaxe)
        b.arretSyntaxe = static_cast<int>(lu.termes.nombre()) + 1;
    if (luAvecDoublons.issue == catalogue::Chargement::Issue::Doublon)
        b.arretDoublon = static_cast<int>(luAvecDoublons.termes.nombre()) + 1;
    catalogue::Passe passe(c, version);
    int lues = 0;
    while (passe.suivante())
        lues = passe.numero();
    // the key missing or empty that ends the walk; 0 when it reached the last
    const int fin = lues == CleMaximale ? 0 : lues + 1;
    b.chargees = sansEntree ? 0 : static_cast<int>(lu.termes.nombre());

    // The line of each key as the program finds it: the first of its name
    // in the section.
    QHash<int, const LigneFichier*> premieres;
    int ligneSection = 0; // its header's
    for (const LigneFichier& l : inv.lignes) {
        if (l.sectionCatalogue != ci)
            continue;
        if (l.ligne.genre == ini::Ligne::Genre::Entete)
            ligneSection = l.numero;
        if (l.catalogueCle == ci && l.etatNumero == Numero::Valide && !premieres.contains(l.cle))
            premieres.insert(l.cle, &l);
    }
    const auto ligneDeCle = [&](int n) {
        const LigneFichier* l = premieres.value(n);
        return l ? l->numero : 0;
    };

    std::vector<Entree> entrees;
    for (const LigneFichier& l : inv.lignes) {
        if (l.catalogueCle != ci)
            continue;
        Sort sort = Sort::Lue;
        if (l.sectionCatalogue != ci)
            sort = Sort::Deplacee;
        else if (l.etatNumero != Numero::Valide)
            sort = Sort::MalNumerotee;
        else if (premieres.value(l.cle) != &l)
            sort = Sort::CleRepetee;
        else if (fin != 0 && l.cle == fin)
            sort = Sort::Fin;
        else if (fin != 0 && l.cle > fin)
            sort = Sort::ApresLaFin;
        entrees.push_back({&l, sort, valeurLue(l.ligne.valeur)});
    }

    std::vector<Constat>& constats = b.constats;
    int apres = 0, premierApres = 0, dernierApres = 0;
    bool horsDeLaMarche = false; // an entry the walk does not reach
    for (const Entree& e : entrees) {
        const LigneFichier& l = *e.l;
        const std::string nom(l.ligne.nom);
        if (e.valeur.isEmpty()) {
            if (e.sort != Sort::Fin)
                constats.push_back({l.numero, false,
                                    ligne(l.numero) + nom +
                                        " est vide ; --renumeroter la retire, car une valeur "
                                        "vide arrête le catalogue."});
            continue;
        }
        ++b.tenues;
        horsDeLaMarche = horsDeLaMarche || e.sort != Sort::Lue;
        const std::string virgules = virgulesManquantes(c, e.valeur, l.ligne.valeur);
        if (!virgules.empty())
            constats.push_back({l.numero, true,
                                ligne(l.numero) + nom + " — " + virgules + " : " + Syntaxe +
                                    (e.sort == Sort::Lue ? "." : " une fois cette entrée lue.")});
        switch (e.sort) {
        case Sort::Lue: {
            const qsizetype longueur =
                QString::fromUtf8(l.ligne.valeur.data(), qsizetype(l.ligne.valeur.size())).size();
            if (longueur > TailleTampon - 1)
                constats.push_back({l.numero, false,
                                    ligne(l.numero) + nom + " — la valeur a " +
                                        std::to_string(longueur) +
                                        " caractères : Listora n'en lit que les 199 premiers."});
            break;
        }
        case Sort::ApresLaFin:
            premierApres = apres == 0 ? l.cle : std::min(premierApres, l.cle);
            dernierApres = std::max(dernierApres, l.cle);
            ++apres;
            break;
        case Sort::CleRepetee:
            constats.push_back({l.numero, true,
                                ligne(l.numero) + nom + " est déjà écrite ligne " +
                                    std::to_string(ligneDeCle(l.cle)) +
                                    " : Listora ne lit que la première."});
            break;
        case Sort::MalNumerotee:
            constats.push_back(
                {l.numero, true,
                 ligne(l.numero) + nom + " — " +
                     (l.etatNumero == Numero::Zero ? "les numéros commencent à 1"
                      : l.etatNumero == Numero::ZeroDevant
                          ? "un numéro ne s'écrit pas avec un 0 devant"
                          : "Listora ne lit pas au-delà de " + nomCle(c, CleMaximale)) +
                     " : cette clé ne sera jamais lue."});
            break;
        default:
            break;
        }
    }
    signalerDeplacees(inv, c, ligneSection, entrees, constats);
    // Renumbering brings every entry within the walk's reach, but for those
    // past its last key.
    renumeroterAide = renumeroterAide || (horsDeLaMarche && b.tenues <= catalogue::CleMaximale);

    // The key that ends the walk, when keys of higher numbers follow.
    if (apres > 0) {
        const std::string arret = fin > 1
                                      ? "Listora arrête ce catalogue après " + nomCle(c, fin - 1)
                                      : std::string("Listora ne lit aucune entrée de ce catalogue");
        const std::string perdues =
            apres == 1 ? "la clé " + nomCle(c, premierApres) + " qui suit"
                       : "les " + std::to_string(apres) + " clés qui suivent (" +
                             nomCle(c, premierApres) + " à " + nomCle(c, dernierApres) + ")";
        const std::string suite = " : " + arret + " et ne lira jamais " + perdues + ".";
        if (premieres.contains(fin))
            constats.push_back({ligneDeCle(fin), true,
                                ligne(ligneDeCle(fin)) + nomCle(c, fin) + " est vide" + suite});
        else
            constats.push_back({0, true, nomCle(c, fin) + " manque" + suite});
    }

    // A term met again, in the order the program meets them: the keys it
    // reads by number, then the others in file order.
    std::vector<const Entree*> ordre;
    for (const Entree& e : entrees)
        if (e.sort == Sort::Lue)
            ordre.push_back(&e);
    std::sort(ordre.begin(), ordre.end(),
              [](const Entree* a, const Entree* b) { return a->l->cle < b->l->cle; });
    for (const Entree& e : entrees)
        if (e.sort != Sort::Lue && !e.valeur.isEmpty())
            ordre.push_back(&e);
    QHash<QString, const Entree*> dejaVus;
    for (const Entree* e : ordre) {
        if (!catalogue::aAssezDeVirgules(vue(e->valeur), c.virgules))
            continue;
        const QString terme = catalogue::enTexte(catalogue::terme(vue(e->valeur)));
        const Entree* avant = dejaVus.value(catalogue::enCapitales(terme));
        if (!avant) {
            dejaVus.insert(catalogue::enCapitales(terme), e);
            continue;
        }
        constats.push_back({e->l->numero, true,
                            ligne(e->l->numero) + "le terme « " + enUtf8(terme) + " » de " +
                                std::string(e->l->ligne.nom) + " est déjà celui de " +
                                std::string(avant->l->ligne.nom) + " (ligne " +
                                std::to_string(avant->l->numero) + ") : " + Doublon +
                                (e->sort == Sort::Lue ? "." : " une fois cette entrée lue.")});
    }

    // The section's lines that hold no key of the catalogue.
    for (const LigneFichier& l : inv.lignes) {
        if (l.sectionCatalogue != ci)
            continue;
        if (l.ligne.genre == ini::Ligne::Genre::SansEgal)
            constats.push_back({l.numero, true,
                                ligne(l.numero) + extrait(l.ligne.texte) +
                                    " n'a pas la forme CLÉ=valeur : Listora ne lit pas cette "
                                    "ligne."});
        else if (l.ligne.genre == ini::Ligne::Genre::Cle && l.catalogueCle < 0)
            constats.push_back({l.numero, false,
                                ligne(l.numero) + "la clé " + std::string(l.ligne.nom) +
                                    " n'est pas de la forme " + nomCle(c, 1) + ", " + nomCle(c, 2) +
                                    "… : Listora ne la lit pas."});
    }
    std::stable_sort(constats.begin(), constats.end(),
                     [](const Constat& a, const Constat& b) { return a.ligne < b.ligne; });

    const std::string section = entreCrochets(c.section);
    const std::string premieresCles =
        "(" + nomCle(c, 1) + (b.chargees > 1 ? " à " + nomCle(c, b.chargees) : "") + ")";
    bool manque = true;
    if (ligneSection == 0) {
        b.resume = "la section " + section +
                   " est absente : Listora affichera « Erreur Fichier » pour ce catalogue.";
    } else if (sansEntree) {
        b.resume = "la section " + section +
                   " n'a aucune entrée : Listora affichera « Erreur Fichier » pour ce catalogue.";
    } else if (b.arretSyntaxe != 0) {
        b.resume = (b.chargees == 0 ? std::string("Listora")
                                    : "Listora lira " + nombre(b.chargees, "entrée", "entrées") +
                                          " " + premieresCles + ", puis") +
                   " s'arrêtera avec « Erreur de Syntaxe » sur " + nomCle(c, b.arretSyntaxe) +
                   " (ligne " + std::to_string(ligneDeCle(b.arretSyntaxe)) + ").";
    } else if (b.tenues == 0) {
        b.resume = "la section " + section + " n'a aucune clé " + nomCle(c, 1) + ", " +
                   nomCle(c, 2) + "… : la liste sera vide.";
    } else if (b.chargees == b.tenues) {
        manque = false;
        b.resume = b.chargees == 1 ? "l'entrée " + nomCle(c, 1) + " sera chargée."
                                   : "les " + std::to_string(b.chargees) +
                                         " entrées seront chargées " + premieresCles + ".";
    } else if (b.chargees == 0) {
        b.resume =
            "aucune des " + nombre(b.tenues, "entrée", "entrées") + " du fichier ne sera chargée.";
    } else {
        b.resume = std::to_string(b.chargees) + " des " + std::to_string(b.tenues) +
                   " entrées du fichier " +
                   (b.chargees == 1 ? "sera chargée " : "seront chargées ") + premieresCles +
                   (b.tenues - b.chargees == 1 ? " ; l'autre, jamais." : " ; les autres, jamais.");
    }
    if (b.arretDoublon != 0)
        b.resume += " Avec « Vérifier les doublons » coché, Listora s'arrêtera avec « Doublon » "
                    "sur " +
                    nomCle(c, b.arretDoublon) + " (ligne " +
                    std::to_string(ligneDeCle(b.arretDoublon)) + ").";
    b.grave = manque || std::any_of(constats.begin(), constats.end(),
                                    [](const Constat& k) { return k.grave; });
    return b;
}

// Lines that belong to no catalogue, and the headers repeated.
void signalerAutresLignes(const Inventaire& inv, std::vector<Constat>& autres)
{
    for (const LigneFichier& l : inv.lignes) {
        if (l.ligne.genre == ini::Ligne::Genre::SansEgal && l.sectionCatalogue < 0)
            autres.push_back({l.numero, false,
                              ligne(l.numero) + extrait(l.ligne.texte) +
                                  " n'a pas la forme CLÉ=valeur ; hors des catalogues, Listora ne "
                                  "la lit pas."});
        if (l.ligne.genre != ini::Ligne::Genre::Entete || l.sectionLue)
            continue;
        const auto premier = std::find_if(inv.lignes.begin(), inv.lignes.end(), [&](auto& p) {
            return p.ligne.genre == ini::Ligne::Genre::Entete && memeNom(p.ligne.nom, l.ligne.nom);
        });
        autres.push_back({l.numero, false,
                          ligne(l.numero) + "l'en-tête " + entreCrochets(l.ligne.nom) +
                              " répète celui de la ligne " + std::to_string(premier->numero) +
                              " : Listora ne lit aucune des lignes qui le suivent, jusqu'à "
                              "l'en-tête suivant."});
    }
}

// The lines read as Windows-1252. In a file otherwise UTF-8 each run of
// them is named, since their accents are a guess; a file without any UTF-8
// accent is simply a Windows-1252 file, said once.
void signalerEncodage(const Inventaire& inv, std::vector<Constat>& autres)
{
    const std::vector<int>& cp1252 = inv.document->texte().lignesWindows1252;
    if (cp1252.empty())
        return;
    bool utf8Ailleurs = inv.marqueUtf8;
    for (const LigneFichier& l : inv.lignes)
        utf8Ailleurs =
            utf8Ailleurs ||
            (std::any_of(l.brute.begin(), l.brute.end(), [](char o) { return o & 0x80; }) &&
             !std::binary_search(cp1252.begin(), cp1252.end(), l.numero));
    if (!utf8Ailleurs) {
        autres.push_back({0, false,
                          "le fichier est écrit en Windows-1252 et non en UTF-8 : Listora le lit "
                          "ainsi, sans perte."});
        return;
    }
    for (size_t i = 0; i < cp1252.size();) {
        size_t j = i + 1;
        while (j < cp1252.size() && cp1252[j] == cp1252[j - 1] + 1)
            ++j;
        const bool une = j - i == 1;
        autres.push_back({cp1252[i], false,
                          (une ? ligne(cp1252[i])
                               : "lignes " + std::to_string(cp1252[i]) + " à " +
                                     std::to_string(cp1252[j - 1]) + " : ") +
                              "pas en UTF-8 comme le reste du fichier ; Listora " +
                              (une ? "la lit" : "les lit") +
                              " en Windows-1252 : vérifiez que les accents s'y affichent bien."});
        i = j;
    }
}

} // namespace

Rapport verifier(std::string octets)
{
    const Inventaire inv = inventorier(std::move(octets));
    Rapport r;
    for (size_t i = 0; i < r.catalogues.size(); ++i)
        r.catalogues[i] = bilan(inv, i, r.renumeroterAide);
    signalerEncodage(inv, r.autres);
    signalerAutresLignes(inv, r.autres);
    std::stable_sort(r.autres.begin(), r.autres.end(),
                     [](const Constat& a, const Constat& b) { return a.ligne < b.ligne; });
    const bool grave = std::any_of(r.catalogues.begin(), r.catalogues.end(),
                                   [](const BilanCatalogue& b) { return b.grave; });
    r.statut = grave ? Statut::Pertes : Statut::Complet;
    return r;
}

std::string enTexte(const Rapport& rapport, std::string_view nom)
{
    std::string t = "Vérification de « " + std::string(nom) + " »\n";
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
             "nouveau fichier :\n    listora-verifier --renumeroter NOUVEAU.DAT " +
             std::string(nom) + "\n";
    return t;
}

} // namespace verificateur
