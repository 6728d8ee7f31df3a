// The search over the catalogue on show: every entry is read again from the
// data file, and the terms of those whose value holds the search string
// replace the catalogue's list in the main window.
#include "app/listora.h"
#include "catalogue/catalogues.h"
#include "catalogue/constant.h"
#include "catalogue/data_file.h"
#include "catalogue/key_walk.h"
#include "catalogue/loaders.h"
#include "catalogue/value_cut.h"
#include "search/recherche.h"

#include <array>

namespace
{

// What a search changes in the main window for one catalogue: its list, and
// the detail fields emptied first, captions before texts, in this order.
struct ListeFiltree {
    const catalogue::Catalogue* catalogue;
    ui::ListBox Listora::*liste;
    std::array<ui::Label Listora::*, 2> legendes;
    std::array<ui::TextField Listora::*, 2> textes;
};

const std::array<ListeFiltree, 3> ListesFiltrees{{
    {&catalogue::IpPorts,
     &Listora::LST_Liste,
     {&Listora::LBL_Source, &Listora::LBL_Destination},
     {&Listora::TXT_Source, &Listora::TXT_Destination}},
    {&catalogue::Acronymes, &Listora::LST_Liste1, {}, {&Listora::TXT_Acronyme}},
    {&catalogue::MimeTypes, &Listora::LSt_Liste2, {}, {&Listora::TXT_Acronyme}},
}};

const ListeFiltree* listeFiltree(int numero)
{
    for (const ListeFiltree& l : ListesFiltrees)
        if (l.catalogue->numero == numero)
            return &l;
    return nullptr;
}

void viderDetails(Listora& principale, const ListeFiltree& l)
{
    for (ui::Label Listora::*legende : l.legendes)
        if (legende)
            (principale.*legende).setCaption(QString());
    for (ui::TextField Listora::*texte : l.textes)
        if (texte)
            (principale.*texte).setText(QString());
}

// One pass over the catalogue's keys from number 1: the term of every value
// that holds `chaine`, in key order, repeats included. The whole value is
// searched, so a hit in the meaning alone counts; a value without a comma is
// all term.
QStringList termesTrouves(const catalogue::Catalogue& c, const QString& chaine,
                          Qt::CaseSensitivity casse)
{
    QStringList termes;
    Debut_Passe();
    while (Cle_Suivante(c))
        if (CONSTANT::Tampon.contains(chaine, casse))
            termes.append(EnTexte(catalogue::terme(Vue(CONSTANT::Tampon))));
    return termes;
}

} // namespace

void Recherche::CMD_Recherche_Click()
{
    // Without a catalogue on show there is no list, section or caption to
    // work on (the main window's button is disabled then anyway).
    const ListeFiltree* cible = listeFiltree(CONSTANT::Liste_Active);
    if (!cible)
        return;
    const catalogue::Catalogue& c = *cible->catalogue;

    CONSTANT::Liste_A_Recharger = static_cast<int16_t>(CONSTANT::Liste_Active + 1);
    Me.setMousePointer(ui::PointeurSablier);
    ui::ListBox& liste = principale_.*(cible->liste);
    liste.Clear();
    viderDetails(principale_, *cible);

    // The string and the mode are taken once: nothing else runs during the
    // pass, so they could not differ from one key to the next. Checked means
    // capitals and small letters are equal, accented ones too; accents still
    // count.
    const Qt::CaseSensitivity casse =
        CHK_Recherche.Value() == 1 ? Qt::CaseInsensitive : Qt::CaseSensitive;
    // All hits go in at once: one sorted insertion each would cost far more
    // on a long list.
    liste.AddItems(termesTrouves(c, TXT_recherche.Text(), casse));
    // The list now holds hits; its own button must read it in full next time,
    // whatever is searched in the meantime.
    Marquer_Liste_Filtree(c.numero);

    principale_.FRM_Type.setCaption(QString::fromUtf8(c.motRecherche) + QStringLiteral(" (") +
                                    QString::number(liste.ListCount()) +
                                    QString::fromUtf8(c.queueRecherche));
    CMD_Abandon.setCaption(QStringLiteral("&OK"));
    Me.setMousePointer(ui::PointeurDefaut);
}
