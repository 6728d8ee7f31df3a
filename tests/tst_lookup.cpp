// listora-cherche as a user runs it: the first line it prints for the
// queries people type, on the shipped catalogue; what it prints for hostile
// lines, and its exit statuses, on small files; the order of what it finds
// and the folding of long lines.
#include "lookup/command_line.h"
#include "lookup/output.h"
#include "lookup/text.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace
{

const QString Livre = QStringLiteral(LISTORA_SOURCE_DIR "/data/LISTORA.DAT");

struct Resultat {
    int statut = -1;
    QString sortie;
    QString erreurs;
};

Resultat lancer(const QStringList& arguments, int largeur = 0)
{
    std::vector<std::string> a;
    for (const QString& s : arguments)
        a.push_back(s.toStdString());
    std::string sortie, erreurs;
    consultation::Contexte contexte;
    contexte.largeur = largeur;
    Resultat r;
    r.statut = consultation::executer(a, contexte, sortie, erreurs);
    r.sortie = QString::fromStdString(sortie);
    r.erreurs = QString::fromStdString(erreurs);
    return r;
}

bool ecrire(const QString& chemin, const QByteArray& octets)
{
    QFile f(chemin);
    return f.open(QIODevice::WriteOnly) && f.write(octets) == octets.size();
}

// Whether `texte` holds a character that acts on a terminal: a control
// (line ends apart), a C1 control, a bidi or other format character.
bool aUnCaractereBrut(const QString& texte)
{
    for (const QChar c : texte) {
        if (c == u'\n')
            continue;
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() < 0xA0) ||
            c.category() == QChar::Other_Format || c.category() == QChar::Separator_Line ||
            c.category() == QChar::Separator_Paragraph || c == QChar::ReplacementCharacter)
            return true;
    }
    return false;
}

} // namespace

class TstLookup : public QObject
{
    Q_OBJECT
    QTemporaryDir dossier;

private slots:
    void initTestCase()
    {
        QVERIFY(dossier.isValid());
        QVERIFY(QDir::setCurrent(dossier.path()));
        QVERIFY(QDir().mkdir("un-dossier"));
    }

