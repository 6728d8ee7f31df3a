// Reading the file from disk: an edit made between two reads is seen by the
// second, and an unchanged file is not parsed again.
#include "catalogue/ini_file.h"

#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <limits>
#include <optional>
#include <vector>
#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace
{

using Date = std::filesystem::file_time_type;

Date ilYA(int secondes)
{
    return Date::clock::now() - std::chrono::seconds(secondes);
}

// Rewrites in place (same file), as an editor saving over the file does,
// then dates the file, unless `quand` is empty.
void ecrire(const std::string& chemin, const QByteArray& octets,
            std::optional<Date> quand = ilYA(3600))
{
    QFile f(QString::fromStdString(chemin));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(octets), octets.size());
    f.close();
    if (quand)
        std::filesystem::last_write_time(chemin, *quand);
}

QString lire(ini::CacheFichier& cache, const std::string& chemin)
{
    const auto document = cache.document(chemin);
    const ini::Section* s = document ? document->section("S") : nullptr;
    const auto valeur = s ? s->valeur("K") : std::nullopt;
    return valeur ? QString::fromUtf8(valeur->data(), qsizetype(valeur->size())) : QString();
}

// A data file of 300 keys whose values are all `lettre`: two versions of
// one size, so that one can be written over the other in place.
std::string version(char lettre)
{
    std::string octets = "[S]\n";
    for (int i = 1; i <= 300; ++i) {
        // Piece by piece: MinGW's GCC 12 sees a false overlap in a chain of +.
        octets += 'K';
        octets += std::to_string(i);
        octets += '=';
        octets.append(20, lettre);
        octets += '\n';
    }
    return octets;
}

// What a document holds: the one letter of all its values, "empty", or a
// description of the mixture.
std::string contenu(const ini::Document* document)
{
    if (!document)
        return "nothing";
    if (document->texte().utf8.empty())
        return "empty";
    const ini::Section* s = document->section("S");
    std::string lettres;
    int valeurs = 0;
    if (s)
        ini::pourChaqueLigne(s->corps(), [&](const ini::Ligne& ligne) {
            if (ligne.genre != ini::Ligne::Genre::Cle)
                return;
            ++valeurs;
            for (char c : ligne.valeur)
                if (lettres.find(c) == std::string::npos)
                    lettres += c;
        });
    return valeurs == 300 && lettres.size() == 1
               ? lettres
               : std::to_string(valeurs) + " values of " + lettres;
}

std::string contenu(const ini::Lecture& lu)
{
    switch (lu.echec) {
    case ini::Lecture::Echec::Aucun:
        break;
    case ini::Lecture::Echec::Instable:
        return "unstable";
    case ini::Lecture::Echec::TropGrand:
        return "too large";
    default:
        return "unreadable";
    }
    const ini::Document document(std::string(lu.octets));
    return contenu(&document);
}

// The time as the reader sees it: it moves only when the reader waits or
// the test says so.
class HorlogeDeTest : public plateforme::Horloge
{
public:
    int64_t maintenant = 0;
    int64_t murale() const override { return maintenant; }
    int64_t monotone() const override { return maintenant; }
    void attendre(int64_t nanosecondes) override { maintenant += nanosecondes; }
};

int64_t changement(const std::string& chemin)
{
    plateforme::Erreur erreur;
    const auto etat = plateforme::etatDuChemin(chemin, erreur);
    return etat ? etat->signature.changement : 0;
}

enum class Reecriture { SurPlace, Tronquee, EnMorceaux, Renommee, SansFin };

// An editor's save of `octets` over `chemin`, one step at a time, so that
// a test can put each step between two steps of the reader. In place: two
// halves over the old bytes; truncated: emptied, then written at once; in
// pieces: emptied, then three thirds; renamed: a new file written whole
// and renamed over the old one, in one step; without end: halves written in place,
// alternately of each version, forever. `tronquee` stops a save after it
// emptied the file. Every step dates the file a second after the previous
// one, as a writer held between its steps would leave it.
class Sauvegarde
{
public:
    Sauvegarde(std::string chemin, Reecriture facon, bool tronquee)
        : chemin_(std::move(chemin)), facon_(facon), tronquee_(tronquee),
          date_(std::filesystem::last_write_time(chemin_) - std::chrono::hours(2))
    {
    }

