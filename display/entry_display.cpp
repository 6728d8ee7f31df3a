#include "display/entry_display.h"

#include "catalogue/data_file.h"
#include "catalogue/key_walk.h"
#include "catalogue/value_cut.h"

namespace display
{

std::optional<Entree> trouverEntree(const catalogue::Catalogue& c, const QString& terme)
{
    const std::u16string_view cherche = catalogue::vue(terme);
    catalogue::Passe passe(c, versionFichier(Chemin_Fichier()));
    while (passe.suivante()) {
        const std::u16string_view valeur = passe.vue();
        if (catalogue::terme(valeur) != cherche)
            continue;
        Entree entree;
        if (c.virgules < 5) {
            entree.description = catalogue::enTexte(catalogue::sens(valeur));
            return entree;
        }
        const catalogue::ChampsIpPort ip = catalogue::champsIpPort(valeur);
        for (size_t i = 0; i < ip.champs.size(); ++i)
            entree.champs[i] = catalogue::enTexte(ip.champs[i]);
        entree.description = catalogue::enTexte(ip.reste);
        return entree;
    }
    return std::nullopt;
}

} // namespace display
