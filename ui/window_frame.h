// The frame a window manager puts around a top-level window, known before
// the window is first shown.
#pragma once

#include <QMargins>

class QWidget;

namespace ui
{

// The frame the X11 window manager will give `fenetre`, whose native window
// must exist but not be mapped yet: left, top, right and bottom widths in
// pixels. Qt learns a frame only once the window is mapped, too late to
// place it without a visible jump, so this asks the window manager for its
// estimate (_NET_REQUEST_FRAME_EXTENTS) and waits a little for the answer.
// Null on other platforms, without a window manager, or one that does not
// answer.
QMargins cadreAnnonce(QWidget* fenetre);

// False where the compositor places windows and ignores the client's wish
// (Wayland): there a form leaves its place alone.
bool placementParLeProgramme();

} // namespace ui