    bool finie() const { return fait_ >= etapes(); }
    bool refusee() const { return refusee_; }

    // Makes the next step, if any.
    void etapeSuivante()
    {
        if (finie())
            return;
        const int etape = fait_++;
        if (facon_ == Reecriture::Renommee) {
            const std::string nouveau = chemin_ + ".new";
            ecrireA(nouveau, 0, B, QIODevice::WriteOnly);
            std::filesystem::last_write_time(nouveau, date_ + std::chrono::seconds(fait_));
            // Windows refuses to replace a file another program holds open,
            // even one shared for deletion as the reader's is: the save fails
            // there, and the test says so instead of judging the reader.
            std::error_code erreur;
            std::filesystem::rename(nouveau, chemin_, erreur);
            refusee_ = refusee_ || bool(erreur);
            return;
        }
        const size_t tiers = B.size() / 3, moitie = B.size() / 2;
        if (facon_ == Reecriture::SurPlace || facon_ == Reecriture::SansFin) {
            const std::string& octets = etape / 2 % 2 == 0 ? B : A;
            const size_t debut = etape % 2 == 0 ? 0 : moitie;
            ecrireA(chemin_, debut,
                    std::string_view(octets).substr(debut, etape % 2 ? npos : moitie),
                    QIODevice::ReadWrite);
        } else if (etape == 0) {
            ecrireA(chemin_, 0, {}, QIODevice::WriteOnly);
        } else if (facon_ == Reecriture::Tronquee) {
            ecrireA(chemin_, 0, B, QIODevice::WriteOnly);
        } else {
            const size_t debut = (etape - 1) * tiers;
            ecrireA(chemin_, debut, std::string_view(B).substr(debut, etape == 3 ? npos : tiers),
                    QIODevice::ReadWrite);
        }
        std::filesystem::last_write_time(chemin_, date_ + std::chrono::seconds(fait_));
    }

    static inline const std::string A = version('A'), B = version('B');

private:
    static constexpr size_t npos = std::string_view::npos;

    int etapes() const
    {
        if (facon_ == Reecriture::SansFin)
            return std::numeric_limits<int>::max();
        if (tronquee_)
            return 1;
        return facon_ == Reecriture::EnMorceaux ? 4 : facon_ == Reecriture::Renommee ? 1 : 2;
    }

    static void ecrireA(const std::string& chemin, size_t debut, std::string_view octets,
                        QIODevice::OpenMode mode)
    {
        QFile f(QString::fromStdString(chemin));
        QVERIFY(f.open(mode));
        QVERIFY(f.seek(qint64(debut)));
        QCOMPARE(f.write(octets.data(), qint64(octets.size())), qint64(octets.size()));
    }

    std::string chemin_;
    Reecriture facon_;
    bool tronquee_;
    std::filesystem::file_time_type date_;
    int fait_ = 0;
    bool refusee_ = false;
};

// Puts a save's steps between the reader's: from the first time the reader
// reaches `debut`, each of its steps is followed by one of the save's. With
// `recent`, the clock reads the moment of the file's latest change, as when
// the writer is at work now; otherwise an hour later, as when each step was
// made long before the reader looked.
class Entrelacement
{
public:
    Entrelacement(const std::string& chemin, Sauvegarde& sauvegarde, ini::Etape debut, bool recent)
        : chemin_(chemin), sauvegarde_(sauvegarde), debut_(debut), recent_(recent)
    {
        dater();
        ini::utiliserHorloge(&horloge_);
        ini::observerLecture([this](ini::Etape etape) {
            etapes.push_back(etape);
            commence_ = commence_ || etape == debut_;
            if (!commence_ || sauvegarde_.finie())
                return;
            sauvegarde_.etapeSuivante();
            dater();
        });
    }
    ~Entrelacement()
    {
        ini::observerLecture({});
        ini::utiliserHorloge(nullptr);
    }