    // The queries practitioners type, and the first line they must get.
    void firstLineOnTheShippedFile_data()
    {
        QTest::addColumn<QStringList>("requete");
        QTest::addColumn<QString>("premiere");
        const auto row = [](const char* nom, const QStringList& q, const char* ligne) {
            QTest::newRow(nom) << q << QString::fromUtf8(ligne);
        };
        // clang-format off
        row("rdp", {"rdp"}, "Port IP   rdp — TCP/UDP 3389, client TCP/UDP 1024-65535 — Bureau à distance Windows (RDP) ; nom IANA : ms-wbt-server");
        row("RDP in capitals", {"RDP"}, "Port IP   rdp — TCP/UDP 3389, client TCP/UDP 1024-65535 — Bureau à distance Windows (RDP) ; nom IANA : ms-wbt-server");
        row("3389/udp", {"3389/udp"}, "Port IP   rdp — TCP/UDP 3389, client TCP/UDP 1024-65535 — Bureau à distance Windows (RDP) ; nom IANA : ms-wbt-server");
        row("3389", {"3389"}, "Port IP   ms-wbt-server — TCP 3389, client TCP 1024-65535 — Bureau à distance Windows (RDP)");
        row("dns", {"dns"}, "Port IP   dns — TCP/UDP 53, client TCP/UDP 1024-65535 — Résolution des noms de domaine (DNS) ; nom IANA : domain");
        row("53/udp", {"53/udp"}, "Port IP   dns — TCP/UDP 53, client TCP/UDP 1024-65535 — Résolution des noms de domaine (DNS) ; nom IANA : domain");
        row("smb", {"smb"}, "Port IP   smb — TCP 445, client TCP 1024-65535 — Partage de fichiers Windows (SMB directement sur TCP) ; nom IANA : microsoft-ds");
        row("vnc", {"vnc"}, "Port IP   vnc — TCP 5900, client TCP 1024-65535 — Bureau à distance VNC (protocole RFB), écran :0 ; l'écran :n sur 5900+n ; nom IANA : rfb");
        row("kubernetes-api", {"kubernetes-api"}, "Port IP   kubernetes-api — TCP 6443, client TCP 1024-65535 — API de Kubernetes (kube-apiserver) ; usage courant ; l'IANA attribue ce port à sun-sr-https");
        row("443", {"443"}, "Port IP   https — TCP/UDP 443, client TCP/UDP 1024-65535 — Web sécurisé (HTTPS : HTTP sur TLS, HTTP/3 sur UDP)");
        row("443/tcp", {"443/tcp"}, "Port IP   https — TCP/UDP 443, client TCP/UDP 1024-65535 — Web sécurisé (HTTPS : HTTP sur TLS, HTTP/3 sur UDP)");
        row("22", {"22"}, "Port IP   ssh — TCP 22, client TCP 1024-65535 — Connexion à distance chiffrée (SSH), transferts SFTP et SCP");
        row("ssh", {"ssh"}, "Port IP   ssh — TCP 22, client TCP 1024-65535 — Connexion à distance chiffrée (SSH), transferts SFTP et SCP");
        row("9092", {"9092"}, "Port IP   kafka — TCP 9092, client TCP 1024-65535 — Courtier de messages Apache Kafka ; usage courant ; l'IANA attribue ce port à xmlipcregsvc");
        row("30080 in a range", {"30080"}, "Port IP   kubernetes-nodeport — TCP/UDP 30000-32767, client TCP/UDP 1024-65535 — Kubernetes, services exposés sur chaque nœud (NodePort) ; usage courant ; l'IANA attribue des ports de cette plage à d'autres services");
        row("postgres", {"postgres"}, "Port IP   postgres — TCP 5432, client TCP 1024-65535 — Base de données PostgreSQL ; nom IANA : postgresql");
        row("mysql", {"mysql"}, "Port IP   mysql — TCP 3306, client TCP 1024-65535 — Base de données MySQL ou MariaDB");
        row("ldaps", {"ldaps"}, "Port IP   ldaps — TCP/UDP 636, client TCP/UDP 1024-65535 — Annuaire LDAP sur TLS");
        row("imaps", {"imaps"}, "Port IP   imaps — TCP 993, client TCP 1024-65535 — IMAP sur TLS");
        row("winrm", {"winrm"}, "Port IP   winrm — TCP 5985, client TCP 1024-65535 — Administration à distance de Windows (WinRM, WS-Management sur HTTP) ; nom IANA : wsman");
        row("JWT", {"JWT"}, "Acronyme  JWT — JSON Web Token (JSON)");
        row("jwt in small letters", {"jwt"}, "Acronyme  JWT — JSON Web Token (JSON)");
        row("RGPD", {"RGPD"}, "Acronyme  RGPD — règlement général sur la protection des données (Union européenne)");
        row("SBOM", {"SBOM"}, "Acronyme  SBOM — Software Bill of Materials (nomenclature des composants d'un logiciel)");
        row("TLS", {"TLS"}, "Acronyme  TLS — Transport Layer Security (RFC 8446) ; thread local storage");
        row("LLM", {"LLM"}, "Acronyme  LLM — large language model (grand modèle de langage)");
        row("CVE", {"CVE"}, "Acronyme  CVE — common vulnerabilities and exposures");
        row(".docx", {".docx"}, "Type MIME application/vnd.openxmlformats-officedocument.wordprocessingml.document — Document Word 2007 (.docx)");
        row("docx", {"docx"}, "Type MIME application/vnd.openxmlformats-officedocument.wordprocessingml.document — Document Word 2007 (.docx)");
        row(".js", {".js"}, "Type MIME text/javascript — Programme JavaScript (.js, .jsm, .mjs, .es)");
        row(".md", {".md"}, "Type MIME text/markdown — Document Markdown (.md, .mkd, .markdown)");
        row(".pdf", {".pdf"}, "Type MIME application/pdf — Document PDF (.pdf)");
        row(".png", {".png"}, "Type MIME image/png — Image PNG (.png)");
        row(".wasm", {".wasm"}, "Type MIME application/wasm — Module WebAssembly (.wasm)");
        row(".yaml", {".yaml"}, "Type MIME application/yaml — Document YAML (.yaml, .yml)");
        row("text/javascript", {"text/javascript"}, "Type MIME text/javascript — Programme JavaScript (.js, .jsm, .mjs, .es)");
        row("application/javascript", {"application/javascript"}, "Type MIME application/javascript — Nom obsolète de text/javascript : Programme JavaScript (.js, .jsm, .mjs, .es)");
        row("application/wasm", {"application/wasm"}, "Type MIME application/wasm — Module WebAssembly (.wasm)");
        row("application/yaml", {"application/yaml"}, "Type MIME application/yaml — Document YAML (.yaml, .yml)");
        row(".tar.gz", {".tar.gz"}, "Type MIME application/x-compressed-tar — Archive tar (compressée gzip) (.tar.gz, .tgz)");
        row("two words", {"bureau", "à", "distance"}, "Port IP   ms-wbt-server — TCP 3389, client TCP 1024-65535 — Bureau à distance Windows (RDP)");
        row("kafka", {"kafka"}, "Port IP   kafka — TCP 9092, client TCP 1024-65535 — Courtier de messages Apache Kafka ; usage courant ; l'IANA attribue ce port à xmlipcregsvc");
        // clang-format on
    }

