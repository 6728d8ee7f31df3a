// listora-verifier on small files in memory, one per finding: the sentence
// the user reads and the exit status a script sees; then the renumbering,
// and the command line on files of a scratch folder.
#include "catalogue/ini_file.h"
#include "failing_new.h"
#include "terminal/visible.h"
#include "verifier/check.h"
#include "verifier/command_line.h"
#include "verifier/files.h"
#include "verifier/renumbering.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <limits>
#include <new>
#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace
{

// Allocation failures on demand: with avantEchec at n >= 0, the allocation
// after n more throws std::bad_alloc, once; at -1, none fails.
std::atomic<long> avantEchec{-1};

} // namespace

bool refuserAllocation(std::size_t)
{
    return avantEchec.load(std::memory_order_relaxed) >= 0 && avantEchec.fetch_sub(1) == 0;
}

namespace
{

const QByteArray Port = "PROTO1=ssh,TCP,22,TCP,1024-65535,SSH\n";

// A file whose sections are [ACRONYMES] (line 1, then `acronymes` from line
// 2), [IP-PORTS] and [MIME-TYPES], the last two with one good entry each.
QByteArray fichier(const QByteArray& acronymes, const QByteArray& ports = Port)
{
    return "[ACRONYMES]\n" + acronymes + "[IP-PORTS]\n" + ports +
           "[MIME-TYPES]\nMIME1=text/plain,Texte\n";
}

QString texte(const std::string& s)
{
    return QString::fromStdString(s);
}

bool ecrire(const QString& chemin, const QByteArray& octets)
{
    QFile f(chemin);
    return f.open(QIODevice::WriteOnly) && f.write(octets) == octets.size();
}

// The temporary files --renumeroter left in the current folder.
QStringList temporaires()
{
    return QDir().entryList({".listora-verifier.*"}, QDir::Files | QDir::Hidden);
}

QByteArray lire(const QString& chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(absent)");
}

} // namespace

class TstVerifier : public QObject
{
    Q_OBJECT
    QTemporaryDir dossier;

private slots:
    void initTestCase()
    {
        QVERIFY(dossier.isValid());
        QVERIFY(QDir::setCurrent(dossier.path()));
        QVERIFY(ecrire("LISTORA.DAT", fichier("ACRO1=A,a\n")));
        QVERIFY(ecrire("casse.dat", fichier("ACRO2=B,b\n")));
        QVERIFY(QDir().mkdir("dossier"));
    }

