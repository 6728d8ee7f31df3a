// Loading a catalogue without a window: the terms read or the first fault,
// and every text the main window shows for the outcome.
#include "catalogue/constant.h"
#include "catalogue/key_walk.h"
#include "catalogue/loading.h"
#include "window_fixture.h"

#include <filesystem>

using catalogue::Chargement;

namespace
{

const QString CR(QChar(13));

// The outcome as one line: "termes: a|b", "absent", "syntaxe: value" or
// "doublon: term".
QString decrire(const Chargement& lu)
{
    switch (lu.issue) {
    case Chargement::Issue::Charge:
        return "termes: " + fixture::termes(lu.termes).join('|');
    case Chargement::Issue::FichierAbsent:
        return "absent";
    case Chargement::Issue::Syntaxe:
        return "syntaxe: " + lu.fautif;
    case Chargement::Issue::Doublon:
        return "doublon: " + lu.fautif;
    }
    return {};
}

} // namespace

class TstLoading : public QObject
{
    Q_OBJECT
    fixture::DossierParTest dossier;

private slots:
    void init() { dossier.entrer(); }

    void readsTheTermsOrStopsAtTheFirstFault_data()
    {
        QTest::addColumn<int>("numero");
        QTest::addColumn<QByteArray>("fichier"); // empty: no file
        QTest::addColumn<bool>("doublons");      // the duplicate check on
        QTest::addColumn<QString>("issue");
        const auto row = [](const char* nom, int numero, const QByteArray& fichier, bool doublons,
                            const QString& issue) {
            QTest::newRow(nom) << numero << fichier << doublons << issue;
        };
        const QByteArray casses = "[ACRONYMES]\nACRO1=Abc,1\nACRO2=x,2\nACRO3=ABC,3\nACRO4=x,4\n";
        row("terms in key order up to the first missing key", 2,
            "[ACRONYMES]\nACRO2=b,2\nACRO1=Z,1\nACRO3=a,3\nACRO5=after the gap,5\n", false,
            "termes: Z|b|a");
        row("no file", 1, {}, false, "absent");
        row("no section", 2, "[MIME-TYPES]\nMIME1=a,b\n", false, "absent");
        row("a section with no entry", 3, "[MIME-TYPES]\n; none yet\n[ACRONYMES]\nACRO1=a,b\n",
            false, "absent");
        row("IP port with four commas: the value as read, quotes gone", 1,
            "[IP-PORTS]\nPROTO1=a,b,c,d,e,f\nPROTO2='g, h,i,j,k'\n", false, "syntaxe: g, h,i,j,k");
        row("a comma past character 199 is cut off", 3,
            "[MIME-TYPES]\nMIME1=a,b\nMIME2=" + QByteArray(219, 'x') + ",y\n", false,
            "syntaxe: " + QString(199, 'x'));
        row("first duplicate in key order, as written, letter case aside", 2, casses, true,
            "doublon: ABC");
        row("duplicates load with the check off", 2, casses, false, "termes: Abc|x|ABC|x");
        // Upper-cased one character at a time: "ß" has no one-letter capital.
        row("straße is not STRASSE, but is STRAßE", 2,
            "[ACRONYMES]\nACRO1=stra\xC3\x9F"
            "e,1\nACRO2=STRASSE,2\nACRO3=STRA\xC3\x9F"
            "E,3\n",
            true, "doublon: STRAßE");
    }
    void readsTheTermsOrStopsAtTheFirstFault()
    {
        QFETCH(int, numero);
        QFETCH(QByteArray, fichier);
        QFETCH(bool, doublons);
        QFETCH(QString, issue);
        fixture::ecrireDat(fichier);
        QCOMPARE(decrire(catalogue::lireCatalogue(*catalogue::Tous[numero - 1], doublons)), issue);
    }

    // A pass reads one version of the file: renumbered and saved while a list
    // loads, the file gives the terms wholly old, never part old, part new;
    // the next load reads the new one.
    void fileReplacedDuringALoadGivesTermsOfOneVersion()
    {
        fixture::ecrireDat("[ACRONYMES]\nACRO1=A,1\nACRO2=B,2\nACRO3=C,3\n");
        QFile nouveau("nouveau");
        QVERIFY(nouveau.open(QIODevice::WriteOnly));
        nouveau.write("[ACRONYMES]\nACRO1=N,0\nACRO2=A,1\nACRO3=B,2\nACRO4=C,3\n");
        nouveau.close();
        int cles = 0;
        catalogue::observerPasse([&] {
            if (++cles == 2) {
                // Replaces the file, on Windows too (std::rename does not).
                std::error_code erreur;
                std::filesystem::rename("nouveau", "LISTORA.DAT", erreur);
                QVERIFY2(!erreur, erreur.message().c_str());
            }
        });
        const Chargement pendant = catalogue::lireCatalogue(catalogue::Acronymes, false);
        catalogue::observerPasse({});
        QCOMPARE(fixture::termes(pendant.termes), QStringList({"A", "B", "C"}));
        QCOMPARE(fixture::termes(catalogue::lireCatalogue(catalogue::Acronymes, false).termes),
                 QStringList({"N", "A", "B", "C"}));
    }

