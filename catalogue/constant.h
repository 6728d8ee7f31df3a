// Module CONSTANT: the working state shared by the handlers of both windows.
//
// Three variables carry meaning from one handler to the next (Liste_Active,
// Liste_A_Recharger, Verif_Doublon). The others are the pass variables of the
// key walk: every pass sets them up again before use, so nothing a previous
// handler left in them matters. Working variables that nothing read were
// dropped; CONTRIBUTING.md lists them.
#pragma once

#include <QString>
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

// Pass variables.
extern QString Tampon;   // the value read, cut to Longueur characters
extern int16_t Num_Cle;  // number of the key being read, from 1
extern int16_t Longueur; // characters returned by the last read; 0 = nothing

} // namespace CONSTANT
