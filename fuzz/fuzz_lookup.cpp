// libFuzzer entry over listora-cherche's look-up: each input is a whole data
// file, and its first line the text sought.
#include "look_like_listora.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille)
{
    fuzz::chercherCommeListora({reinterpret_cast<const char*>(donnees), taille});
    return 0;
}
