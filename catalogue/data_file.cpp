#include "catalogue/data_file.h"

#include "catalogue/ini_file.h"

#include <algorithm>
#include <array>
#include <vector>

namespace
{

// The one file cache of the program: every read of every window passes here.
ini::CacheFichier& cache()
{
    static ini::CacheFichier instance;
    return instance;
}

// A section name (an ASCII constant of the program) as UTF-16, on the stack:
// the key walk forms one for every key it reads.
class NomSection
{
public:
    explicit NomSection(const char* nom)
    {
        for (const char* c = nom ? nom : ""; *c != '\0'; ++c) {
            if (longueur_ == court_.size()) {
                long_.assign(court_.begin(), court_.end());
                for (; *c != '\0'; ++c)
                    long_.push_back(static_cast<unsigned char>(*c));
                return;
            }
            court_[longueur_++] = static_cast<unsigned char>(*c);
        }
    }
    std::u16string_view vue() const
    {
        return long_.empty() ? std::u16string_view(court_.data(), longueur_) : long_;
    }

private:
    std::array<char16_t, 32> court_{};
    size_t longueur_ = 0;
    std::u16string long_;
};

bool chevauche(std::u16string_view texte, const QString& Tampon)
{
    const auto* debut = reinterpret_cast<const char16_t*>(Tampon.constData());
    const auto* fin = debut + Tampon.capacity();
    return !texte.empty() && texte.data() < fin && texte.data() + texte.size() > debut;
}

// A capacity the 16-bit result can report: a larger one could copy more
// characters than the result says.
int capaciteUtile(int taille)
{
    return std::clamp(taille, 0, 32768);
}

// Shapes `Tampon` as the buffer the read writes into, with room for the
// final NUL, reusing its storage from one read to the next.
char16_t* preparer(QString& Tampon, int capacite)
{
    Tampon.resize(std::max(capacite, 1));
    return reinterpret_cast<char16_t*>(Tampon.data());
}

} // namespace

std::string Chemin_Fichier()
{
    // The current directory is named "." and the kernel resolves it at every
    // read: the path always designates the LISTORA.DAT of the directory the
    // program runs in, also after that directory was renamed or removed, and
    // a read costs no getcwd() call, which here costs as much as the check of
    // the file itself and would double the price of a walk over many keys.
    return "./LISTORA.DAT";
}

int16_t Lire_Section(const char* section, QString& Tampon, int taille, const std::string& chemin)
{
    const int capacite = capaciteUtile(taille);
    const int n = ini::lireSection(cache(), chemin, NomSection(section).vue(),
                                   preparer(Tampon, capacite), capacite);
    Tampon.truncate(n);
    return static_cast<int16_t>(n);
}

int16_t Lire_Cle(const char* section, std::u16string_view cle, std::u16string_view defaut,
                 QString& Tampon, int taille, const std::string& chemin, ini::Controle controle)
{
    // A key or default that lives in Tampon itself would be overwritten by
    // the read before it is used: read from copies then.
    if (chevauche(cle, Tampon) || chevauche(defaut, Tampon)) {
        const std::u16string copieCle(cle), copieDefaut(defaut);
        return Lire_Cle(section, copieCle, copieDefaut, Tampon, taille, chemin, controle);
    }
    const int capacite = capaciteUtile(taille);
    const int n = ini::lireValeur(cache(), chemin, NomSection(section).vue(), cle, defaut,
                                  preparer(Tampon, capacite), capacite, controle);
    Tampon.truncate(n);
    return static_cast<int16_t>(n);
}

int16_t Lire_Cle(const char* section, const QString& cle, const QString& defaut, QString& Tampon,
                 int taille, const std::string& chemin)
{
    return Lire_Cle(section, Vue(cle), Vue(defaut), Tampon, taille, chemin);
}
