#include "search/search.h"

#include "catalogue/constant.h"
#include "catalogue/data_file.h"
#include "catalogue/key_walk.h"
#include "catalogue/value_cut.h"

namespace search
{

catalogue::Termes termesTrouves(const catalogue::Catalogue& c, const QString& chaine,
                                Qt::CaseSensitivity casse)
{
    catalogue::Termes termes;
    debutPasse();
    while (cleSuivante(c))
        if (CONSTANT::Tampon.contains(chaine, casse))
            termes.ajouter(catalogue::terme(vue(CONSTANT::Tampon)));
    return termes;
}

} // namespace search
