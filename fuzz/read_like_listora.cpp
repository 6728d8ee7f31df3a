#include "read_like_listora.h"

#include "catalogue/catalogues.h"
#include "catalogue/data_file.h"
#include "catalogue/ini_document.h"
#include "catalogue/key_walk.h"
#include "catalogue/value_cut.h"

#include <QString>
#include <QStringDecoder>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace fuzz
{
namespace
{

void verifier(bool promesseTenue, const char* promesse)
{
    if (promesseTenue)
        return;
    std::fprintf(stderr, "broken promise: %s\n", promesse);
    std::abort();
}

// A view that lies inside `tout` (an empty view anywhere is fine).
bool dedans(std::u16string_view piece, std::u16string_view tout)
{
    return piece.empty() || (piece.data() >= tout.data() &&
                             piece.data() + piece.size() <= tout.data() + tout.size());
}

// The cuts of one value, checked against a plain count of its commas.
void verifierDecoupe(std::u16string_view v, int virgulesVoulues)
{
    using namespace catalogue;
    const auto virgules = static_cast<int>(std::count(v.begin(), v.end(), u','));
    const int32_t premiere = positionVirgule(v);
    verifier(aAssezDeVirgules(v, virgulesVoulues) == (virgules >= virgulesVoulues),
             "the comma check counts the commas");
    if (premiere == 0) {
        verifier(virgules == 0, "no first comma only when there is none");
        verifier(terme(v) == v && sens(v).empty(), "a value without comma is all term");
    } else {
        verifier(v[static_cast<size_t>(premiere) - 1] == u',' &&
                     v.substr(0, static_cast<size_t>(premiere) - 1).find(u',') ==
                         std::u16string_view::npos,
                 "the first comma is a comma and the first one");
        verifier(terme(v) == v.substr(0, static_cast<size_t>(premiere) - 1),
                 "the term is the text before the first comma");
        verifier(sens(v) == v.substr(static_cast<size_t>(premiere)),
                 "the meaning is everything after it");
    }
    for (int rang = 0; rang <= 7; ++rang) {
        const int32_t p = positionVirguleNumero(v, rang);
        verifier((p != 0) == (rang >= 1 && rang <= virgules), "the n-th comma exists when counted");
        verifier(p == 0 || v[static_cast<size_t>(p) - 1] == u',', "the n-th comma is a comma");
    }
    const ChampsIpPort champs = champsIpPort(v);
    std::u16string recousu(terme(v));
    for (std::u16string_view champ : champs.champs) {
        verifier(dedans(champ, v), "an IP-port field lies inside its value");
        recousu += u',';
        recousu += champ;
    }
    verifier(dedans(champs.reste, v), "the IP-port description lies inside its value");
    recousu += u',';
    recousu += champs.reste;
    if (virgules >= 5)
        verifier(recousu == v, "the six IP-port fields and their commas give the value back");
    // Positions from outside the value, as a stale selection could give.
    const auto n = static_cast<int32_t>(v.size());
    for (int32_t depuis : {-1, 0, 1, n - 1, n, n + 1, n + 100})
        for (int32_t jusqua : {-1, 0, 1, n, n + 1, n + 100})
            verifier(dedans(entreVirgules(v, depuis, jusqua), v), "a cut never leaves its value");
    verifier(positionVirgule(v, n + 1) == 0 && positionVirgule(v, -5) == premiere,
             "a search from outside the value stays in range");
}

// A value read as a walk reads it: cut to 199 characters, never inside a
// surrogate pair, and the start of the whole value.
int lireEtVerifier(const ini::Document& doc, std::string_view section, std::string_view cle,
                   int taille)
{
    QString tampon(255, u' ');
    const int n = Lire_Cle(&doc, section, cle, QStringLiteral("defaut"), tampon, taille);
    const auto valeur = doc.valeur(section, cle);
    // A mark at the start of a value is a character of it: not dropped.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    const QString entier = valeur ? utf8(QByteArrayView(valeur->data(), qsizetype(valeur->size())))
                                  : QStringLiteral("defaut");
    verifier(n == tampon.size() && n >= 0 && n <= std::max(taille - 1, 0),
             "a value fits its buffer and its length is returned");
    verifier(entier.startsWith(tampon), "the value read is the value's start");
    verifier(n == entier.size() || n >= taille - 2, "a value is cut only when it is too long");
    verifier(n == 0 || !tampon.back().isHighSurrogate() || n == entier.size(),
             "a value is never cut inside a surrogate pair");
    return valeur ? n : 0;
}

// One catalogue read as loading, display and search read it.
void lireCatalogue(const ini::Document& doc, const catalogue::Catalogue& c)
{
    const std::vector<std::string_view> entrees = doc.entrees(c.section);
    verifier(entrees.size() == doc.entrees(QByteArray(c.section).toLower().toStdString()).size(),
             "section names match without regard to ASCII case");
    const ini::Section* section = doc.section(c.section);
    size_t suite = 0;
    for (int numero = 1; numero <= CleMaximale; ++numero) {
        const std::string cle = c.prefixe + std::to_string(numero);
        if (section)
            verifier(section->valeurSuivante(suite, cle) == section->valeur(cle),
                     "a walk in key order reads what a single read reads");
        const int n = lireEtVerifier(doc, c.section, cle, 200);
        if (n == 0)
            break;
        verifier(!entrees.empty(), "a section with a value is not empty to the section read");
        QString valeur;
        Lire_Cle(&doc, c.section, cle, QString(), valeur, 200);
        verifierDecoupe(vue(valeur), c.virgules);
        if (numero == 1)
            for (int taille : {-1, 0, 1, 2, 3})
                lireEtVerifier(doc, c.section, cle, taille);
    }
}

// Names made of the input's own last bytes: NULs, brackets, "=", non-ASCII.
void lireNomsEtranges(const ini::Document& doc, std::string_view octets)
{
    const std::string_view nom = octets.substr(octets.size() - std::min<size_t>(octets.size(), 24));
    const std::string_view moitie = nom.substr(nom.size() / 2);
    doc.entrees(nom);
    lireEtVerifier(doc, nom, moitie, 200);
    lireEtVerifier(doc, moitie, nom, 200);
    const QString texte = QString::fromUtf8(nom.data(), qsizetype(nom.size()));
    verifierDecoupe(vue(texte), 5);
}

void verifierDecodage(std::string_view octets)
{
    const ini::Texte texte = ini::decoder(std::string(octets));
    verifier(ini::estUtf8(texte.utf8), "the decoded text is UTF-8");
    const bool marque = octets.substr(0, 2) == "\xFF\xFE" || octets.substr(0, 3) == "\xEF\xBB\xBF";
    if (!marque && ini::estUtf8(octets))
        verifier(texte.utf8 == octets && texte.lignesWindows1252.empty(),
                 "a UTF-8 file is its own text");
}

} // namespace

void lireCommeListora(std::string_view octets)
{
    verifierDecodage(octets);
    const ini::Document doc{std::string(octets)};
    for (const catalogue::Catalogue* c : catalogue::Tous)
        lireCatalogue(doc, *c);
    lireNomsEtranges(doc, octets);
}

} // namespace fuzz
