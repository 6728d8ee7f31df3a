// Replays inputs through the fuzzers' entry functions without libFuzzer, so
// that every build (g++ included) reads the seed corpus and any crash file
// kept from a fuzzing run. Arguments: files, or folders whose regular files
// are all read. Fails when an argument names nothing or a folder is empty.
#include "check_like_listora.h"
#include "look_like_listora.h"
#include "read_like_listora.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{

bool lireFichier(const std::filesystem::path& chemin, std::string& octets)
{
    std::ifstream f(chemin, std::ios::binary);
    octets.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    return !f.bad();
}

} // namespace

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    std::vector<fs::path> fichiers;
    for (int i = 1; i < argc; ++i) {
        const fs::path argument(argv[i]);
        if (fs::is_directory(argument)) {
            const auto avant = fichiers.size();
            for (const auto& entree : fs::directory_iterator(argument))
                if (entree.is_regular_file())
                    fichiers.push_back(entree.path());
            if (fichiers.size() == avant) {
                std::fprintf(stderr, "%s: no file to replay\n", argv[i]);
                return 1;
            }
        } else if (fs::is_regular_file(argument)) {
            fichiers.push_back(argument);
        } else {
            std::fprintf(stderr, "%s: no such file or folder\n", argv[i]);
            return 1;
        }
    }
    if (fichiers.empty()) {
        std::fprintf(stderr, "usage: %s FILE-OR-FOLDER...\n", argv[0]);
        return 2;
    }
    std::sort(fichiers.begin(), fichiers.end());
    std::string octets;
    for (const fs::path& f : fichiers) {
        if (!lireFichier(f, octets)) {
            std::fprintf(stderr, "%s: cannot be read\n", f.string().c_str());
            return 1;
        }
        std::printf("%s (%zu bytes)\n", f.filename().string().c_str(), octets.size());
        std::fflush(stdout);
        fuzz::lireCommeListora(octets);
        fuzz::verifierCommeListora(octets);
        fuzz::chercherCommeListora(octets);
    }
    std::printf("%zu inputs replayed\n", fichiers.size());
    return 0;
}
