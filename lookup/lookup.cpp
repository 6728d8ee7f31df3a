#include "lookup/lookup.h"

#include "catalogue/key_walk.h"
#include "catalogue/value_cut.h"

#include <QRegularExpression>

#include <algorithm>

namespace consultation
{
namespace
{

// `texte` case-folded into `plie`, one UTF-16 unit for one, as Qt's
// case-insensitive comparisons fold: the text is folded once and each value
// into one reused buffer, then compared exactly. ASCII needs no table.
void plier(QStringView texte, QString& plie)
{
    plie.resize(texte.size());
    QChar* sortie = plie.data();
    for (qsizetype i = 0; i < texte.size(); ++i) {
        const char16_t c = texte[i].unicode();
        if (c < 0x80) {
            sortie[i] = QChar(c >= 'A' && c <= 'Z' ? char16_t(c + ('a' - 'A')) : c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < texte.size() &&
                   texte[i + 1].isLowSurrogate()) {
            const char32_t point =
                QChar::toCaseFolded(QChar::surrogateToUcs4(c, texte[i + 1].unicode()));
            sortie[i] = QChar(QChar::highSurrogate(point));
            sortie[++i] = QChar(QChar::lowSurrogate(point));
        } else {
            sortie[i] = QChar(static_cast<char16_t>(QChar::toCaseFolded(char32_t(c))));
        }
    }
}

bool egaux(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A port field as the file writes it: "53", "7000/7001", "30000-32767".
// 0 when `port` is one of its numbers, 1 when it lies in one of its ranges,
// -1 otherwise.
int servi(QStringView champ, int port)
{
    int meilleur = -1;
    for (const QStringView morceau : champ.split(u'/')) {
        const qsizetype tiret = morceau.indexOf(u'-');
        bool ok1 = false, ok2 = true;
        const int debut = morceau.left(tiret < 0 ? morceau.size() : tiret).trimmed().toInt(&ok1);
        const int fin = tiret < 0 ? debut : morceau.mid(tiret + 1).trimmed().toInt(&ok2);
        if (!ok1 || !ok2 || port < debut || port > fin)
            continue;
        const int nuance = debut == fin ? 0 : 1;
        meilleur = meilleur < 0 ? nuance : std::min(meilleur, nuance);
    }
    return meilleur;
}

// How the entry of another name of a type opens: the name of its type follows.
const std::array<QString, 2> AutreNom{QStringLiteral("Alias de "),
                                      QStringLiteral("Nom obsolète de ")};

// The length of the opening of `sens` that says it is another name, or 0.
qsizetype autreNom(QStringView sens)
{
    for (const QString& debut : AutreNom)
        if (sens.startsWith(debut))
            return debut.size();
    return 0;
}

} // namespace

Requete::Requete(const QString& texte, bool casse) : texte_(texte), casse_(casse)
{
    if (!casse)
        plier(texte, plie_);
    static const QRegularExpression numero(QStringLiteral("^(\\d{1,5})(?:/(tcp|udp|sctp|dccp))?$"),
                                           QRegularExpression::CaseInsensitiveOption);
    if (const auto m = numero.match(texte); m.hasMatch() && m.captured(1).toInt() <= 65535) {
        port_ = m.captured(1).toInt();
        protocole_ = m.captured(2).toUpper();
    }
    static const QRegularExpression pasUneExtension(QStringLiteral("[\\s,/()]"));
    if (texte.size() > (texte.startsWith(u'.') ? 1 : 0) && !texte.contains(pasUneExtension))
        extension_ = texte.startsWith(u'.') ? texte : u'.' + texte;
}

bool Requete::estPortServi(QStringView valeur, uint8_t& nuance) const
{
    if (port_ < 0)
        return false;
    const std::u16string_view brut(reinterpret_cast<const char16_t*>(valeur.utf16()),
                                   static_cast<size_t>(valeur.size()));
    if (!catalogue::aAssezDeVirgules(brut, 5))
        return false;
    const catalogue::ChampsIpPort champs = catalogue::champsIpPort(brut);
    const auto vue = [](std::u16string_view v) {
        return QStringView(v.data(), static_cast<qsizetype>(v.size()));
    };
    if (!protocole_.isEmpty()) {
        const auto protocoles = vue(champs.champs[0]).split(u'/');
        if (std::none_of(protocoles.begin(), protocoles.end(),
                         [&](QStringView p) { return egaux(p.trimmed(), protocole_); }))
            return false;
    }
    const int n = servi(vue(champs.champs[1]), port_);
    nuance = static_cast<uint8_t>(std::max(n, 0));
    return n >= 0;
}

bool Requete::estTypeListe(QStringView valeur, uint8_t& nuance) const
{
    const qsizetype virgule = valeur.indexOf(u',');
    if (virgule < 0)
        return false;
    const QStringView sens = valeur.mid(virgule + 1);
    const qsizetype alias = autreNom(sens);
    nuance = alias > 0 ? 1 : 0;
    // Another name names its type first: "Alias de text/javascript : ...".
    if (alias > 0 && texte_.contains(u'/')) {
        const QStringView nomme = sens.mid(alias);
        if (nomme.startsWith(texte_, Qt::CaseInsensitive) &&
            nomme.mid(texte_.size()).startsWith(u" :"))
            return true;
    }
    // The extensions close the description, in brackets: "(.doc, .docx)".
    if (extension_.isEmpty() || !sens.endsWith(u')'))
        return false;
    const qsizetype ouvrante = sens.lastIndexOf(u'(');
    if (ouvrante < 0)
        return false;
    for (const QStringView element : sens.mid(ouvrante + 1).chopped(1).split(u", "))
        if (egaux(element, extension_) || egaux(element, texte_))
            return true;
    return false;
}

bool Requete::classer(const catalogue::Catalogue& c, QStringView valeur, Trouvee& trouvee) const
{
    const qsizetype virgule = valeur.indexOf(u',');
    const qsizetype longueurTerme = virgule < 0 ? valeur.size() : virgule;
    QStringView ligne = valeur;
    QStringView cherche = texte_;
    if (!casse_) {
        plier(valeur, tampon_);
        ligne = tampon_;
        cherche = plie_;
    }
    trouvee.nuance = 0;
    if (ligne.left(longueurTerme) == cherche) {
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
    const qsizetype ou = ligne.indexOf(cherche);
    if (ou < 0)
        return false;
    trouvee.rang = Rang::Ligne;
    trouvee.nuance = ou == 0 ? 0 : ou + cherche.size() <= longueurTerme ? 1 : 2;
    return true;
}

std::array<Groupe, 3> chercher(std::shared_ptr<const ini::Document> version, const QString& texte,
                               bool casse)
{
    const Requete requete(texte, casse);
    std::array<Groupe, 3> groupes;
    for (size_t i = 0; i < catalogue::Tous.size(); ++i) {
        const catalogue::Catalogue& c = *catalogue::Tous[i];
        Groupe& groupe = groupes[i];
        groupe.catalogue = &c;
        catalogue::Passe passe(c, version);
        Trouvee trouvee;
        while (passe.suivante()) {
            if (!requete.classer(c, passe.valeur(), trouvee))
                continue;
            trouvee.cle = passe.numero();
            trouvee.valeur = passe.valeur().toString();
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