    void firstLineOnTheShippedFile()
    {
        QFETCH(QStringList, requete);
        QFETCH(QString, premiere);
        const Resultat r = lancer(QStringList{"--fichier", Livre} + requete);
        QCOMPARE(r.statut, 0);
        QCOMPARE(r.sortie.section(u'\n', 0, 0), premiere);
    }

    // Hostile lines, unreadable files and wrong command lines: what the user
    // reads, on which stream, and the exit status.
    void showsWhatTheFileHolds_data()
    {
        QTest::addColumn<QByteArray>("fichier");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("statut");
        QTest::addColumn<QString>("sortie");
        QTest::addColumn<QString>("erreurs");
        const auto row = [](const char* nom, const QByteArray& f, const QStringList& a, int statut,
                            const char* sortie, const char* erreurs = "") {
            QTest::newRow(nom) << f << a << statut << QString::fromUtf8(sortie)
                               << QString::fromUtf8(erreurs);
        };
        const QByteArray acro = "[ACRONYMES]\n";
        row("found", acro + "ACRO1=DNS,Domain Name System\n", {"dns"}, 0,
            "Acronyme  DNS — Domain Name System\n");
        row("escape sequence in a meaning", acro + "ACRO1=ESC,\x1b[2J\x1b]0;titre\x07\n", {"esc"},
            0, "Acronyme  ESC — \\x1B[2J\\x1B]0;titre\\x07\n");
        row("escape sequence in a term", acro + "ACRO1=\x1b[31mROUGE,rouge\n", {"rouge"}, 0,
            "Acronyme  \\x1B[31mROUGE — rouge\n");
        row("bidi override",
            acro + "ACRO1=ABC\xe2\x80\xae"
                   "DEF,sens\n",
            {"abc"}, 0, "Acronyme  ABC\\u202EDEF — sens\n");
        row("zero-width space and mark",
            acro + "ACRO1=A\xe2\x80\x8b"
                   "B,x\xef\xbb\xbfy\n",
            {"a"}, 0, "Acronyme  A\\u200BB — x\\uFEFFy\n");
        row("C1 control",
            acro + "ACRO1=C1,a\xc2\x9b"
                   "b\n",
            {"c1"}, 0, "Acronyme  C1 — a\\u009Bb\n");
        row("line separator",
            acro + "ACRO1=LS,a\xe2\x80\xa8"
                   "b\n",
            {"ls"}, 0, "Acronyme  LS — a\\u2028b\n");
        row("tab and DEL",
            acro + "ACRO1=TAB,a\tb\x7f"
                   "c\n",
            {"tab"}, 0, "Acronyme  TAB — a\\x09b\\x7Fc\n");
        row("no-break space in a term",
            acro + "ACRO1=A\xc2\xa0"
                   "B,c\xc2\xa0"
                   ":\n",
            {"a"}, 0, "Acronyme  A\\u00A0B — c\u00a0:\n");
        row("Windows-1252 line", acro + "ACRO1=CAF\xc9,caf\xe9 cr\xe8me\n", {"café"}, 0,
            "Acronyme  CAFÉ — café crème\n");
        row("NUL ends the value", acro + QByteArray("ACRO1=NUL,avant\0après\n", 22), {"nul"}, 0,
            "Acronyme  NUL — avant\n");
        row("carriage return ends the line", acro + "ACRO1=CR,un\rACRO2=LF,deux\n", {"deux"}, 0,
            "Acronyme  LF — deux\n");
        row("value cut at 199 characters", acro + "ACRO1=LONG," + QByteArray(300, 'x') + "\n",
            {"long"}, 0, ("Acronyme  LONG — " + std::string(194, 'x') + "\n").c_str());
        row("port with too few commas", "[IP-PORTS]\nPROTO1=web,TCP,80\n", {"web"}, 0,
            "Port IP   web — TCP,80\n");
        row("acronym without a comma", acro + "ACRO1=SEUL\n", {"seul"}, 0, "Acronyme  SEUL\n");
        row("hostile text on the command line", acro + "ACRO1=A,b\n", {"\x1b[2J"}, 1, "",
            "listora-cherche : rien ne répond à « \\x1B[2J » dans « f.dat ».\n");
        row("nothing found", acro + "ACRO1=DNS,Domain Name System\n", {"xyz"}, 1, "",
            "listora-cherche : rien ne répond à « xyz » dans « f.dat ».\n");
        row("entries after a gap are never read", acro + "ACRO1=A,a\nACRO3=XYZ,x\n", {"xyz"}, 1, "",
            "listora-cherche : rien ne répond à « xyz » dans « f.dat ».\n");
        row("no catalogue", "[AUTRE]\nX=1\n", {"x"}, 1, "",
            "listora-cherche : « f.dat » ne contient aucun catalogue : ni [IP-PORTS], ni "
            "[ACRONYMES], ni [MIME-TYPES] n'y a d'entrée ; listora-verifier dit pourquoi.\n");
        row("absent file", {}, {"--fichier", "absent.dat", "x"}, 2, "",
            "listora-cherche : « absent.dat » est introuvable : Listora afficherait « Erreur "
            "Fichier » pour chaque catalogue.\n");
        row("a folder", {}, {"--fichier", "un-dossier", "x"}, 2, "",
            "listora-cherche : « un-dossier » est un dossier, pas un fichier : Listora le lirait "
            "comme absent et afficherait « Erreur Fichier » pour chaque catalogue.\n");
        row("hostile file name", {}, {"--fichier", "a\x1b[2J", "x"}, 2, "",
            "listora-cherche : « a\\x1B[2J » est introuvable : Listora afficherait « Erreur "
            "Fichier » pour chaque catalogue.\n");
        row("no text", acro + "ACRO1=A,b\n", {}, 2, "",
            ("listora-cherche : quel texte chercher ?\n\n" +
             lancer({"--help"}).sortie.toStdString())
                .c_str());
        row("unknown option", acro + "ACRO1=A,b\n", {"--vite", "a"}, 2, "",
            ("listora-cherche : option inconnue « --vite ».\n\n" +
             lancer({"--help"}).sortie.toStdString())
                .c_str());
        row("a dash after --", acro + "ACRO1=-V,moins V\n", {"--", "-v"}, 0,
            "Acronyme  -V — moins V\n");
        row("version", {}, {"--version"}, 0, "listora-cherche " LISTORA_VERSION_ATTENDUE "\n");
    }

