// The walk over a catalogue's keys, shared by loading, entry display and
// search: keys are read from number 1 upward until the first one that is
// missing or empty.
//
//     debutPasse();
//     while (cleSuivante(catalogue::Acronymes)) {
//         ... CONSTANT::Tampon holds the value, CONSTANT::Longueur its length
//     }
//
// A pass reads one version of the data file: the file is checked at the
// pass's first key, and every later key is read from that same version, so
// no list ever mixes the file before and after an edit saved meanwhile; the
// next pass sees the edit. The walk works on the pass variables of module
// CONSTANT, which the callers read (and may change between two keys, except
// Num_Cle).
#pragma once

#include "catalogue/catalogues.h"

#include <cstdint>
#include <functional>

// Highest key number a pass reads: Num_Cle is a 16-bit signed counter.
inline constexpr int16_t CleMaximale = 32767;

// Sets up a pass: Num_Cle 0, Longueur 1; the next key read checks the file
// again.
void debutPasse();

// Reads the next key of catalogue `c`: raises Num_Cle, then reads
// "<prefix><Num_Cle>" from its section of the pass's version of the data
// file at Chemin_Fichier() into Tampon (cut to the value) and Longueur.
// Returns false when the key is missing or empty (Longueur 0), and, without
// reading, once Num_Cle has reached CleMaximale: a pass never wraps to a
// negative key.
bool cleSuivante(const catalogue::Catalogue& c);

// For tests: called after every key a pass reads, before the caller sees
// it, so that a test can change the file between two keys.
void observerPasse(std::function<void()> observateur);
