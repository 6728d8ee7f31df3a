#include "catalogue/value_cut.h"

#include <algorithm>

namespace catalogue
{

int32_t positionVirgule(std::u16string_view valeur, int32_t debut)
{
    const size_t depart = static_cast<size_t>(std::max<int32_t>(debut, 1) - 1);
    if (depart >= valeur.size())
        return 0;
    const size_t trouve = valeur.find(u',', depart);
    return trouve == std::u16string_view::npos ? 0 : static_cast<int32_t>(trouve + 1);
}

int32_t positionVirguleNumero(std::u16string_view valeur, int rang)
{
    if (rang < 1)
        return 0;
    int32_t position = 0;
    for (int i = 0; i < rang; ++i) {
        position = positionVirgule(valeur, position + 1);
        if (position == 0)
            return 0;
    }
    return position;
}

bool aAssezDeVirgules(std::u16string_view valeur, int virgules)
{
    return virgules <= 0 || positionVirguleNumero(valeur, virgules) != 0;
}

std::u16string_view entreVirgules(std::u16string_view valeur, int32_t depuis, int32_t jusqua)
{
    const size_t debut = std::min(static_cast<size_t>(std::max(depuis, 0)), valeur.size());
    const size_t fin =
        jusqua <= 0 ? valeur.size() : std::min(static_cast<size_t>(jusqua - 1), valeur.size());
    return fin <= debut ? std::u16string_view{} : valeur.substr(debut, fin - debut);
}

std::u16string_view terme(std::u16string_view valeur)
{
    return entreVirgules(valeur, 0, positionVirgule(valeur));
}

std::u16string_view sens(std::u16string_view valeur)
{
    const int32_t virgule = positionVirgule(valeur);
    return virgule == 0 ? std::u16string_view{} : entreVirgules(valeur, virgule, 0);
}

ChampsIpPort champsIpPort(std::u16string_view valeur)
{
    ChampsIpPort resultat;
    int32_t position = positionVirgule(valeur);
    for (std::u16string_view& champ : resultat.champs) {
        if (position == 0)
            return resultat; // fewer commas: this field and the next stay empty
        const int32_t suivante = positionVirgule(valeur, position + 1);
        champ = entreVirgules(valeur, position, suivante);
        position = suivante;
    }
    if (position != 0)
        resultat.reste = entreVirgules(valeur, position, 0);
    return resultat;
}

} // namespace catalogue
