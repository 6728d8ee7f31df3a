// Systems whose toolkit knows a window's frame before it is first shown
// (Windows: the platform plugin computes it from the window's style once the
// native window exists), so frameGeometry() already tells.
#include "ui/window_frame.h"

#include <QGuiApplication>

namespace ui
{

QMargins cadreAnnonce(QWidget*)
{
    return {};
}

bool placementParLeProgramme()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace ui
