// libFuzzer entry: each input is a whole data file.
#include "read_like_listora.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille)
{
    fuzz::lireCommeListora({reinterpret_cast<const char*>(donnees), taille});
    return 0;
}