    void showsWhatTheFileHolds()
    {
        QFETCH(QByteArray, fichier);
        QFETCH(QStringList, arguments);
        QFETCH(int, statut);
        QFETCH(QString, sortie);
        QFETCH(QString, erreurs);
        QVERIFY(ecrire("f.dat", fichier));
        const bool nomme = arguments.contains("--fichier") || arguments.contains("--version");
        const Resultat r =
            lancer(nomme ? arguments : QStringList{"--fichier", "f.dat"} + arguments);
        QCOMPARE(r.sortie, sortie);
        QCOMPARE(r.erreurs, erreurs);
        QCOMPARE(r.statut, statut);
        QVERIFY(!aUnCaractereBrut(r.sortie));
        QVERIFY(!aUnCaractereBrut(r.erreurs));
    }

    // Which entries come first, and in which order the catalogues show.
    void ordersByRelevance_data()
    {
        QTest::addColumn<QByteArray>("fichier");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("termes"); // the terms printed, in order
        const QByteArray ports = "[IP-PORTS]\n"
                                 "PROTO1=dns-alt,UDP,5353,UDP,5353,Résolution DNS locale\n"
                                 "PROTO2=domain,TCP/UDP,53,TCP/UDP,1024-65535,Noms (DNS)\n"
                                 "PROTO3=plage,TCP,40-60,TCP,1024-65535,Plage\n"
                                 "PROTO4=deux,TCP,7000/7001,TCP,1024-65535,Deux ports\n"
                                 "PROTO5=dns,TCP/UDP,53,TCP/UDP,1024-65535,Noms\n";
        const QByteArray acro = "[ACRONYMES]\n"
                                "ACRO1=ADNS,asynchronous DNS\n"
                                "ACRO2=XDNSX,x\n"
                                "ACRO3=DNS,Domain Name System\n"
                                "ACRO4=ÉTÉ,saison\n"
                                "ACRO5=ete,autre\n";
        const QByteArray mime = "[MIME-TYPES]\n"
                                "MIME1=application/x-js,Alias de text/js : Programme (.js)\n"
                                "MIME2=application/json,JSON (.json)\n"
                                "MIME3=text/js,Programme (.js, .mjs)\n"
                                "MIME4=text/x-make,Makefile (Makefile, .mk)\n";
        const QByteArray tout = ports + acro + mime;
        const auto row = [&](const char* nom, const QStringList& a, const QStringList& t) {
            QTest::newRow(nom) << tout << a << t;
        };
        row("term, then term start, term, line; ports first on a tie", {"dns"},
            {"dns", "dns-alt", "domain", "DNS", "ADNS", "XDNSX"});
        row("port number: single port, range, then lines", {"53"},
            {"domain", "dns", "plage", "dns-alt", "deux"});
        row("port and protocol", {"53/udp"}, {"domain", "dns"});
        row("protocol not served", {"5353/tcp"}, {});
        row("second port of a field", {"7001"}, {"deux"});
        row("extension: the type before its alias, then lines", {".js"},
            {"text/js", "application/x-js", "application/json"});
        row("extension without its dot", {"mk"}, {"text/x-make"});
        row("file name listed as such", {"makefile"}, {"text/x-make"});
        row("a type, then the aliases naming it", {"text/js"}, {"text/js", "application/x-js"});
        row("accents count", {"ete"}, {"ete"});
        row("capital accents are the same letter", {"été"}, {"ÉTÉ"});
        row("with --casse the case counts", {"--casse", "DNS"},
            {"DNS", "ADNS", "XDNSX", "dns-alt", "domain"});
        row("with --casse small letters", {"--casse", "dns"}, {"dns", "dns-alt"});
    }

