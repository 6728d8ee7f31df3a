// The check of one catalogue: what a press of its button loads, made by
// the program's own loader and walk, and the findings on each of its lines.
#pragma once

#include "verifier/inventory.h"
#include "verifier/wording.h"

#include <QHash>
#include <QString>

#include <memory>
#include <unordered_map>

namespace verificateur
{

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

// The header's line and each key's first line, for the three catalogues.
std::array<Releve, 3> relever(const Inventaire& inv);

// Where a press of the catalogue's button ends.
struct Marche {
    int chargees = 0;     // entries the press loads
    int fin = 0;          // the key missing or empty that ends the walk; 0 when it reached the last
    int lues = 0;         // keys read before it
    int arretSyntaxe = 0; // key on which the program ends with " Erreur de Syntaxe"; 0 none
    int arretDoublon = 0; // the same for "Doublon"
};

// What becomes of a catalogue's key line.
enum class Sort {
    Lue,          // the walk reads it
    Fin,          // the key, empty, that ends the walk
    ApresLaFin,   // its number comes after the key that ends the walk
    CleRepetee,   // a second line of the same key: the first wins
    MalNumerotee, // a number the walk never forms
    Deplacee,     // outside its catalogue's section
};

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
           const std::shared_ptr<const ini::Document>& document);

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

    const catalogue::Catalogue& c_;
    const int ci_;
    const Releve& releve_;
    const Marche marche_;
    BilanCatalogue b_;
    Decompte decompte_;
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
    // Qt's string hash, with its seed drawn at each run: names in a file
    // cannot be chosen to collide.
    struct Hachage {
        size_t operator()(const QString& s) const noexcept
        {
            return qHash(s, QHashSeed::globalSeed());
        }
    };
    // Not a QHash: Qt 6.4's insertion is noexcept, so running out of memory
    // there would abort instead of ending in a message.
    std::unordered_map<QString, Vu, Hachage> dejaVus_;
};

} // namespace verificateur