    void reportsEachFinding_data()
    {
        QTest::addColumn<QByteArray>("fichier");
        QTest::addColumn<int>("statut");
        QTest::addColumn<QString>("attendu"); // one whole line of the report
        const auto row = [](const char* nom, const QByteArray& f, int statut, const char* ligne) {
            QTest::newRow(nom) << f << statut << QString::fromUtf8(ligne);
        };
        row("every entry loads", fichier("ACRO1=A,a\nACRO2=B,b\n"), 0,
            "ACRONYMES : les 2 entrées seront chargées (ACRO1 à ACRO2).");
        row("a missing key hides the rest", fichier("ACRO1=A,a\nACRO3=C,c\nACRO4=D,d\n"), 1,
            "  ACRO2 manque : Listora arrête ce catalogue après ACRO1 et ne lira jamais les 2 "
            "clés qui suivent (ACRO3 à ACRO4).");
        row("so does an empty one", fichier("ACRO1=\nACRO2=B,b\n"), 1,
            "  ligne 2 : ACRO1 est vide : Listora ne lit aucune entrée de ce catalogue et ne lira "
            "jamais la clé ACRO2 qui suit.");
        row("count before the gap", fichier("ACRO1=A,a\nACRO3=C,c\n"), 1,
            "ACRONYMES : 1 des 2 entrées du fichier sera chargée (ACRO1) ; l'autre, jamais.");
        row("missing comma", fichier("ACRO1=A,a\nACRO2=B b\n"), 1,
            "  ligne 3 : ACRO2 — la virgule est manquante : Listora s'arrêtera avec « Erreur de "
            "Syntaxe ».");
        row("where the program ends", fichier("ACRO1=A,a\nACRO2=B b\nACRO3=C,c\n"), 1,
            "ACRONYMES : Listora lira 1 entrée (ACRO1), puis s'arrêtera avec « Erreur de Syntaxe "
            "» sur ACRO2 (ligne 3).");
        row("comma past the 199 characters read", fichier("ACRO1=" + QByteArray(199, 'a') + ",b\n"),
            1,
            "  ligne 2 : ACRO1 — la virgule vient après le 199e caractère, que Listora ne lit pas "
            ": Listora s'arrêtera avec « Erreur de Syntaxe ».");
        row("a port needs five commas", fichier("ACRO1=A,a\n", "PROTO1=ssh,TCP,22\n"), 1,
            "  ligne 4 : PROTO1 — il n'y a que 2 virgules (il en faut 5) : Listora s'arrêtera "
            "avec « Erreur de Syntaxe ».");
        row("duplicate, letter case aside", fichier("ACRO1=ACK,a\nACRO2=ack,b\n"), 1,
            "  ligne 3 : le terme « ack » de ACRO2 est déjà celui de ACRO1 (ligne 2) : avec « "
            "Vérifier les doublons » coché, Listora s'arrêtera avec « Doublon ».");
        row("where the duplicate check ends it", fichier("ACRO1=ACK,a\nACRO2=ack,b\n"), 1,
            "ACRONYMES : les 2 entrées seront chargées (ACRO1 à ACRO2). Avec « Vérifier les "
            "doublons » coché, Listora s'arrêtera avec « Doublon » sur ACRO2 (ligne 3).");
        row("sharp s is no SS, as in the program", fichier("ACRO1=STRASSE,a\nACRO2=straße,b\n"), 0,
            "ACRONYMES : les 2 entrées seront chargées (ACRO1 à ACRO2).");
        row("key under another section", fichier("ACRO1=A,a\n") + "ACRO2=B,b\n", 1,
            "  ligne 7 : ACRO2 est sous [MIME-TYPES] : Listora ne la lit pas là ; sa place est "
            "sous [ACRONYMES].");
        row("key before any section", "ACRO2=B,b\n" + fichier("ACRO1=A,a\n"), 1,
            "  ligne 1 : ACRO2 est avant le premier en-tête de section : Listora ne la lit pas là "
            "; sa place est sous [ACRONYMES].");
        row("keys under a repeated header",
            fichier("ACRO1=A,a\n") + "[acronymes]\nACRO2=B,b\nACRO3=C,c\n", 1,
            "  lignes 8 à 9 : 2 clés (ACRO2 à ACRO3) sont sous l'en-tête [acronymes] répété ligne "
            "7 : Listora ne lit que les lignes du premier en-tête [ACRONYMES], ligne 1.");
        row("the repeated header itself", fichier("ACRO1=A,a\n") + "[acronymes]\n", 0,
            "  ligne 7 : l'en-tête [acronymes] répète celui de la ligne 1 : Listora ne lit aucune "
            "des lignes qui le suivent, jusqu'à l'en-tête suivant.");
        row("same key twice", fichier("ACRO1=A,a\nacro1=B,b\n"), 1,
            "  ligne 3 : acro1 est déjà écrite ligne 2 : Listora ne lit que la première.");
        row("leading zero", fichier("ACRO1=A,a\nACRO02=B,b\n"), 1,
            "  ligne 3 : ACRO02 — un numéro ne s'écrit pas avec un 0 devant : cette clé ne sera "
            "jamais lue.");
        row("key 0", fichier("ACRO1=A,a\nACRO0=B,b\n"), 1,
            "  ligne 3 : ACRO0 — les numéros commencent à 1 : cette clé ne sera jamais lue.");
        QByteArray longue;
        for (int n = 1; n <= 32768; ++n)
            longue += "ACRO" + QByteArray::number(n) + "=T" + QByteArray::number(n) + ",x\n";
        row("the walk reads up to key 32767", fichier(longue), 1,
            "ACRONYMES : 32767 des 32768 entrées du fichier seront chargées (ACRO1 à ACRO32767) "
            "; l'autre, jamais.");
        row("key 32768 is never read", fichier(longue), 1,
            "  ligne 32769 : ACRO32768 — Listora ne lit pas au-delà de ACRO32767 : cette clé ne "
            "sera jamais lue.");
        row("line without =", fichier("ACRO1=A,a\nACRO2 B,b\n"), 1,
            "  ligne 3 : « ACRO2 B,b » n'a pas la forme CLÉ=valeur : Listora ne lit pas cette "
            "ligne.");
        row("section absent", "[IP-PORTS]\n" + Port + "[MIME-TYPES]\nMIME1=a,b\n", 1,
            "ACRONYMES : la section [ACRONYMES] est absente : Listora affichera « Erreur Fichier » "
            "pour ce catalogue.");
        row("section without entries", fichier("; rien\n"), 1,
            "ACRONYMES : la section [ACRONYMES] n'a aucune entrée : Listora affichera « Erreur "
            "Fichier » pour ce catalogue.");
        row("section without catalogue keys", fichier("AUTRE=x\n"), 1,
            "ACRONYMES : la section [ACRONYMES] n'a aucune clé ACRO1, ACRO2… : la liste sera "
            "vide.");
        row("another key is an entry never read", fichier("ACRO1=A,a\nAUTRE=x\n"), 1,
            "  ligne 3 : la clé AUTRE n'est pas de la forme ACRO1, ACRO2… : Listora ne lit "
            "jamais cette entrée.");
        row("another key without a value loses nothing", fichier("ACRO1=A,a\nAUTRE=\n"), 0,
            "  ligne 3 : la clé AUTRE n'est pas de la forme ACRO1, ACRO2… : Listora ne la lit "
            "pas.");
        row("empty key past the end", fichier("ACRO1=A,a\n") + "ACRO2=\n", 0,
            "  ligne 7 : ACRO2 est vide ; --renumeroter la retire, car une valeur vide arrête le "
            "catalogue.");
        row("value cut", fichier("ACRO1=A," + QByteArray(248, 'a') + "\n"), 0,
            "  ligne 2 : ACRO1 — la valeur a 250 caractères : Listora n'en lit que les 199 "
            "premiers.");
        row("text outside the catalogues", "libre\n" + fichier("ACRO1=A,a\n"), 0,
            "  ligne 1 : « libre » n'a pas la forme CLÉ=valeur ; hors des catalogues, Listora ne "
            "la lit pas.");
        row("Windows-1252 line in a UTF-8 file",
            fichier("ACRO1=\xC3\xA9t\xC3\xA9,a\nACRO2=caf\xE9,b\n"), 0,
            "  ligne 3 : pas en UTF-8 comme le reste du fichier ; Listora la lit en Windows-1252 "
            ": vérifiez que les accents s'y affichent bien.");
        const QByteArray deuxSuites =
            fichier("ACRO1=\xC3\xA9,a\nACRO2=B\xE9,b\nACRO3=C\xE9,c\nACRO4=D,d\nACRO5=E\xE9,e\n");
        row("a run of Windows-1252 lines is named once", deuxSuites, 0,
            "  lignes 3 à 4 : pas en UTF-8 comme le reste du fichier ; Listora les lit en "
            "Windows-1252 : vérifiez que les accents s'y affichent bien.");
        row("each run of Windows-1252 lines", deuxSuites, 0,
            "  ligne 6 : pas en UTF-8 comme le reste du fichier ; Listora la lit en Windows-1252 "
            ": vérifiez que les accents s'y affichent bien.");
        row("Windows-1252 file", fichier("ACRO1=caf\xE9,a\nACRO2=th\xE9,b\n"), 0,
            "  le fichier est écrit en Windows-1252 et non en UTF-8 : Listora le lit ainsi, sans "
            "perte.");

        // Hostile files: what the file holds is quoted visibly, and what the
        // program never reads is said so.
        row("a terminal sequence in a key",
            fichier("ACRO1=A,a\n\x1B]0;OK\x07"
                    "ACRO2=B,b\n"),
            1,
            "  ligne 3 : la clé \\x1B]0;OK\\x07ACRO2 n'est pas de la forme ACRO1, ACRO2… : "
            "Listora ne lit jamais cette entrée.");
        row("a misspelt key", fichier("ACRO1=A,a\nACR03=C,c\n"), 1,
            "  ligne 3 : la clé ACR03 n'est pas de la forme ACRO1, ACRO2… : Listora ne lit "
            "jamais cette entrée.");
        row("a zero-width space before a key", fichier("ACRO1=A,a\n\u200BACRO2=B,b\n"), 1,
            "  ligne 3 : la clé \\u200BACRO2 n'est pas de la forme ACRO1, ACRO2… : Listora ne "
            "lit jamais cette entrée.");
        row("a no-break space before a key", fichier("ACRO1=A,a\n\u00A0ACRO2=B,b\n"), 1,
            "  ligne 3 : la clé \\u00A0ACRO2 n'est pas de la forme ACRO1, ACRO2… : Listora ne "
            "lit jamais cette entrée.");
        row("a mark inside a line", fichier("ACRO1=A,a\n\uFEFFACRO2=B,b\n"), 1,
            "  ligne 3 : la clé \\uFEFFACRO2 n'est pas de la forme ACRO1, ACRO2… : Listora ne "
            "lit jamais cette entrée.");
        row("a line separator in a section name",
            fichier("ACRO1=A,a\n") + "[X\u2028Y]\n[x\u2028y]\n", 0,
            "  ligne 8 : l'en-tête [x\\u2028y] répète celui de la ligne 7 : Listora ne lit aucune "
            "des lignes qui le suivent, jusqu'à l'en-tête suivant.");
        row("a bidi override in a term", fichier("ACRO1=\u202Eab,a\nACRO2=\u202EAB,b\n"), 1,
            "  ligne 3 : le terme « \\u202EAB » de ACRO2 est déjà celui de ACRO1 (ligne 2) : avec "
            "« Vérifier les doublons » coché, Listora s'arrêtera avec « Doublon ».");
        row("a C1 control read as Windows-1252", fichier("ACRO1=\x81x,a\nACRO2=\x81x,b\n"), 1,
            "  ligne 3 : le terme « \\u0081x » de ACRO2 est déjà celui de ACRO1 (ligne 2) : avec "
            "« Vérifier les doublons » coché, Listora s'arrêtera avec « Doublon ».");
        // Characters a terminal shows as nothing, by what ICU's Unicode data
        // says of them.
        row("a variation selector after a key (Default_Ignorable)",
            fichier("ACRO1=A,a\nACRO2\uFE0F=B,b\n"), 1,
            "  ligne 3 : la clé ACRO2\\uFE0F n'est pas de la forme ACRO1, ACRO2… : Listora ne "
            "lit jamais cette entrée.");
        row("a Hangul filler, a letter that shows as nothing (Default_Ignorable)",
            fichier("ACRO1=\u3164,a\nACRO2=\u3164,b\n"), 1,
            "  ligne 3 : le terme « \\u3164 » de ACRO2 est déjà celui de ACRO1 (ligne 2) : avec "
            "« Vérifier les doublons » coché, Listora s'arrêtera avec « Doublon ».");
        row("an unassigned code point in a section name",
            fichier("ACRO1=A,a\n") + "[X\u0378]\n[x\u0378]\n", 0,
            "  ligne 8 : l'en-tête [x\\u0378] répète celui de la ligne 7 : Listora ne lit aucune "
            "des lignes qui le suivent, jusqu'à l'en-tête suivant.");
        row("a noncharacter in a line", fichier("ACRO1=A,a\nx\uFDD0\U0010FFFFy\n"), 1,
            "  ligne 3 : « x\\uFDD0\\U0010FFFFy » n'a pas la forme CLÉ=valeur : Listora ne lit "
            "pas cette ligne.");
        row("an excerpt is never cut inside an escape",
            fichier("ACRO1=A,a\n" + QByteArray(54, 'a') + "\x1B\x1B" + "bbbb\n"), 1,
            ("  ligne 3 : « " + std::string(54, 'a') +
             "… » n'a pas la forme CLÉ=valeur : Listora ne lit pas cette ligne.")
                .c_str());
        const auto utf16 = [](const QString& texte, bool grosBoutiste) {
            QByteArray octets;
            for (const QChar c : texte) {
                const char haut = char(c.unicode() >> 8), bas = char(c.unicode() & 0xFF);
                octets += grosBoutiste ? QByteArray(1, haut) + bas : QByteArray(1, bas) + haut;
            }
            return octets;
        };
        const QString simple = QString::fromUtf8(fichier("ACRO1=A,a\n"));
        const char* const Utf16BE =
            "  le fichier est écrit en UTF-16BE (« Unicode big endian ») et non en UTF-8 : Listora "
            "ne lit pas cet encodage et affichera « Erreur Fichier » pour chaque catalogue. "
            "Enregistrez-le en UTF-8 ; ses lignes ne sont pas citées ici.";
        row("UTF-16BE with its mark", "\xFE\xFF" + utf16(simple, true), 1, Utf16BE);
        row("UTF-16BE without it", utf16(simple, true), 1, Utf16BE);
        row("UTF-16BE of Chinese text, told by its mark",
            "\xFE\xFF" + utf16("[ACRONYMES]\nACRO1=" + QString(300, QChar(0x4E2D)) + ",a\n", true),
            1, Utf16BE);
        row("UTF-16LE without its mark", utf16(simple, false), 1,
            "  le fichier est écrit en UTF-16LE sans sa marque d'ordre des octets (FF FE) : "
            "Listora ne lit l'UTF-16 qu'avec cette marque en tête et affichera « Erreur Fichier » "
            "pour "
            "chaque catalogue. Enregistrez-le en UTF-8 ; ses lignes ne sont pas citées ici.");
        row("NULs at every other place, in a file read as text",
            QByteArray("\0;", 2).repeated(3000) + "\n" + fichier("ACRO1=A,a\nACRO3=C,c\n"), 1,
            "  ACRO2 manque : Listora arrête ce catalogue après ACRO1 et ne lira jamais la clé "
            "ACRO3 qui suit.");
        row("only CR line ends", fichier("ACRO1=A,a\nACRO2=B,b\n").replace('\n', '\r'), 0,
            "ACRONYMES : les 2 entrées seront chargées (ACRO1 à ACRO2).");
        row("only CR line ends, in Windows-1252",
            fichier("ACRO1=caf\xE9,a\nACRO2=th\xE9,b\n").replace('\n', '\r'), 0,
            "  le fichier est écrit en Windows-1252 et non en UTF-8 : Listora le lit ainsi, sans "
            "perte.");
        row("a header repeated after a long first header line",
            "[ACRONYMES] ;" + QByteArray(1 << 20, 'x') +
                fichier("ACRO1=A,b\n" + QByteArray("[ACRONYMES]\n").repeated(20000) + "ACRO2=C,c\n")
                    .mid(11),
            1,
            "  ligne 20003 : ACRO2 est sous l'en-tête [ACRONYMES] répété ligne 20002 : Listora ne "
            "lit que les lignes du premier en-tête [ACRONYMES], ligne 1.");
        row("UTF-16LE with its mark, which the program reads", "\xFF\xFE" + utf16(simple, false), 0,
            "ACRONYMES : l'entrée ACRO1 sera chargée.");

        // The report stays short: five findings of a kind, then a count.
        row("a key written again and again",
            fichier("ACRO1=T,d\n" + QByteArray("ACRO1=T,d\n").repeated(10000)), 1,
            "  … et 9995 autres lignes du même genre (clé écrite deux fois).");
        row("lines without = by the thousand",
            fichier("ACRO1=A,a\n" + QByteArray("x\n").repeated(10000)), 1,
            "  … et 9995 autres lignes du même genre (ligne sans « = »).");
        row("a header repeated before every key",
            fichier("ACRO1=A,a\n") + QByteArray("[ACRONYMES]\nACRO2=B,b\n").repeated(3000), 1,
            "  … et 2995 autres lignes du même genre (clé hors de sa section).");
    }
    void reportsEachFinding()
    {
        QFETCH(QByteArray, fichier);
        QFETCH(int, statut);
        QFETCH(QString, attendu);
        const verificateur::Rapport r = verificateur::verifier(fichier.toStdString());
        const std::string rapport = verificateur::enTexte(r, "f");
        const QStringList lignes = texte(rapport).split('\n');
        QVERIFY2(lignes.contains(attendu), qPrintable(lignes.join('\n')));
        QCOMPARE(int(r.statut), statut);
        // Whatever the file, nothing in the report acts on a terminal, and
        // the report stays short.
        QCOMPARE(terminal::assainir(rapport), rapport);
        QCOMPARE_LE(lignes.size(), 60);
        // UTF-16 is named only for a file in which the program finds nothing,
        // and then its lines, full of NULs, are not quoted.
        if (rapport.find("écrit en UTF-16") != std::string::npos) {
            QCOMPARE(lignes.filter("affichera « Erreur Fichier » pour ce catalogue.").size(), 3);
            QVERIFY(!lignes.join('\n').contains("\\x00"));
        }
    }

