#include "catalogue/data_file.h"

#include <algorithm>
#include <cstring>

namespace
{

// The one file cache of the program: every read of every window passes here.
ini::CacheFichier& cache()
{
    static ini::CacheFichier instance;
    return instance;
}

// `texte` cut to the `taille` - 1 characters a buffer of `taille` holds,
// never between the two halves of a surrogate pair.
void couper(QString& texte, int taille)
{
    qsizetype n = std::min<qsizetype>(texte.size(), std::max(taille - 1, 0));
    if (n < texte.size() && n > 0 && texte.at(n - 1).isHighSurrogate())
        --n;
    texte.truncate(n);
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

std::string Chemin_Fichier()
{
    // The current directory is named "." and the kernel resolves it at every
    // read: the path always designates the LISTORA.DAT of the directory the
    // program runs in, also after that directory was renamed, and a read
    // costs no getcwd() call.
    return "./LISTORA.DAT";
}

std::shared_ptr<const ini::Document> versionFichier(const std::string& chemin)
{
    return cache().document(chemin);
}

int16_t Lire_Section(const char* section, QString& Tampon, int taille, const std::string& chemin)
{
    Tampon.clear();
    const auto version = versionFichier(chemin);
    if (version) {
        // A character takes at least one byte: entries of `taille` bytes
        // fill the buffer.
        for (std::string_view entree :
             version->entrees(section, static_cast<size_t>(std::max(taille, 0)))) {
            Tampon += QString::fromUtf8(entree.data(), static_cast<qsizetype>(entree.size()));
            Tampon += QChar(0);
        }
    }
    // Room for the NUL after the last entry and the one that ends the list.
    Tampon.truncate(std::clamp(taille - 2, 0, 32767));
    return static_cast<int16_t>(Tampon.size());
}

int16_t copierValeur(std::optional<std::string_view> valeur, const QString& defaut, QString& Tampon,
                     int taille)
{
    if (valeur) {
        // Each character takes at most four bytes: no need to decode more
        // than the buffer will hold, however long the value. The value is
        // decoded into Tampon's own storage, which a walk reuses from key to
        // key rather than allocating a string for each.
        const std::string_view debut =
            valeur->substr(0, 4 * static_cast<size_t>(std::max(taille, 0)));
        Tampon.resize(static_cast<qsizetype>(debut.size()));
        auto* unites = reinterpret_cast<char16_t*>(Tampon.data());
        Tampon.truncate(static_cast<qsizetype>(versUtf16(debut, unites)));
    } else {
        Tampon = defaut;
    }
    couper(Tampon, std::clamp(taille, 0, 32768));
    return static_cast<int16_t>(Tampon.size());
}

int16_t Lire_Cle(const ini::Document* version, std::string_view section, std::string_view cle,
                 const QString& defaut, QString& Tampon, int taille)
{
    const ini::Section* s = version ? version->section(section) : nullptr;
    return copierValeur(s ? s->valeur(cle) : std::nullopt, defaut, Tampon, taille);
}
