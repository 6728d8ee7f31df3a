#include "catalogue/ini_file.h"

#include <algorithm>
#include <new>

namespace ini
{
namespace
{

using plateforme::Erreur;
using plateforme::FichierOuvert;
using plateforme::Genre;

// File systems stamp times from a clock that moves in ticks (a few
// milliseconds on Linux, up to two seconds on FAT), so an edit made soon
// after a read can leave size and times exactly as they were. The change
// time is the one no program can set: a file whose change time is this close
// to the moment it was read is read again at every check until the moment
// has passed (and parsed again only when its bytes changed). A stamp with a
// fraction of a second comes from a file system that keeps one, whose tick
// is milliseconds.
constexpr int64_t FenetreIncertaineNs = 2'000'000'000;
constexpr int64_t FenetreIncertaineFineNs = 250'000'000;

// A file changed less than this long ago may still be being written: a read
// of it is confirmed once this time has passed. Editors write a file in a few
// milliseconds, but a busy machine can hold a writer between its truncation
// and its write for tens of them. The wait is only ever paid on a file saved
// a moment ago whose bytes changed: no user clicks that fast.
constexpr int64_t CalmeNs = 100'000'000;
// Reads of one file before it is given up as never holding still.
constexpr int Essais = 4;
// A file a program holds open for writing and changed less than this long
// ago is taken as a save in progress: a writer held between two of its
// writes (or in the middle of one: a file is dated when a write begins)
// leaves the file as still as a finished save. A program that keeps the
// file open without writing it is trusted once its change is this old.
constexpr int64_t EcritureTenueNs = 2'000'000'000;

std::function<void(Etape)>& observateur()
{
    static std::function<void(Etape)> f;
    return f;
}

plateforme::Horloge*& horlogeChoisie()
{
    static plateforme::Horloge* h = nullptr;
    return h;
}

bool& ecrivainsCherches()
{
    static bool oui = true;
    return oui;
}

// The rest of the file into `octets`, a block its text can later be decoded
// in without a copy (byte_buffer.h): room for `annonce` bytes and one more,
// so that the end is usually met by the second read; a file grown past
// TailleMaximale is Cause::TropGrand, memory that cannot be had
// Cause::Memoire.
bool lireTout(FichierOuvert& fichier, int64_t annonce, Octets& octets, Erreur& erreur)
{
    using plateforme::Cause;
    const auto maximum = static_cast<size_t>(TailleMaximale);
    const auto place = static_cast<size_t>(std::clamp<int64_t>(annonce, 0, TailleMaximale));
    try {
        octets = Octets();
        octets.redimensionner(place + 1);
        plateforme::preparerMemoire(octets.data(), octets.size()); // one call, not a fault a page
        size_t n = 0;
        for (;;) {
            if (n == octets.size()) {
                if (n > maximum) {
                    erreur = {Cause::TropGrand, {}};
                    return false;
                }
                octets.redimensionner(std::min(2 * n, maximum + 1));
            }
            const int64_t lu = fichier.lire(octets.data() + n, octets.size() - n, erreur);
            if (lu < 0)
                return false;
            if (lu == 0)
                break;
            n += static_cast<size_t>(lu);
        }
        octets.redimensionner(n);
        if (n > maximum) {
            erreur = {Cause::TropGrand, {}};
            return false;
        }
        return true;
    } catch (const std::bad_alloc&) {
        octets = Octets();
        erreur = {Cause::Memoire, {}};
        return false;
    }
}

bool ouvertEnEcriture(FichierOuvert& fichier)
{
    return ecrivainsCherches() && fichier.ouvertEnEcriture() == true;
}

plateforme::Horloge& horloge()
{
    return horlogeChoisie() ? *horlogeChoisie() : plateforme::horlogeDuSysteme();
}

void signaler(Etape etape)
{
    if (observateur())
        observateur()(etape);
}

bool echouer(Lecture& lu, Lecture::Echec echec, Erreur erreur = {})
{
    lu.echec = erreur.cause == plateforme::Cause::TropGrand ? Lecture::Echec::TropGrand : echec;
    lu.erreur = std::move(erreur);
    lu.octets = Octets(); // what was read of a file too large or unreadable
    return false;
}

// One read of the file open as `fichier`, from its first signature to the
// path's second one: false, with `lu.echec` set, when it cannot be read;
// `stable` tells whether the file kept its signature throughout and the
// bytes read are as many as its size said, `ecrit` whether a program held
// the file open for writing before or after the read. The second signature is the
// path's, not the open file's: a file renamed into place meanwhile is
// another version.
bool lireUneFois(const std::string& chemin, FichierOuvert& fichier, const std::string_view* connu,
                 Lecture& lu, bool& stable, bool& ecrit)
{
    ecrit = ouvertEnEcriture(fichier);
    Erreur erreur;
    const auto avant = fichier.etat(erreur);
    if (!avant)
        return echouer(lu, Lecture::Echec::Illisible, erreur);
    if (avant->genre != Genre::Fichier) {
        lu.genre = avant->genre;
        return echouer(lu, Lecture::Echec::PasUnFichier);
    }
    signaler(Etape::ApresPremiereSignature);
    const int64_t taille = avant->signature.taille;
    if (taille > TailleMaximale)
        return echouer(lu, Lecture::Echec::TropGrand);
    lu.octets = Octets();
    lu.commeConnu = connu && connu->size() == static_cast<size_t>(taille) &&
                    plateforme::memeContenu(fichier, *connu, erreur);
    if (erreur)
        return echouer(lu, Lecture::Echec::Illisible, erreur);
    if (!lu.commeConnu &&
        (!fichier.rembobiner(erreur) || !lireTout(fichier, taille, lu.octets, erreur)))
        return echouer(lu, Lecture::Echec::Illisible, erreur);
    signaler(Etape::ApresLecture);
    lu.signature = avant->signature;
    const size_t lus = lu.commeConnu ? connu->size() : lu.octets.size();
    signaler(Etape::AvantSecondeSignature);
    const auto apres = plateforme::etatDuChemin(chemin, erreur);
    stable = lus == static_cast<size_t>(taille) && apres && apres->signature == lu.signature;
    ecrit = ecrit || ouvertEnEcriture(fichier);
    return true;
}

// Whether the version read is whole: no writer was at work during the read,
// nor, for a file changed a moment ago, in the moments after its change. A
// change time ahead of the clock (a clock put back, a file server ahead) is
// taken as a change made now.
//
// After the wait the path must show the same signature and the same bytes:
// a writer that went on within the same tick of the file system's clock
// leaves the signature as it was, but not the bytes.
//
// Where the system tells whether a program holds the file open for writing
// (Linux, on the user's own files), a save in progress is known as one,
// however long its writer is held between its writes: the file is not taken
// while it is so held within EcritureTenueNs of its change.
//
// Elsewhere, a file emptied a moment ago is the case no rule can decide: a
// save that truncated the file and has not written it yet looks exactly like
// a user who emptied it. The reader waits the quiet moment like for any other
// change and takes the empty file if it stayed so; a writer held longer than
// that between its truncation and its write is taken as having emptied the
// file. The cache is more patient (see CacheFichier::recharger).
bool entiere(const std::string& chemin, const Lecture& lu, bool ecrit)
{
    if (lu.commeConnu)
        return true; // the bytes are those of a version already taken whole
    const int64_t depuis = horloge().murale() - lu.signature.changement;
    if (ecrit && depuis < EcritureTenueNs)
        return false;
    if (depuis >= CalmeNs)
        return true;
    signaler(Etape::PendantLAttente);
    horloge().attendre(depuis < 0 ? CalmeNs : CalmeNs - depuis);
    Erreur erreur;
    const auto etat = plateforme::etatDuChemin(chemin, erreur);
    if (!etat || etat->signature != lu.signature)
        return false;
    auto fichier = FichierOuvert::ouvrir(chemin, erreur);
    return fichier && !ouvertEnEcriture(*fichier) &&
           plateforme::memeContenu(*fichier, lu.octets, erreur);
}

} // namespace

void observerLecture(std::function<void(Etape)> f)
{
    observateur() = std::move(f);
}

void utiliserHorloge(plateforme::Horloge* h)
{
    horlogeChoisie() = h;
}

void chercherLesEcrivains(bool oui)
{
    ecrivainsCherches() = oui;
}

Lecture lireFichier(const std::string& chemin, const std::string_view* connu)
{
    Lecture lu;
    for (int essai = 0; essai < Essais; ++essai) {
        Erreur erreur;
        const auto etat = plateforme::etatDuChemin(chemin, erreur);
        if (!etat) {
            lu.echec = Lecture::Echec::Introuvable;
            lu.erreur = std::move(erreur);
            return lu;
        }
        if (etat->genre != Genre::Fichier) {
            lu.echec = Lecture::Echec::PasUnFichier;
            lu.genre = etat->genre;
            return lu;
        }
        auto fichier = FichierOuvert::ouvrir(chemin, erreur);
        if (!fichier) {
            lu.echec = Lecture::Echec::Illisible;
            lu.erreur = std::move(erreur);
            return lu;
        }
        bool stable = false, ecrit = false;
        const bool lisible = lireUneFois(chemin, *fichier, connu, lu, stable, ecrit);
        fichier.reset();
        if (!lisible)
            return lu;
        if (stable && entiere(chemin, lu, ecrit))
            return lu;
    }
    lu = {};
    lu.echec = Lecture::Echec::Instable;
    return lu;
}

std::shared_ptr<const Document> CacheFichier::document(const std::string& chemin)
{
    Erreur erreur;
    const auto etat = plateforme::etatDuChemin(chemin, erreur);
    if (!etat || etat->genre != Genre::Fichier) {
        document_.reset();
        return nullptr;
    }
    const bool inchange =
        document_ && !incertain_ && chemin == chemin_ && etat->signature == signature_;
    if (!inchange && !recharger(chemin)) {
        document_.reset();
        return nullptr;
    }
    return document_;
}

bool CacheFichier::recharger(const std::string& chemin)
{
    const int64_t lecture = horloge().murale();
    const bool memeChemin = document_ && chemin == chemin_;
    // A file saved again without a change, or one read again only because
    // its dates are too recent, keeps its parsed document when its bytes are
    // the document's text: a walk over a file saved a moment ago would
    // otherwise parse it at every pass.
    const bool comparer = memeChemin && document_->texte().octetsIntacts;
    const std::string_view connu = comparer ? std::string_view(document_->texte().utf8) : "";
    Lecture lu = lireFichier(chemin, comparer ? &connu : nullptr);
    if (lu.echec == Lecture::Echec::Instable && memeChemin) {
        // Better the whole version read before than half of a new one; the
        // next check reads the file again.
        incertain_ = true;
        return true;
    }
    if (lu.echec != Lecture::Echec::Aucun)
        return false;
    const bool dejaVue = memeChemin && lu.signature == signature_;
    const int64_t age = lecture - lu.signature.changement;
    const int64_t fenetre = lu.signature.changement % 1'000'000'000 != 0 ? FenetreIncertaineFineNs
                                                                         : FenetreIncertaineNs;
    if (memeChemin && lu.octets.empty() && !lu.commeConnu && age < fenetre) {
        // Emptied a moment ago: most likely a save between its truncation
        // and its write. The previous version stands until the file has
        // stayed empty for the whole uncertain window.
        incertain_ = true;
        return true;
    }
    if (!lu.commeConnu) {
        document_.reset(); // the old one goes first, unless a pass still holds it
        try {
            document_ = std::make_shared<const Document>(std::move(lu.octets));
        } catch (const std::bad_alloc&) {
            return false; // a file the memory cannot hold decoded reads as absent
        }
        ++analyses_;
    }
    chemin_ = chemin;
    signature_ = lu.signature;
    // A change time ahead of the clock reads as a change made now, once:
    // read again at the next check, then trusted, or every check would read
    // the file again until the clock caught up.
    incertain_ = age >= 0 ? age < fenetre : !dejaVue;
    return true;
}

} // namespace ini
