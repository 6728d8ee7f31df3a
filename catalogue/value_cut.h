// Cutting a catalogue value at its commas.
//
// A value is a term, a comma, then the rest: the meaning of an acronym or a
// MIME type, or for an IP port four single fields and a description, each
// after a comma. Nothing is trimmed: a blank next to a comma belongs to the
// neighbouring piece. Positions count from 1, and 0 means "no comma".
//
// Every function accepts any value, including one with fewer commas than its
// form needs (the file may have been edited since the catalogue was loaded):
// missing pieces come out empty, never out of range.
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <string_view>

namespace catalogue
{

// Position of the first comma of `valeur` at or after position `debut`, or 0
// when there is none; a `debut` below 1 searches from the start.
int32_t positionVirgule(std::u16string_view valeur, int32_t debut = 1);

// Position of the `rang`-th comma (from 1), or 0 when the value has fewer.
int32_t positionVirguleNumero(std::u16string_view valeur, int rang);

// True when `valeur` holds at least `virgules` commas: the syntax check of
// the loaders (5 for an IP port, 1 otherwise).
bool aAssezDeVirgules(std::u16string_view valeur, int virgules);

// The text before the first comma; the whole value when it has no comma.
std::u16string_view terme(std::u16string_view valeur);

// The text after the first comma, further commas included; empty when the
// value has no comma.
std::u16string_view sens(std::u16string_view valeur);

// The text between two comma positions as positionVirgule gives them: from
// the character after `depuis` (0 for the start) to the one before `jusqua`
// (0 for the end).
std::u16string_view entreVirgules(std::u16string_view valeur, int32_t depuis, int32_t jusqua);

// An IP-port value cut into fields 2 to 5 (each between two commas) and the
// rest after the fifth comma, commas included.
struct ChampsIpPort {
    std::array<std::u16string_view, 4> champs; // fields 2, 3, 4 and 5
    std::u16string_view reste;                 // field 6
};
ChampsIpPort champsIpPort(std::u16string_view valeur);

// A view of a QString's characters, for the functions above; valid while the
// string is not changed.
inline std::u16string_view vue(const QString& texte)
{
    return {reinterpret_cast<const char16_t*>(texte.utf16()), static_cast<size_t>(texte.size())};
}

// A piece cut by the functions above, as a QString.
inline QString enTexte(std::u16string_view piece)
{
    return QString(reinterpret_cast<const QChar*>(piece.data()),
                   static_cast<qsizetype>(piece.size()));
}

} // namespace catalogue