    std::vector<ini::Etape> etapes; // every step the reader reached
    HorlogeDeTest horloge_;

private:
    void dater() { horloge_.maintenant = changement(chemin_) + (recent_ ? 0 : 3600'000'000'000); }

    std::string chemin_;
    Sauvegarde& sauvegarde_;
    ini::Etape debut_;
    bool recent_;
    bool commence_ = false;
};

} // namespace

class TstIniFile : public QObject
{
    Q_OBJECT
    QTemporaryDir dossier;
    std::string chemin()
    {
        const QString nom = QString(QTest::currentTestFunction()) + QTest::currentDataTag();
        return dossier.filePath(nom).toStdString();
    }

private slots:
    // An edit between two reads is seen by the second; a file whose bytes
    // did not change is parsed once. Row names tell how: "same date" keeps the file's dates,
    // "just written" dates both saves now, "new file" replaces the file by a
    // rename.
    void editBetweenTwoReadsIsSeen_data()
    {
        QTest::addColumn<QByteArray>("avant"); // empty: no file
        QTest::addColumn<QByteArray>("apres"); // empty: removed
        QTest::addColumn<QString>("valeur");
        QTest::addColumn<int>("analyses");
        const auto row = [](const char* nom, const QByteArray& a, const QByteArray& b,
                            const QString& v, int n) { QTest::newRow(nom) << a << b << v << n; };
        const QByteArray avant = "[S]\nK=before\n", apres = "[S]\nK=after!\n";
        // Saved again without a change: read again, not parsed again.
        row("same bytes, later date", avant, avant, "before", 1);
        row("same size, later date", avant, apres, "after!", 2);
        // A quick second save can leave size and dates as they were: the
        // content must still be checked.
        row("same size, same date, new file", avant, apres, "after!", 2);
        row("same size, same date, just written", avant, apres, "after!", 2);
        row("removed", avant, {}, "", 1);
        row("created", {}, apres, "after!", 1);
    }
    void editBetweenTwoReadsIsSeen()
    {
        QFETCH(QByteArray, avant);
        QFETCH(QByteArray, apres);
        QFETCH(QString, valeur);
        QFETCH(int, analyses);
        const QString nom = QTest::currentDataTag();
        const std::string p = chemin(), nouveau = p + ".new", autre = p + ".other";
        const Date date = ilYA(nom.endsWith("just written") ? 0 : 3600);
        if (!avant.isEmpty())
            ecrire(p, avant, date);
        ini::CacheFichier cache;
        lire(cache, p); // parsed and kept
        if (apres.isEmpty()) {
            QCOMPARE(std::remove(p.c_str()), 0);
        } else if (nom.endsWith("new file")) {
            ecrire(nouveau, apres, date);
            std::filesystem::rename(nouveau, p); // replaces the file, on Windows too
        } else {
            ecrire(p, apres, nom.contains("same date") ? date : ilYA(60));
        }
        QCOMPARE(lire(cache, p), valeur);
        QCOMPARE(cache.nombreAnalyses(), uint64_t(analyses));
        // Another path is another file, even in the same cache.
        ecrire(autre, "[S]\nK=w\n");
        QCOMPARE(lire(cache, autre), "w");
        QCOMPARE(lire(cache, p), valeur);
    }

    // A file that has held still for long is served from the cache, not
    // parsed again at each pass; once its signature changes, the new
    // version is what the next pass reads.
    void editOfASettledFileIsSeen()
    {
        const std::string p = chemin();
        ecrire(p, "[S]\nK=old\n");
        HorlogeDeTest horloge;
        ini::utiliserHorloge(&horloge);
        const auto retablir = qScopeGuard([] { ini::utiliserHorloge(nullptr); });
        horloge.maintenant = changement(p) + 3600'000'000'000;
        ini::CacheFichier cache;
        QCOMPARE(lire(cache, p), "old");
        QCOMPARE(lire(cache, p), "old");
        QCOMPARE(cache.nombreAnalyses(), uint64_t(1));
        ecrire(p, "[S]\nK=newer\n");
        horloge.maintenant = changement(p) + 3600'000'000'000;
        QCOMPARE(lire(cache, p), "newer");
        QCOMPARE(cache.nombreAnalyses(), uint64_t(2));
    }

