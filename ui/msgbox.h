// Modal message boxes, all through one function so that a test can answer
// them without a real box.
#pragma once

#include <QString>

#include <functional>

namespace ui
{

// Box styles; only the icon part is used, every box has one OK button.
inline constexpr int StyleCritique = 16;
inline constexpr int StyleAttention = 48;
inline constexpr int StyleInformation = 64;

// Shows `prompt` in a modal box titled `titre` with the icon that `style`
// names (16 critical, 48 warning, 64 information, anything else none) and a
// single OK button; returns when the user closes it. A carriage return in the
// prompt is a line break. The text is shown as plain text, never as markup,
// since it often quotes the data file.
void MsgBox(const QString& prompt, int style, const QString& titre);

struct MessageAffiche {
    QString prompt;
    int style = 0;
    QString titre;
};

using InterceptionMsgBox = std::function<void(const MessageAffiche&)>;

// Sends every later MsgBox to `interception` instead of the screen (an empty
// function restores real boxes). Returns the interception it replaces.
InterceptionMsgBox intercepterMsgBox(InterceptionMsgBox interception);

} // namespace ui
