// Text from the data file, or a path, made safe to print on a terminal.
//
// The report quotes key names, section names, terms and pieces of odd lines
// as the file holds them, and the file may come from anyone: a control
// character (ESC, BEL, a C1 control), an invisible format character (a bidi
// override such as U+202E, a zero-width space, a byte-order mark inside a
// line), a line or paragraph separator, a character that shows as nothing
// (a variation selector after a key), an unassigned code point or a
// noncharacter could act on the terminal or hide what the report says, or
// make two different names look the same. Each is shown as an escape
// instead, `\x1B` for a
// C0 control or DEL, `\u202E` for a code point, and so is each byte that is
// not UTF-8 (`\xFF`), so that what is printed is always valid UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace verificateur
{

// `texte` with every character that would not show as itself escaped;
// spaces other than U+0020 (a no-break space before a key, say) are escaped
// too, since a quoted name must show what sets it apart. At most `limite`
// bytes, cut between two characters and never inside an escape; `coupe`,
// when given, tells whether something was left out.
std::string citer(std::string_view texte, size_t limite = std::string_view::npos,
                  bool* coupe = nullptr);

// A path as a shell command's argument, so that a command the report
// suggests works as written: as it is when it holds only characters that a
// shell takes literally, in single quotes when it holds other visible ones,
// and as $'…' with \xHH escapes when it holds a character citer escapes.
std::string pourLeShell(std::string_view chemin);

// The command interpreters whose syntax the suggested commands follow.
enum class Interprete {
    Sh,  // a POSIX shell: pourLeShell
    Cmd, // the Windows command prompt: pourCmd
};

// The interpreter of the system the tool was built for.
extern const Interprete InterpreteDuSysteme;

// A path as an argument of the Windows command prompt: as it is when cmd
// and the program's argument parsing take it literally, in double quotes
// otherwise, and with ".\" before a path that would read as an option.
// What cmd cannot quote is described in visible.cpp.
std::string pourCmd(std::string_view chemin);

// pourLeShell or pourCmd, as `interprete` says.
std::string pourLaCommande(std::string_view chemin, Interprete interprete);

// The last guarantee on everything the tool prints: the same escapes, but
// for line ends, which are its own, and spaces, which its French sentences
// may use (a no-break space before a colon).
std::string assainir(std::string_view sortie);

} // namespace verificateur