    // A file saved while it is read, each step of the save put at a chosen
    // step of the reader: the reader gives one whole version, never part of
    // each nor a file cut short, or says that the file never held still; the
    // cache, which held version A before, gives a whole version too, or A.
    void fileSavedWhileReadIsTakenWhole_data()
    {
        QTest::addColumn<int>("facon");
        QTest::addColumn<bool>("tronquee");
        QTest::addColumn<int>("debut");
        QTest::addColumn<bool>("recent");
        QTest::addColumn<QString>("lecture");
        QTest::addColumn<QString>("cache");
        const std::pair<const char*, Reecriture> facons[] = {
            {"in place", Reecriture::SurPlace},
            {"truncated, then written", Reecriture::Tronquee},
            {"truncated, then written in pieces", Reecriture::EnMorceaux},
            {"renamed into place", Reecriture::Renommee}};
        const std::pair<const char*, ini::Etape> etapes[] = {
            {"after the first signature", ini::Etape::ApresPremiereSignature},
            {"after the read", ini::Etape::ApresLecture},
            {"before the second signature", ini::Etape::AvantSecondeSignature},
            {"during the wait", ini::Etape::PendantLAttente}};
        for (const auto& [facon, f] : facons)
            for (const auto& [etape, e] : etapes)
                for (const bool recent : {true, false}) {
                    // A file changed long ago is not waited on.
                    if (!recent && e == ini::Etape::PendantLAttente)
                        continue;
                    // The cache compares the file with the bytes it holds and,
                    // finding them the same, has no reason to wait.
                    const QString cache = e == ini::Etape::PendantLAttente ? "A" : "B";
                    QTest::addRow("%s, %s, %s", facon, etape, recent ? "now" : "long ago")
                        << int(f) << false << int(e) << recent << QString("B") << cache;
                }
        // A save held after its truncation: the empty file is a version, yet
        // the cache keeps the previous one while the emptying is recent.
        QTest::newRow("truncated and held, now")
            << int(Reecriture::Tronquee) << true << int(ini::Etape::ApresPremiereSignature) << true
            << "empty"
            << "A";
        QTest::newRow("truncated and held, long ago")
            << int(Reecriture::Tronquee) << true << int(ini::Etape::ApresPremiereSignature) << false
            << "empty"
            << "empty";
        for (const bool recent : {true, false})
            QTest::addRow("never holding still, %s", recent ? "now" : "long ago")
                << int(Reecriture::SansFin) << false << int(ini::Etape::ApresPremiereSignature)
                << recent << "unstable"
                << "A";
    }
    void fileSavedWhileReadIsTakenWhole()
    {
        QFETCH(int, facon);
        QFETCH(bool, tronquee);
        QFETCH(int, debut);
        QFETCH(bool, recent);
        QFETCH(QString, lecture);
        QFETCH(QString, cache);
        const std::string p = chemin();
        {
            ecrire(p, QByteArray::fromStdString(Sauvegarde::A));
            Sauvegarde sauvegarde(p, Reecriture(facon), tronquee);
            Entrelacement entrelacement(p, sauvegarde, ini::Etape(debut), recent);
            const std::string lu = contenu(ini::lireFichier(p));
            if (sauvegarde.refusee())
                QSKIP("this system refused to rename a file over one open for reading");
            QCOMPARE(QString::fromStdString(lu), lecture);
        }
        ecrire(p, QByteArray::fromStdString(Sauvegarde::A));
        ini::CacheFichier fichier;
        Sauvegarde sauvegarde(p, Reecriture(facon), tronquee);
        {
            // Read a moment after a change, so that the next look reads it again.
            Entrelacement calme(p, sauvegarde, ini::Etape(debut), true);
            calme.etapes.clear();
            ini::observerLecture({});
            QCOMPARE(contenu(fichier.document(p).get()), "A");
        }
        Entrelacement entrelacement(p, sauvegarde, ini::Etape(debut), recent);
        const std::string garde = contenu(fichier.document(p).get());
        if (sauvegarde.refusee())
            QSKIP("this system refused to rename a file over one open for reading");
        QCOMPARE(QString::fromStdString(garde), cache);
    }

