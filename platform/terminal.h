// The terminal the standard output goes to, if any: one implementation per
// system (terminal_posix.cpp, terminal_windows.cpp).
#pragma once

#include <optional>

namespace plateforme
{

// The standard output's width in columns: nothing when it is not a
// terminal (a pipe, a file), 0 when it is one of unknown size.
std::optional<int> largeurTerminal();

} // namespace plateforme
