#include "catalogue/ini_document.h"

#include "catalogue/ini_decode.h"

#include <algorithm>

namespace ini
{
namespace
{

constexpr size_t Aucune = static_cast<size_t>(-1);

bool estBlanc(char16_t c)
{
    return c == u' ' || c == u'\t';
}

std::u16string_view rogner(std::u16string_view s)
{
    while (!s.empty() && estBlanc(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && estBlanc(s.back()))
        s.remove_suffix(1);
    return s;
}

// A NUL ends a name or a value where it stands.
std::u16string_view jusquAuNul(std::u16string_view s)
{
    return s.substr(0, s.find(u'\0'));
}

std::u16string_view sansGuillemets(std::u16string_view v)
{
    if (v.size() >= 2 && v.front() == v.back() && (v.front() == u'"' || v.front() == u'\''))
        return v.substr(1, v.size() - 2);
    return v;
}

bool estFinDeLigne(char16_t c)
{
    return c == u'\n' || c == u'\r';
}

bool estSurrogatHaut(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

} // namespace

std::unique_ptr<Document> Document::depuisOctets(std::string_view octets)
{
    return depuisTexte(decoder(octets));
}

std::unique_ptr<Document> Document::depuisTexte(std::u16string texte)
{
    std::unique_ptr<Document> document(new Document(std::move(texte)));
    document->analyser();
    return document;
}

Document::Document(std::u16string texte) : texte_(std::move(texte)) {}

void Document::analyser()
{
    const std::u16string_view texte = texte_;
    size_t courante = Aucune;
    size_t debut = 0;
    while (debut < texte.size()) {
        size_t fin = debut;
        while (fin < texte.size() && !estFinDeLigne(texte[fin]))
            ++fin;
        analyserLigne(rogner(texte.substr(debut, fin - debut)), courante);
        // CRLF is one line end; a lone CR or LF is one too.
        if (fin < texte.size() && texte[fin] == u'\r' && fin + 1 < texte.size() &&
            texte[fin + 1] == u'\n')
            ++fin;
        debut = fin + 1;
    }
}

void Document::analyserLigne(std::u16string_view ligne, size_t& courante)
{
    if (ligne.empty() || ligne.front() == u';')
        return;
    if (ligne.front() == u'[') {
        std::u16string_view nom = ligne.substr(1);
        nom = rogner(jusquAuNul(nom.substr(0, nom.find(u']'))));
        // A repeated header opens nothing: its lines are read by no one.
        const auto [index, nouvelle] = indexSections_.ajouter(nom, sections_.size());
        if (nouvelle)
            sections_.emplace_back();
        courante = nouvelle ? *index : Aucune;
        return;
    }
    if (courante == Aucune)
        return;
    Section& section = sections_[courante];
    section.entrees.push_back(ligne);
    const size_t egal = ligne.find(u'=');
    if (egal == std::u16string_view::npos)
        return;
    const std::u16string_view cle = rogner(jusquAuNul(ligne.substr(0, egal)));
    const std::u16string_view valeur = sansGuillemets(rogner(jusquAuNul(ligne.substr(egal + 1))));
    section.cles.ajouter(cle, valeur); // the first occurrence wins
}

const Document::Section* Document::trouverSection(std::u16string_view nom) const
{
    const size_t* index = indexSections_.trouver(nom);
    return index ? &sections_[*index] : nullptr;
}

std::optional<std::u16string_view> Document::valeur(std::u16string_view section,
                                                    std::u16string_view cle) const
{
    const Section* s = trouverSection(section);
    if (s == nullptr)
        return std::nullopt;
    const std::u16string_view* v = s->cles.trouver(cle);
    if (v == nullptr)
        return std::nullopt;
    return *v;
}

int Document::lireValeur(std::u16string_view section, std::u16string_view cle,
                         std::u16string_view defaut, char16_t* tampon, int capacite) const
{
    if (capacite <= 0)
        return 0;
    const std::u16string_view source = valeur(section, cle).value_or(defaut);
    size_t n = std::min(source.size(), static_cast<size_t>(capacite - 1));
    // Never leave half of a surrogate pair at the end of the cut.
    if (n < source.size() && n > 0 && estSurrogatHaut(source[n - 1]))
        --n;
    std::copy_n(source.data(), n, tampon);
    tampon[n] = u'\0';
    return static_cast<int>(n);
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
    size_t n = 0;
    if (const Section* s = trouverSection(section)) {
        for (std::u16string_view entree : s->entrees) {
            // Each entry ends with a NUL, so one holding a NUL is cut there.
            entree = jusquAuNul(entree).substr(0, limite - n);
            std::copy(entree.begin(), entree.end(), tampon + n);
            n += entree.size();
            if (n == limite)
                break;
            tampon[n++] = u'\0';
            if (n == limite)
                break;
        }
    }
    tampon[n] = u'\0';
    tampon[n + 1] = u'\0';
    return static_cast<int>(n);
}

} // namespace ini