    // The copy loads every entry the file held, in file order; comments,
    // blank lines and other keys stay where they were.
    void renumbers_data()
    {
        QTest::addColumn<QByteArray>("fichier");
        QTest::addColumn<QByteArray>("copie");
        QTest::addColumn<QString>("note");
        QTest::addColumn<int>("statut"); // of the copy, checked
        QTest::newRow("gap, misplaced keys, empty value, CRLF")
            << QByteArray("; tete\r\nACRO9=Z,avant\r\n[ACRONYMES]\r\nACRO1=A,a\r\n; milieu\r\n  "
                          "ACRO3 = \"B,b\"  \r\nACRO4=\r\n\r\n[IP-PORTS]\r\n" +
                          Port.chopped(1) +
                          "\r\nACRO7=C,c\r\n[MIME-TYPES]\r\nAUTRE= x \r\n"
                          "MIME1=a,b\r\n[ACRONYMES]\r\nACRO8=D,d")
            << QByteArray("; tete\n[ACRONYMES]\nACRO1=Z,avant\nACRO2=A,a\n; milieu\nACRO3=\"B,b\"\n"
                          "ACRO4=C,c\nACRO5=D,d\n\n[IP-PORTS]\n" +
                          Port + "[MIME-TYPES]\nAUTRE= x \nMIME1=a,b\n[ACRONYMES]\n")
            << "ACRONYMES : 5 entrées, de ACRO1 à ACRO5 ; 4 clés changent de nom ; 3 ramenées "
               "sous [ACRONYMES]."
            << 1; // AUTRE, under [MIME-TYPES], is still never read
        QTest::newRow("the empty value left out")
            << fichier("ACRO1=\nACRO2=A,a\n") << fichier("ACRO1=A,a\n")
            << "ligne 2 : ACRO1, vide, est retirée (une valeur vide arrête le catalogue)." << 0;
        QTest::newRow("five empty keys told, then how many more")
            << fichier(QByteArray("ACRO1=\n").repeated(7) + "ACRO2=A,a\n") << fichier("ACRO1=A,a\n")
            << "… et 2 autres clés vides de ACRONYMES retirées de même." << 0;
        QTest::newRow("a section without keys gets them after its header")
            << "ACRO5=A,a\n" + fichier("; vide\n") << fichier("ACRO1=A,a\n; vide\n")
            << "ACRONYMES : 1 entrée, ACRO1 ; 1 clé change de nom ; 1 ramenée sous [ACRONYMES]."
            << 0;
        QTest::newRow("an absent section is added at the end")
            << "[IP-PORTS]\n" + Port + "ACRO1=A,a\n"
            << "[IP-PORTS]\n" + Port + "\n[ACRONYMES]\nACRO1=A,a\n"
            << "ACRONYMES : 1 entrée, ACRO1 ; 1 ramenée sous [ACRONYMES] ; la section "
               "[ACRONYMES] est ajoutée à la fin du fichier."
            << 1; // [MIME-TYPES] is still absent
        QTest::newRow("Windows-1252 written as UTF-8")
            << fichier("ACRO1=caf\xE9,a\n") << fichier("ACRO1=caf\xC3\xA9,a\n")
            << "ACRONYMES : 1 entrée, ACRO1." << 0;
        QTest::newRow("a missing comma is left to the user")
            << fichier("ACRO2=A a\n") << fichier("ACRO1=A a\n")
            << "ACRONYMES : 1 entrée, ACRO1 ; 1 clé change de nom." << 1;
    }
    void renumbers()
    {
        QFETCH(QByteArray, fichier);
        QFETCH(QByteArray, copie);
        QFETCH(QString, note);
        QFETCH(int, statut);
        const verificateur::Renumerotation r = verificateur::renumeroter(fichier.toStdString());
        QCOMPARE(QByteArray::fromStdString(r.texte), copie);
        QStringList notes;
        for (const std::string& n : r.notes)
            notes << texte(n);
        QVERIFY2(notes.contains(note), qPrintable(notes.join('\n')));
        QCOMPARE(int(verificateur::verifier(r.texte).statut), statut);
    }