    void ordersByRelevance()
    {
        QFETCH(QByteArray, fichier);
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, termes);
        QVERIFY(ecrire("ordre.dat", fichier));
        const Resultat r = lancer(QStringList{"--fichier", "ordre.dat"} + arguments);
        QStringList vus;
        for (const QString& ligne : r.sortie.split(u'\n', Qt::SkipEmptyParts))
            vus << ligne.mid(10).section(QStringLiteral(" — "), 0, 0);
        QCOMPARE(vus, termes);
        QCOMPARE(r.statut, termes.isEmpty() ? 1 : 0);
    }

    void showsTwentyOfAKindUnlessAllAreAsked_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("lignes");
        QTest::addColumn<QString>("derniere");
        QTest::newRow("bounded") << QStringList{} << 21
                                 << QString::fromUtf8("Acronyme  … et 30 autres acronymes "
                                                      "(--tout pour les voir)");
        QTest::newRow("--tout") << QStringList{"--tout"} << 50
                                << QString::fromUtf8("Acronyme  A50 — sens");
    }

    void showsTwentyOfAKindUnlessAllAreAsked()
    {
        QFETCH(QStringList, options);
        QFETCH(int, lignes);
        QFETCH(QString, derniere);
        QByteArray f = "[ACRONYMES]\n";
        for (int i = 1; i <= 50; ++i)
            f += "ACRO" + QByteArray::number(i) + "=A" + QByteArray::number(i) + ",sens\n";
        QVERIFY(ecrire("cinquante.dat", f));
        const Resultat r =
            lancer(QStringList{"--fichier", "cinquante.dat"} + options + QStringList{"sens"});
        const QStringList l = r.sortie.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(l.size(), lignes);
        QCOMPARE(l.last(), derniere);
    }

    // A hostile file of the largest size the program reads, every key of
    // every catalogue matching: the answer stays a few lines long.
    void aHugeFileGivesABoundedAnswer()
    {
        QByteArray f;
        for (const char* s : {"[IP-PORTS]\n", "[ACRONYMES]\n", "[MIME-TYPES]\n"}) {
            f += s;
            const QByteArray prefixe = s[1] == 'I' ? "PROTO" : s[1] == 'A' ? "ACRO" : "MIME";
            for (int i = 1; i <= 32767; ++i)
                f += prefixe + QByteArray::number(i) + "=t,a,1,a,2," + QByteArray(150, 'a') + "\n";
        }
        QVERIFY(ecrire("enorme.dat", f));
        const Resultat r = lancer({"--fichier", "enorme.dat", "a"});
        QCOMPARE(r.statut, 0);
        QCOMPARE(r.sortie.count(u'\n'), 63);
        QVERIFY(r.sortie.endsWith(QString::fromUtf8("… et 32747 autres types MIME (--tout pour "
                                                    "les voir)\n")));
    }

    void foldsToTheTerminal_data()
    {
        QTest::addColumn<QString>("ligne");
        QTest::addColumn<int>("largeur");
        QTest::addColumn<QString>("attendu");
        const QString l = QString::fromUtf8("Acronyme  ABC — un deux trois quatre cinq");
        QTest::newRow("not a terminal") << l << 0 << l + "\n";
        QTest::newRow("fits") << l << 41 << l + "\n";
        QTest::newRow("at a blank, under the term")
            << l << 30
            << QString::fromUtf8("Acronyme  ABC — un deux trois\n          quatre cinq\n");
        QTest::newRow("accents take one column")
            << QString::fromUtf8("Acronyme  É — éé éé éé") << 20
            << QString::fromUtf8("Acronyme  É — éé éé\n          éé\n");
        QTest::newRow("a word longer than the line is cut")
            << QString::fromUtf8("Acronyme  X — ") + QString(30, u'y') << 25
            << QString::fromUtf8("Acronyme  X —\n          yyyyyyyyyyyyyyy\n"
                                 "          yyyyyyyyyyyyyyy\n");
        QTest::newRow("too narrow for an indent")
            << l << 15 << QString::fromUtf8("Acronyme  ABC —\nun deux trois\nquatre cinq\n");
    }

    void foldsToTheTerminal()
    {
        QFETCH(QString, ligne);
        QFETCH(int, largeur);
        QFETCH(QString, attendu);
        QCOMPARE(QString::fromStdString(consultation::plierLigne(ligne.toStdString(), largeur)),
                 attendu);
    }

    void foldsALongMeaningWholeThroughTheCommand()
    {
        QVERIFY(ecrire("long.dat", "[ACRONYMES]\nACRO1=ABC,un deux trois quatre cinq six\n"));
        const Resultat r = lancer({"--fichier", "long.dat", "abc"}, 30);
        QCOMPARE(r.sortie, QString::fromUtf8("Acronyme  ABC — un deux trois\n"
                                             "          quatre cinq six\n"));
    }

    // The tool folds letter case with its generated table, the windows with
    // Qt's: a text found one way is found the other, for every character. A
    // Qt whose Unicode data moved on makes this fail until
    // scripts/unicode-table is run again.
    void foldsLetterCaseAsTheWindowsDo()
    {
        int differents = 0;
        std::u16string plie;
        for (char32_t c = 0; c < 0x110000; ++c) {
            if (c >= 0xD800 && c < 0xE000)
                continue;
            const QString s = QString::fromUcs4(&c, 1);
            consultation::plier(s.toStdU16String(), plie);
            const char32_t attendu = QChar::toCaseFolded(c);
            if (plie != QString::fromUcs4(&attendu, 1).toStdU16String())
                ++differents;
            // Blanks at the ends go as QString::trimmed takes them off.
            if (consultation::rogner(s.toStdU16String()).empty() != s.trimmed().isEmpty())
                ++differents;
        }
        QCOMPARE(differents, 0);
        QCOMPARE(QString::fromStdString(consultation::utf8(consultation::utf16("é\xff€"))),
                 QString::fromUtf8("é\xEF\xBF\xBD€"));
    }

    // Bash completion asks for the terms that start with what is typed.
    void completesTerms()
    {
        QVERIFY(ecrire("termes.dat", "[IP-PORTS]\nPROTO1=rdp,TCP,3389,TCP,1024-65535,RDP\n"
                                     "[ACRONYMES]\nACRO1=RDP,x\nACRO2=RSA,y\nACRO3=\x1b"
                                     "R,z\n"
                                     "[MIME-TYPES]\nMIME1=text/plain,Texte\n"));
        const Resultat r = lancer({"--fichier", "termes.dat", "--termes", "--", "r"});
        QCOMPARE(r.sortie, QString("rdp\nRDP\nRSA\n"));
        QCOMPARE(r.statut, 0);
        QCOMPARE(lancer({"--fichier", "termes.dat", "--termes"}).sortie,
                 QString("rdp\nRDP\nRSA\n\\x1BR\ntext/plain\n"));
    }
};

QTEST_GUILESS_MAIN(TstLookup)
#include "tst_lookup.moc"
