// libFuzzer entry over listora-verifier's check: each input is a whole data
// file.
#include "check_like_listora.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille)
{
    fuzz::verifierCommeListora({reinterpret_cast<const char*>(donnees), taille});
    return 0;
}
