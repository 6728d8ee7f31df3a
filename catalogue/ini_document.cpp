#include "catalogue/ini_document.h"

#include "catalogue/key_number.h"

#include <algorithm>
#include <cstring>
#include <random>

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

namespace
{

uint64_t tourner(uint64_t x, int b)
{
    return (x << b) | (x >> (64 - b));
}

void tour(uint64_t v[4])
{
    v[0] += v[1];
    v[1] = tourner(v[1], 13) ^ v[0];
    v[0] = tourner(v[0], 32);
    v[2] += v[3];
    v[3] = tourner(v[3], 16) ^ v[2];
    v[0] += v[3];
    v[3] = tourner(v[3], 21) ^ v[0];
    v[2] += v[1];
    v[1] = tourner(v[1], 17) ^ v[2];
    v[2] = tourner(v[2], 32);
}

// The second half of the key, drawn once a process.
uint64_t cleSecrete()
{
    static const uint64_t cle = [] {
        std::random_device hasard;
        return (uint64_t(hasard()) << 32) ^ hasard();
    }();
    return cle;
}

} // namespace

size_t graineAuHasard()
{
    static const size_t graine = [] {
        std::random_device hasard;
        return size_t((uint64_t(hasard()) << 32) ^ hasard());
    }();
    return graine;
}

size_t hacher(Nom nom, size_t graine) noexcept
{
    // SipHash-1-3 over the name's capitals, keyed by the seed and a secret
    // drawn at random: a name hashes like its other spellings, and no file
    // can choose names that collide.
    const uint64_t k0 = graine, k1 = cleSecrete();
    uint64_t v[4] = {k0 ^ 0x736f6d6570736575ULL, k1 ^ 0x646f72616e646f6dULL,
                     k0 ^ 0x6c7967656e657261ULL, k1 ^ 0x7465646279746573ULL};
    const std::string_view t = nom.texte;
    uint64_t mot = 0;
    size_t i = 0;
    for (; i < t.size(); ++i) {
        mot |= uint64_t(uint8_t(majuscule(t[i]))) << (8 * (i % 8));
        if (i % 8 == 7) {
            v[3] ^= mot;
            tour(v);
            v[0] ^= mot;
            mot = 0;
        }
    }
    mot |= uint64_t(t.size() & 0xFF) << 56;
    v[3] ^= mot;
    tour(v);
    v[0] ^= mot;
    v[2] ^= 0xFF;
    tour(v);
    tour(v);
    tour(v);
    return size_t(v[0] ^ v[1] ^ v[2] ^ v[3]);
}

const Section::Index& Section::index(std::string_view prefixe) const
{
    if (!index_ || !(Nom{index_->prefixe} == Nom{prefixe})) {
        auto index = std::make_shared<Index>();
        index->prefixe = prefixe;
        index->lignes.assign(catalogue::CleMaximale + 1, 0);
        pourChaqueLigne(corps_, [&](const Ligne& ligne) {
            if (ligne.genre != Ligne::Genre::Cle)
                return;
            uint32_t& premiere =
                index->lignes[size_t(catalogue::numeroDeCle(ligne.nom, prefixe).valeur)];
            if (premiere == 0) // the first line of a name wins
                premiere = static_cast<uint32_t>(ligne.texte.data() - corps_.data()) + 1;
        });
        index_ = std::move(index);
    }
    return *index_;
}

std::optional<std::string_view> Section::valeur(std::string_view cle) const
{
    std::optional<std::string_view> trouvee;
    pourChaqueLigne(corps_, [&](const Ligne& ligne) {
        if (ligne.genre == Ligne::Genre::Cle && Nom{ligne.nom} == Nom{cle})
            trouvee = ligne.valeur;
        return !trouvee;
    });
    return trouvee;
}

std::optional<std::string_view> Section::valeurSuivante(Curseur& curseur, std::string_view prefixe,
                                                        int numero) const
{
    if (numero < 1 || numero > catalogue::CleMaximale)
        return std::nullopt;
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
            curseur.valeur = ligne.valeur;
            // Past the line's end, so that the next step starts on the next
            // line rather than reading this one's end as a blank line.
            size_t fin =
                static_cast<size_t>(ligne.brute.data() + ligne.brute.size() - corps_.data());
            if (fin < corps_.size())
                fin += corps_[fin] == '\r' && fin + 1 < corps_.size() && corps_[fin + 1] == '\n'
                           ? 2
                           : 1;
            curseur.finLigne = fin;
            curseur.surCle = true;
            return false;
        });
        if (!curseur.surCle)
            return std::nullopt; // no key line left: the key is absent
    }
    if (catalogue::numeroDeCle(curseur.nom, prefixe).valeur == numero) {
        // The line at the cursor answered: the cursor moves past it.
        curseur.suite = curseur.finLigne;
        curseur.surCle = false;
        return curseur.valeur;
    }
    const uint32_t ligne = index(prefixe).lignes[size_t(numero)];
    if (ligne == 0)
        return std::nullopt;
    const std::string_view reste = corps_.substr(ligne - 1);
    return detail::lireLigne(reste.substr(0, finDeLigne(reste))).valeur;
}

