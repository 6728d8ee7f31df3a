// Finding the entry of a selected term without a window: the fields and the
// description of the first value whose term is exactly the one selected.
#include "display/entry_display.h"
#include "window_fixture.h"

class TstEntry : public QObject
{
    Q_OBJECT
    fixture::DossierParTest dossier;

private slots:
    void init() { dossier.entrer(); }

    void firstValueWithTheExactTermGivesTheEntry_data()
    {
        QTest::addColumn<int>("numero");
        QTest::addColumn<QByteArray>("valeurs"); // of keys 1, 2, ...
        QTest::addColumn<QString>("terme");
        QTest::addColumn<QStringList>("entree"); // fields 2 to 5, description; empty: none
        const auto row = [](const char* nom, int numero, const QByteArray& valeurs,
                            const QString& terme, const QStringList& entree) {
            QTest::newRow(nom) << numero << valeurs << terme << entree;
        };
        row("acronym: its meaning, commas and blanks kept", 2, "x,y\nDNS, Domain, Name", "DNS",
            {"", "", "", "", " Domain, Name"});
        row("MIME type: its meaning", 3, "text/html,HTML (.htm)", "text/html",
            {"", "", "", "", "HTML (.htm)"});
        row("IP port: four fields, then the rest with its commas", 1,
            "ssh,TCP,22,UDP,1024-65535,Shell, sûr", "ssh",
            {"TCP", "22", "UDP", "1024-65535", "Shell, sûr"});
        row("IP value short of commas: the fields it has", 1, "vieux,UDP,7", "vieux",
            {"UDP", "7", "", "", ""});
        row("value without comma: no meaning", 2, "seul", "seul", {"", "", "", "", ""});
        row("first match wins", 3, "a/b,un\na/b,deux", "a/b", {"", "", "", "", "un"});
        row("blanks around the term count", 2, "a,sans blanc\n\" a ,entre blancs\"", " a ",
            {"", "", "", "", "entre blancs"});
        row("letter case counts: none", 1, "ssh,a,b,c,d,e", "SSH", {});
        row("a longer term that starts with it is another", 2, "TCPIP,la suite\nTCP,le protocole",
            "TCP", {"", "", "", "", "le protocole"});
    }
    void firstValueWithTheExactTermGivesTheEntry()
    {
        QFETCH(int, numero);
        QFETCH(QByteArray, valeurs);
        QFETCH(QString, terme);
        QFETCH(QStringList, entree);
        const catalogue::Catalogue& c = *catalogue::Tous[numero - 1];
        fixture::ecrireDat(fixture::section(c, valeurs));
        const std::optional<display::Entree> trouvee = display::trouverEntree(c, terme);
        QStringList vue;
        if (trouvee)
            vue = QStringList(trouvee->champs.begin(), trouvee->champs.end())
                  << trouvee->description;
        QCOMPARE(vue, entree);
    }
};

QTEST_GUILESS_MAIN(TstEntry)
#include "tst_entry.moc"
