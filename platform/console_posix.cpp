#include "platform/console.h"

namespace plateforme
{

std::vector<std::string> argumentsDuProgramme(int argc, char** argv)
{
    return std::vector<std::string>(argv + 1, argv + argc);
}

bool ecrireFlux(std::FILE* flux, const std::string& texte)
{
    const bool ecrit = std::fwrite(texte.data(), 1, texte.size(), flux) == texte.size();
    return std::fflush(flux) == 0 && ecrit && !std::ferror(flux);
}

} // namespace plateforme
