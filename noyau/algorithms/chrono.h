#pragma once
// Durée d'un calcul en temps processeur : montrée après chaque calcul (hmmcalc --chrono, barre
// d'état de la fenêtre principale) pour que le coût de chaque méthode se voie.
#include <QString>

class ChronoCalcul {
public:
    ChronoCalcul(); // démarre
    // Temps processeur du processus écoulé depuis la construction, en millisecondes.
    double Millisecondes() const;

private:
    double debut;
};

// "Durée du calcul : 0,42 ms" : trois chiffres significatifs (zéros de queue ôtés), séparateur
// décimal de la langue.
QString TexteDureeCalcul(double millisecondes);
