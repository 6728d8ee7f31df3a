#include "catalogue/byte_buffer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace ini
{
namespace
{

bool (*refus)(size_t) = nullptr;

} // namespace

void controlerAllocations(bool (*refuser)(size_t))
{
    refus = refuser;
}

Octets::Octets(Octets&& autre) noexcept
    : chaine_(std::move(autre.chaine_)), bloc_(std::exchange(autre.bloc_, nullptr)),
      taille_(std::exchange(autre.taille_, 0)), capacite_(std::exchange(autre.capacite_, 0))
{
    autre.chaine_.clear();
}

Octets& Octets::operator=(Octets&& autre) noexcept
{
    if (this != &autre) {
        std::free(bloc_);
        chaine_ = std::move(autre.chaine_);
        autre.chaine_.clear();
        bloc_ = std::exchange(autre.bloc_, nullptr);
        taille_ = std::exchange(autre.taille_, 0);
        capacite_ = std::exchange(autre.capacite_, 0);
    }
    return *this;
}

Octets::~Octets()
{
    std::free(bloc_);
}

void Octets::redimensionner(size_t taille)
{
    if (!bloc_ && taille <= chaine_.size()) {
        chaine_.resize(taille);
        return;
    }
    if (taille > capacite_) {
        if (refus && refus(taille))
            throw std::bad_alloc();
        // realloc() of nullptr is malloc(): the adopted string's bytes are
        // then copied once into the block, and go.
        void* nouveau = std::realloc(bloc_, taille);
        if (!nouveau)
            throw std::bad_alloc();
        if (!bloc_) {
            std::memcpy(nouveau, chaine_.data(), chaine_.size());
            taille_ = chaine_.size();
            chaine_ = std::string();
        }
        bloc_ = static_cast<char*>(nouveau);
        capacite_ = taille;
    }
    taille_ = taille;
}

void Octets::ajuster()
{
    if (!bloc_ || taille_ == capacite_ || taille_ == 0)
        return;
    // Smaller, realloc() can only fail by keeping the block as it is.
    if (void* moindre = std::realloc(bloc_, taille_)) {
        bloc_ = static_cast<char*>(moindre);
        capacite_ = taille_;
    }
}

void Octets::retirerDebut(size_t n)
{
    if (!bloc_) {
        chaine_.erase(0, n);
        return;
    }
    n = std::min(n, taille_);
    std::memmove(bloc_, bloc_ + n, taille_ - n);
    taille_ -= n;
}

} // namespace ini
