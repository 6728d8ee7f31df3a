// Checking the data file: what the program will load from each catalogue,
// where it will stop and why, in short French sentences for the person who
// edits the file. Every line is parsed and every value cut by the program's
// own functions, so the check and the program never disagree about what the
// file holds. Safe on any bytes: what it quotes is shown visibly
// (visible.h), its memory is the parsed text and a record per key number,
// and it writes out five findings of a kind, then how many more.
#pragma once

#include "catalogue/byte_buffer.h"
#include "catalogue/catalogues.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace verificateur
{

// The exit status of listora-verifier.
enum class Statut {
    Complet = 0,   // every entry loads and nothing ends the program
    Pertes = 1,    // an entry is lost, ends the program, or "Erreur Fichier" shows
    Illisible = 2, // the file cannot be read (or, renumbering, written)
};

// One finding: a French sentence, opening with its line number when it has one.
struct Constat {
    int ligne = 0;      // first line it is about; 0 for the catalogue as a whole
    bool grave = false; // leads to Statut::Pertes; a mere remark otherwise
    std::string texte;
};

struct BilanCatalogue {
    const catalogue::Catalogue* catalogue = nullptr;
    std::string resume;         // one sentence: what a press of its button will load
    int chargees = 0;           // entries loaded before the walk or the program stops
    int tenues = 0;             // the catalogue's non-empty keys anywhere in the file
    int arretSyntaxe = 0;       // key on which the program ends with " Erreur de Syntaxe"; 0 none
    int arretDoublon = 0;       // the same for "Doublon", with "Vérifier les doublons" ticked
    bool erreurFichier = false; // a press brings "Erreur Fichier": no section, or no entry in it
    bool grave = false;
    std::vector<Constat> constats; // in line order
};

struct Rapport {
    std::array<BilanCatalogue, 3> catalogues; // in the order of catalogue::Tous
    std::vector<Constat> autres;              // lines outside any catalogue, the encoding
    bool renumeroterAide = false;             // --renumeroter would bring entries back
    Statut statut = Statut::Complet;
};

// Checks a data file's bytes as the program reads them.
Rapport verifier(ini::Octets octets);

// The report as the tool prints it, for the file named `nom`.
// `sortie` is the new file the suggested renumbering command writes: one
// that does not exist yet, beside the file checked.
std::string enTexte(const Rapport& rapport, std::string_view nom,
                    std::string_view sortie = "NOUVEAU.DAT");

} // namespace verificateur
