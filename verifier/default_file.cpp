// Apart from the command line, so that listora-cherche, which takes the same
// file, links none of the checker's code (nor Qt, which that code uses).
#include "platform/files.h"
#include "verifier/command_line.h"

namespace verificateur
{

// The file checked when none is named: the one in the current folder, as the
// program reads it, or else the one the listora command (the Start menu's
// shortcut on Windows) opens: the user's own copy, or the shipped one.
std::string fichierParDefaut()
{
    const std::string ici = "./LISTORA.DAT";
    if (plateforme::nomPris(ici))
        return ici;
    const std::string commande = plateforme::catalogueDeLaCommande();
    return commande.empty() ? ici : commande;
}

} // namespace verificateur
