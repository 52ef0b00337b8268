#include "algorithms/memoire.h"
#include "algorithms/espace.h"

#include <QLocale>
#include <algorithm>
#include <cstdio>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <vector>
#if defined(__linux__)
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>
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

void MemoireTables::Peupler(void *bloc, std::size_t taille)
{
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    const std::uintptr_t page = std::uintptr_t(::sysconf(_SC_PAGESIZE));
    const std::uintptr_t debut = (std::uintptr_t(bloc) + page - 1) / page * page;
    const std::uintptr_t fin = (std::uintptr_t(bloc) + taille) / page * page;
    if (fin > debut)
        ::madvise(reinterpret_cast<void *>(debut), fin - debut, MADV_POPULATE_WRITE);
#else
    (void)bloc;
    (void)taille;
#endif
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

std::size_t MemoireTables::Disponible()
{
    std::size_t d = std::size_t(-1);
#if defined(__linux__)
    // Mémoire physique encore disponible (caches compris), à défaut toute la mémoire physique.
    if (FILE *f = std::fopen("/proc/meminfo", "r")) {
        char ligne[256];
        unsigned long long ko = 0;
        while (std::fgets(ligne, sizeof ligne, f))
            if (std::sscanf(ligne, "MemAvailable: %llu kB", &ko) == 1) {
                d = std::size_t(ko) * 1024;
                break;
            }
        std::fclose(f);
    }
    const long page = ::sysconf(_SC_PAGESIZE);
    if (d == std::size_t(-1)) {
        const long pages = ::sysconf(_SC_PHYS_PAGES);
        if (pages > 0 && page > 0)
            d = std::size_t(pages) * std::size_t(page);
    }
    // Limites du processus, moins ce qu'il occupe déjà (espace d'adressage, données).
    unsigned long long taille = 0, resident = 0, partage = 0, texte = 0, bib = 0, donnees = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%llu %llu %llu %llu %llu %llu", &taille, &resident, &partage, &texte, &bib, &donnees) != 6)
            taille = donnees = 0;
        std::fclose(f);
    }
    const auto limite = [&](int ressource, unsigned long long pris) {
        rlimit l{};
        if (::getrlimit(ressource, &l) != 0 || l.rlim_cur == RLIM_INFINITY)
            return;
        const unsigned long long octetsPris = pris * (unsigned long long)(page > 0 ? page : 4096);
        const std::size_t reste = l.rlim_cur > octetsPris ? std::size_t(l.rlim_cur - octetsPris) : 0;
        d = std::min(d, reste);
    };
    limite(RLIMIT_AS, taille);
    limite(RLIMIT_DATA, donnees);
#endif
    return d;
}

QString MemoireTables::TexteTaille(std::size_t octets)
{
    const QLocale l;
    const double mio = double(octets) / (1024.0 * 1024.0);
    if (octets == std::size_t(-1))
        return QStringLiteral("plus que l'espace d'adressage");
    if (mio >= 1024)
        return l.toString(mio / 1024, 'f', 1) + QStringLiteral(" Gio");
    return l.toString(std::max(mio, 0.1), 'f', mio < 10 ? 1 : 0) + QStringLiteral(" Mio");
}

void MemoireTables::Exiger(std::size_t octets)
{
    if (octets < (std::size_t(16) << 20))
        return;
    const std::size_t d = Disponible();
    if (octets <= d)
        return;
    throw ERefusCalcul(QStringLiteral("Mémoire insuffisante : ce calcul demande %1 pour ses tables, il en reste %2 "
                                      "de disponible. Le calcul n'est pas fait.")
                           .arg(TexteTaille(octets), TexteTaille(d)));
}

namespace {
std::atomic<std::size_t> derniereDemande{0};
}

void MemoireTables::NoterRefus(std::size_t octets)
{
    derniereDemande.store(octets, std::memory_order_relaxed);
}

QString MemoireTables::MessageManque()
{
    const std::size_t demande = derniereDemande.exchange(0, std::memory_order_relaxed);
    const QString reste = TexteTaille(Disponible());
    if (demande == 0)
        return QStringLiteral("Mémoire insuffisante : le calcul demande plus que les %1 encore disponibles. "
                              "Le calcul n'est pas fait.")
            .arg(reste);
    return QStringLiteral("Mémoire insuffisante : le calcul demande %1 d'un seul bloc, il en reste %2 de "
                          "disponible. Le calcul n'est pas fait.")
        .arg(TexteTaille(demande), reste);
}
