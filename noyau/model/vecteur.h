#pragma once
// Vecteur extensible dont l'accès hors bornes lève une erreur portant l'index et la longueur.
#include <QString>
#include <stdexcept>
#include <vector>

class EHorsBornes : public std::out_of_range {
public:
    EHorsBornes(long long index, long long longueur)
        : std::out_of_range(QStringLiteral("Index hors limites (%1), longueur %2").arg(index).arg(longueur).toStdString()),
          Index(index), Longueur(longueur)
    {
    }
    long long Index, Longueur;
};

template <typename T>
class VecteurVerifie {
public:
    VecteurVerifie() = default;
    explicit VecteurVerifie(std::size_t n) : v(n) {}

    // Redimensionne en gardant les valeurs qui tiennent encore.
    void resize(std::size_t n) { v.resize(n); }
    std::size_t size() const { return v.size(); }
    long long longueur() const { return static_cast<long long>(v.size()); }

    T &operator[](long long i)
    {
        verifier(i);
        return v[static_cast<std::size_t>(i)];
    }
    const T &operator[](long long i) const
    {
        verifier(i);
        return v[static_cast<std::size_t>(i)];
    }
    T *data() { return v.data(); }
    const T *data() const { return v.data(); }

private:
    void verifier(long long i) const
    {
        if (i < 0 || i >= longueur())
            throw EHorsBornes(i, longueur());
    }
    std::vector<T> v;
};