    // A change time ahead of the clock reads as a change made now, once: the
    // file is read, waited on and read again, then trusted like any other.
    void changeInTheFutureIsTrustedOnce()
    {
        const std::string p = chemin();
        ecrire(p, QByteArray::fromStdString(Sauvegarde::A));
        Sauvegarde rien(p, Reecriture::SurPlace, false);
        Entrelacement entrelacement(p, rien, ini::Etape::PendantLAttente, true);
        ini::observerLecture([&](ini::Etape etape) { entrelacement.etapes.push_back(etape); });
        entrelacement.horloge_.maintenant -= 3600'000'000'000;
        ini::CacheFichier fichier;
        QList<int> lectures;
        for (int i = 0; i < 3; ++i) {
            entrelacement.etapes.clear();
            QCOMPARE(contenu(fichier.document(p).get()), "A");
            lectures << int(std::count(entrelacement.etapes.begin(), entrelacement.etapes.end(),
                                       ini::Etape::ApresPremiereSignature));
        }
        QCOMPARE(lectures, QList<int>({1, 1, 0}));
        QCOMPARE(fichier.nombreAnalyses(), uint64_t(1));
    }

    // A file that grows past the largest size while it is read is too
    // large, not an unreadable file with no reason.
    void fileGrowingPastTheLimitIsTooLarge()
    {
        const std::string p = chemin();
        ecrire(p, QByteArray::fromStdString(Sauvegarde::A));
        ini::observerLecture([&](ini::Etape etape) {
            if (etape == ini::Etape::ApresPremiereSignature)
                std::filesystem::resize_file(p, ini::TailleMaximale + 1);
        });
        const ini::Lecture lu = ini::lireFichier(p);
        ini::observerLecture({});
        std::filesystem::remove(p);
        QCOMPARE(int(lu.echec), int(ini::Lecture::Echec::TropGrand));
        QVERIFY(lu.octets.empty());
    }

    // A save whose writer holds the file open is not taken while its change
    // is recent, however still the file stays meanwhile (a writer held
    // between two writes): the reader takes it once the writer has let go,
    // or says the file never held still. A program that keeps the file open
    // without writing it is trusted once its change is old.
    void saveHeldOpenIsNotTaken_data()
    {
        QTest::addColumn<bool>("moitie");
        QTest::addColumn<int>("age");
        QTest::addColumn<bool>("finie");
        QTest::addColumn<QString>("lecture");
        QTest::newRow("held after half of it, a second ago") << true << 1 << false << "unstable";
        QTest::newRow("held after half of it, then finished") << true << 1 << true << "B";
        QTest::newRow("held open, unchanged for three seconds") << false << 3 << false << "A";
    }
    void saveHeldOpenIsNotTaken()
    {
        QFETCH(bool, moitie);
        QFETCH(int, age);
        QFETCH(bool, finie);
        QFETCH(QString, lecture);
        const std::string p = chemin();
        ecrire(p, QByteArray::fromStdString(Sauvegarde::A), std::nullopt);
        plateforme::Erreur erreur;
        const auto sonde = plateforme::FichierOuvert::ouvrir(p, erreur);
        QFile ecrivain(QString::fromStdString(p));
        QVERIFY(ecrivain.open(QIODevice::ReadWrite));
        if (!sonde || !sonde->ouvertEnEcriture().value_or(false))
            QSKIP("this system does not tell whether a file is open for writing");
        const std::string& b = Sauvegarde::B;
        if (moitie) {
            ecrivain.write(b.data(), qint64(b.size() / 2));
            QVERIFY(ecrivain.flush());
        }
        HorlogeDeTest horloge;
        horloge.maintenant = changement(p) + age * 1'000'000'000LL;
        ini::utiliserHorloge(&horloge);
        int lectures = 0;
        ini::observerLecture([&](ini::Etape etape) {
            if (etape != ini::Etape::ApresPremiereSignature || ++lectures != 2 || !finie)
                return;
            ecrivain.write(b.data() + b.size() / 2, qint64(b.size() - b.size() / 2));
            ecrivain.close();
        });
        const ini::Lecture lu = ini::lireFichier(p);
        ini::observerLecture({});
        ini::utiliserHorloge(nullptr);
        QCOMPARE(QString::fromStdString(contenu(lu)), lecture);
    }

