// The window's two faces, drawn as 16-colour XPM images in app/images/.
#pragma once

#include <QIcon>

namespace images
{

// A yellow smiling face, 32 x 32 and 16 x 16. Every call makes a new icon
// with a handle of its own, even though the pixels are the same.
QIcon visageSourire();
// The same face frowning, 32 x 32.
QIcon visageTriste();

} // namespace images
