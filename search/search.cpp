#include "search/search.h"

#include "catalogue/case_fold.h"
#include "catalogue/data_file.h"
#include "catalogue/key_walk.h"
#include "catalogue/value_cut.h"

namespace search
{
namespace
{

// `texte` case-folded into `plie`, as QString's case-insensitive comparisons
// fold it.
void plier(QStringView texte, QString& plie)
{
    plie.resize(texte.size());
    catalogue::plierCasse(std::u16string_view(texte.utf16(), size_t(texte.size())),
                          reinterpret_cast<char16_t*>(plie.data()),
                          [](char32_t c) { return QChar::toCaseFolded(c); });
}

} // namespace

catalogue::Termes termesTrouves(const catalogue::Catalogue& c, const QString& chaine,
                                Qt::CaseSensitivity casse)
{
    const bool sansCasse = casse == Qt::CaseInsensitive;
    QString cherche = chaine;
    QString plie; // the value folded, when the case is ignored
    if (sansCasse)
        plier(chaine, cherche);
    catalogue::Termes termes;
    catalogue::Passe passe(c, versionFichier(Chemin_Fichier()));
    while (passe.suivante()) {
        if (sansCasse)
            plier(passe.valeur(), plie);
        if ((sansCasse ? QStringView(plie) : passe.valeur()).contains(cherche))
            termes.ajouter(catalogue::terme(passe.vue()));
    }
    return termes;
}

} // namespace search