    // The same kind of edit made while the reader waits after a recent
    // change: the signature holds, the bytes do not, and the version read
    // before the wait is not taken.
    void editDuringTheWaitThatKeepsTheDatesIsSeen()
    {
#ifdef Q_OS_WIN
        QSKIP("a write that keeps the dates is made through a POSIX shared mapping");
#else
        const std::string p = chemin();
        ecrire(p, "[S]\nK=before\n", std::nullopt);
        const int fd = ::open(p.c_str(), O_RDWR);
        QVERIFY(fd >= 0);
        auto* octets =
            static_cast<char*>(::mmap(nullptr, 13, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0));
        ::close(fd);
        QVERIFY(octets != MAP_FAILED);
        octets[6] = 'B';
        ini::chercherLesEcrivains(false); // the mapping holds the file open for writing
        const auto retablir = qScopeGuard([] { ini::chercherLesEcrivains(true); });
        HorlogeDeTest horloge;
        horloge.maintenant = changement(p);
        ini::utiliserHorloge(&horloge);
        struct stat avant, apres;
        QCOMPARE(::stat(p.c_str(), &avant), 0);
        ini::observerLecture([&](ini::Etape etape) {
            if (etape == ini::Etape::PendantLAttente)
                octets[11] = 'E';
        });
        const ini::Lecture lu = ini::lireFichier(p);
        ini::observerLecture({});
        ini::utiliserHorloge(nullptr);
        QCOMPARE(::stat(p.c_str(), &apres), 0);
        ::munmap(octets, 13);
        if (apres.st_ctim.tv_nsec != avant.st_ctim.tv_nsec ||
            apres.st_mtim.tv_nsec != avant.st_mtim.tv_nsec)
            QSKIP("this system dated the second write");
        QCOMPARE(std::string_view(lu.octets), "[S]\nK=BeforE\n");
#endif
    }

    // An edit can leave size and dates exactly as they were: two saves in
    // one tick of a file system's clock, or, as here, a second write through
    // a shared mapping of the file, whose page is already marked changed. A
    // file read in the moment of its change must be read again until that
    // moment has passed, or such an edit is never seen.
    void editThatKeepsTheDatesIsSeen()
    {
#ifdef Q_OS_WIN
        QSKIP("a write that keeps the dates is made through a POSIX shared mapping");
#else
        const std::string p = dossier.filePath("mapping").toStdString();
        ecrire(p, "[S]\nK=before\n", std::nullopt);
        const int fd = ::open(p.c_str(), O_RDWR);
        QVERIFY(fd >= 0);
        auto* octets =
            static_cast<char*>(::mmap(nullptr, 13, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0));
        ::close(fd);
        QVERIFY(octets != MAP_FAILED);
        octets[6] = 'B';                  // dates the file now
        ini::chercherLesEcrivains(false); // the mapping holds the file open for writing
        const auto retablir = qScopeGuard([] { ini::chercherLesEcrivains(true); });
        ini::CacheFichier cache;
        struct stat avant, apres;
        QCOMPARE(::stat(p.c_str(), &avant), 0);
        QCOMPARE(lire(cache, p), "Before");
        octets[11] = 'E'; // the page is already changed: no new date
        QCOMPARE(::stat(p.c_str(), &apres), 0);
        ::munmap(octets, 13);
        if (apres.st_ctim.tv_nsec != avant.st_ctim.tv_nsec || apres.st_size != avant.st_size ||
            apres.st_mtim.tv_nsec != avant.st_mtim.tv_nsec)
            QSKIP("this system dated the second write");
        QCOMPARE(lire(cache, p), "BeforE");
#endif
    }
};

QTEST_GUILESS_MAIN(TstIniFile)
#include "tst_ini_file.moc"
