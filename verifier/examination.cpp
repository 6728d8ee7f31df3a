#include "verifier/examination.h"

#include "catalogue/data_file.h"

namespace verificateur
{
namespace
{

using catalogue::CleMaximale;
using catalogue::TailleTampon;
using catalogue::vue;

// A press of the catalogue's button, made by the program's own loader on the
// checked document, without and with the duplicate check, so that what the
// check says will load is what loads; then the program's walk on to the key
// that ends the numbering itself, past a value that ends the program.
Marche marcher(const catalogue::Catalogue& c, const std::shared_ptr<const ini::Document>& document)
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

} // namespace

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

Examen::Examen(size_t indice, const Releve& releve,
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
    decompte_.noter(Genre::CleVide, l.numero, b_.constats, [&] {
        return ligne(l.numero) + cite(l.ligne.nom) +
               " est vide ; --renumeroter la retire, car une valeur vide arrête le catalogue.";
    });
}

void Examen::signalerVirgules(const LigneFichier& l, const QString& valeur, Sort sort)
{
    const std::string virgules = virgulesManquantes(c_, valeur, l.ligne.valeur);
    if (!virgules.empty())
        decompte_.noter(Genre::VirguleManquante, l.numero, b_.constats, [&] {
            return ligne(l.numero) + cite(l.ligne.nom) + " — " + virgules + " : " + Syntaxe +
                   (sort == Sort::Lue ? "." : " une fois cette entrée lue.");
        });
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
    if (longueur > TailleTampon - 1)
        decompte_.noter(Genre::ValeurLongue, l.numero, b_.constats, [&] {
            return ligne(l.numero) + cite(l.ligne.nom) + " — la valeur a " +
                   std::to_string(longueur) +
                   " caractères : Listora n'en lit que les 199 premiers.";
        });
}

void Examen::signalerRepetee(const LigneFichier& l)
{
    decompte_.noter(Genre::CleRepetee, l.numero, b_.constats, [&] {
        return ligne(l.numero) + cite(l.ligne.nom) + " est déjà écrite ligne " +
               std::to_string(ligneDeCle(l.cle)) + " : Listora ne lit que la première.";
    });
}

void Examen::signalerMalNumerotee(const LigneFichier& l)
{
    decompte_.noter(Genre::CleMalNumerotee, l.numero, b_.constats, [&] {
        const std::string pourquoi =
            l.etatNumero == Numero::Zero ? "les numéros commencent à 1"
            : l.etatNumero == Numero::ZeroDevant
                ? "un numéro ne s'écrit pas avec un 0 devant"
                : "Listora ne lit pas au-delà de " + nomCle(c_, CleMaximale);
        return ligne(l.numero) + cite(l.ligne.nom) + " — " + pourquoi +
               " : cette clé ne sera jamais lue.";
    });
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
    if (g.nombre == 0 || !decompte_.garder(Genre::CleDeplacee, g.premiere, g.nombre))
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
    b_.constats.push_back({g.premiere, Genres[size_t(Genre::CleDeplacee)].grave,
                           quoi + place(g.l) + " : " + pourquoi + "."});
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
    decompte_.noter(Genre::TermeEnDouble, numero, b_.constats, [&] {
        return ligne(numero) + "le terme « " + cite(terme.toStdString()) + " » de " + cite(nom) +
               " est déjà celui de " + cite(avant->second.nom) + " (ligne " +
               std::to_string(avant->second.ligne) + ") : " + Doublon +
               (luParMarche ? "." : " une fois cette entrée lue.");
    });
}

// The section's lines that hold no key of the catalogue.
void Examen::voirAutreLigne(const LigneFichier& l)
{
    if (l.ligne.genre == ini::Ligne::Genre::SansEgal)
        decompte_.noter(Genre::SansEgal, l.numero, b_.constats, [&] {
            return ligne(l.numero) + extrait(l.ligne.texte) +
                   " n'a pas la forme CLÉ=valeur : Listora ne lit pas cette ligne.";
        });
    if (l.ligne.genre != ini::Ligne::Genre::Cle || l.catalogueCle >= 0)
        return;
    // A key of another form (misspelt, or with an invisible character
    // before it) holds an entry the program never reads; without a value
    // it holds nothing.
    const bool perdue = !l.ligne.valeur.empty();
    decompte_.noter(perdue ? Genre::CleEtrangere : Genre::CleEtrangereVide, l.numero, b_.constats,
                    [&] {
                        return ligne(l.numero) + "la clé " + cite(l.ligne.nom) +
                               " n'est pas de la forme " + nomCle(c_, 1) + ", " + nomCle(c_, 2) +
                               (perdue ? "… : Listora ne lit jamais cette entrée."
                                       : "… : Listora ne la lit pas.");
                    });
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
    decompte_.conclure(b_.constats);
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

} // namespace verificateur
