#include "search/search.h"

#include "catalogue/data_file.h"
#include "catalogue/key_walk.h"
#include "catalogue/value_cut.h"

namespace search
{
namespace
{

// `texte` case-folded into `plie` one character at a time, as QString's
// case-insensitive comparisons fold it: a search folds the string once and
// each value into one reused buffer, then compares exactly, where
// QString::contains would fold both at every position it tries. Most
// characters are ASCII, which needs no table.
void plier(QStringView texte, QString& plie)
{
    plie.resize(texte.size());
    QChar* sortie = plie.data();
    for (qsizetype i = 0; i < texte.size(); ++i) {
        const char16_t c = texte[i].unicode();
        if (c < 0x80) {
            sortie[i] = QChar(c >= 'A' && c <= 'Z' ? char16_t(c + ('a' - 'A')) : c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < texte.size() &&
                   texte[i + 1].isLowSurrogate()) {
            // A character beyond the first 65,536 folds as a whole.
            const char32_t point =
                QChar::toCaseFolded(QChar::surrogateToUcs4(c, texte[i + 1].unicode()));
            sortie[i] = QChar(QChar::highSurrogate(point));
            sortie[++i] = QChar(QChar::lowSurrogate(point));
        } else {
            sortie[i] = QChar(static_cast<char16_t>(QChar::toCaseFolded(char32_t(c))));
        }
    }
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
