// What a desktop program needs of the system it runs on, beyond files: the
// console it was started from, and the widget style it looks right in.
#pragma once

namespace plateforme
{

// Makes standard output and standard error reach the console the program
// was started from, in UTF-8. On Windows a GUI program has none of its own:
// it joins its parent's console when its output goes nowhere else (a pipe
// or a file given by the caller is kept). Elsewhere there is nothing to do.
void rejoindreLaConsole();

// The widget style the program is built on where the system's own style
// does not fit it: "Fusion" on Windows, whose native style draws dark button
// text on a dark palette; null where the desktop's style is kept.
const char* styleDeBase();

// The command that shows a warning as a desktop notification, taking
// notify-send's arguments; null where a warning on standard error is all
// (on Windows, a message box would stop a start that goes on).
const char* commandeDeNotification();

} // namespace plateforme
