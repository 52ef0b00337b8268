#include "algorithms/memoire.h"

#include <cstdlib>
#include <mutex>
#include <vector>
#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

constexpr std::size_t ReserveMax = std::size_t(16) << 20;

struct Reserve {
    struct Bloc {
        void *p;
        std::size_t taille;
    };
    std::mutex verrou;
    std::vector<Bloc> blocs;
    std::size_t total = 0;
};

// Jamais détruite : des tables statiques peuvent être rendues pendant la fin du programme.
Reserve &reserve()
{
    static Reserve *r = new Reserve;
    return *r;
}

}

void *MemoireTables::Prendre(std::size_t taille)
{
    Reserve &r = reserve();
    {
        const std::lock_guard<std::mutex> garde(r.verrou);
        for (std::size_t k = 0; k < r.blocs.size(); ++k)
            if (r.blocs[k].taille == taille) {
                void *p = r.blocs[k].p;
                r.blocs.erase(r.blocs.begin() + std::ptrdiff_t(k));
                r.total -= taille;
                return p;
            }
    }
    void *p = std::aligned_alloc(GrandePage, taille);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (p)
        ::madvise(p, taille, MADV_HUGEPAGE); // un simple conseil : sans effet s'il est refusé
#endif
    return p;
}

void MemoireTables::Rendre(void *bloc, std::size_t taille)
{
    if (!bloc)
        return;
    Reserve &r = reserve();
    const std::lock_guard<std::mutex> garde(r.verrou);
    if (taille > ReserveMax) {
        std::free(bloc);
        return;
    }
    // Les plus anciens blocs partent d'abord quand la réserve déborde.
    while (!r.blocs.empty() && r.total + taille > ReserveMax) {
        std::free(r.blocs.front().p);
        r.total -= r.blocs.front().taille;
        r.blocs.erase(r.blocs.begin());
    }
    r.blocs.push_back({bloc, taille});
    r.total += taille;
}