namespace
{

// Where the first header line at or after the line that starts at `debut`
// starts (its "["), or the end of the text: a "[" with nothing but blanks
// before it on its line. A "[" inside a value is passed over; each blank is
// looked at once, so the search is linear.
size_t prochainEntete(std::string_view texte, size_t debut)
{
    for (size_t p = texte.find('[', debut); p != std::string_view::npos;
         p = texte.find('[', p + 1)) {
        size_t q = p;
        while (q > debut && detail::estBlanc(texte[q - 1]))
            --q;
        if (q == debut || texte[q - 1] == '\n' || texte[q - 1] == '\r')
            return p;
    }
    return texte.size();
}

} // namespace

Document::Document(Octets octets)
    : texte_(decoder(std::move(octets))), entetes_(4), graine_(graineAuHasard())
{
    // Only the header lines are parsed, found by their "[": the other lines
    // are not looked at one by one.
    const std::string_view texte = texte_.utf8;
    for (size_t p = prochainEntete(texte, 0); p < texte.size();) {
        const size_t longueur = finDeLigne(texte.substr(p));
        const size_t fin = longueur == std::string_view::npos ? texte.size() : p + longueur;
        noterEntete(detail::lireLigne(texte.substr(p, fin - p)));
        if (fin == texte.size())
            break;
        p = prochainEntete(texte, fin + (texte.compare(fin, 2, "\r\n") == 0 ? 2 : 1));
    }
}

void Document::noterEntete(const Ligne& ligne)
{
    // Only the first header of a name opens a section: the lines under a
    // repeated one are read by no one.
    const std::string_view texte = texte_.utf8;
    const auto empreinte = static_cast<uint32_t>(hacher(Nom{ligne.nom}, graine_));
    const size_t i = caseDe(ligne.nom, empreinte);
    if (entetes_[i].ligne != 0)
        return;
    entetes_[i] = {empreinte, static_cast<uint32_t>(ligne.texte.data() - texte.data()) + 1,
                   static_cast<uint32_t>(ligne.nom.data() - texte.data()),
                   static_cast<uint32_t>(ligne.nom.size())};
    // At most three quarters full, so that a search meets an empty slot soon.
    if (4 * ++nombreEntetes_ > 3 * entetes_.size())
        agrandir();
}

size_t Document::caseDe(std::string_view nom, uint32_t empreinte) const
{
    const size_t masque = entetes_.size() - 1;
    size_t i = empreinte & masque;
    for (; entetes_[i].ligne != 0; i = (i + 1) & masque)
        if (entetes_[i].empreinte == empreinte &&
            Nom{std::string_view(texte_.utf8).substr(entetes_[i].nom, entetes_[i].longueur)} ==
                Nom{nom})
            break;
    return i;
}

void Document::agrandir()
{
    std::vector<Entete> anciennes(2 * entetes_.size());
    anciennes.swap(entetes_);
    const size_t masque = entetes_.size() - 1;
    for (const Entete& e : anciennes) {
        if (e.ligne == 0)
            continue;
        size_t i = e.empreinte & masque;
        while (entetes_[i].ligne != 0)
            i = (i + 1) & masque;
        entetes_[i] = e;
    }
}

const Section* Document::section(std::string_view nom) const
{
    const Entete& e = entetes_[caseDe(nom, static_cast<uint32_t>(hacher(Nom{nom}, graine_)))];
    if (e.ligne == 0)
        return nullptr;
    const auto lue = lues_.find(e.ligne);
    if (lue != lues_.end())
        return &lue->second;
    // The body runs from the header, whose own line is never an entry since
    // it opens with "[", to the next header line, of any name.
    const std::string_view texte = texte_.utf8;
    const size_t debut = e.ligne - 1;
    const size_t finEntete = finDeLigne(texte.substr(debut));
    size_t suite = finEntete == std::string_view::npos ? texte.size() : debut + finEntete;
    if (suite < texte.size())
        suite += texte.compare(suite, 2, "\r\n") == 0 ? 2 : 1;
    const size_t fin = prochainEntete(texte, suite);
    return &lues_.emplace(e.ligne, Section(texte.substr(debut, fin - debut))).first->second;
}

bool Document::ouvreSaSection(const Ligne& entete) const
{
    const Entete& e =
        entetes_[caseDe(entete.nom, static_cast<uint32_t>(hacher(Nom{entete.nom}, graine_)))];
    return e.ligne != 0 && texte_.utf8.data() + e.ligne - 1 == entete.texte.data();
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
