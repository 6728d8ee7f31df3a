// Where Listora starts, and the user's copy of the shipped catalogue that its
// first start makes: one rule for the program and for the tools that take
// its file by default (listora-verifier, listora-cherche), on every system.
//
// The program reads LISTORA.DAT in the folder it starts in. Started where
// there is one (other than the shipped catalogue's own folder), it stays
// there. Otherwise it goes to the user's own folder, where the first start
// copies the shipped catalogue; the copy is the user's from then on and is
// never replaced. When that folder cannot be had, it starts on the shipped
// catalogue, which it only reads.
#pragma once

#include "platform/files.h"

#include <string>

namespace plateforme
{

// Where a start happens: the folder it is started in, the shipped
// catalogue's path (empty or absent: none is installed, as in a build
// folder) and the environment.
struct Lieux {
    std::string ici;
    std::string fourni;
    Environnement environnement;
};

// This process's: started in ".", the catalogue of its installation (see
// dossierFourni()) and its own environment.
Lieux lieuxDuProcessus();

// The user's own folder, as the start chooses it: dossierDeLUtilisateur(),
// unless it is the shipped catalogue's folder itself (XDG_DATA_HOME naming
// the installation's share folder, or a link to it), which would pass the
// shipped file off as the user's: then the folder under HOME is tried, and
// then none (empty).
std::string dossierPersonnel(const Lieux& lieux);

struct Depart {
    std::string dossier; // the folder to start in: the data file is LISTORA.DAT there
    bool copie = false;  // the shipped catalogue was copied there just now
    // What to tell the user (without "listora : " and the line end), or
    // empty; `avertissement`: it is a warning, the shipped catalogue is
    // opened instead of the user's.
    std::string message;
    bool avertissement = false;
    std::string repli; // the shipped catalogue's folder, should `dossier` be refused
};

// Chooses the folder to start in and, on the first start, makes the user's
// folder and copies the shipped catalogue into it. The copy appears whole
// or not at all, and never replaces a file or a link of that name, even a
// dangling one.
Depart preparerLeDepart(const Lieux& lieux);

// The file a start with `lieux` reads, without making anything: the one of
// the folder it is started in, else the user's copy, else (before the first
// start) the shipped catalogue it will be made from, else the one of the
// folder it is started in.
std::string fichierDuDepart(const Lieux& lieux);

// fichierDuDepart(lieuxDuProcessus()): the file listora-verifier and
// listora-cherche take when none is named.
std::string fichierParDefaut();

// The warning of a start that had to fall back on the shipped catalogue,
// for `dossier`, the user's folder that could not be prepared.
std::string avertissementSansCopie(const std::string& dossier);

} // namespace plateforme
