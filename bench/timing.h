// A plain timing loop for the benchmark programs that also build for
// Windows, where Google Benchmark is not available: each figure is a list of
// runs, of which the lowest and the median are reported, the lowest being
// the one a loaded machine disturbs least.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace bench
{

using Horloge = std::chrono::steady_clock;

inline double millisecondesDepuis(Horloge::time_point debut)
{
    return std::chrono::duration<double, std::milli>(Horloge::now() - debut).count();
}

struct Mesures {
    std::vector<double> ms;

    double plusBasse() const { return *std::min_element(ms.begin(), ms.end()); }
    double mediane() const
    {
        std::vector<double> triees = ms;
        std::sort(triees.begin(), triees.end());
        const size_t n = triees.size();
        return n % 2 ? triees[n / 2] : (triees[n / 2 - 1] + triees[n / 2]) / 2;
    }
};

inline void afficher(const char* nom, const Mesures& m)
{
    std::printf("%-28s lowest %9.2f ms   median %9.2f ms   (%zu runs)\n", nom, m.plusBasse(),
                m.mediane(), m.ms.size());
}

inline void afficherRapport(const char* nom, const Mesures& mesure, const Mesures& etalon)
{
    std::printf("%-28s lowest %9.2fx       median %9.2fx\n", nom,
                mesure.plusBasse() / etalon.plusBasse(), mesure.mediane() / etalon.mediane());
}

} // namespace bench
