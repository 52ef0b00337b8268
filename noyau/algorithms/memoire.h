#pragma once
// Mémoire des grandes tables de calcul (α, β, δ, ψ, γ d'une longue séquence). Une table de
// quelques Mio remplie pour la première fois coûte un défaut de page par page de 4 Kio, et
// chaque défaut coûte cher (une machine virtuelle en fait plus de 10 µs) : bien plus que le
// calcul lui-même. Dès 128 Kio, la table est alignée sur 2 Mio et demandée en pages de 2 Mio
// (deux défauts au lieu de huit cents pour 3 Mio ; 3 Mio remplis en 0,7 ms au lieu de 9,5) ; la
// fin de la dernière grande page reste inemployée. En dessous, l'allocation ordinaire.
#include <cstddef>
#include <cstdlib>
#include <new>
#if defined(__linux__)
#include <sys/mman.h>
#endif

template <typename T>
struct AllocateurTables {
    using value_type = T;
    static constexpr std::size_t Seuil = std::size_t(128) << 10;
    static constexpr std::size_t GrandePage = std::size_t(2) << 20;

    AllocateurTables() = default;
    template <typename U>
    AllocateurTables(const AllocateurTables<U> &) noexcept
    {
    }

    static bool grande(std::size_t n) { return n * sizeof(T) >= Seuil; }
    static std::size_t arrondi(std::size_t n) { return (n * sizeof(T) + GrandePage - 1) / GrandePage * GrandePage; }

    T *allocate(std::size_t n)
    {
        if (n > std::size_t(-1) / sizeof(T) - GrandePage)
            throw std::bad_alloc();
        if (!grande(n))
            return static_cast<T *>(::operator new(n * sizeof(T)));
        const std::size_t taille = arrondi(n);
        void *p = std::aligned_alloc(GrandePage, taille);
        if (!p)
            throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
        ::madvise(p, taille, MADV_HUGEPAGE); // un simple conseil : sans effet s'il est refusé
#endif
        return static_cast<T *>(p);
    }
    void deallocate(T *p, std::size_t n) noexcept
    {
        if (grande(n))
            std::free(p);
        else
            ::operator delete(p);
    }
    template <typename U>
    bool operator==(const AllocateurTables<U> &) const noexcept
    {
        return true;
    }
};
