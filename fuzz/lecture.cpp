#include "fuzz/lecture.h"

#include "catalogue/catalogues.h"
#include "catalogue/ini_decode.h"
#include "catalogue/ini_document.h"
#include "catalogue/key_walk.h"
#include "catalogue/value_cut.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace fuzz
{
namespace
{

// The buffer size every handler passes to the reads.
constexpr int TailleTampon = 200;

void verifier(bool promesseTenue, const char* promesse)
{
    if (promesseTenue)
        return;
    std::fprintf(stderr, "broken promise: %s\n", promesse);
    std::abort();
}

// A buffer of exactly `taille` characters on the heap, filled with blanks as
// the handlers fill theirs: the sanitizer sees any write past its end.
std::unique_ptr<char16_t[]> tampon(int taille)
{
    auto t = std::make_unique<char16_t[]>(static_cast<size_t>(taille));
    std::fill_n(t.get(), taille, u' ');
    return t;
}

std::u16string enUtf16(const char* ascii)
{
    return std::u16string(ascii, ascii + std::char_traits<char>::length(ascii));
}

std::u16string enMinuscules(std::u16string nom)
{
    for (char16_t& c : nom)
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c + (u'a' - u'A'));
    return nom;
}

bool estSurrogatHaut(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
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

// A value read into a buffer of `taille`: the count, the final NUL, the cut
// at taille - 1 without a split surrogate pair, the text itself.
int lireEtVerifier(const ini::Document& doc, std::u16string_view section, std::u16string_view cle,
                   std::u16string_view defaut, char16_t* t, int taille)
{
    const int n = doc.lireValeur(section, cle, defaut, t, taille);
    if (taille <= 0) {
        verifier(n == 0, "nothing is read into no buffer");
        return n;
    }
    verifier(n >= 0 && n <= taille - 1 && t[n] == u'\0', "a value fits and ends with a NUL");
    const std::u16string entier = doc.valeur(section, cle).value_or(std::u16string(defaut));
    const auto attendu = std::min(entier.size(), static_cast<size_t>(taille - 1));
    const bool coupePaire =
        attendu < entier.size() && attendu > 0 && estSurrogatHaut(entier[attendu - 1]);
    verifier(static_cast<size_t>(n) == attendu - (coupePaire ? 1 : 0),
             "a value is cut to the buffer, never inside a surrogate pair");
    verifier(entier.substr(0, static_cast<size_t>(n)) == std::u16string_view(t, n),
             "the value read is the value's start");
    return n;
}

int lireSectionEtVerifier(const ini::Document& doc, std::u16string_view section, int taille)
{
    auto t = tampon(taille);
    const int n = doc.lireSection(section, t.get(), taille);
    verifier(n >= 0 && (taille < 3 ? n == 0 : n <= taille - 2), "a section read fits its buffer");
    if (taille >= 3)
        verifier(t[n] == u'\0' && t[n + 1] == u'\0', "a section read ends with two NULs");
    return n;
}

// One catalogue read as loading, display and search read it.
void lireCatalogue(const ini::Document& doc, const catalogue::Catalogue& c)
{
    const std::u16string section = enUtf16(c.section);
    const int longueurSection = lireSectionEtVerifier(doc, section, TailleTampon);
    verifier(lireSectionEtVerifier(doc, enMinuscules(section), TailleTampon) == longueurSection,
             "section names match without regard to ASCII case");
    for (int taille : {0, 1, 2, 3, 4})
        lireSectionEtVerifier(doc, section, taille);

    auto t = tampon(TailleTampon);
    for (int numero = 1; numero <= Cle_Maximale; ++numero) {
        const std::u16string cle = enUtf16(c.prefixe) + enUtf16(std::to_string(numero).c_str());
        std::fill_n(t.get(), TailleTampon, u' ');
        const int n = lireEtVerifier(doc, section, cle, u"", t.get(), TailleTampon);
        if (n == 0)
            break;
        verifier(longueurSection > 0, "a section with a value is not empty to the section read");
        verifierDecoupe(std::u16string_view(t.get(), static_cast<size_t>(n)), c.virgules);
        if (numero == 1) {
            for (int taille : {0, 1, 2, 3}) {
                auto petit = tampon(std::max(taille, 1));
                lireEtVerifier(doc, section, cle, u"", petit.get(), taille);
            }
        }
    }
}

// Names made of the input's own last bytes: NULs, brackets, "=", non-ASCII.
void lireNomsEtranges(const ini::Document& doc, std::string_view octets)
{
    const std::string_view queue =
        octets.substr(octets.size() - std::min<size_t>(octets.size(), 24));
    const std::u16string nom = ini::decoder(queue);
    const std::u16string_view moitie = std::u16string_view(nom).substr(nom.size() / 2);
    lireSectionEtVerifier(doc, nom, TailleTampon);
    auto t = tampon(TailleTampon);
    lireEtVerifier(doc, nom, moitie, nom, t.get(), TailleTampon);
    lireEtVerifier(doc, moitie, nom, u"", t.get(), TailleTampon);
    verifierDecoupe(nom, 5);
}

void verifierDecodage(std::string_view octets)
{
    const std::u16string texte = ini::decoder(octets);
    const bool marque = octets.substr(0, 2) == "\xFF\xFE" || octets.substr(0, 3) == "\xEF\xBB\xBF";
    const bool ascii = std::all_of(octets.begin(), octets.end(),
                                   [](char o) { return static_cast<unsigned char>(o) < 0x80; });
    if (!marque && ascii)
        verifier(std::equal(texte.begin(), texte.end(), octets.begin(), octets.end()),
                 "ASCII decodes to itself");
    if (!marque)
        verifier(texte.size() <= octets.size(), "no 8-bit byte decodes to more than one unit");
}

} // namespace

void lireCommeListora(std::string_view octets)
{
    verifierDecodage(octets);
    const auto doc = ini::Document::depuisOctets(std::string(octets));
    for (const catalogue::Catalogue* c : catalogue::Tous)
        lireCatalogue(*doc, *c);
    lireNomsEtranges(*doc, octets);
}

} // namespace fuzz
