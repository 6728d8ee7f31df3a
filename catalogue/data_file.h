// Access to the data file LISTORA.DAT for the handlers of both windows.
//
// Every read goes to the file again (an edit the user saves while the program
// runs is seen by the next read); the parsed file is kept in between and only
// parsed again when it changed on disk, so a read costs a stat() and a hash
// lookup; the reads of a walk after its first, a look at the file's change
// notifications instead of the stat() (ini_file.h). The file is never
// written. Use from the user-interface thread only.
#pragma once

#include "catalogue/ini_file.h"

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

// The data file's path: the current directory, "/" and "LISTORA.DAT". The
// current directory is named "." so that every read resolves it anew.
std::string Chemin_Fichier();

// The section read: 0 when the file at `chemin` or its `section` is absent,
// or when the section holds no entry; more than 0 otherwise. `Tampon`
// receives the section's entries, each followed by a NUL, cut to the result
// (callers use only the result). `taille` is the buffer's capacity (200).
int16_t Lire_Section(const char* section, QString& Tampon, int taille, const std::string& chemin);

// The value read: `Tampon` receives the value of `cle` in `section`, or
// `defaut` when the file, the section or the key is absent, cut to at most
// `taille` - 1 characters (199 for 200); returns its length, so 0 for an
// empty value or an absent key with an empty default.
int16_t Lire_Cle(const char* section, const QString& cle, const QString& defaut, QString& Tampon,
                 int taille, const std::string& chemin);

// The same read with the key and default as UTF-16 views, for callers that
// form key names without building a QString each time; the key walk tells
// which of its reads follow the first.
int16_t Lire_Cle(const char* section, std::u16string_view cle, std::u16string_view defaut,
                 QString& Tampon, int taille, const std::string& chemin,
                 ini::Controle controle = ini::Controle::Complet);

// A view of a QString's characters, for the cutting functions of value_cut.h;
// valid while the string is not changed.
inline std::u16string_view Vue(const QString& texte)
{
    return {reinterpret_cast<const char16_t*>(texte.utf16()), static_cast<size_t>(texte.size())};
}

// A piece cut by value_cut.h, as a QString.
inline QString EnTexte(std::u16string_view piece)
{
    return QString(reinterpret_cast<const QChar*>(piece.data()),
                   static_cast<qsizetype>(piece.size()));
}