    // The syntax message quotes the value alone, whatever the catalogue.
    void messagesNameTheCatalogueAndTheFault_data()
    {
        QTest::addColumn<int>("numero");
        QTest::addColumn<char>("faute"); // f: no file, s: syntax, d: duplicate
        QTest::addColumn<QString>("titre");
        QTest::addColumn<QString>("texte");
        const QString fichier = "Le fichier LISTORA.DAT est absent ou corrompu." + CR + CR +
                                "Vérifier sa présence dans le répertoire /home/u" + CR + CR +
                                "Vérifier aussi que la section se nomme ";
        const QString doublon =
            " existe déjà dans la liste." + CR + CR + "Vérifier votre fichier LISTORA.DAT";
        const auto row = [](const char* nom, int numero, char faute, const QString& titre,
                            const QString& texte) {
            QTest::newRow(nom) << numero << faute << titre << texte;
        };
        row("IP ports, no file", 1, 'f', "Erreur Fichier", fichier + "IP-PORTS");
        row("acronyms, no file", 2, 'f', "Erreur Fichier", fichier + "ACRONYMES");
        row("MIME types, no file", 3, 'f', "Erreur Fichier", fichier + "MIME-TYPES");
        row("syntax", 1, 's', " Erreur de Syntaxe",
            "La ligne 'a, b' semble erronée. La virgule est manquante");
        row("IP ports, duplicate", 1, 'd', "Doublon", "Le Protocol a, b" + doublon);
        row("acronyms, duplicate", 2, 'd', "Doublon", "L'acronyme a, b" + doublon);
        row("MIME types, duplicate", 3, 'd', "Doublon", "Le MIME type a, b" + doublon);
    }
    void messagesNameTheCatalogueAndTheFault()
    {
        QFETCH(int, numero);
        QFETCH(char, faute);
        QFETCH(QString, titre);
        QFETCH(QString, texte);
        const catalogue::Catalogue& c = *catalogue::Tous[numero - 1];
        const QString fautif = "a, b";
        const QMap<char, QPair<QString, QString>> messages{
            {'f', {catalogue::TitreFichier, catalogue::messageFichier(c, "/home/u")}},
            {'s', {catalogue::TitreSyntaxe, catalogue::messageSyntaxe(fautif)}},
            {'d', {catalogue::TitreDoublon, catalogue::messageDoublon(c, fautif)}}};
        QCOMPARE(messages[faute].first, titre);
        QCOMPARE(messages[faute].second, texte);
    }

    // The frame's caption after a load and after a search; "MIME Type"
    // without an s after a load, two blanks before "Recherche" for IP ports.
    void captionsCountTheTerms_data()
    {
        QTest::addColumn<int>("numero");
        QTest::addColumn<bool>("recherche");
        QTest::addColumn<QString>("legende");
        QTest::newRow("IP ports loaded") << 1 << false << "IP Ports (7)";
        QTest::newRow("acronyms loaded") << 2 << false << "Acronymes (7)";
        QTest::newRow("MIME types loaded") << 3 << false << "MIME Type (7)";
        QTest::newRow("IP ports searched") << 1 << true << "IP Ports (7) ---  Recherche Activée";
        QTest::newRow("acronyms searched") << 2 << true << "Acronymes (7) --- Recherche Activée";
        QTest::newRow("MIME types searched") << 3 << true << "MIME Types (7) --- Recherche Activée";
    }
    void captionsCountTheTerms()
    {
        QFETCH(int, numero);
        QFETCH(bool, recherche);
        QFETCH(QString, legende);
        const catalogue::Catalogue& c = *catalogue::Tous[numero - 1];
        QCOMPARE(recherche ? catalogue::legendeRecherche(c, 7) : catalogue::legende(c, 7), legende);
    }
};

QTEST_GUILESS_MAIN(TstLoading)
#include "tst_loading.moc"
