#include "search/search.h"

#include "catalogue/constant.h"
#include "catalogue/data_file.h"
#include "catalogue/key_walk.h"
#include "catalogue/value_cut.h"

namespace search
{

QStringList termesTrouves(const catalogue::Catalogue& c, const QString& chaine,
                          Qt::CaseSensitivity casse)
{
    QStringList termes;
    debutPasse();
    while (cleSuivante(c))
        if (CONSTANT::Tampon.contains(chaine, casse))
            termes.append(enTexte(catalogue::terme(vue(CONSTANT::Tampon))));
    return termes;
}

} // namespace search
