// The number in a key's name, as a walk forms it: the catalogue's prefix
// (ASCII case aside), then 1 to CleMaximale in decimal digits, without a
// sign or a leading 0. One grammar for the document's index, which finds
// the keys a walk reads, and for the checker, which says why a key is not
// one of them.
#pragma once

#include "catalogue/ini_document.h"

#include <cstdint>
#include <string_view>

namespace catalogue
{

// Highest key number a pass reads: the key counter is a 16-bit signed number.
inline constexpr int16_t CleMaximale = 32767;

// How the name after a catalogue's prefix reads as a key number.
enum class Numero {
    Valide,     // 1 to CleMaximale, written as a walk forms it
    Zero,       // 0, 00...: a walk starts at 1
    ZeroDevant, // 007: a walk never writes a leading zero
    TropGrand,  // above CleMaximale: a walk stops before
    Aucun,      // not the prefix, then ASCII digits only
};

struct NumeroLu {
    Numero etat = Numero::Aucun;
    int valeur = 0; // when Valide; 0 otherwise
};

// The number of key `nom` among those whose names start with `prefixe`.
inline NumeroLu numeroDeCle(std::string_view nom, std::string_view prefixe)
{
    if (nom.size() <= prefixe.size() ||
        !(ini::Nom{nom.substr(0, prefixe.size())} == ini::Nom{prefixe}))
        return {};
    // One pass over the digits: every key of every walk comes through here.
    const std::string_view chiffres = nom.substr(prefixe.size());
    int n = 0;
    bool tropGrand = false;
    for (const char c : chiffres) {
        if (c < '0' || c > '9')
            return {};
        if (!tropGrand && (n = 10 * n + (c - '0')) > CleMaximale)
            tropGrand = true;
    }
    if (n == 0)
        return {Numero::Zero};
    if (chiffres.front() == '0')
        return {Numero::ZeroDevant};
    if (tropGrand)
        return {Numero::TropGrand};
    return {Numero::Valide, n};
}

} // namespace catalogue
