// What concerns the file rather than one catalogue: the lines outside
// every catalogue, the headers repeated, the lines whose encoding was
// guessed, and a file in UTF-16 that the program does not read.
#pragma once

#include "verifier/inventory.h"
#include "verifier/wording.h"

namespace verificateur
{

class Autres
{
public:
    explicit Autres(const Inventaire& inv) : inv_(inv) {}

    void voir(const LigneFichier& l);
    std::vector<Constat> conclure();

private:
    void signalerEnteteRepete(const LigneFichier& l);
    void suivreEncodage(const LigneFichier& l);
    void signalerEncodage();

    const Inventaire& inv_;
    std::vector<Constat> constats_;
    Decompte decompte_;
    bool utf8Ailleurs_ = false; // a line that is UTF-8 and not ASCII
};

// A file in UTF-16 that the program does not decode: UTF-16BE, with or
// without its mark, and UTF-16LE without its mark (with it, the program
// reads it). Told by the mark, or by NUL bytes at every other place, which
// no text file of another encoding holds.
enum class Utf16 { Non, GrosBoutiste, PetitBoutisteSansMarque };

Utf16 utf16Illisible(std::string_view octets);

// The one finding on a UTF-16 file: its lines, read byte by byte, would
// be quoted full of NULs and say nothing.
std::string phraseUtf16(Utf16 genre);

} // namespace verificateur
