// Access to the data file LISTORA.DAT for the handlers of both windows.
//
// A read outside a walk over keys (the section read) checks the file on disk
// first (ini_file.h), so an edit the user saved is seen. The walk (key_walk.h) checks it once, at
// its first key, and reads every later key from that same version. The file
// is never written. Use from the user-interface thread only.
#pragma once

#include "catalogue/ini_file.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// The data file's path: the current directory, "/" and "LISTORA.DAT". The
// current directory is named "." so that every read resolves it anew.
std::string Chemin_Fichier();

// The section read: 0 when the file at `chemin` or its `section` is absent,
// or when the section holds no entry; more than 0 otherwise. `Tampon`
// receives the section's entries, each followed by a NUL, cut to `taille` - 2
// characters (callers use only the result).
int16_t Lire_Section(const char* section, QString& Tampon, int taille, const std::string& chemin);

// The data file as it is on disk now, checked and parsed when it changed;
// nullptr when it reads as absent.
std::shared_ptr<const ini::Document> versionFichier(const std::string& chemin);

// The value read, on a version of the file that the caller holds (nullptr
// reads as a file without sections): `Tampon` receives the value of `cle` in
// `section`, or `defaut` when the section or the key is absent, cut to at most
// `taille` - 1 characters (199 for 200), never inside a surrogate pair;
// returns its length, so 0 for an empty value or an absent key with an empty
// default. The key walk makes every value read of the program, through
// copierValeur.
int16_t Lire_Cle(const ini::Document* version, std::string_view section, std::string_view cle,
                 const QString& defaut, QString& Tampon, int taille);
// What Lire_Cle does with a value found (or not) by the caller, for the key
// walk, which finds its values in a section of its own.
int16_t copierValeur(std::optional<std::string_view> valeur, const QString& defaut, QString& Tampon,
                     int taille);

// A view of a QString's characters, for the cutting functions of value_cut.h;
// valid while the string is not changed.
inline std::u16string_view vue(const QString& texte)
{
    return {reinterpret_cast<const char16_t*>(texte.utf16()), static_cast<size_t>(texte.size())};
}

// A piece cut by value_cut.h, as a QString.
inline QString enTexte(std::u16string_view piece)
{
    return QString(reinterpret_cast<const QChar*>(piece.data()),
                   static_cast<qsizetype>(piece.size()));
}
