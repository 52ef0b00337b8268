#pragma once
// Mémoire des grandes tables de calcul (α, β, δ, ψ, γ d'une longue séquence, tables du modèle).
// Une table de quelques centaines de Kio remplie pour la première fois coûte un défaut de page
// par page de 4 Kio, et chaque défaut coûte cher (une machine virtuelle en fait plus de 10 µs) :
// bien plus que le calcul lui-même. Dès 1 Mio, la table est alignée sur 2 Mio et demandée en
// pages de 2 Mio (deux défauts au lieu de huit cents pour 3 Mio ; 3 Mio remplis en 0,7 ms au lieu
// de 9,5) ; la fin de la dernière grande page reste inemployée. En dessous, une grande page
// coûterait plus à remettre à zéro que les défauts qu'elle évite, et autant de résident en plus
// (les tables du modèle de 150 Kio d'une chaîne de 97 états : 2 Mio chacune). Les blocs rendus sont gardés
// (16 Mio au plus) pour les tables suivantes, refaites à chaque calcul avec les mêmes tailles :
// ni appel au système ni page neuve. En dessous de 1 Mio, l'allocation ordinaire ; dès 64 Kio,
// ses pages sont demandées d'un seul appel au système avant d'être remplies (les 150 pages des
// tables d'une chaîne de 97 états : 0,6 ms au lieu de 1,3 ms de défauts un par un).
#include <QString>
#include <cstddef>
#include <new>

namespace MemoireTables {
constexpr std::size_t Seuil = std::size_t(1) << 20;
constexpr std::size_t GrandePage = std::size_t(2) << 20;
constexpr std::size_t Moyenne = std::size_t(64) << 10;
// Les pages entières de [bloc, bloc + taille) présentes d'un coup (sans effet si le système refuse).
void Peupler(void *bloc, std::size_t taille);
// Bloc de `taille` octets (multiple de GrandePage) aligné sur GrandePage ; nul en cas d'échec.
void *Prendre(std::size_t taille);
void Rendre(void *bloc, std::size_t taille);
// Mémoire encore disponible pour ce processus : la plus petite de la mémoire physique
// disponible et des limites RLIMIT_AS / RLIMIT_DATA moins ce qui est déjà pris.
std::size_t Disponible();
// ERefusCalcul (« Mémoire insuffisante... », taille demandée et disponible) quand `octets`
// dépasse Disponible() ; les demandes de moins de 16 Mio ne sont pas examinées.
void Exiger(std::size_t octets);
// Taille en texte : « 1,5 Gio », « 300 Mio ».
QString TexteTaille(std::size_t octets);
// Une allocation refusée (std::bad_alloc) : sa taille, relevée par l'allocateur des tables et
// par celui du processus (allocation_processus.cpp), 0 quand elle n'est pas connue.
void NoterRefus(std::size_t octets);
// Le message français d'un std::bad_alloc : taille demandée quand elle est connue, disponible.
QString MessageManque();
}

template <typename T>
struct AllocateurTables {
    using value_type = T;

    AllocateurTables() = default;
    template <typename U>
    AllocateurTables(const AllocateurTables<U> &) noexcept
    {
    }

    static bool grande(std::size_t n) { return n * sizeof(T) >= MemoireTables::Seuil; }
    static std::size_t arrondi(std::size_t n)
    {
        const std::size_t g = MemoireTables::GrandePage;
        return (n * sizeof(T) + g - 1) / g * g;
    }

    T *allocate(std::size_t n)
    {
        if (n > (std::size_t(-1) - MemoireTables::GrandePage) / sizeof(T)) {
            MemoireTables::NoterRefus(std::size_t(-1));
            throw std::bad_alloc();
        }
        if (!grande(n)) {
            T *p = static_cast<T *>(::operator new(n * sizeof(T)));
            if (n * sizeof(T) >= MemoireTables::Moyenne)
                MemoireTables::Peupler(p, n * sizeof(T));
            return p;
        }
        void *p = MemoireTables::Prendre(arrondi(n));
        if (!p) {
            MemoireTables::NoterRefus(arrondi(n));
            throw std::bad_alloc();
        }
        return static_cast<T *>(p);
    }
    void deallocate(T *p, std::size_t n) noexcept
    {
        if (grande(n))
            MemoireTables::Rendre(p, arrondi(n));
        else
            ::operator delete(p);
    }
    template <typename U>
    bool operator==(const AllocateurTables<U> &) const noexcept
    {
        return true;
    }
};
