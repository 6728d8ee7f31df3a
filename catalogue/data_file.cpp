#include "catalogue/data_file.h"

#include <QStringDecoder>

#include <algorithm>

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

// The UTF-8 decoder of the value read. Stateless: a value never continues
// the previous one. A byte-order mark at the start of a value is a character
// of the value, kept as the file holds it.
QStringDecoder& decodeur()
{
    static QStringDecoder instance(QStringDecoder::Utf8,
                                   QStringDecoder::Flag::Stateless |
                                       QStringDecoder::Flag::ConvertInitialBom);
    return instance;
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

int16_t Lire_Cle(const ini::Section* section, std::string_view cle, const QString& defaut,
                 QString& Tampon, int taille)
{
    const auto valeur = section ? section->valeur(cle) : std::nullopt;
    if (valeur) {
        // Each character takes at most four bytes: no need to decode more
        // than the buffer will hold, however long the value (a sequence cut
        // at that point lies past the cut below). The value is decoded into
        // Tampon's own storage, which a walk reuses from key to key rather
        // than allocating a string for each.
        const std::string_view debut =
            valeur->substr(0, 4 * static_cast<size_t>(std::max(taille, 0)));
        Tampon.resize(static_cast<qsizetype>(debut.size()));
        const QChar* fin = decodeur().appendToBuffer(
            Tampon.data(), QByteArrayView(debut.data(), static_cast<qsizetype>(debut.size())));
        Tampon.truncate(fin - Tampon.constData());
    } else {
        Tampon = defaut;
    }
    couper(Tampon, std::clamp(taille, 0, 32768));
    return static_cast<int16_t>(Tampon.size());
}

int16_t Lire_Cle(const ini::Document* version, std::string_view section, std::string_view cle,
                 const QString& defaut, QString& Tampon, int taille)
{
    return Lire_Cle(version ? version->section(section) : nullptr, cle, defaut, Tampon, taille);
}
