// Both windows on a real desktop, started by tests/desktop/run.py: under an
// X server with openbox as window manager (the X11 cases, which act through
// the server with xdotool as a user would), or under a Wayland compositor
// (the whole session, which also runs under X11).
#include "app/listora.h"
#include "catalogue/constant.h"
#include "search/recherche.h"

#include <QApplication>
#include <QDir>
#include <QHash>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace
{

constexpr int Tolerance = 2; // pixels

bool sousX11()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

xcb_connection_t* connexion()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

xcb_window_t racine()
{
    return xcb_setup_roots_iterator(xcb_get_setup(connexion())).data->root;
}

xcb_atom_t atome(const char* nom)
{
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> r(
        xcb_intern_atom_reply(
            connexion(), xcb_intern_atom(connexion(), 0, uint16_t(qstrlen(nom)), nom), nullptr),
        &std::free);
    return r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// The 32-bit values of property `nom` of X window `id`.
QList<uint32_t> propriete(xcb_window_t id, const char* nom)
{
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> r(
        xcb_get_property_reply(
            connexion(),
            xcb_get_property(connexion(), 0, id, atome(nom), XCB_GET_PROPERTY_TYPE_ANY, 0, 64),
            nullptr),
        &std::free);
    QList<uint32_t> valeurs;
    if (r && r->format == 32) {
        const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(r.get()));
        for (int i = 0; i < xcb_get_property_value_length(r.get()) / 4; ++i)
            valeurs << v[i];
    }
    return valeurs;
}

xcb_window_t idX(const QWidget* w)
{
    return xcb_window_t(w->winId());
}

// Where the X server has the window's inner top-left corner.
QPoint coinInterieur(xcb_window_t id)
{
    std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(&std::free)> r(
        xcb_translate_coordinates_reply(
            connexion(), xcb_translate_coordinates(connexion(), id, racine(), 0, 0), nullptr),
        &std::free);
    return r ? QPoint(r->dst_x, r->dst_y) : QPoint(-1, -1);
}
QPoint coinInterieur(const QWidget* w)
{
    return coinInterieur(idX(w));
}

// The window's outer rectangle as the window manager framed it.
QRect cadreExterieur(const QWidget* w)
{
    const QList<uint32_t> e = propriete(idX(w), "_NET_FRAME_EXTENTS"); // left, right, top, bottom
    if (e.size() != 4)
        return {};
    const QPoint coin = coinInterieur(w);
    return QRect(coin.x() - int(e[0]), coin.y() - int(e[2]), w->width() + int(e[0] + e[1]),
                 w->height() + int(e[2] + e[3]));
}

QSize ecranX()
{
    const xcb_screen_t* ecran = xcb_setup_roots_iterator(xcb_get_setup(connexion())).data;
    return QSize(ecran->width_in_pixels, ecran->height_in_pixels);
}

// An EWMH request to the window manager about `id`, as pagers and task bars
// send them.
void demanderAuGestionnaire(xcb_window_t id, const char* demande, uint32_t d0 = 0, uint32_t d1 = 0)
{
    xcb_client_message_event_t m{};
    m.response_type = XCB_CLIENT_MESSAGE;
    m.format = 32;
    m.window = id;
    m.type = atome(demande);
    m.data.data32[0] = d0;
    m.data.data32[1] = d1;
    xcb_send_event(connexion(), 0, racine(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&m));
    xcb_flush(connexion());
}

// The window manager's close, as its title bar button or Alt+F4 asks it.
void fermerParLeGestionnaire(const QWidget* w)
{
    demanderAuGestionnaire(idX(w), "_NET_CLOSE_WINDOW", XCB_CURRENT_TIME, 2);
}

// Real input through the X server.
bool xdotool(const QStringList& arguments)
{
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}
bool cliquer(const QWidget* controle)
{
    const QPoint p = coinInterieur(controle->window()) +
                     controle->mapTo(controle->window(), controle->rect().center());
    return xdotool(
        {"mousemove", "--sync", QString::number(p.x()), QString::number(p.y()), "click", "1"});
}
bool touches(const QString& suite)
{
    return xdotool({"key", "--clearmodifiers", suite});
}

// Counts the events of type `genre` that reach an object.
class Compteur : public QObject
{
public:
    Compteur(QObject* cible, QEvent::Type genre) : genre_(genre)
    {
        cible->installEventFilter(this);
    }
    int nombre = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        nombre += e->type() == genre_;
        return false;
    }

private:
    QEvent::Type genre_;
};

