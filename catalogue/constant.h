// Module CONSTANT: the working state shared by the handlers of both windows.
//
// Three variables carry meaning from one handler to the next. The value
// buffer and key counter of a walk over keys belong to that walk
// (catalogue::Passe): nothing a previous handler left in them matters.
#pragma once

#include <cstdint>

namespace CONSTANT
{

// Catalogue on show: 0 none, 1 IP ports, 2 acronyms, 3 MIME types.
extern int16_t Liste_Active;
// Reload marker: catalogue number + 1 (2, 3, 4) of the list that holds search
// results or must be read again at the next press of its button; 0 for none.
extern int16_t Liste_A_Recharger;
// Duplicate check on (1) or off (0); exactly 1 when on.
extern int16_t Verif_Doublon;

} // namespace CONSTANT