    void shippedFileLoadsEverythingAndNeedsNoRenumbering()
    {
        const verificateur::Lecture lu =
            verificateur::lireFichier(LISTORA_SOURCE_DIR "/data/LISTORA.DAT");
        QCOMPARE(texte(lu.erreur), QString());
        const verificateur::Rapport r = verificateur::verifier(std::string(lu.octets));
        QCOMPARE(int(r.statut), 0);
        QVERIFY(texte(verificateur::enTexte(r, "f"))
                    .endsWith("\nRésultat : Listora chargera toutes les entrées du fichier.\n"));
        QVERIFY(verificateur::renumeroter(std::string(lu.octets)).texte == lu.octets);
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("statut");
        QTest::addColumn<QString>("attendu"); // in what it prints, or in its error
        QTest::newRow("./LISTORA.DAT by default")
            << QStringList() << 0 << "Vérification de « ./LISTORA.DAT »";
        QTest::newRow("something to fix")
            << QStringList{"casse.dat"} << 1 << "Résultat : à corriger.";
        QTest::newRow("absent")
            << QStringList{"absent.dat"} << 2
            << "listora-verifier : « absent.dat » est introuvable : Listora afficherait « Erreur "
               "Fichier » pour chaque catalogue.\n";
        QTest::newRow("a folder")
            << QStringList{"dossier"} << 2
            << "listora-verifier : « dossier » est un dossier, pas un fichier : Listora le lirait "
               "comme absent et afficherait « Erreur Fichier » pour chaque catalogue.\n";
        QTest::newRow("a path is quoted visibly")
            << QStringList{"\x1B]0;OK\x07.dat"} << 2 << "« \\x1B]0;OK\\x07.dat » est introuvable";
        QTest::newRow("unknown option") << QStringList{"-x"} << 2 << "option inconnue « -x »";
        QTest::newRow("two files")
            << QStringList{"a", "b"} << 2 << "listora-verifier : un seul fichier à la fois.";
        QTest::newRow("--renumeroter without a name")
            << QStringList{"--renumeroter"} << 2
            << "--renumeroter attend le nom du fichier à écrire.";
        QTest::newRow("help") << QStringList{"--aide"} << 0 << "Usage : listora-verifier [FICHIER]";
        QTest::newRow("a file named like an option")
            << QStringList{"--", "-x"} << 2 << "« -x » est introuvable";
        QTest::newRow("refuses to replace a file")
            << QStringList{"--renumeroter", "LISTORA.DAT", "casse.dat"} << 2
            << "listora-verifier : « LISTORA.DAT » existe déjà : listora-verifier ne remplace "
               "jamais un fichier ; donnez le nom d'un fichier qui n'existe pas.\n";
#ifndef Q_OS_WIN // a link needs a privilege there
        QTest::newRow("nor a dangling link")
            << QStringList{"--renumeroter", "lien", "casse.dat"} << 2 << "« lien » existe déjà";
#endif
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, statut);
        QFETCH(QString, attendu);
#ifndef Q_OS_WIN
        QFile::remove("lien");
        QVERIFY(::symlink("perdu", "lien") == 0);
#endif
        const QByteArray avant = lire("LISTORA.DAT");
        std::vector<std::string> args;
        for (const QString& a : arguments)
            args.push_back(a.toStdString());
        std::string sortie, erreurs;
        QCOMPARE(verificateur::executer(args, sortie, erreurs), statut);
        QVERIFY2(texte(sortie + erreurs).contains(attendu), (sortie + erreurs).c_str());
        QCOMPARE(erreurs.empty(), statut != 2); // errors go to stderr, reports to stdout
        QCOMPARE(lire("LISTORA.DAT"), avant);
        QVERIFY(!QFile::exists("perdu"));
    }

    // Named or not, the file checked is the one the user means, and every
    // command the report suggests works when typed as it stands.
    void suggestedCommandsWorkAsWritten()
    {
        const QByteArray casse = lire("casse.dat");
        QVERIFY(ecrire("NOUVEAU.DAT", casse) && ecrire("mon fichier.dat", casse));
        std::string sortie, erreurs;
        QCOMPARE(verificateur::executer({"NOUVEAU.DAT"}, sortie, erreurs), 1);
        QVERIFY2(texte(sortie).endsWith("--renumeroter NOUVEAU-2.DAT NOUVEAU.DAT\n"),
                 sortie.c_str());
        sortie.clear();
        QCOMPARE(verificateur::executer({"mon fichier.dat"}, sortie, erreurs), 1);
#ifdef Q_OS_WIN
        const QString cite = "\"mon fichier.dat\"";
#else
        const QString cite = "'mon fichier.dat'";
#endif
        QVERIFY2(texte(sortie).endsWith("--renumeroter NOUVEAU-2.DAT " + cite + "\n"),
                 sortie.c_str());
        QCOMPARE(verificateur::executer({"--renumeroter", "NOUVEAU-2.DAT", "mon fichier.dat"},
                                        sortie, erreurs),
                 0);

        // Without ./LISTORA.DAT, the user's own copy, which `listora` opens.
#ifdef Q_OS_WIN
        const char* const Variable = "APPDATA";
        const QString copie = "maison/Listora";
#else
        const char* const Variable = "HOME";
        const QString copie = "maison/.local/share/listora";
#endif
        QVERIFY(QDir().mkpath(copie) && QDir().mkdir("ailleurs"));
        QVERIFY(ecrire(copie + "/LISTORA.DAT", casse));
        const QByteArray maison = QDir::current().absoluteFilePath("maison").toUtf8();
        const QByteArray avant = qgetenv(Variable);
        const QByteArray donnees = qgetenv("XDG_DATA_HOME");
        qputenv(Variable, QDir::toNativeSeparators(maison).toUtf8());
        qunsetenv("XDG_DATA_HOME");
        QVERIFY(QDir::setCurrent("ailleurs"));
        sortie.clear();
        const int statut = verificateur::executer({}, sortie, erreurs);
        QVERIFY(QDir::setCurrent(".."));
        qputenv(Variable, avant);
        if (!donnees.isNull())
            qputenv("XDG_DATA_HOME", donnees);
        QCOMPARE(statut, 1);
        const QString attendu =
            QDir::toNativeSeparators(QDir::current().absoluteFilePath(copie + "/LISTORA.DAT"));
        QVERIFY2(texte(sortie).startsWith("Vérification de « " + attendu + " »\n"), sortie.c_str());
    }

    // Whatever the file's name, the suggested command gives the shell back
    // that name, byte for byte, and shows nothing raw.
    void suggestedCommandRunsAsPrinted_data()
    {
        QTest::addColumn<QByteArray>("nom");
        QTest::addColumn<QString>("argument"); // as the report prints it, for sh
        QTest::addColumn<QString>("cmd");      // and for the Windows command prompt
        QTest::newRow("a blank") << QByteArray("mon fichier.dat") << "'mon fichier.dat'"
                                 << "\"mon fichier.dat\"";
        QTest::newRow("a quote") << QByteArray("l'été.dat") << "'l'\\''été.dat'"
                                 << "\"l'été.dat\"";
        QTest::newRow("a no-break space")
            << QByteArray("mon\u00A0cat.dat") << "$'mon\\xC2\\xA0cat.dat'"
            << "\"mon\\u00A0cat.dat\"";
        QTest::newRow("an escape sequence, a quote and a backslash")
            << QByteArray("\x1B[31m'\\.dat") << "$'\\x1B[31m\\'\\\\.dat'"
            << "\"\\x1B[31m'\\.dat\"";
        QTest::newRow("like an option, with an escape")
            << QByteArray("-\u200Bx.dat") << "$'./-\\xE2\\x80\\x8Bx.dat'"
            << "\".\\-\\u200Bx.dat\"";
    }
    void suggestedCommandRunsAsPrinted()
    {
        QFETCH(QByteArray, nom);
        QFETCH(QString, argument);
#ifdef Q_OS_WIN
        // Under the command prompt the argument is cmd's; no interpreter
        // there gives back what it read, so the printed form is the check.
        QFETCH(QString, cmd);
        if (nom.contains('\\') || nom.contains('\x1B'))
            QSKIP("no Windows file name holds a backslash or a control character");
        argument = cmd;
#endif
        QVERIFY(ecrire(QString::fromUtf8(nom), lire("casse.dat")));
        std::string sortie, erreurs;
        QCOMPARE(verificateur::executer({"--", nom.toStdString()}, sortie, erreurs), 1);
        QFile::remove(QString::fromUtf8(nom));
        const QString derniere = texte(sortie).section('\n', -2, -2);
        QVERIFY2(derniere.endsWith(".DAT " + argument), sortie.c_str());
#ifndef Q_OS_WIN
        QProcess shell;
        const QString commande = derniere.section("listora-verifier ", 1);
        shell.start("bash", {"-c", "printf '%s\\n' " + commande});
        QVERIFY(shell.waitForFinished(-1));
        QByteArray attendu = nom;
        if (nom.startsWith('-'))
            attendu.prepend("./");
        const QList<QByteArray> mots = shell.readAllStandardOutput().split('\n');
        QCOMPARE(mots.size(), 4);
        QCOMPARE(mots[0], "--renumeroter");
        QCOMPARE(mots[2], attendu);
#endif
    }

    // A path as an argument of the Windows command prompt: literal when cmd
    // and the program's parsing keep it whole, double quotes around what
    // cmd would split at or act on, ".\" before what reads as an option;
    // what cannot be quoted is shown with its escapes, never raw.
    void cmdArgumentKeepsThePath_data()
    {
        QTest::addColumn<QByteArray>("nom");
        QTest::addColumn<QString>("cmd");
        QTest::newRow("plain") << QByteArray("NOUVEAU.DAT") << "NOUVEAU.DAT";
        QTest::newRow("a Windows path, accents")
            << QByteArray("C:\\Users\\Élodie\\données.dat") << "C:\\Users\\Élodie\\données.dat";
        QTest::newRow("empty") << QByteArray() << "\"\"";
        QTest::newRow("like an option") << QByteArray("-x.dat") << ".\\-x.dat";
        QTest::newRow("like an option, with a blank") << QByteArray("-x y") << "\".\\-x y\"";
        for (const char* c : {"&", "|", "<", ">", "^", "(", ")", ",", ";", "=", "!", "'", "`"})
            QTest::addRow("a %s", c) << QByteArray("a") + c + "b" << QString("\"a%1b\"").arg(c);
        // % cannot be quoted for cmd: shown as it is, in quotes.
        QTest::newRow("a percent sign") << QByteArray("100%.dat") << "\"100%.dat\"";
        QTest::newRow("a tab") << QByteArray("a\tb") << "\"a\\x09b\"";
        QTest::newRow("a right-to-left override") << QByteArray("a\u202Eb") << "\"a\\u202Eb\"";
        QTest::newRow("a byte that is not UTF-8") << QByteArray("a\xFF") << "\"a\\u00FF\"";
    }
    void cmdArgumentKeepsThePath()
    {
        QFETCH(QByteArray, nom);
        QFETCH(QString, cmd);
        const std::string vu =
            terminal::pourLaCommande(nom.toStdString(), terminal::Interprete::Cmd);
        QCOMPARE(QString::fromStdString(vu), cmd);
        QCOMPARE(QString::fromStdString(
                     terminal::pourLaCommande(nom.toStdString(), terminal::Interprete::Sh)),
                 QString::fromStdString(terminal::pourLeShell(nom.toStdString())));
    }

    // The tool itself takes a name outside the system's ANSI code page (on
    // Windows, where argv would turn "ł" into "l" or "?") and writes its
    // report as UTF-8 into a pipe, escapes kept.
    void toolTakesAndWritesUtf8()
    {
        const QString nom = QString::fromUtf8("łódź\u00A0€.dat");
        QVERIFY(ecrire(nom, lire("casse.dat")));
        QProcess outil;
#ifdef Q_OS_WIN
        // Beside the test: the build's path is a Linux one under Wine.
        outil.start(QCoreApplication::applicationDirPath() + "/listora-verifier.exe", {nom});
#else
        outil.start(LISTORA_VERIFIER, {nom});
#endif
        QVERIFY(outil.waitForFinished(-1));
        QFile::remove(nom);
        QCOMPARE(outil.exitCode(), 1);
        const QString rapport = QString::fromUtf8(outil.readAllStandardOutput());
        QVERIFY2(rapport.contains(QString::fromUtf8("« łódź\\u00A0€.dat »")), qPrintable(rapport));
    }

    // A report that cannot be written whole is a failure, said as such: a
    // script must not take the part that got through for the verdict.
    void aReportCutShortIsAnError_data()
    {
        QTest::addColumn<bool>("fermee");
        QTest::addColumn<QString>("erreur");
        QTest::newRow("a full disk")
            << false
            << "listora-verifier : le rapport n'a pas pu être écrit en entier (le disque est "
               "plein).\n";
        QTest::newRow("a closed output")
            << true
            << "listora-verifier : le rapport n'a pas pu être écrit en entier (la sortie "
               "standard est fermée).\n";
    }
    void aReportCutShortIsAnError()
    {
#ifdef Q_OS_WIN
        QSKIP("/dev/full and a child with its output closed are made with POSIX calls");
#else
        QFETCH(bool, fermee);
        QFETCH(QString, erreur);
        int tube[2];
        QVERIFY(::pipe(tube) == 0);
        const pid_t enfant = ::fork();
        QVERIFY(enfant >= 0);
        if (enfant == 0) {
            ::dup2(tube[1], 2);
            if (fermee)
                ::close(1);
            else
                ::dup2(::open("/dev/full", O_WRONLY), 1);
            ::execl(LISTORA_VERIFIER, LISTORA_VERIFIER, "casse.dat", nullptr);
            ::_exit(99);
        }
        ::close(tube[1]);
        QByteArray lu;
        char tampon[4096];
        for (ssize_t n; (n = ::read(tube[0], tampon, sizeof tampon)) > 0;)
            lu.append(tampon, n);
        ::close(tube[0]);
        int etat = 0;
        QCOMPARE(::waitpid(enfant, &etat, 0), enfant);
        QVERIFY(WIFEXITED(etat));
        QCOMPARE(WEXITSTATUS(etat), 2);
        QCOMPARE(QString::fromUtf8(lu), erreur);
#endif
    }

    // Whichever allocation fails, the check or the copy ends with a French
    // sentence and exit status 2, never an abort; a copy written is said to
    // be.
    void runningOutOfMemoryIsSaid_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("the check") << QStringList{"casse.dat"};
        QTest::newRow("the copy") << QStringList{"--renumeroter", "memoire.dat", "casse.dat"};
    }
    void runningOutOfMemoryIsSaid()
    {
        QFETCH(QStringList, arguments);
        std::vector<std::string> args;
        for (const QString& a : arguments)
            args.push_back(a.toStdString());
        std::string entier, s, e;
        avantEchec = std::numeric_limits<long>::max();
        const int statut = verificateur::executer(args, entier, e);
        const long allocations = std::numeric_limits<long>::max() - avantEchec.exchange(-1);
        QFile::remove("memoire.dat");
        QVERIFY(allocations > 10);
        for (long n = 0; n < allocations; ++n) {
            s.clear();
            e.clear();
            avantEchec = n;
            const int r = verificateur::executer(args, s, e);
            avantEchec = -1;
            const bool copie = QFile::remove("memoire.dat");
            if (r == statut && s == entier && e.empty())
                continue; // a failure the work could do without
            QCOMPARE(r, 2);
            QVERIFY2(s.empty(), s.c_str());
            if (copie)
                QCOMPARE(texte(e), "listora-verifier : la copie renumérotée est écrite, mais la "
                                   "mémoire manque pour en rendre compte.\n");
            else
                // Lacking memory while reading, the file is one the program
                // would read as absent too; later, only the work is lost.
                QVERIFY2(e.starts_with("listora-verifier : ") &&
                             texte(e).contains("la mémoire manque") &&
                             (e.ends_with(" : fermez d'autres programmes, puis recommencez.\n") ||
                              texte(e).endsWith("« Erreur Fichier » pour chaque catalogue.\n")),
                         e.c_str());
        }
    }

    void renumberingWritesANewFile()
    {
        std::string sortie, erreurs;
        QCOMPARE(
            verificateur::executer({"--renumeroter", "neuf.dat", "casse.dat"}, sortie, erreurs), 0);
        QCOMPARE(lire("neuf.dat"), fichier("ACRO1=B,b\n"));
        QCOMPARE(lire("casse.dat"), fichier("ACRO2=B,b\n"));
        QVERIFY(
            texte(sortie).endsWith("pour vérifier la copie :\n    listora-verifier neuf.dat\n"));
        QCOMPARE(temporaires(), QStringList());
    }

    // A copy cut short, here by a limit on the size of files, never stands
    // under the name asked for, nor leaves a file of its own: whether the
    // limit's signal is ignored or left to its default, which would kill
    // the process, the write fails as an ordinary error.
    void aCopyCutShortLeavesNoFile_data()
    {
        QTest::addColumn<bool>("tue");
        QTest::newRow("the write fails") << false;
        QTest::newRow("SIGXFSZ left to its default") << true;
    }
    void aCopyCutShortLeavesNoFile()
    {
#ifdef Q_OS_WIN
        QSKIP("a limit on the size of files is a POSIX resource limit");
#else
        QFETCH(bool, tue);
        const auto copier = [] {
            rlimit petite{};
            ::getrlimit(RLIMIT_FSIZE, &petite);
            petite.rlim_cur = 16;
            ::setrlimit(RLIMIT_FSIZE, &petite);
            std::string sortie, erreurs;
            return verificateur::executer({"--renumeroter", "coupe.dat", "casse.dat"}, sortie,
                                          erreurs);
        };
        const pid_t enfant = ::fork();
        QVERIFY(enfant >= 0);
        if (enfant == 0) {
            std::signal(SIGXFSZ, tue ? SIG_DFL : SIG_IGN);
            ::_exit(copier());
        }
        int etat = 0;
        QCOMPARE(::waitpid(enfant, &etat, 0), enfant);
        QVERIFY(WIFEXITED(etat) && WEXITSTATUS(etat) == 2);
        QVERIFY(!QFile::exists("coupe.dat"));
        QCOMPARE(temporaires(), QStringList());
#endif
    }

    // Too large from the start, or grown so while it is read (between the
    // reader's first look at the file and its read).
    void aFileTooLargeForTheProgramIsUnreadable_data()
    {
        QTest::addColumn<bool>("pendantLaLecture");
        QTest::newRow("from the start") << false;
        QTest::newRow("grown during the read") << true;
    }
    void aFileTooLargeForTheProgramIsUnreadable()
    {
        QFETCH(bool, pendantLaLecture);
        QVERIFY(ecrire("grand.dat", fichier("ACRO1=A,a\n")));
        const auto agrandir = [] { // sparse: costs no disk
            QVERIFY(QFile::resize("grand.dat", 64 * 1024 * 1024 + 1));
        };
        if (pendantLaLecture)
            ini::observerLecture([&](ini::Etape etape) {
                if (etape == ini::Etape::ApresPremiereSignature)
                    agrandir();
            });
        else
            agrandir();
        const QString erreur = texte(verificateur::lireFichier("grand.dat").erreur);
        ini::observerLecture({});
        QCOMPARE(erreur, "« grand.dat » dépasse 64 Mio : Listora le lirait comme absent et "
                         "afficherait « Erreur Fichier » pour chaque catalogue.");
        QFile::remove("grand.dat");
    }
};

QTEST_GUILESS_MAIN(TstVerifier)
#include "tst_verifier.moc"
