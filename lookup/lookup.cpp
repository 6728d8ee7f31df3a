#include "lookup/lookup.h"

#include "catalogue/key_walk.h"
#include "catalogue/value_cut.h"
#include "lookup/sieve.h"
#include "lookup/text.h"

#include <algorithm>

namespace consultation
{
namespace
{

// A port field as the file writes it: "53", "7000/7001", "30000-32767".
// 0 when `port` is one of its numbers, 1 when it lies in one of its ranges,
// -1 otherwise.
int servi(std::u16string_view champ, int port)
{
    int meilleur = -1;
    for (const std::u16string_view morceau : decouper(champ, u"/")) {
        const size_t tiret = morceau.find(u'-');
        int debut = 0, fin = 0;
        if (!entier(rogner(morceau.substr(0, tiret)), debut))
            continue;
        fin = debut;
        if (tiret != std::u16string_view::npos && !entier(rogner(morceau.substr(tiret + 1)), fin))
            continue;
        if (port < debut || port > fin)
            continue;
        const int nuance = debut == fin ? 0 : 1;
        meilleur = meilleur < 0 ? nuance : std::min(meilleur, nuance);
    }
    return meilleur;
}

// How the entry of another name of a type opens: the name of its type follows.
constexpr std::u16string_view AutreNom[] = {u"Alias de ", u"Nom obsolète de "};

// The length of the opening of `sens` that says it is another name, or 0.
size_t autreNom(std::u16string_view sens)
{
    for (const std::u16string_view debut : AutreNom)
        if (sens.substr(0, debut.size()) == debut)
            return debut.size();
    return 0;
}

// The protocols a port number may name after a slash ("443/tcp").
constexpr std::u16string_view Protocoles[] = {u"tcp", u"udp", u"sctp", u"dccp"};

// The port and protocol `texte` names: "443", "443/tcp", "3389/UDP"
// (protocol in capitals, empty when none is named); false when it names
// none. A line end may close the text, as a pattern's "$" allows.
bool lirePort(std::u16string_view texte, int& port, std::u16string& protocole)
{
    if (!texte.empty() && texte.back() == u'\n')
        texte.remove_suffix(1);
    size_t chiffres = 0;
    while (chiffres < texte.size() && texte[chiffres] >= u'0' && texte[chiffres] <= u'9')
        ++chiffres;
    if (chiffres == 0 || chiffres > 5 || !entier(texte.substr(0, chiffres), port) || port > 65535)
        return false;
    const std::u16string_view reste = texte.substr(chiffres);
    protocole.clear();
    if (reste.empty())
        return true;
    if (reste.front() != u'/')
        return false;
    for (const std::u16string_view p : Protocoles) {
        if (egaux(reste.substr(1), p)) {
            for (const char16_t c : p)
                protocole += static_cast<char16_t>(c - (u'a' - u'A'));
            return true;
        }
    }
    return false;
}

} // namespace

Requete::Requete(std::u16string_view texte, bool casse) : texte_(texte), casse_(casse)
{
    if (!casse)
        plier(texte, plie_);
    int port = 0;
    if (lirePort(texte, port, protocole_))
        port_ = port;
    const bool point = !texte.empty() && texte.front() == u'.';
    if (texte.size() > (point ? 1U : 0U) &&
        texte.find_first_of(u" \t\n\v\f\r,/()") == std::u16string_view::npos)
        extension_ = point ? std::u16string(texte) : u'.' + std::u16string(texte);
    // Every rank but a port's asks the line to hold the text, letter case
    // aside (extensions and other names included): an ASCII text is then in
    // the bytes as they are, ASCII letter case aside.
    std::u16string plie;
    plier(texte, plie);
    filtre_ =
        !plie.empty() && std::all_of(plie.begin(), plie.end(), [](char16_t c) { return c < 0x80; });
    if (filtre_)
        ascii_.assign(plie.begin(), plie.end());
}

std::optional<Crible> Requete::crible(const catalogue::Catalogue& c,
                                      std::string_view document) const
{
    if (!filtre_ || (port_ >= 0 && &c == &catalogue::IpPorts))
        return std::nullopt;
    return Crible(ascii_, document);
}

bool Requete::estPortServi(std::u16string_view valeur, uint8_t& nuance) const
{
    if (port_ < 0 || !catalogue::aAssezDeVirgules(valeur, 5))
        return false;
    const catalogue::ChampsIpPort champs = catalogue::champsIpPort(valeur);
    if (!protocole_.empty()) {
        const auto protocoles = decouper(champs.champs[0], u"/");
        if (std::none_of(protocoles.begin(), protocoles.end(),
                         [&](std::u16string_view p) { return egaux(rogner(p), protocole_); }))
            return false;
    }
    const int n = servi(champs.champs[1], port_);
    nuance = static_cast<uint8_t>(std::max(n, 0));
    return n >= 0;
}

bool Requete::estTypeListe(std::u16string_view valeur, uint8_t& nuance) const
{
    const size_t virgule = valeur.find(u',');
    if (virgule == std::u16string_view::npos)
        return false;
    const std::u16string_view sens = valeur.substr(virgule + 1);
    const size_t alias = autreNom(sens);
    nuance = alias > 0 ? 1 : 0;
    // Another name names its type first: "Alias de text/javascript : ...".
    if (alias > 0 && texte_.find(u'/') != std::u16string::npos) {
        const std::u16string_view nomme = sens.substr(alias);
        if (commencePar(nomme, texte_) && nomme.substr(texte_.size()).substr(0, 2) == u" :")
            return true;
    }
    // The extensions close the description, in brackets: "(.doc, .docx)".
    if (extension_.empty() || sens.empty() || sens.back() != u')')
        return false;
    const size_t ouvrante = sens.rfind(u'(');
    if (ouvrante == std::u16string_view::npos)
        return false;
    const std::u16string_view liste = sens.substr(ouvrante + 1, sens.size() - ouvrante - 2);
    for (const std::u16string_view element : decouper(liste, u", "))
        if (egaux(element, extension_) || egaux(element, texte_))
            return true;
    return false;
}

bool Requete::classer(const catalogue::Catalogue& c, std::u16string_view valeur,
                      Trouvee& trouvee) const
{
    const size_t virgule = valeur.find(u',');
    const size_t longueurTerme = virgule == std::u16string_view::npos ? valeur.size() : virgule;
    std::u16string_view ligne = valeur;
    std::u16string_view cherche = texte_;
    if (!casse_) {
        plier(valeur, tampon_);
        ligne = tampon_;
        cherche = plie_;
    }
    trouvee.nuance = 0;
    if (ligne.substr(0, longueurTerme) == cherche) {
        trouvee.rang = Rang::Terme;
        return true;
    }
    if (&c == &catalogue::IpPorts && estPortServi(valeur, trouvee.nuance)) {
        trouvee.rang = Rang::Port;
        return true;
    }
    if (&c == &catalogue::MimeTypes && estTypeListe(valeur, trouvee.nuance)) {
        trouvee.rang = Rang::Type;
        return true;
    }
    const size_t ou = ligne.find(cherche);
    if (ou == std::u16string_view::npos)
        return false;
    trouvee.rang = Rang::Ligne;
    trouvee.nuance = ou == 0 ? 0 : ou + cherche.size() <= longueurTerme ? 1 : 2;
    return true;
}

std::array<Groupe, 3> chercher(std::shared_ptr<const ini::Document> version,
                               std::u16string_view texte, bool casse)
{
    const Requete requete(texte, casse);
    std::array<Groupe, 3> groupes;
    for (size_t i = 0; i < catalogue::Tous.size(); ++i) {
        const catalogue::Catalogue& c = *catalogue::Tous[i];
        Groupe& groupe = groupes[i];
        groupe.catalogue = &c;
        std::optional<Crible> crible =
            requete.crible(c, version ? std::string_view(version->texte().utf8) : "");
        // A section whose text does not hold the text sought has no value
        // that does: its walk is left out.
        const ini::Section* section = version ? version->section(c.section) : nullptr;
        if (crible && section && !crible->peutTenir(section->corps()))
            continue;
        catalogue::Passe passe(c, version);
        Trouvee trouvee;
        while (passe.suivanteBrute()) {
            if (crible && !crible->peutTenir(passe.brute()))
                continue;
            passe.decoder();
            if (!requete.classer(c, passe.vue(), trouvee))
                continue;
            trouvee.cle = passe.numero();
            trouvee.valeur = passe.vue();
            groupe.trouvees.push_back(trouvee);
        }
        std::stable_sort(groupe.trouvees.begin(), groupe.trouvees.end(),
                         [](const Trouvee& a, const Trouvee& b) {
                             return std::tie(a.rang, a.nuance) < std::tie(b.rang, b.nuance);
                         });
    }
    return groupes;
}

} // namespace consultation
