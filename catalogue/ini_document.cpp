#include "catalogue/ini_document.h"

#include <algorithm>
#include <limits>
#include <type_traits>

namespace ini
{
namespace
{

constexpr uint32_t Aucune = static_cast<uint32_t>(-1);

template <class U> bool estBlanc(U c)
{
    return c == U(' ') || c == U('\t');
}

template <class U> bool estFinDeLigne(U c)
{
    return c == U('\n') || c == U('\r');
}

bool estSurrogatHaut(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

// The text's lines one after the other: LF, CRLF and CR end a line, the
// last line needs no line end.
template <class U> class Lignes
{
public:
    Lignes(const U* texte, size_t debut, size_t fin) : texte_(texte), suite_(debut), fin_(fin) {}

    // Moves to the next line; false after the last one.
    bool avancer()
    {
        if (suite_ >= fin_)
            return false;
        debut_ = suite_;
        finLigne_ = debut_;
        while (finLigne_ < fin_ && !estFinDeLigne(texte_[finLigne_]))
            ++finLigne_;
        suite_ = finLigne_;
        if (suite_ < fin_) {
            // CRLF is one line end; a lone CR or LF is one too.
            if (texte_[suite_] == U('\r') && suite_ + 1 < fin_ && texte_[suite_ + 1] == U('\n'))
                ++suite_;
            ++suite_;
        }
        return true;
    }
    size_t debut() const { return debut_; } // where the line starts
    size_t suite() const { return suite_; } // where the next one starts
    // The line without its end, blanks and tabs dropped at both ends.
    Plage rognee() const { return rogner(texte_, debut_, finLigne_); }

    static Plage rogner(const U* texte, size_t debut, size_t fin)
    {
        while (debut < fin && estBlanc(texte[debut]))
            ++debut;
        while (fin > debut && estBlanc(texte[fin - 1]))
            --fin;
        return {static_cast<uint32_t>(debut), static_cast<uint32_t>(fin - debut)};
    }

private:
    const U* texte_;
    size_t suite_;
    size_t fin_;
    size_t debut_ = 0;
    size_t finLigne_ = 0;
};

size_t finDe(Plage p)
{
    return size_t(p.debut) + p.longueur;
}

// Where `c` first stands in [debut, fin), or `fin`.
template <class U> size_t chercher(const U* texte, size_t debut, size_t fin, U c)
{
    return static_cast<size_t>(std::find(texte + debut, texte + fin, c) - texte);
}

// A NUL ends a name or a value where it stands.
template <class U> size_t jusquAuNul(const U* texte, size_t debut, size_t fin)
{
    return chercher(texte, debut, fin, U(0));
}

template <class U> Plage sansGuillemets(const U* texte, Plage v)
{
    if (v.longueur >= 2) {
        const U premier = texte[v.debut];
        if (premier == texte[finDe(v) - 1] && (premier == U('"') || premier == U('\'')))
            return {v.debut + 1, v.longueur - 2};
    }
    return v;
}

// Copies what `c` gives into `tampon` (`capacite` > 0), at most
// `capacite` - 1 units and never half of a surrogate pair, then a NUL.
template <class Curseur> int copierValeur(Curseur c, char16_t* tampon, int capacite)
{
    size_t n = c.lire(tampon, static_cast<size_t>(capacite - 1));
    if (!c.fini() && n > 0 && estSurrogatHaut(tampon[n - 1]))
        --n;
    tampon[n] = u'\0';
    return static_cast<int>(n);
}

} // namespace

// Names compared as the UTF-16 text they decode to. Where one stored unit is
// one UTF-16 unit, names of different lengths are told apart at once.
template <class Curseur> struct Document::Noms {
    static constexpr bool UniteParUnite = !std::is_same_v<Curseur, CurseurUtf8>;
    const Document& document;

    bool egaux(Plage a, Plage b) const
    {
        return comparer(document.curseur<Curseur>(a), a.longueur, document.curseur<Curseur>(b),
                        b.longueur);
    }
    bool egaux(Plage a, std::u16string_view b) const
    {
        return comparer(document.curseur<Curseur>(a), a.longueur, CurseurUtf16(b), b.size());
    }

    template <class B> static bool comparer(Curseur a, size_t longueurA, B b, size_t longueurB)
    {
        if constexpr (UniteParUnite) {
            if (longueurA != longueurB)
                return false;
            for (size_t i = 0; i < longueurA; ++i)
                if (majusculeAscii(a.suivante()) != majusculeAscii(b.suivante()))
                    return false;
            return true;
        } else {
            return memesNoms(a, b);
        }
    }
};

template <class Curseur> Curseur Document::curseur(Plage p) const
{
    if constexpr (std::is_same_v<typename Curseur::Unite, char16_t>)
        return Curseur(unites_.data() + p.debut, p.longueur);
    else
        return Curseur(octets_.data() + p.debut, p.longueur);
}

std::unique_ptr<Document> Document::depuisOctets(std::string octets)
{
    return std::unique_ptr<Document>(new Document(std::move(octets)));
}

Document::Document(std::string octets)
{
    const Forme forme = reconnaitre(octets);
    codage_ = forme.codage;
    if (codage_ == Codage::Utf16LE) {
        const std::string_view texte = std::string_view(octets).substr(forme.marque);
        unites_ = unitesUtf16LE(texte);
        if (texte.size() % 2 != 0)
            octetImpair_ = static_cast<uint8_t>(texte.back());
        octets = std::string(); // the bytes go before the parse builds its tables
        analyser<CurseurUtf16>(unites_.data(), 0, unites_.size());
        return;
    }
    octets_ = std::move(octets);
    // The file was read with room to spare for growth; give back only a
    // large spare, since giving it back copies the whole text.
    if (octets_.capacity() - octets_.size() > octets_.size() / 16)
        octets_.shrink_to_fit();
    if (codage_ == Codage::Utf8)
        analyser<CurseurUtf8>(octets_.data(), forme.marque, octets_.size());
    else
        analyser<CurseurCp1252>(octets_.data(), forme.marque, octets_.size());
}

template <class Curseur>
void Document::analyser(const typename Curseur::Unite* texte, size_t debut, size_t fin)
{
    using U = typename Curseur::Unite;
    // Offsets are 32-bit; files are far smaller (see TailleMaximale).
    fin = std::min<size_t>(fin, std::numeric_limits<uint32_t>::max());
    const Noms<Curseur> noms{*this};
    uint32_t courante = Aucune; // the section the lines go to, if any
    size_t corps = 0;           // where its lines start
    const auto fermer = [&](size_t finCorps) {
        if (courante != Aucune)
            sections_[courante].corps = {static_cast<uint32_t>(corps),
                                         static_cast<uint32_t>(finCorps - corps)};
    };
    Lignes<U> lignes(texte, debut, fin);
    while (lignes.avancer()) {
        const Plage ligne = lignes.rognee();
        if (ligne.longueur == 0 || texte[ligne.debut] == U(';'))
            continue;
        if (texte[ligne.debut] == U('[')) {
            const size_t finNom = chercher(texte, ligne.debut + 1, finDe(ligne), U(']'));
            const Plage nom = Lignes<U>::rogner(texte, ligne.debut + 1,
                                                jusquAuNul(texte, ligne.debut + 1, finNom));
            fermer(lignes.debut());
            // A repeated header opens nothing: its lines are read by no one.
            const auto [index, nouvelle] =
                indexSections_.ajouter(nom, hacherNom(curseur<Curseur>(nom)),
                                       static_cast<uint32_t>(sections_.size()), noms);
            if (nouvelle)
                sections_.emplace_back();
            courante = nouvelle ? *index : Aucune;
            corps = lignes.suite();
            continue;
        }
        if (courante == Aucune)
            continue;
        // A line without "=" holds no key; the section read still finds it.
        const size_t egal = chercher(texte, ligne.debut, finDe(ligne), U('='));
        if (egal == finDe(ligne))
            continue;
        const Plage cle =
            Lignes<U>::rogner(texte, ligne.debut, jusquAuNul(texte, ligne.debut, egal));
        const Plage valeur = sansGuillemets(
            texte, Lignes<U>::rogner(texte, egal + 1, jusquAuNul(texte, egal + 1, finDe(ligne))));
        // The first occurrence wins.
        sections_[courante].cles.ajouter(cle, hacherNom(curseur<Curseur>(cle)), valeur, noms);
    }
    fermer(fin);
    sections_.shrink_to_fit();
    for (Section& section : sections_)
        section.cles.ajuster();
    indexSections_.ajuster();
}

template <class Curseur>
const Document::Section* Document::trouverSection(std::u16string_view nom) const
{
    const Noms<Curseur> noms{*this};
    const uint32_t* index = indexSections_.deviner(nom, noms);
    if (index == nullptr)
        index = indexSections_.trouver(nom, hacherNom(CurseurUtf16(nom)), noms);
    return index ? &sections_[*index] : nullptr;
}

template <class Curseur>
const Plage* Document::trouverCle(std::u16string_view section, std::u16string_view cle) const
{
    const Section* s = trouverSection<Curseur>(section);
    if (s == nullptr)
        return nullptr;
    const Noms<Curseur> noms{*this};
    const Plage* valeur = s->cles.deviner(cle, noms);
    return valeur ? valeur : s->cles.trouver(cle, hacherNom(CurseurUtf16(cle)), noms);
}

template <class Curseur>
std::optional<std::u16string> Document::valeurEn(std::u16string_view section,
                                                 std::u16string_view cle) const
{
    const Plage* v = trouverCle<Curseur>(section, cle);
    if (v == nullptr)
        return std::nullopt;
    std::u16string texte;
    for (Curseur c = curseur<Curseur>(*v); !c.fini();)
        texte.push_back(c.suivante());
    return texte;
}

template <class Curseur>
int Document::lireValeurEn(std::u16string_view section, std::u16string_view cle,
                           std::u16string_view defaut, char16_t* tampon, int capacite) const
{
    const Plage* v = trouverCle<Curseur>(section, cle);
    return v ? copierValeur(curseur<Curseur>(*v), tampon, capacite)
             : copierValeur(CurseurUtf16(defaut), tampon, capacite);
}

// The entries are found again in the section's lines, so that the document
// keeps no list of them: blank and comment lines are no entries, and no
// header lies among those lines.
template <class Curseur>
int Document::lireSectionEn(std::u16string_view section, char16_t* tampon, size_t limite) const
{
    using U = typename Curseur::Unite;
    const Section* s = trouverSection<Curseur>(section);
    if (s == nullptr)
        return 0;
    const U* texte = nullptr;
    if constexpr (std::is_same_v<U, char16_t>)
        texte = unites_.data();
    else
        texte = octets_.data();
    size_t n = 0;
    Lignes<U> lignes(texte, s->corps.debut, finDe(s->corps));
    while (lignes.avancer()) {
        const Plage ligne = lignes.rognee();
        if (ligne.longueur == 0 || texte[ligne.debut] == U(';'))
            continue;
        // Each entry ends with a NUL, so one holding a NUL is cut there.
        const size_t nul = jusquAuNul(texte, ligne.debut, finDe(ligne));
        Curseur c = curseur<Curseur>({ligne.debut, static_cast<uint32_t>(nul - ligne.debut)});
        n += c.lire(tampon + n, limite - n);
        if (n == limite)
            break;
        tampon[n++] = u'\0';
        if (n == limite)
            break;
    }
    return static_cast<int>(n);
}

std::optional<std::u16string> Document::valeur(std::u16string_view section,
                                               std::u16string_view cle) const
{
    switch (codage_) {
    case Codage::Utf16LE:
        return valeurEn<CurseurUtf16>(section, cle);
    case Codage::Utf8:
        return valeurEn<CurseurUtf8>(section, cle);
    case Codage::Cp1252:
        break;
    }
    return valeurEn<CurseurCp1252>(section, cle);
}

int Document::lireValeur(std::u16string_view section, std::u16string_view cle,
                         std::u16string_view defaut, char16_t* tampon, int capacite) const
{
    if (capacite <= 0)
        return 0;
    switch (codage_) {
    case Codage::Utf16LE:
        return lireValeurEn<CurseurUtf16>(section, cle, defaut, tampon, capacite);
    case Codage::Utf8:
        return lireValeurEn<CurseurUtf8>(section, cle, defaut, tampon, capacite);
    case Codage::Cp1252:
        break;
    }
    return lireValeurEn<CurseurCp1252>(section, cle, defaut, tampon, capacite);
}

int Document::lireSection(std::u16string_view section, char16_t* tampon, int capacite) const
{
    if (capacite <= 0)
        return 0;
    if (capacite < 3) {
        std::fill_n(tampon, capacite, u'\0');
        return 0;
    }
    const size_t limite = static_cast<size_t>(capacite - 2);
    int n = 0;
    switch (codage_) {
    case Codage::Utf16LE:
        n = lireSectionEn<CurseurUtf16>(section, tampon, limite);
        break;
    case Codage::Utf8:
        n = lireSectionEn<CurseurUtf8>(section, tampon, limite);
        break;
    case Codage::Cp1252:
        n = lireSectionEn<CurseurCp1252>(section, tampon, limite);
        break;
    }
    tampon[n] = u'\0';
    tampon[n + 1] = u'\0';
    return n;
}

bool Document::memesOctets(std::string_view octets) const
{
    if (codage_ != Codage::Utf16LE)
        return octets_ == octets;
    constexpr std::string_view Marque{"\xFF\xFE"};
    if (octets.substr(0, Marque.size()) != Marque)
        return false;
    octets.remove_prefix(Marque.size());
    const size_t paires = octets.size() / 2;
    if (unites_.size() != paires + octets.size() % 2)
        return false;
    if (octets.size() % 2 != 0 && static_cast<uint8_t>(octets.back()) != octetImpair_)
        return false;
    for (size_t i = 0; i < paires; ++i)
        if (unites_[i] != static_cast<char16_t>(static_cast<uint8_t>(octets[2 * i]) |
                                                (static_cast<uint8_t>(octets[2 * i + 1]) << 8)))
            return false;
    return true;
}

} // namespace ini
