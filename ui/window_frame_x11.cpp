#include "ui/window_frame.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QThread>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace ui
{

namespace
{

// The window manager answers within a few milliseconds; one that has not
// after this long is taken not to answer at all.
constexpr int AttenteMaximaleMs = 500;

template <class Reponse> using Tenue = std::unique_ptr<Reponse, decltype(&std::free)>;

xcb_atom_t atome(xcb_connection_t* connexion, const char* nom)
{
    const Tenue<xcb_intern_atom_reply_t> reponse(
        xcb_intern_atom_reply(
            connexion, xcb_intern_atom(connexion, 0, static_cast<uint16_t>(std::strlen(nom)), nom),
            nullptr),
        &std::free);
    return reponse ? reponse->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// Whether the running window manager lists `demande` in _NET_SUPPORTED.
bool gereParLeGestionnaire(xcb_connection_t* connexion, xcb_window_t racine, xcb_atom_t demande)
{
    const Tenue<xcb_get_property_reply_t> reponse(
        xcb_get_property_reply(connexion,
                               xcb_get_property(connexion, 0, racine,
                                                atome(connexion, "_NET_SUPPORTED"), XCB_ATOM_ATOM,
                                                0, 4096),
                               nullptr),
        &std::free);
    if (!reponse || reponse->format != 32)
        return false;
    const auto* atomes = static_cast<const xcb_atom_t*>(xcb_get_property_value(reponse.get()));
    const int nombre = xcb_get_property_value_length(reponse.get()) / 4;
    for (int i = 0; i < nombre; ++i)
        if (atomes[i] == demande)
            return true;
    return false;
}

// _NET_FRAME_EXTENTS of `fenetre` (left, right, top, bottom), when set.
bool lireCadre(xcb_connection_t* connexion, xcb_window_t fenetre, xcb_atom_t cadre,
               QMargins& marges)
{
    const Tenue<xcb_get_property_reply_t> reponse(
        xcb_get_property_reply(
            connexion, xcb_get_property(connexion, 0, fenetre, cadre, XCB_ATOM_CARDINAL, 0, 4),
            nullptr),
        &std::free);
    if (!reponse || reponse->format != 32 || xcb_get_property_value_length(reponse.get()) != 16)
        return false;
    const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(reponse.get()));
    marges = QMargins(static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]),
                      static_cast<int>(v[3]));
    return true;
}

} // namespace

QMargins cadreAnnonce(QWidget* fenetre)
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    // The offscreen platform answers as X11 too, without a connection.
    xcb_connection_t* connexion = x11 ? x11->connection() : nullptr;
    if (!connexion || !fenetre->isWindow())
        return {};
    const auto id = static_cast<xcb_window_t>(fenetre->winId());
    const xcb_window_t racine = xcb_setup_roots_iterator(xcb_get_setup(connexion)).data->root;
    const xcb_atom_t demande = atome(connexion, "_NET_REQUEST_FRAME_EXTENTS");
    const xcb_atom_t cadre = atome(connexion, "_NET_FRAME_EXTENTS");
    if (!gereParLeGestionnaire(connexion, racine, demande))
        return {};

    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = demande;
    xcb_send_event(connexion, 0, racine,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connexion);

    // The answer is a property set on the window; Qt's event loop owns the
    // connection's events, so the property is read until it appears.
    const QDeadlineTimer echeance(AttenteMaximaleMs);
    QMargins marges;
    while (!lireCadre(connexion, id, cadre, marges)) {
        if (echeance.hasExpired())
            return {};
        QThread::msleep(1);
    }
    // The window manager counts device pixels, Qt's geometry scaled ones.
    return marges / fenetre->windowHandle()->devicePixelRatio();
}

bool placementParLeProgramme()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace ui
