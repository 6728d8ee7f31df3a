#include "catalogue/key_walk.h"

#include "catalogue/constant.h"
#include "catalogue/data_file.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

namespace
{

// Capacity of the value buffer handed to every read: values are cut to 199
// characters.
constexpr int TailleTampon = 200;

// Prefix and number written into a fixed buffer: a key name costs no
// allocation, whatever the number of keys walked.
class NomCle
{
public:
    NomCle(const catalogue::Catalogue& c, int numero)
    {
        std::array<char, 40> ascii{};
        const size_t prefixe = std::min(std::strlen(c.prefixe), ascii.size() - 12);
        std::memcpy(ascii.data(), c.prefixe, prefixe);
        const auto fin = std::to_chars(ascii.data() + prefixe, ascii.data() + ascii.size(), numero);
        for (const char* o = ascii.data(); o != fin.ptr; ++o)
            nom_[longueur_++] = static_cast<unsigned char>(*o);
    }
    std::u16string_view vue() const { return {nom_.data(), longueur_}; }

private:
    std::array<char16_t, 40> nom_{};
    size_t longueur_ = 0;
};

} // namespace

void Debut_Passe()
{
    CONSTANT::Num_Cle = 0;
    CONSTANT::Longueur = 1;
    CONSTANT::Position = 0;
    CONSTANT::Debut = 1;
}

bool Cle_Suivante(const catalogue::Catalogue& c)
{
    if (CONSTANT::Num_Cle >= Cle_Maximale || CONSTANT::Num_Cle < 0) {
        CONSTANT::Longueur = 0;
        CONSTANT::Tampon.clear();
        return false;
    }
    ++CONSTANT::Num_Cle;
    // The first key checks the path, as every read outside a walk does; the
    // next ones may rely on the file's change notifications.
    const ini::Controle controle =
        CONSTANT::Num_Cle == 1 ? ini::Controle::Complet : ini::Controle::Suite;
    CONSTANT::Longueur = Lire_Cle(c.section, NomCle(c, CONSTANT::Num_Cle).vue(), u"",
                                  CONSTANT::Tampon, TailleTampon, Chemin_Fichier(), controle);
    return CONSTANT::Longueur > 0;
}
