// Access to the data file LISTORA.DAT for the handlers of both windows.
//
// Each handler takes the file as it is on disk now, once (versionFichier),
// and makes all its reads in that one version: an edit the user saved shows
// at the next handler. The file is never written. Use from the
// user-interface thread only.
#pragma once

#include "catalogue/ini_file.h"

#include <memory>
#include <string>
#include <string_view>

// The data file's path: the current directory, "/" and "LISTORA.DAT". The
// current directory is named "." so that every read resolves it anew.
std::string Chemin_Fichier();

// The data file as it is on disk now, checked and parsed when it changed;
// nullptr when it reads as absent.
std::shared_ptr<const ini::Document> versionFichier(const std::string& chemin);

// The section read: whether `section` is in `version` and holds an entry (a
// line that is neither blank nor a comment); false when `version` is nullptr.
bool Lire_Section(const ini::Document* version, std::string_view section);
