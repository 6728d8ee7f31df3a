// Why writing a terminal tool's output failed, in French, from errno: the
// two tools say so rather than exit as if their output had got through.
#pragma once

#include <string>

namespace terminal
{

// "le disque est plein", "la sortie standard est fermée"...
std::string raisonDeLEchec(int erreur);

} // namespace terminal
