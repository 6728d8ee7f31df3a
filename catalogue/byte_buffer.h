// A file's bytes, or its text, in one block that can grow without a copy.
//
// A file of tens of megabytes is read whole, then decoded where it stands
// (see ini_decode.cpp): the block grows to the text's size with realloc(),
// which glibc serves for a block that large by remapping its pages, so the
// bytes are never held twice. A std::string cannot grow so: it allocates
// the larger block, copies and frees, and for a moment holds both.
//
// Bytes given as a std::string are adopted as they are, without a copy; they
// move to a block of their own only if they must grow.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ini
{

class Octets
{
public:
    Octets() = default;
    Octets(std::string chaine) noexcept : chaine_(std::move(chaine)) {}
    Octets(Octets&& autre) noexcept;
    Octets& operator=(Octets&& autre) noexcept;
    Octets(const Octets&) = delete;
    Octets& operator=(const Octets&) = delete;
    ~Octets();

    const char* data() const { return bloc_ ? bloc_ : chaine_.data(); }
    char* data() { return bloc_ ? bloc_ : chaine_.data(); }
    size_t size() const { return bloc_ ? taille_ : chaine_.size(); }
    bool empty() const { return size() == 0; }
    operator std::string_view() const { return {data(), size()}; }
    operator std::string() const { return std::string(data(), size()); }

    // Makes the bytes `taille` long: those kept stay as they were, those
    // added are unset. Room made once stays until the bytes go, so shrinking
    // and growing back costs nothing. Throws std::bad_alloc, the bytes as
    // they were, when the memory cannot be had.
    void redimensionner(size_t taille);
    // Gives back the room past the bytes' size: a block that large shrinks
    // where it stands.
    void ajuster();
    // Drops the first `n` bytes.
    void retirerDebut(size_t n);

    friend bool operator==(const Octets& a, std::string_view b) { return std::string_view(a) == b; }

private:
    std::string chaine_; // the adopted bytes, until they must grow
    char* bloc_ = nullptr;
    size_t taille_ = 0;
    size_t capacite_ = 0;
};

// For tests: asked with the size of each block the reading layer allocates
// for a file's bytes or text; true makes that allocation fail as if memory
// were short. nullptr, the default, lets every one through.
void controlerAllocations(bool (*refuser)(size_t taille));

} // namespace ini
