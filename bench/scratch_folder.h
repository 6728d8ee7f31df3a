// The scratch folder of a benchmark program: made once under the system's
// temporary folder, removed by the program at its end.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include <stdlib.h>

namespace bench
{

inline std::filesystem::path dossierDeTravail()
{
    static const std::filesystem::path dossier = [] {
        std::string modele =
            (std::filesystem::temp_directory_path() / "listora-bench-XXXXXX").string();
        if (::mkdtemp(modele.data()) == nullptr)
            std::abort();
        return std::filesystem::path(modele);
    }();
    return dossier;
}

} // namespace bench
