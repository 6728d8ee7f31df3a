#include "read_like_listora.h"
#include "promise.h"

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
#include <optional>
#include <string>

namespace fuzz
{
namespace
{

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

// A value as the walk reads it: cut to 199 characters, never inside a
// surrogate pair, and the start of the whole value.
void verifierValeur(std::optional<std::string_view> valeur, const QString& lue)
{
    // A mark at the start of a value is a character of it: not dropped.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    const QString entier =
        valeur ? utf8(QByteArrayView(valeur->data(), qsizetype(valeur->size()))) : QString();
    const qsizetype n = lue.size();
    verifier(n <= catalogue::TailleTampon - 1, "a value fits its buffer");
    verifier(entier.startsWith(lue), "the value read is the value's start");
    verifier(n == entier.size() || n >= catalogue::TailleTampon - 2,
             "a value is cut only when it is too long");
    verifier(n == 0 || !lue.back().isHighSurrogate() || n == entier.size(),
             "a value is never cut inside a surrogate pair");
}

// A single read of `cle` in `section`, as the walk would read it.
QString lireSeule(const ini::Document& doc, std::string_view section, std::string_view cle)
{
    const ini::Section* s = doc.section(section);
    const std::optional<std::string_view> valeur = s ? s->valeur(cle) : std::nullopt;
    QString lue;
    catalogue::lireValeur(valeur, lue);
    verifierValeur(valeur, lue);
    return lue;
}

// The body of section `nom` found line by line, as the reading rules say:
// from the first header of that name to the next header of any name.
std::optional<std::string_view> corpsAttendu(std::string_view texte, std::string_view nom)
{
    std::optional<std::string_view> corps;
    const char* debut = nullptr;
    ini::pourChaqueLigne(texte, [&](const ini::Ligne& l) {
        if (l.genre != ini::Ligne::Genre::Entete)
            return true;
        if (debut) {
            corps = std::string_view(debut, size_t(l.texte.data() - debut));
            return false;
        }
        if (ini::Nom{l.nom} == ini::Nom{nom})
            debut = l.texte.data();
        return true;
    });
    if (debut && !corps)
        corps = std::string_view(debut, size_t(texte.data() + texte.size() - debut));
    return corps;
}

void verifierSection(const ini::Document& doc, std::string_view nom)
{
    const ini::Section* s = doc.section(nom);
    const std::optional<std::string_view> attendu = corpsAttendu(doc.texte().utf8, nom);
    verifier(s ? attendu && s->corps().data() == attendu->data() &&
                     s->corps().size() == attendu->size()
               : !attendu,
             "a section runs from the first header of its name to the next header");
}

// One catalogue read as loading, display and search read it: the walk,
// checked key by key against a single read of the same key.
void lireCatalogue(const std::shared_ptr<const ini::Document>& doc, const catalogue::Catalogue& c)
{
    const bool entrees = Lire_Section(doc.get(), c.section);
    verifier(entrees == Lire_Section(doc.get(), QByteArray(c.section).toLower().toStdString()),
             "section names match without regard to ASCII case");
    verifierSection(*doc, c.section);
    catalogue::Passe passe(c, doc);
    int numero = 0;
    while (passe.suivante()) {
        ++numero;
        verifier(passe.numero() == numero, "a walk reads keys 1, 2, 3...");
        verifier(passe.valeur() == lireSeule(*doc, c.section, c.prefixe + std::to_string(numero)),
                 "a walk reads what a single read reads");
        verifier(entrees, "a section with a value is not empty to the section read");
        verifierDecoupe(passe.vue(), c.virgules);
    }
    if (numero < catalogue::CleMaximale)
        verifier(lireSeule(*doc, c.section, c.prefixe + std::to_string(numero + 1)).isEmpty(),
                 "a walk ends at the first missing or empty key");
}

// Names made of the input's own last bytes: NULs, brackets, "=", non-ASCII.
void lireNomsEtranges(const ini::Document& doc, std::string_view octets)
{
    const std::string_view nom = octets.substr(octets.size() - std::min<size_t>(octets.size(), 24));
    const std::string_view moitie = nom.substr(nom.size() / 2);
    Lire_Section(&doc, nom);
    verifierSection(doc, nom);
    verifierSection(doc, moitie);
    lireSeule(doc, nom, moitie);
    lireSeule(doc, moitie, nom);
    const QString texte = QString::fromUtf8(nom.data(), qsizetype(nom.size()));
    verifierDecoupe(catalogue::vue(texte), 5);
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
    const auto doc = std::make_shared<const ini::Document>(std::string(octets));
    for (const catalogue::Catalogue* c : catalogue::Tous)
        lireCatalogue(doc, *c);
    lireNomsEtranges(*doc, octets);
}

} // namespace fuzz
