// The command line of listora-verifier, apart from main() so that tests run
// it as a user does and see its messages and exit status.
#pragma once

#include <string>
#include <vector>

namespace verificateur
{

// Runs the tool on `arguments` (without the program's name): appends what
// it prints to `sortie` and its error messages to `erreurs`, and returns
// the exit status (see Statut in check.h).
int executer(const std::vector<std::string>& arguments, std::string& sortie, std::string& erreurs);

} // namespace verificateur