// Where the X server had each window when it first showed it, to tell a
// window that moved after its first paint.
class PremiersAffichages : public QObject
{
public:
    PremiersAffichages() { qApp->installEventFilter(this); }
    QHash<xcb_window_t, QPoint> coins;
    bool eventFilter(QObject* objet, QEvent* e) override
    {
        auto* fenetre = qobject_cast<QWindow*>(objet);
        if (e->type() == QEvent::Expose && fenetre && fenetre->isExposed() &&
            !coins.contains(xcb_window_t(fenetre->winId())))
            coins.insert(xcb_window_t(fenetre->winId()),
                         coinInterieur(xcb_window_t(fenetre->winId())));
        return false;
    }
};

} // namespace

class TstDesktop : public QObject
{
    Q_OBJECT
    std::unique_ptr<Listora> f;

    void demarrer()
    {
        f = std::make_unique<Listora>();
        f->Timer1.setEnabled(false);
        f->Form_Load();
        f->Me.Show();
        QVERIFY(QTest::qWaitForWindowExposed(f.get()));
    }

    // The program started, the acronyms on show and the search window open
    // by its button.
    Recherche* rechercherDansLesAcronymes()
    {
        demarrer();
        f->CMD_Acronyme.bouton()->click();
        return ouvrirParLeBouton();
    }

    Recherche* ouvrirParLeBouton()
    {
        f->CMD_Recherche.bouton()->click();
        Recherche* r = f->recherche();
        return r && QTest::qWaitForWindowExposed(r) ? r : nullptr;
    }

    // The outer frame centred on the screen, and the window still where it
    // was first shown.
    void verifierCentre(QWidget* w, const PremiersAffichages& premiers)
    {
        QTRY_VERIFY(cadreExterieur(w).isValid());
        const QRect cadre = cadreExterieur(w);
        const QSize ecran = ecranX();
        qInfo("%s: outer frame %dx%d at (%d, %d) on a %dx%d screen", qPrintable(w->objectName()),
              cadre.width(), cadre.height(), cadre.x(), cadre.y(), ecran.width(), ecran.height());
        QVERIFY2(qAbs(2 * cadre.x() + cadre.width() - ecran.width()) <= 2 * Tolerance,
                 qPrintable(QString::number(cadre.x())));
        QVERIFY2(qAbs(2 * cadre.y() + cadre.height() - ecran.height()) <= 2 * Tolerance,
                 qPrintable(QString::number(cadre.y())));
        QTRY_VERIFY(premiers.coins.contains(idX(w)));
        QCOMPARE(premiers.coins.value(idX(w)), coinInterieur(w));
    }

private slots:
    void initTestCase()
    {
        qInfo("platform: %s", qPrintable(QGuiApplication::platformName()));
        QVERIFY(QDir::setCurrent(QStringLiteral(LISTORA_SOURCE_DIR "/data")));
    }

    void init()
    {
        // Anything Qt or the platform warns about is a fault to look at.
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
    }

    void cleanup()
    {
        const QPointer<Recherche> r = f ? f->recherche() : nullptr;
        f.reset();
        QTRY_VERIFY(!r);
    }

    // Both windows' outer frames, title bar included, centred at start-up
    // and at each opening of the search window, without moving once shown.
    void outerFramesAreCentred()
    {
        if (!sousX11())
            QSKIP("needs an X server and its window manager");
        const PremiersAffichages premiers;
        demarrer();
        verifierCentre(f.get(), premiers);
        if (QTest::currentTestFailed())
            return;

        f->CMD_Acronyme.bouton()->click();
        for (int ouverture = 0; ouverture < 2; ++ouverture) {
            f->CMD_Recherche.bouton()->click();
            QPointer<Recherche> r = f->recherche();
            QVERIFY(r);
            // Shown by the click: its first paint is already on its way.
            QTRY_VERIFY(r->windowHandle()->isExposed());
            verifierCentre(r, premiers);
            if (QTest::currentTestFailed())
                return;
            r->CMD_Abandon.bouton()->click();
            QTRY_VERIFY(!r);
        }
    }

    // While the search window is open, a click or a key on the main window
    // and the window manager's close do nothing.
    void mainWindowWaitsForTheSearchWindow()
    {
        if (!sousX11())
            QSKIP("needs an X server and its window manager");
        Recherche* r = rechercherDansLesAcronymes();
        QVERIFY(r);
        QTRY_VERIFY(r->isActiveWindow());
        const Compteur clics(f->windowHandle(), QEvent::MouseButtonPress);
        const Compteur frappes(qApp, QEvent::KeyPress);
        const Compteur fermetures(f.get(), QEvent::Close);

        QVERIFY(cliquer(f->CMD_IpPort.widget()));
        QTRY_COMPARE(clics.nombre, 1);
        QVERIFY(touches("alt+i"));
        QTRY_VERIFY(frappes.nombre > 0);
        fermerParLeGestionnaire(f.get());
        QTRY_COMPARE(fermetures.nombre, 1);

        QCOMPARE(CONSTANT::Liste_Active, 2);
        QVERIFY(f->LST_Liste.widget()->isHidden());
        QVERIFY(!f->estDecharge() && f->isVisible());
        QCOMPARE(f->recherche(), r);
        QTRY_VERIFY(r->isActiveWindow());
    }

