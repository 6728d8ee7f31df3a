// The three catalogue buttons of the main window. A press puts its catalogue
// on show, fills the catalogue's list from the data file when the list is
// empty or must be read again, checks every value's commas and, when the user
// asked for it, duplicate terms, and writes the catalogue's name and count into
// the frame's caption.
#include "catalogue/loaders.h"

#include "app/listora.h"
#include "catalogue/catalogues.h"
#include "catalogue/constant.h"
#include "catalogue/data_file.h"
#include "catalogue/key_walk.h"
#include "catalogue/value_cut.h"
#include "ui/form.h"
#include "ui/msgbox.h"
#include "ui/toolkit.h"

#include <QSet>
#include <QStringList>

#include <algorithm>
#include <array>
#include <span>

namespace
{

// Which lists hold search results, by catalogue number.
std::array<bool, 4> listesFiltrees{};

bool numeroValide(int16_t numero)
{
    return numero >= 1 && numero <= 3;
}

// Capacity of the buffer handed to the section read.
constexpr int TailleTampon = 200;

const QString RetourChariot(QChar(13));

// One change of the control switch that a press makes before anything else,
// so that the button's catalogue is on show even when its file is missing.
struct Chargeur;
using Bascule = void (*)(Listora&, const Chargeur&);

// Everything that tells one loader from another.
struct Chargeur {
    const catalogue::Catalogue& catalogue;
    ui::ListBox Listora::*liste;
    std::span<const Bascule> bascule; // in this order
};

template <auto controle> void cacher(Listora& f, const Chargeur&)
{
    (f.*controle).setVisible(false);
}
template <auto controle> void montrer(Listora& f, const Chargeur&)
{
    (f.*controle).setVisible(true);
}
template <auto etiquette> void viderLegende(Listora& f, const Chargeur&)
{
    (f.*etiquette).setCaption(QString());
}
template <auto champ> void viderTexte(Listora& f, const Chargeur&)
{
    (f.*champ).setText(QString());
}
template <auto bouton> void activer(Listora& f, const Chargeur&)
{
    (f.*bouton).setEnabled(true);
}
void elargirLaListe(Listora& f, const Chargeur& ch)
{
    (f.*ch.liste).setWidth(ch.catalogue.largeurListe);
}

// The IP ports show their Source and Destination frames, emptied, and hide
// the description field until an entry is selected.
constexpr Bascule BasculeIpPorts[] = {
    cacher<&Listora::LBL_Apropos>,
    montrer<&Listora::FRM_Source>,
    montrer<&Listora::FRM_Destination>,
    viderLegende<&Listora::LBL_Source>,
    viderLegende<&Listora::LBL_Destination>,
    viderTexte<&Listora::TXT_Source>,
    viderTexte<&Listora::TXT_Destination>,
    cacher<&Listora::TXT_Acronyme>, // its text is left
    montrer<&Listora::LST_Liste>,
    cacher<&Listora::LST_Liste1>,
    cacher<&Listora::LSt_Liste2>,
    activer<&Listora::CMD_Recherche>,
};
constexpr Bascule BasculeAcronymes[] = {
    cacher<&Listora::LBL_Apropos>,     cacher<&Listora::FRM_Source>,
    cacher<&Listora::FRM_Destination>, viderTexte<&Listora::TXT_Acronyme>,
    montrer<&Listora::TXT_Acronyme>,   cacher<&Listora::LST_Liste>,
    cacher<&Listora::LSt_Liste2>,      montrer<&Listora::LST_Liste1>,
    activer<&Listora::CMD_Recherche>,  elargirLaListe,
};
constexpr Bascule BasculeMimeTypes[] = {
    cacher<&Listora::LBL_Apropos>,     cacher<&Listora::FRM_Source>,
    cacher<&Listora::FRM_Destination>, viderTexte<&Listora::TXT_Acronyme>,
    montrer<&Listora::TXT_Acronyme>,   cacher<&Listora::LST_Liste>,
    cacher<&Listora::LST_Liste1>,      montrer<&Listora::LSt_Liste2>,
    activer<&Listora::CMD_Recherche>,  elargirLaListe,
};

const Chargeur ChargeurIpPorts{catalogue::IpPorts, &Listora::LST_Liste, BasculeIpPorts};
const Chargeur ChargeurAcronymes{catalogue::Acronymes, &Listora::LST_Liste1, BasculeAcronymes};
const Chargeur ChargeurMimeTypes{catalogue::MimeTypes, &Listora::LSt_Liste2, BasculeMimeTypes};

void messageFichier(const catalogue::Catalogue& c)
{
    ui::MsgBox(QStringLiteral("Le fichier LISTORA.DAT est absent ou corrompu.") + RetourChariot +
                   RetourChariot + QStringLiteral("Vérifier sa présence dans le répertoire ") +
                   ui::CurDir() + RetourChariot + RetourChariot +
                   QStringLiteral("Vérifier aussi que la section se nomme ") +
                   QLatin1String(c.section),
               ui::StyleAttention, QStringLiteral("Erreur Fichier"));
}

void messageSyntaxe()
{
    ui::MsgBox(QStringLiteral("La ligne '") + CONSTANT::Tampon +
                   QStringLiteral("' semble erronée. La virgule est manquante"),
               ui::StyleInformation, QStringLiteral(" Erreur de Syntaxe"));
}

void messageDoublon(const catalogue::Catalogue& c)
{
    ui::MsgBox(QString::fromUtf8(c.debutDoublon) + CONSTANT::Champ +
                   QStringLiteral(" existe déjà dans la liste.") + RetourChariot + RetourChariot +
                   QStringLiteral("Vérifier votre fichier LISTORA.DAT"),
               ui::StyleCritique, QStringLiteral("Doublon"));
}

// The value in Tampon holds the commas its catalogue needs (five for an IP
// port, one otherwise). Leaves the first comma in Position, and in Compteur
// and Pos_Virgule how far the count went.
bool virgulesSuffisantes(const catalogue::Catalogue& c)
{
    const std::u16string_view valeur = Vue(CONSTANT::Tampon);
    CONSTANT::Position = catalogue::positionVirgule(valeur, CONSTANT::Debut);
    CONSTANT::Pos_Virgule = 0;
    for (CONSTANT::Compteur = 1; CONSTANT::Compteur <= c.virgules; ++CONSTANT::Compteur) {
        CONSTANT::Pos_Virgule =
            static_cast<int16_t>(catalogue::positionVirgule(valeur, CONSTANT::Pos_Virgule + 1));
        if (CONSTANT::Pos_Virgule == 0)
            return false;
    }
    return true;
}

// A term as the duplicate check compares it: upper-cased one character at a
// time, so that a character whose capital is longer (the German sharp s)
// stays as it is and "straße" is not taken for "STRASSE".
QString enCapitales(const QString& terme)
{
    // Most terms are written in capitals already, and are shared, not copied.
    const auto minuscule =
        std::find_if(terme.cbegin(), terme.cend(), [](QChar c) { return c.toUpper() != c; });
    if (minuscule == terme.cend())
        return terme;
    QString capitales = terme;
    for (QChar& c : capitales)
        c = c.toUpper();
    return capitales;
}

// False when `terme` was met before, letter case aside; remembers it otherwise.
bool ajouterTerme(QSet<QString>& vus, const QString& terme)
{
    const qsizetype avant = vus.size();
    vus.insert(enCapitales(terme));
    return vus.size() != avant;
}

void ecrireLegende(Listora& f, const Chargeur& ch)
{
    f.FRM_Type.setCaption(QString::fromUtf8(ch.catalogue.motCadre) + QStringLiteral(" (") +
                          QString::number((f.*ch.liste).ListCount()) + QLatin1Char(')'));
}

void viderLaListe(Listora& f, const Chargeur& ch)
{
    (f.*ch.liste).Clear();
    Oublier_Liste_Filtree(ch.catalogue.numero);
}

// Reads every key of the catalogue into the list. False when a value broke
// the rules: its message was shown and the window unloaded.
bool lireLeCatalogue(Listora& f, const Chargeur& ch)
{
    const catalogue::Catalogue& c = ch.catalogue;
    ui::ListBox& liste = f.*ch.liste;
    const bool doublons = CONSTANT::Verif_Doublon == 1;

    // The list is empty here. Terms are compared letter case aside in a set
    // rather than against every earlier entry, and added to the list in one
    // go: a long catalogue would otherwise cost a comparison per pair and a
    // sorted insertion per term.
    QSet<QString> dejaVus;
    QStringList termes;
    if (doublons)
        dejaVus.reserve(liste.ListCount() > 0 ? liste.ListCount() : 1024);

    while (Cle_Suivante(c)) {
        if (!virgulesSuffisantes(c)) {
            messageSyntaxe();
            f.Me.Unload();
            return false;
        }
        CONSTANT::Champ = CONSTANT::Tampon.left(CONSTANT::Position - 1);
        if (doublons && !ajouterTerme(dejaVus, CONSTANT::Champ)) {
            f.Me.setMousePointer(ui::PointeurDefaut);
            messageDoublon(c); // names the term as written, not upper-cased
            f.Me.Unload();
            return false;
        }
        termes.append(CONSTANT::Champ);
    }
    liste.AddItems(termes);
    return true;
}

void charger(Listora& f, const Chargeur& ch)
{
    const catalogue::Catalogue& c = ch.catalogue;
    ui::ListBox& liste = f.*ch.liste;

    CONSTANT::Liste_Active = c.numero;
    for (Bascule bascule : ch.bascule)
        bascule(f, ch);
    Debut_Passe();
    const ui::Sablier sablier(f.Me);

    // Read again when the reset or a search asked for it. A marker naming
    // another catalogue is left for that catalogue's own press.
    const bool marque = CONSTANT::Liste_A_Recharger - 1 == CONSTANT::Liste_Active;
    if (marque || Liste_Filtree(c.numero)) {
        if (marque)
            CONSTANT::Liste_A_Recharger = 0;
        viderLaListe(f, ch);
    }

    // Already loaded: shown as it is, without touching the file.
    if (liste.ListCount() > 0 && CONSTANT::Verif_Doublon == 0) {
        ecrireLegende(f, ch);
        return;
    }
    // With the duplicate check on, every press checks the whole catalogue.
    if (CONSTANT::Verif_Doublon == 1)
        viderLaListe(f, ch);

    CONSTANT::Tampon.fill(QLatin1Char(' '), 255);
    CONSTANT::Longueur = Lire_Section(c.section, CONSTANT::Tampon, TailleTampon, Chemin_Fichier());
    if (CONSTANT::Longueur == 0) {
        messageFichier(c);
        return;
    }
    if (lireLeCatalogue(f, ch))
        ecrireLegende(f, ch);
}

} // namespace

void Marquer_Liste_Filtree(int16_t numero)
{
    if (numeroValide(numero))
        listesFiltrees[static_cast<size_t>(numero)] = true;
}

bool Liste_Filtree(int16_t numero)
{
    return numeroValide(numero) && listesFiltrees[static_cast<size_t>(numero)];
}

void Oublier_Liste_Filtree(int16_t numero)
{
    if (numeroValide(numero))
        listesFiltrees[static_cast<size_t>(numero)] = false;
}

void Listora::CMD_IpPort_Click()
{
    charger(*this, ChargeurIpPorts);
}

void Listora::CMD_Acronyme_Click()
{
    charger(*this, ChargeurAcronymes);
}

void Listora::CMD_MIMEType_Click()
{
    charger(*this, ChargeurMimeTypes);
}
