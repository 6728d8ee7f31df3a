// Showing the entry selected in a list. The lists hold only terms, so a
// selection reads the catalogue again from key 1 until the value whose term is
// the selected text, then shows the rest of that value: the meaning of an
// acronym or a MIME type, or the four fields and the description of an IP
// port. The first match wins, so of two entries with one term the one with
// the lower key is always shown.
#include "app/listora.h"
#include "catalogue/catalogues.h"
#include "catalogue/constant.h"
#include "catalogue/data_file.h"
#include "catalogue/key_walk.h"
#include "catalogue/loaders.h"
#include "catalogue/value_cut.h"

namespace
{

enum class Forme { Sens, IpPort };

struct Affichage {
    const catalogue::Catalogue& catalogue;
    ui::ListBox Listora::*liste;
    Forme forme;
};

const Affichage AffichageIpPorts{catalogue::IpPorts, &Listora::LST_Liste, Forme::IpPort};
const Affichage AffichageAcronymes{catalogue::Acronymes, &Listora::LST_Liste1, Forme::Sens};
const Affichage AffichageMimeTypes{catalogue::MimeTypes, &Listora::LSt_Liste2, Forme::Sens};

// Walks the catalogue from key 1 until the value whose term is `choisi`,
// letter case and blanks included. True with the value in Tampon and its
// first comma in Position; false when no key holds it (the file changed since
// the list was filled). A value without a comma is all term.
bool trouverLaValeur(const catalogue::Catalogue& c, const QString& choisi)
{
    const std::u16string_view cherche = Vue(choisi);
    Debut_Passe();
    while (Cle_Suivante(c)) {
        const std::u16string_view valeur = Vue(CONSTANT::Tampon);
        CONSTANT::Position = catalogue::positionVirgule(valeur, CONSTANT::Debut);
        if (catalogue::terme(valeur) == cherche)
            return true;
    }
    return false;
}

// Fields 2 to 5 go to the controls named the other way round from the frames
// they lie in: LBL_Source and TXT_Source stand under "Destination".
void montrerIpPort(Listora& f)
{
    const catalogue::ChampsIpPort ip = catalogue::champsIpPort(Vue(CONSTANT::Tampon));
    f.LBL_Source.setCaption(EnTexte(ip.champs[0]));
    f.TXT_Source.setText(EnTexte(ip.champs[1]));
    f.LBL_Destination.setCaption(EnTexte(ip.champs[2]));
    f.TXT_Destination.setText(EnTexte(ip.champs[3]));
    CONSTANT::Champ = EnTexte(ip.reste);
    f.TXT_Acronyme.setText(CONSTANT::Champ);
}

void montrerSens(Listora& f)
{
    CONSTANT::Champ = EnTexte(catalogue::sens(Vue(CONSTANT::Tampon)));
    f.TXT_Acronyme.setText(CONSTANT::Champ);
}

void afficher(Listora& f, const Affichage& a)
{
    const ui::ListBox& liste = f.*a.liste;
    const int index = liste.ListIndex();
    if (index < 0)
        return;
    const QString choisi = liste.List(index);

    f.TXT_Acronyme.setVisible(true);
    f.TXT_Acronyme.setText(QString());
    const ui::Sablier sablier(f.Me);
    if (!trouverLaValeur(a.catalogue, choisi))
        return;
    if (a.forme == Forme::IpPort)
        montrerIpPort(f);
    else
        montrerSens(f);
}

} // namespace

void Listora::LST_Liste_Click()
{
    afficher(*this, AffichageIpPorts);
}

void Listora::LST_Liste1_Click()
{
    afficher(*this, AffichageAcronymes);
}

void Listora::LSt_Liste2_Click()
{
    afficher(*this, AffichageMimeTypes);
}
