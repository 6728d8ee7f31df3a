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
    // Eight bytes at a time, each with its 0x20 bit cleared: a letter hashes
    // like its capital (so do a few other pairs of characters, which only
    // costs a comparison).
    const char* p = nom.texte.data();
    size_t reste = nom.texte.size();
    uint64_t h = graine ^ (reste * 0x9E3779B97F4A7C15ULL);
    while (reste > 0) {
        uint64_t mot = 0;
        const size_t n = std::min<size_t>(reste, 8);
        std::memcpy(&mot, p, n);
        h = (h ^ (mot & 0xDFDFDFDFDFDFDFDFULL)) * 0xFF51AFD7ED558CCDULL;
        h ^= h >> 29;
        p += n;
        reste -= n;
    }
    // Every byte must reach the low bits, from which the table takes its
    // bucket (MurmurHash3's finaliser).
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ULL;
    h ^= h >> 33;
    return static_cast<size_t>(h);
}

size_t TableCles::chercher(std::string_view texte, std::string_view nom, uint32_t empreinte,
                           std::string_view* valeur) const
{
    const size_t masque = cases_.size() - 1;
    for (size_t i = empreinte & masque;; i = (i + 1) & masque) {
        const Case& c = cases_[i];
        if (c.debut == Vide)
            return i;
        if (c.empreinte != empreinte)
            continue;
        const std::string_view reste = texte.substr(c.debut);
        const Ligne ligne = detail::lireLigne(reste.substr(0, finDeLigne(reste)));
        if (Nom{ligne.nom} == Nom{nom}) {
            if (valeur)
                *valeur = ligne.valeur;
            return i;
        }
    }
}

void TableCles::agrandir()
{
    std::vector<Case> anciennes(std::max<size_t>(16, 2 * cases_.size()));
    anciennes.swap(cases_);
    const size_t masque = cases_.size() - 1;
    for (const Case& c : anciennes) {
        if (c.debut == Vide)
            continue;
        size_t i = c.empreinte & masque;
        while (cases_[i].debut != Vide)
            i = (i + 1) & masque;
        cases_[i] = c;
    }
}

void TableCles::ajouter(std::string_view texte, uint32_t debut, std::string_view nom)
{
    // At most half full, so that a search meets an empty slot soon.
    if (2 * (nombre_ + 1) > cases_.size())
        agrandir();
    const auto empreinte = static_cast<uint32_t>(qHash(Nom{nom}));
    Case& c = cases_[chercher(texte, nom, empreinte)];
    if (c.debut != Vide)
        return;
    c = {debut, empreinte};
    ++nombre_;
}

std::optional<std::string_view> TableCles::valeur(std::string_view texte, std::string_view nom,
                                                  uint32_t* debut) const
{
    if (cases_.empty())
        return std::nullopt;
    std::string_view trouvee;
    const Case& c = cases_[chercher(texte, nom, static_cast<uint32_t>(qHash(Nom{nom})), &trouvee)];
    if (c.debut == Vide)
        return std::nullopt;
    if (debut)
        *debut = c.debut;
    return trouvee;
}

const TableCles& Section::cles() const
{
    if (!cles_) {
        cles_ = std::make_shared<TableCles>();
        pourChaqueLigne(corps_, [&](const Ligne& ligne) {
            if (ligne.genre == Ligne::Genre::Cle)
                cles_->ajouter(corps_, static_cast<uint32_t>(ligne.texte.data() - corps_.data()),
                               ligne.nom);
        });
    }
    return *cles_;
}

std::optional<std::string_view> Section::valeur(std::string_view cle) const
{
    return cles().valeur(corps_, cle);
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
