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
    // The capitals, 64 bytes at a time, each piece hashed with the hash of
    // the ones before as its seed: a name hashes like its other spellings.
    char capitales[64];
    size_t h = graine;
    std::string_view reste = nom.texte;
    do {
        const size_t n = std::min(reste.size(), sizeof capitales);
        for (size_t i = 0; i < n; ++i)
            capitales[i] = majuscule(reste[i]);
        h = qHash(QByteArrayView(capitales, static_cast<qsizetype>(n)), h);
        reste.remove_prefix(n);
    } while (!reste.empty());
    return h;
}

namespace
{

uint32_t empreinte(std::string_view nom)
{
    return static_cast<uint32_t>(qHash(Nom{nom}, QHashSeed::globalSeed()));
}

} // namespace

const Section::Index& Section::index() const
{
    if (!index_) {
        auto index = std::make_shared<Index>();
        pourChaqueLigne(corps_, [&](const Ligne& ligne) {
            if (ligne.genre == Ligne::Genre::Cle)
                index->emplace_back(empreinte(ligne.nom),
                                    static_cast<uint32_t>(ligne.texte.data() - corps_.data()));
        });
        std::sort(index->begin(), index->end());
        index_ = std::move(index);
    }
    return *index_;
}

std::optional<std::string_view> Section::valeur(std::string_view cle) const
{
    const uint32_t h = empreinte(cle);
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

std::optional<std::string_view> Section::valeurSuivante(Curseur& curseur,
                                                        std::string_view cle) const
{
    if (!curseur.surCle) {
        // Step over what is not a key line, once for the whole walk.
        curseur.suite = std::min(curseur.suite, corps_.size());
        const size_t depart = curseur.suite;
        curseur.suite = corps_.size();
        pourChaqueLigne(corps_.substr(depart), [&](const Ligne& ligne) {
            if (ligne.genre != Ligne::Genre::Cle)
                return true;
            curseur.suite = static_cast<size_t>(ligne.texte.data() - corps_.data());
            curseur.nom = ligne.nom;
            curseur.surCle = true;
            return false;
        });
        if (!curseur.surCle)
            return std::nullopt; // no key line left: the key is absent
    }
    if (!(Nom{curseur.nom} == Nom{cle}))
        return valeur(cle);
    // The line at the cursor answers: read its value and move past it.
    const std::string_view reste = corps_.substr(curseur.suite);
    const Ligne ligne = detail::lireLigne(reste.substr(0, finDeLigne(reste)));
    curseur.suite = static_cast<size_t>(ligne.texte.data() + ligne.texte.size() - corps_.data());
    curseur.surCle = false;
    return ligne.valeur;
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

bool Document::aDesEntrees(std::string_view section) const
{
    const Section* s = this->section(section);
    bool entree = false;
    if (s)
        pourChaqueLigne(s->corps(), [&](const Ligne& ligne) {
            entree = ligne.genre == Ligne::Genre::Cle || ligne.genre == Ligne::Genre::SansEgal;
            return !entree;
        });
    return entree;
}

} // namespace ini
