// The walk over a catalogue's keys, shared by loading, entry display and
// search: keys are read from number 1 upward until the first one that is
// missing or empty.
//
//     Debut_Passe();
//     while (Cle_Suivante(catalogue::Acronymes)) {
//         ... CONSTANT::Tampon holds the value, CONSTANT::Longueur its length
//     }
//
// The walk works on the pass variables of module CONSTANT, which the callers
// read (and may change between two keys, except Num_Cle).
#pragma once

#include "catalogue/catalogues.h"

#include <cstdint>

// Highest key number a pass reads: Num_Cle is a 16-bit signed counter.
inline constexpr int16_t Cle_Maximale = 32767;

// Sets up a pass: Num_Cle 0, Longueur 1, Position 0, Debut 1.
void Debut_Passe();

// Reads the next key of catalogue `c`: raises Num_Cle, then reads
// "<prefix><Num_Cle>" from its section of the data file at Chemin_Fichier()
// into Tampon (cut to the value) and Longueur. Returns false when the key is
// missing or empty (Longueur 0), and, without reading, once Num_Cle has
// reached Cle_Maximale: a pass never wraps to a negative key.
bool Cle_Suivante(const catalogue::Catalogue& c);
