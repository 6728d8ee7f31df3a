#include "check_like_listora.h"
#include "promise.h"

#include "catalogue/catalogues.h"
#include "catalogue/data_file.h"
#include "catalogue/ini_document.h"
#include "catalogue/key_walk.h"
#include "catalogue/value_cut.h"
#include "verifier/check.h"
#include "verifier/renumbering.h"

#include <QChar>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz
{
namespace
{

// Told apart with Qt's own tables rather than the checker's escaping, so
// that a character the escaping forgets is caught.
bool agitLeTerminal(char32_t c)
{
    if (c == '\n')
        return false;
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

} // namespace

void verifierAffichable(const std::string& rapport, long lignes)
{
    verifier(ini::estUtf8(rapport), "the report is valid UTF-8");
    const QString texte = QString::fromStdString(rapport);
    for (qsizetype i = 0; i < texte.size(); ++i) {
        char32_t c = texte.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < texte.size()) {
            c = QChar::surrogateToUcs4(texte.at(i).unicode(), texte.at(i + 1).unicode());
            ++i;
        }
        verifier(!agitLeTerminal(c), "the report holds no raw control or format character");
    }
    verifier(std::count(rapport.begin(), rapport.end(), '\n') <= lignes,
             "the output is at most a few hundred lines");
}

namespace
{

// The entries a press of the catalogue's button loads from `doc`, by the
// reading rules themselves rather than the program's walk: none when the
// section read finds no entry, otherwise keys 1, 2... each read on its own
// from the section's start, until one is missing or empty, stopping before
// the first value without enough commas.
int chargeesSelonLesRegles(const ini::Document& doc, const catalogue::Catalogue& c)
{
    const ini::Section* section = doc.section(c.section);
    if (!Lire_Section(&doc, c.section))
        return 0;
    QString tampon;
    int chargees = 0;
    for (int n = 1; n <= catalogue::CleMaximale; ++n) {
        catalogue::lireValeur(section->valeur(c.prefixe + std::to_string(n)), tampon);
        if (tampon.isEmpty() || !catalogue::aAssezDeVirgules(catalogue::vue(tampon), c.virgules))
            break;
        chargees = n;
    }
    return chargees;
}

} // namespace

void verifierCommeListora(std::string_view octets)
{
    const std::string fichier(octets);
    const verificateur::Rapport rapport = verificateur::verifier(fichier);
    // A name made of the input's first bytes, as a hostile path would be.
    const std::string_view nom = octets.substr(0, 16);
    verifierAffichable(verificateur::enTexte(rapport, nom), 400);

    const ini::Document doc{fichier};
    for (size_t i = 0; i < catalogue::Tous.size(); ++i)
        verifier(rapport.catalogues[i].chargees == chargeesSelonLesRegles(doc, *catalogue::Tous[i]),
                 "the checker's count of entries loaded is what the reading rules give");

    // The copy holds every line's text as UTF-8, and its check is safe too.
    const verificateur::Renumerotation copie = verificateur::renumeroter(fichier);
    verifier(ini::estUtf8(copie.texte), "the renumbered copy is UTF-8");
    verifierAffichable(verificateur::enTexte(verificateur::verifier(copie.texte), "copie"), 400);
}

} // namespace fuzz
