// Which values of a walk may hold an ASCII text, letter case aside, told
// from their UTF-8 before they are decoded: most values of a catalogue do
// not hold the text sought, and are then neither decoded nor folded.
#pragma once

#include <string>
#include <string_view>

namespace consultation
{

class Crible
{
public:
    // `aiguille`: the text sought, folded, all ASCII; `texte`: the UTF-8 of
    // the whole document, in which the values stand.
    Crible(std::string aiguille, std::string_view texte);

    // False when `valeur` cannot hold the text in any letter case. The text
    // is sought through the document from the value on, and where it was
    // found next is kept: a walk whose values come in the document's order,
    // as they mostly do, scans each byte once; a value before the last one
    // looked at is scanned alone.
    bool peutTenir(std::string_view valeur);

private:
    // Where something was found next, at or after `depuis`.
    struct Prochain {
        size_t depuis = 0;
        size_t lieu = 0;
        bool connu = false;
    };

    size_t chercher(std::string_view texte, bool special) const;
    bool trouveDans(Prochain& prochain, size_t debut, size_t fin, bool special) const;

    std::string aiguille_;
    std::string_view texte_;
    bool kOuS_; // whether the text holds a k or an s, which two characters beyond ASCII fold to
    Prochain texteTrouve_, specialTrouve_;
};

} // namespace consultation
