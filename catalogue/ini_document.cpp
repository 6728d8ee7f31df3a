#include "catalogue/ini_document.h"

#include <algorithm>
#include <cstring>

namespace ini
{
namespace
{

char majuscule(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c;
}

} // namespace

bool Nom::operator==(const Nom& autre) const
{
    if (texte.size() != autre.texte.size())
        return false;
    if (texte == autre.texte) // names are mostly written as they are asked for
        return true;
    for (size_t i = 0; i < texte.size(); ++i)
        if (majuscule(texte[i]) != majuscule(autre.texte[i]))
            return false;
    return true;
}

size_t qHash(Nom nom, size_t graine) noexcept
{
    // FNV-1a over the capitals: a name hashes like its other spellings.
    uint64_t h = 0xCBF29CE484222325ULL ^ graine;
    for (const char c : nom.texte)
        h = (h ^ static_cast<uint8_t>(majuscule(c))) * 0x100000001B3ULL;
    return static_cast<size_t>(h ^ (h >> 32));
}

const Section::Index& Section::index() const
{
    if (!index_) {
        auto index = std::make_shared<Index>();
        pourChaqueLigne(corps_, [&](const Ligne& ligne) {
            if (ligne.genre == Ligne::Genre::Cle)
                index->emplace_back(static_cast<uint32_t>(qHash(Nom{ligne.nom})),
                                    static_cast<uint32_t>(ligne.texte.data() - corps_.data()));
        });
        std::sort(index->begin(), index->end());
        index_ = std::move(index);
    }
    return *index_;
}

std::optional<std::string_view> Section::valeur(std::string_view cle) const
{
    const auto h = static_cast<uint32_t>(qHash(Nom{cle}));
    const Index& lignes = index();
    // The lines whose name has this hash, in file order: the first one of
    // the name wins.
    for (auto i = std::lower_bound(lignes.begin(), lignes.end(), std::pair(h, 0u));
         i != lignes.end() && i->first == h; ++i) {
        const std::string_view reste = corps_.substr(i->second);
        const Ligne ligne = detail::lireLigne(reste.substr(0, finDeLigne(reste)));
        if (Nom{ligne.nom} == Nom{cle})
            return ligne.valeur;
    }
    return std::nullopt;
}

std::optional<std::string_view> Section::valeurSuivante(size_t& suite, std::string_view cle) const
{
    std::optional<std::string_view> trouvee;
    bool finDeSection = true;
    pourChaqueLigne(corps_.substr(std::min(suite, corps_.size())), [&](const Ligne& ligne) {
        if (ligne.genre != Ligne::Genre::Cle)
            return true;
        finDeSection = false;
        if (Nom{ligne.nom} == Nom{cle}) {
            trouvee = ligne.valeur;
            // What is left of the line is blank.
            suite = static_cast<size_t>(ligne.texte.data() + ligne.texte.size() - corps_.data());
        }
        return false;
    });
    if (trouvee || finDeSection)
        return trouvee;
    return valeur(cle);
}

Document::Document(std::string octets) : texte_(decoder(std::move(octets)))
{
    const std::string_view texte = texte_.utf8;
    Section* courante = nullptr; // where the lines go: none before the first header
    const char* corps = nullptr;
    const auto fermer = [&](const char* fin) {
        if (courante)
            *courante = Section(std::string_view(corps, static_cast<size_t>(fin - corps)));
    };
    pourChaqueLigne(texte, [&](const Ligne& ligne) {
        if (ligne.genre == Ligne::Genre::Entete) {
            fermer(ligne.texte.data());
            // A repeated header opens nothing: its lines are read by no one.
            const bool nouvelle = !sections_.contains(Nom{ligne.nom});
            courante = nouvelle ? &sections_[Nom{ligne.nom}] : nullptr;
            // The body starts on the next line; the header's own text is
            // never an entry since it opens with "[".
            corps = ligne.texte.data();
        }
    });
    fermer(texte.data() + texte.size());
}

const Section* Document::section(std::string_view nom) const
{
    const auto s = sections_.constFind(Nom{nom});
    return s == sections_.cend() ? nullptr : &*s;
}

std::optional<std::string_view> Document::valeur(std::string_view section,
                                                 std::string_view cle) const
{
    const Section* s = this->section(section);
    return s ? s->valeur(cle) : std::nullopt;
}

std::vector<std::string_view> Document::entrees(std::string_view section, size_t limite) const
{
    std::vector<std::string_view> resultat;
    const auto s = sections_.constFind(Nom{section});
    if (s == sections_.cend())
        return resultat;
    size_t octets = 0;
    pourChaqueLigne(s->corps(), [&](const Ligne& ligne) {
        if (ligne.genre == Ligne::Genre::Cle || ligne.genre == Ligne::Genre::SansEgal) {
            resultat.push_back(detail::jusquAuNul(ligne.texte));
            octets += resultat.back().size() + 1;
        }
        return octets < limite;
    });
    return resultat;
}

} // namespace ini
