#include "look_like_listora.h"
#include "check_like_listora.h"
#include "promise.h"

#include "catalogue/ini_document.h"
#include "lookup/lookup.h"
#include "lookup/output.h"
#include "lookup/text.h"

#include <memory>
#include <string>

namespace fuzz
{
namespace
{

constexpr int Largeur = 24;

// Columns of a line of UTF-8: one a code point.
long colonnes(std::string_view ligne)
{
    long n = 0;
    for (const char c : ligne)
        n += (c & 0xC0) != 0x80;
    return n;
}

void verifierPliage(const std::string& sortie)
{
    size_t debut = 0;
    while (debut < sortie.size()) {
        const size_t fin = sortie.find('\n', debut);
        verifier(fin != std::string::npos, "every folded line is ended");
        verifier(colonnes(std::string_view(sortie).substr(debut, fin - debut)) <= Largeur,
                 "no folded line is wider than the terminal");
        debut = fin + 1;
    }
}

} // namespace

void chercherCommeListora(std::string_view octets)
{
    const auto version = std::make_shared<const ini::Document>(std::string(octets));
    // The text sought: the input's first bytes up to a line end, as a
    // hostile command line would give, and one letter most entries hold.
    const std::string_view debut = octets.substr(0, std::min(octets.find('\n'), size_t(16)));
    for (const std::u16string& texte :
         {consultation::utf16(debut), std::u16string(u"a"), std::u16string(u"80")}) {
        for (const bool casse : {false, true}) {
            const auto groupes = consultation::chercher(version, texte, casse);
            verifierAffichable(consultation::enTexte(groupes, 20, 0), 3 * 21);
            if (!casse)
                verifierPliage(consultation::enTexte(groupes, 20, Largeur));
        }
    }
}

} // namespace fuzz
