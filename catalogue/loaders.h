// Loading a catalogue into its list: the three catalogue buttons of the main
// window run one algorithm, with the parameters of catalogues.h.
//
// The loaders themselves are handlers of the main window (Listora::
// CMD_IpPort_Click, CMD_Acronyme_Click, CMD_MIMEType_Click, defined in
// loaders.cpp). This header holds what other code needs to know of them: which
// lists hold search results and so must be read again in full.
#pragma once

#include <cstdint>

// A list that holds search results is read again in full at the next press of
// its own button, whatever was searched or reset since. The reload marker
// Liste_A_Recharger names one catalogue only, so a search in one catalogue and
// then in another would otherwise leave the first list's hits on show as if
// they were the whole catalogue.
//
// `numero` is a catalogue number (1 IP ports, 2 acronyms, 3 MIME types); any
// other value is ignored.

// Called by the search after it filled the list of catalogue `numero` with hits.
void Marquer_Liste_Filtree(int16_t numero);
// True when the list of catalogue `numero` holds search results.
bool Liste_Filtree(int16_t numero);
// The list of catalogue `numero` no longer holds search results (it was cleared).
void Oublier_Liste_Filtree(int16_t numero);
