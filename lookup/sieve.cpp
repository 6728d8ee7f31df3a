#include "lookup/sieve.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace consultation
{
namespace
{

char plieAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c;
}

// Whether `aiguille` (ASCII, folded) is at `botte[i]`, ASCII letter case aside.
bool estA(std::string_view botte, size_t i, std::string_view aiguille)
{
    for (size_t k = 0; k < aiguille.size(); ++k)
        if (plieAscii(botte[i + k]) != aiguille[k])
            return false;
    return true;
}

// The bytes of `mot` that are zero, as their high bit (and, past a zero
// byte, maybe a 0x01 byte's: these are only candidates, checked in full).
uint64_t octetsNuls(uint64_t mot)
{
    return (mot - 0x0101010101010101ULL) & ~mot & 0x8080808080808080ULL;
}

// The places among the eight from `p` where `c` (ASCII, folded) may stand,
// ASCII letter case aside: a letter's two cases differ by the bit 0x20
// alone, set here in both the bytes and the character.
uint64_t placesPossibles(const char* p, char c)
{
    uint64_t mot;
    std::memcpy(&mot, p, 8);
    const bool lettre = c >= 'a' && c <= 'z';
    return octetsNuls((mot | (lettre ? 0x2020202020202020ULL : 0)) ^
                      (0x0101010101010101ULL * static_cast<uint8_t>(c)));
}

#if defined(__SSE2__)
// The places among the sixteen from `p` where `c` (ASCII, folded) may stand,
// one bit each, ASCII letter case aside, as placesPossibles does for eight.
unsigned placesPossibles16(const char* p, char c)
{
    const bool lettre = c >= 'a' && c <= 'z';
    const __m128i octets = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)),
                                        _mm_set1_epi8(lettre ? 0x20 : 0));
    return unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(octets, _mm_set1_epi8(c))));
}
#endif

// Where `botte` first holds `aiguille` (ASCII, folded, not empty), ASCII
// letter case aside, or npos: eight places at a time (sixteen where the
// processor compares sixteen bytes at once) are set against its first and
// last characters, and only the places where both may stand are checked in
// full.
size_t premierePlace(std::string_view botte, std::string_view aiguille)
{
    static_assert(std::endian::native == std::endian::little, "bytes in a word, first lowest");
    if (aiguille.size() > botte.size())
        return std::string_view::npos;
    const size_t dernier = botte.size() - aiguille.size(); // the last place it may start
    // Both characters are tried at every word, with no branch on the first:
    // which words hold a common letter is too irregular to predict. The
    // first and the last character are set against the text: two letters
    // that far apart meet far less often than two neighbours ("pr", "co").
    const size_t decalage = aiguille.size() - 1;
    const char seconde = aiguille[decalage];
    size_t i = 0;
#if defined(__SSE2__)
    for (; i + 16 + decalage <= botte.size() && i <= dernier; i += 16) {
        unsigned places = placesPossibles16(botte.data() + i, aiguille[0]) &
                          placesPossibles16(botte.data() + i + decalage, seconde);
        for (; places; places &= places - 1) {
            const size_t k = i + size_t(std::countr_zero(places));
            if (k <= dernier && estA(botte, k, aiguille))
                return k;
        }
    }
#endif
    for (; i + 8 + decalage <= botte.size() && i <= dernier; i += 8) {
        uint64_t places = placesPossibles(botte.data() + i, aiguille[0]) &
                          placesPossibles(botte.data() + i + decalage, seconde);
        for (; places; places &= places - 1) {
            const size_t k = i + size_t(std::countr_zero(places)) / 8;
            if (k <= dernier && estA(botte, k, aiguille))
                return k;
        }
    }
    for (; i <= dernier; ++i)
        if (estA(botte, i, aiguille))
            return i;
    return std::string_view::npos;
}

// The only characters beyond ASCII whose folding is a letter of ASCII: the
// Kelvin sign (k) and the long s (s), in UTF-8.
constexpr std::string_view PliesEnAscii[] = {"\xE2\x84\xAA", "\xC5\xBF"};

} // namespace

Crible::Crible(std::string aiguille, std::string_view texte)
    : aiguille_(std::move(aiguille)), texte_(texte),
      kOuS_(aiguille_.find_first_of("ks") != std::string::npos)
{
}

size_t Crible::chercher(std::string_view texte, bool special) const
{
    if (!special)
        return premierePlace(texte, aiguille_);
    size_t lieu = std::string_view::npos;
    for (const std::string_view p : PliesEnAscii)
        lieu = std::min(lieu, texte.find(p));
    return lieu;
}

bool Crible::trouveDans(Prochain& prochain, size_t debut, size_t fin, bool special) const
{
    if (prochain.connu && debut < prochain.depuis) // behind the search: this value alone
        return chercher(texte_.substr(debut, fin - debut), special) != std::string_view::npos;
    if (!prochain.connu || prochain.lieu < debut) {
        const size_t lieu = chercher(texte_.substr(debut), special);
        prochain = {debut, lieu == std::string_view::npos ? texte_.size() : debut + lieu, true};
    }
    return prochain.lieu < fin;
}

bool Crible::peutTenir(std::string_view valeur)
{
    const char* const base = texte_.data();
    if (valeur.data() < base || valeur.data() + valeur.size() > base + texte_.size())
        return true; // not a view of the document: not sieved
    const auto debut = static_cast<size_t>(valeur.data() - base);
    const size_t fin = debut + valeur.size();
    // A Kelvin sign or a long s folds to k or s: a value holding one is decoded.
    return trouveDans(texteTrouve_, debut, fin, false) ||
           (kOuS_ && trouveDans(specialTrouve_, debut, fin, true));
}

} // namespace consultation
