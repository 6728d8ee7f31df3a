#include "catalogue/key_walk.h"

#include "catalogue/constant.h"
#include "catalogue/data_file.h"

#include <charconv>
#include <cstring>
#include <memory>

namespace
{

// Capacity of the value buffer handed to every read: values are cut to 199
// characters.
constexpr int TailleTampon = 200;

// What the current pass reads: a version of the data file, none before its
// first key, and the catalogue's section in it, found once for all keys.
struct Passe {
    bool ouverte = false;
    std::shared_ptr<const ini::Document> version;
    const ini::Section* section = nullptr;
    size_t suite = 0; // see ini::Section::valeurSuivante
};
Passe passe;

std::function<void()>& observateur()
{
    static std::function<void()> f;
    return f;
}

} // namespace

void debutPasse()
{
    CONSTANT::Num_Cle = 0;
    CONSTANT::Longueur = 1;
    passe = {};
}

bool cleSuivante(const catalogue::Catalogue& c)
{
    if (CONSTANT::Num_Cle >= CleMaximale || CONSTANT::Num_Cle < 0) {
        CONSTANT::Longueur = 0;
        CONSTANT::Tampon.clear();
        return false;
    }
    if (!passe.ouverte) {
        passe.version = versionFichier(Chemin_Fichier());
        passe.section = passe.version ? passe.version->section(c.section) : nullptr;
        passe.ouverte = true;
    }
    ++CONSTANT::Num_Cle;
    // The key name on the stack: a walk forms one for each of up to 32,767
    // keys.
    char nom[32];
    const size_t prefixe = std::min(std::strlen(c.prefixe), sizeof nom - 8);
    std::memcpy(nom, c.prefixe, prefixe);
    const auto fin = std::to_chars(nom + prefixe, nom + sizeof nom, CONSTANT::Num_Cle).ptr;
    const std::string_view cle(nom, static_cast<size_t>(fin - nom));
    CONSTANT::Longueur =
        copierValeur(passe.section ? passe.section->valeurSuivante(passe.suite, cle) : std::nullopt,
                     QString(), CONSTANT::Tampon, TailleTampon);
    if (observateur())
        observateur()();
    if (CONSTANT::Longueur > 0)
        return true;
    // The pass is over: its version is not kept past it, and a read past the
    // end finds nothing.
    passe.version.reset();
    passe.section = nullptr;
    return false;
}

void observerPasse(std::function<void()> f)
{
    observateur() = std::move(f);
}