    // The window manager knows the search window belongs to the main window:
    // minimised with it, and back above it when the main window comes back.
    void searchWindowComesUpWithTheMainWindow()
    {
        if (!sousX11())
            QSKIP("needs an X server and its window manager");
        Recherche* r = rechercherDansLesAcronymes();
        QVERIFY(r);
        QCOMPARE(propriete(idX(r), "WM_TRANSIENT_FOR"), QList<uint32_t>{idX(f.get())});

        QVERIFY(xdotool({"windowminimize", "--sync", QString::number(idX(f.get()))}));
        QTRY_VERIFY(!r->windowHandle()->isExposed());
        demanderAuGestionnaire(idX(f.get()), "_NET_ACTIVE_WINDOW", 2, XCB_CURRENT_TIME);
        QTRY_VERIFY(f->windowHandle()->isExposed() && r->windowHandle()->isExposed());
        QTRY_VERIFY(r->isActiveWindow());
        // Stacked above it: the root's children run from bottom to top.
        const QList<uint32_t> pile = propriete(racine(), "_NET_CLIENT_LIST_STACKING");
        QVERIFY(pile.indexOf(idX(r)) > pile.indexOf(idX(f.get())));
    }

    // However the search window is opened and left, the control that
    // opened it has the focus again.
    void closingGivesTheFocusBack_data()
    {
        QTest::addColumn<QString>("depuis");
        QTest::addColumn<bool>("parLeGestionnaire");
        QTest::newRow("Alt+R from the box, then Alt+A") << "CHK_Doublon" << false;
        QTest::newRow("click on Recherche, then the window manager's close")
            << "CMD_Recherche" << true;
    }
    void closingGivesTheFocusBack()
    {
        QFETCH(QString, depuis);
        QFETCH(bool, parLeGestionnaire);
        if (!sousX11())
            QSKIP("needs an X server and its window manager");
        demarrer();
        QTRY_VERIFY(f->isActiveWindow());
        f->CMD_MIMEType.bouton()->click();
        QWidget* controle = f->findChild<QWidget*>(depuis);
        if (depuis == "CMD_Recherche") {
            QVERIFY(cliquer(controle));
        } else {
            controle->setFocus();
            QVERIFY(touches("alt+r"));
        }
        QTRY_VERIFY(f->recherche() && f->recherche()->isActiveWindow());
        QPointer<Recherche> r = f->recherche();
        if (parLeGestionnaire)
            fermerParLeGestionnaire(r);
        else
            QVERIFY(touches("alt+a"));
        QTRY_VERIFY(!r);
        QTRY_VERIFY(f->isActiveWindow());
        QCOMPARE(QApplication::focusWidget(), controle);
    }

    // A whole session on any desktop: every catalogue loaded, an entry
    // selected, a search, the search window closed, and the program left.
    void wholeSession()
    {
        demarrer();
        const std::array<std::pair<ui::CommandButton*, ui::ListBox*>, 3> catalogues{
            {{&f->CMD_IpPort, &f->LST_Liste},
             {&f->CMD_MIMEType, &f->LSt_Liste2},
             {&f->CMD_Acronyme, &f->LST_Liste1}}};
        for (const auto& [bouton, liste] : catalogues) {
            bouton->bouton()->click();
            QVERIFY(liste->ListCount() > 100);
            liste->setListIndex(1);
            QVERIFY(!f->TXT_Acronyme.Text().isEmpty());
        }
        const int toutes = f->LST_Liste1.ListCount();

        Recherche* r = ouvrirParLeBouton();
        QVERIFY(r);
        QTest::keyClicks(r->TXT_recherche.widget(), QStringLiteral("Protocol"));
        QTest::keyClick(r->TXT_recherche.widget(), Qt::Key_Return);
        QVERIFY(f->LST_Liste1.ListCount() > 0 && f->LST_Liste1.ListCount() < toutes);
        QCOMPARE(r->CMD_Abandon.Caption(), QStringLiteral("&OK"));
        r->CMD_Abandon.bouton()->click();
        QTRY_VERIFY(!f->recherche());
        QVERIFY(f->isEnabled());

        f->CMD_Quitter.bouton()->click();
        QVERIFY(f->estDecharge() && !f->isVisible());
        QCOMPARE(f->codeDeSortie(), 0);
    }
};

QTEST_MAIN(TstDesktop)
#include "tst_desktop.moc"
