#include "catalogue/data_file.h"

namespace
{

// The one file cache of the program: every read of every window passes here.
ini::CacheFichier& cache()
{
    static ini::CacheFichier instance;
    return instance;
}

} // namespace

std::string Chemin_Fichier()
{
    // The current directory is named "." and the kernel resolves it at every
    // read: the path always designates the LISTORA.DAT of the directory the
    // program runs in, also after that directory was renamed, and a read
    // costs no getcwd() call.
    return "./LISTORA.DAT";
}

std::shared_ptr<const ini::Document> versionFichier(const std::string& chemin)
{
    return cache().document(chemin);
}

bool Lire_Section(const ini::Document* version, std::string_view section)
{
    return version && version->aDesEntrees(section);
}
