#pragma once
// Probabilité hors de portée de l'étendu de 80 bits (P(O|λ) d'une longue séquence descend
// sous 10^-4951) : mantisse dans [0,5 ; 1) et exposant binaire entier, sans limite pratique.
#include <QString>

enum class ModeCalcul {
    Automatique, // exact, puis mis à l'échelle s'il le faut
    Echelle      // mis à l'échelle d'emblée
};

// Hors de la plage normale de l'étendu : 0 ou sous-normal.
bool HorsPortee(long double probabilite);

struct GrandeProbabilite {
    long double Mantisse = 0; // 0, ou dans [0,5 ; 1)
    long long Exposant = 0;   // valeur = Mantisse × 2^Exposant

    static GrandeProbabilite De(long double x);
    // exp(ln) ; -inf donne 0.
    static GrandeProbabilite DeLogarithme(long double ln);

    GrandeProbabilite &operator*=(long double x);
    GrandeProbabilite &operator*=(const GrandeProbabilite &x);

    bool EstNulle() const { return Mantisse == 0; }
    // Logarithmes naturel et décimal ; -inf pour 0.
    long double Ln() const;
    long double Log10() const;
    // La valeur en étendu : sous-normale ou 0 quand elle sort de la plage.
    long double VersEtendu() const;
    // Représentable en étendu normal (ni 0, ni sous-normal, ni infini) ?
    bool Representable() const;
    // Format général à `chiffres` chiffres significatifs et séparateur de l'utilisateur :
    // celui de Nombres::Formater quand la valeur est représentable, sinon mantisse et exposant
    // décimal, par exemple "9,23E-6237".
    QString Texte(int chiffres = 15) const;
};

// x >= seuil, sans sortir de la plage.
bool AuMoins(const GrandeProbabilite &x, long double seuil);
