// The global operator new of a test that makes allocations fail on demand:
// the test defines refuserAllocation(), asked before each allocation, and
// includes this header in one file of its program. The nothrow form comes
// from the same function (std::stable_sort's buffer), so that every block
// the plain delete frees came from malloc, as the sanitizers check.
#pragma once

#include "catalogue/byte_buffer.h"

#include <cstdlib>
#include <new>

// Whether the allocation of `taille` bytes asked for now must fail.
bool refuserAllocation(std::size_t taille);

void* operator new(std::size_t taille)
{
    if (refuserAllocation(taille))
        throw std::bad_alloc();
    if (void* p = std::malloc(taille ? taille : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t taille, const std::nothrow_t&) noexcept
{
    try {
        return operator new(taille);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

// The reading layer takes a file's bytes and text from malloc(), so that they
// can grow without a copy: those blocks are refused by the same rule.
inline const bool blocsDuLecteurControles = (ini::controlerAllocations(&refuserAllocation), true);
