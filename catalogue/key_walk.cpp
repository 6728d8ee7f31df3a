#include "catalogue/key_walk.h"

#include <algorithm>
#include <cstring>

namespace catalogue
{
namespace
{

std::function<void()>& observateur()
{
    static std::function<void()> f;
    return f;
}

// Decodes `utf8` into `unites` (room for utf8.size() units) and returns the
// units written. The document's text is well-formed UTF-8, so no check is
// needed; a sequence cut at the end of `utf8` is dropped. A byte-order mark
// at the start of a value is a character of the value, kept as the file
// holds it. (QStringDecoder takes twice as long on a catalogue's values.)
size_t versUtf16(std::string_view utf8, char16_t* unites)
{
    size_t n = 0;
    size_t i = 0;
    const size_t taille = utf8.size();
    const auto* octets = reinterpret_cast<const uint8_t*>(utf8.data());
    while (i < taille) {
        // A run of ASCII, most of any value: measured a word at a time, then
        // widened by a loop the compiler turns into vector instructions.
        size_t fin = i;
        for (uint64_t mot; fin + 8 <= taille; fin += 8) {
            std::memcpy(&mot, octets + fin, 8);
            if (mot & 0x8080808080808080ULL)
                break;
        }
        while (fin < taille && octets[fin] < 0x80)
            ++fin;
        for (size_t k = i; k < fin; ++k)
            unites[n + k - i] = octets[k];
        n += fin - i;
        i = fin;
        if (i == taille)
            break;
        const auto o = [&](size_t k) { return char32_t(octets[i + k] & 0x3F); };
        const uint8_t b0 = octets[i];
        const size_t longueur = b0 < 0xE0 ? 2 : b0 < 0xF0 ? 3 : 4;
        if (i + longueur > taille)
            break;
        char32_t point;
        if (longueur == 2)
            point = (char32_t(b0 & 0x1F) << 6) | o(1);
        else if (longueur == 3)
            point = (char32_t(b0 & 0x0F) << 12) | (o(1) << 6) | o(2);
        else
            point = (char32_t(b0 & 0x07) << 18) | (o(1) << 12) | (o(2) << 6) | o(3);
        if (point >= 0x10000) {
            unites[n++] = static_cast<char16_t>(0xD7C0 + (point >> 10));
            unites[n++] = static_cast<char16_t>(0xDC00 | (point & 0x3FF));
        } else {
            unites[n++] = static_cast<char16_t>(point);
        }
        i += longueur;
    }
    return n;
}

} // namespace

size_t lireValeur(std::optional<std::string_view> utf8, char16_t* unites)
{
    if (!utf8)
        return 0;
    // Each character takes at most four bytes: no need to decode more than
    // the buffer will hold, however long the value. The value is decoded into
    // the caller's storage, which a walk reuses from key to key rather than
    // allocating a string for each.
    size_t n = versUtf16(utf8->substr(0, UnitesLues), unites);
    // Cut to the characters the buffer holds, never between the two halves
    // of a surrogate pair.
    if (n > size_t(TailleTampon - 1)) {
        n = TailleTampon - 1;
        if (unites[n - 1] >= 0xD800 && unites[n - 1] < 0xDC00)
            --n;
    }
    return n;
}

Passe::Passe(const Catalogue& c, std::shared_ptr<const ini::Document> version)
    : catalogue_(c), version_(std::move(version)),
      section_(version_ ? version_->section(c.section) : nullptr)
{
}

bool Passe::suivante()
{
    if (Num_Cle >= CleMaximale || Num_Cle < 0) {
        longueur_ = 0;
        return false;
    }
    ++Num_Cle;
    longueur_ = lireValeur(
        section_ ? section_->valeurSuivante(curseur_, catalogue_.prefixe, Num_Cle) : std::nullopt,
        Tampon);
    if (observateur())
        observateur()();
    if (longueur_ > 0)
        return true;
    // The pass is over: its version is not kept past it, and a read past the
    // end finds nothing.
    version_.reset();
    section_ = nullptr;
    return false;
}

void observerPasse(std::function<void()> f)
{
    observateur() = std::move(f);
}

} // namespace catalogue
