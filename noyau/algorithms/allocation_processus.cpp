// L'allocateur des programmes (hmmbench, hmmcalc) : celui de la bibliothèque C, qui relève en
// plus la taille d'une demande refusée pour que le refus la nomme en français. Compilé dans
// les exécutables seulement ; les analyseurs de mémoire gardent le leur.
#include "algorithms/memoire.h"

#include <cstdlib>
#include <new>

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer)
#define HMM_ALLOCATEUR_ANALYSE 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define HMM_ALLOCATEUR_ANALYSE 1
#endif

#ifndef HMM_ALLOCATEUR_ANALYSE

void *operator new(std::size_t n)
{
    for (;;) {
        if (void *p = std::malloc(n ? n : 1))
            return p;
        const std::new_handler h = std::get_new_handler();
        if (!h) {
            MemoireTables::NoterRefus(n);
            throw std::bad_alloc();
        }
        h();
    }
}

void *operator new[](std::size_t n)
{
    return ::operator new(n);
}

void *operator new(std::size_t n, const std::nothrow_t &) noexcept
{
    try {
        return ::operator new(n);
    } catch (...) {
        return nullptr;
    }
}

void *operator new[](std::size_t n, const std::nothrow_t &) noexcept
{
    return ::operator new(n, std::nothrow);
}

void operator delete(void *p) noexcept
{
    std::free(p);
}

void operator delete[](void *p) noexcept
{
    std::free(p);
}

void operator delete(void *p, std::size_t) noexcept
{
    std::free(p);
}

void operator delete[](void *p, std::size_t) noexcept
{
    std::free(p);
}

void operator delete(void *p, const std::nothrow_t &) noexcept
{
    std::free(p);
}

void operator delete[](void *p, const std::nothrow_t &) noexcept
{
    std::free(p);
}

#endif
