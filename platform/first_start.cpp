// The start's rule, written once for every system over files.h.
#include "platform/first_start.h"

namespace plateforme
{
namespace
{

const char* const Nom = "LISTORA.DAT";

// The data file of `dossier`. The current folder's is "./LISTORA.DAT" on
// every system, the name the program itself reads it by.
std::string dans(const std::string& dossier)
{
    return dossier + (dossier == "." ? '/' : Separateur) + Nom;
}

std::string dossierDe(const std::string& chemin)
{
    const size_t barre = chemin.find_last_of(Separateur == '/' ? "/" : "/\\");
    return barre == std::string::npos ? "." : chemin.substr(0, barre == 0 ? 1 : barre);
}

// Whether the two paths lead to the same folder, through links or not.
bool memeDossier(const std::string& a, const std::string& b)
{
    Erreur erreur;
    const std::optional<Etat> x = etatDuChemin(a, erreur);
    const std::optional<Etat> y = etatDuChemin(b, erreur);
    return x && y && x->genre == Genre::Dossier && y->genre == Genre::Dossier &&
           x->signature.volume == y->signature.volume &&
           x->signature.identite == y->signature.identite;
}

bool fourniPresent(const Lieux& lieux)
{
    return !lieux.fourni.empty() && nomPris(lieux.fourni);
}

// Whether the start stays where it is: a LISTORA.DAT is there, and it is
// not the shipped one (the folder of a zip's programs, or of the
// installation's catalogue, is no user's folder).
bool resteIci(const Lieux& lieux)
{
    return nomPris(dans(lieux.ici)) &&
           !(fourniPresent(lieux) && memeDossier(lieux.ici, dossierDe(lieux.fourni)));
}

// The shipped catalogue's bytes, into `octets`.
bool lireLeFourni(const std::string& fourni, std::string& octets)
{
    Erreur erreur;
    const std::unique_ptr<FichierOuvert> fichier = FichierOuvert::ouvrir(fourni, erreur);
    if (!fichier)
        return false;
    const std::optional<Etat> etat = fichier->etat(erreur);
    constexpr int64_t Maximum = int64_t{1} << 30;
    return etat && etat->genre == Genre::Fichier &&
           lireTout(*fichier, etat->signature.taille, Maximum, octets, erreur);
}

Depart repli(const Lieux& lieux, std::string message)
{
    const std::string dossier = dossierDe(lieux.fourni);
    return {dossier, false, std::move(message), true, dossier};
}

} // namespace

Lieux lieuxDuProcessus()
{
    const std::string fourni = dossierFourni();
    return {".", fourni.empty() ? fourni : fourni + Separateur + Nom, variableDuProcessus};
}

std::string dossierPersonnel(const Lieux& lieux)
{
    const std::string fourni = dossierDe(lieux.fourni);
    const auto estFourni = [&](const std::string& dossier) {
        return !lieux.fourni.empty() && memeDossier(dossier, fourni);
    };
    std::string dossier = dossierDeLUtilisateur(lieux.environnement);
    if (!dossier.empty() && estFourni(dossier))
        dossier = dossierDeLUtilisateur(lieux.environnement, true);
    if (!dossier.empty() && estFourni(dossier))
        return {};
    return dossier;
}

std::string avertissementSansCopie(const std::string& dossier)
{
    return "impossible de préparer votre catalogue dans " + dossier +
           " ; ouverture du catalogue fourni, en lecture seule.";
}

Depart preparerLeDepart(const Lieux& lieux)
{
    if (resteIci(lieux))
        return {lieux.ici, false, {}, false, {}};
    const std::string personnel = dossierPersonnel(lieux);
    if (!fourniPresent(lieux)) {
        // Nothing to copy (a program run from its build folder): the
        // user's copy if there is one, else where it was started.
        if (!personnel.empty() && nomPris(dans(personnel)))
            return {personnel, false, {}, false, {}};
        return {lieux.ici, false, {}, false, {}};
    }
    if (personnel.empty())
        return repli(lieux, std::string(SansDossierDeLUtilisateur) +
                                " où préparer votre catalogue ; ouverture du "
                                "catalogue fourni, en lecture seule.");
    const std::string copie = dans(personnel);
    if (creerDossiers(personnel))
        return repli(lieux, avertissementSansCopie(personnel));
    // A file or a link of that name, even a dangling one, is the user's.
    if (nomPris(copie))
        return {personnel, false, {}, false, dossierDe(lieux.fourni)};
    std::string octets;
    if (!lireLeFourni(lieux.fourni, octets))
        return repli(lieux, avertissementSansCopie(personnel));
    const Ecriture ecriture = ecrireNouveauFichier(copie, octets);
    // Cause::Existe: another start made the copy meanwhile.
    if (ecriture.erreur && ecriture.erreur.cause != Cause::Existe)
        return repli(lieux, avertissementSansCopie(personnel));
    const bool faite = !ecriture.erreur;
    return {personnel, faite, faite ? "votre catalogue est " + copie : std::string(), false,
            dossierDe(lieux.fourni)};
}

std::string fichierDuDepart(const Lieux& lieux)
{
    if (resteIci(lieux))
        return dans(lieux.ici);
    const std::string personnel = dossierPersonnel(lieux);
    if (!personnel.empty() && nomPris(dans(personnel)))
        return dans(personnel);
    if (fourniPresent(lieux))
        return lieux.fourni;
    return dans(lieux.ici);
}

std::string fichierParDefaut()
{
    return fichierDuDepart(lieuxDuProcessus());
}

} // namespace plateforme
