#pragma once
// Règles d'édition du graphe, sans fenêtre : taille minimale des boîtes, nom automatique,
// bande de sélection, poignées de redimensionnement, texte des étiquettes. L'éditeur à la
// souris, l'éditeur d'état et le document les appliquent ; les tests les appellent directement.
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <Qt>

class BoiteEtat;

namespace ReglesEdition {
// Règle de taille minimale de toute boîte (START 95 x 26, "END" 75 x 26, sinon selon le
// nom et les paires).
QSize TailleMinimale(const QString &nom, int nbSymboles, const QString generation[][3]);
QSize TailleMinimale(const BoiteEtat &e);
// Donne à la boîte ces bornes, taille relevée au minimum : aucune boîte n'est plus petite.
void Placer(BoiteEtat *e, const QRect &bornes);
// Réapplique la taille courante (après un changement de nom ou de paires).
void Reappliquer(BoiteEtat *e);

// Nom automatique d'un nouvel état : "Etat_" suivi de n + 1, ou du premier numéro suivant
// libre parmi `noms` (les états 1..N) ; *dernier reçoit le numéro retenu.
QString NomAutomatique(const QStringList &noms, int *dernier);

// Chevauchement strict d'une boîte et de la bande : se toucher par un bord ne suffit pas.
bool Chevauche(const QRect &boite, const QRect &bande);
// Rectangle normalisé tendu entre deux points.
QRect Bande(QPoint a, QPoint b);

// Poignée sous la souris (coordonnées dans une boîte w x h) ; Qt::ArrowCursor quand aucune.
Qt::CursorShape Poignee(int x, int y, int w, int h);
// Rectangle de redimensionnement : la poignée saisie (désignée par son curseur et le point
// d'appui dans la boîte) suit la souris, le bord opposé reste fixe.
QRect Redimensionner(const QRect &depart, Qt::CursorShape poignee, QPoint appui, QPoint souris);

// Texte de l'éditeur d'étiquette après une frappe : le "??" d'un arc neuf s'efface dès le
// premier chiffre, un texte vide devient "0".
QString NettoyerEtiquette(QString t);
// Caractère à écrire pour une frappe dans un champ de nombre (nul : refusée) : chiffres, un
// séparateur ("." ou "," deviennent celui de la langue), un exposant "E" et son signe.
QChar SaisieNombre(const QString &texteActuel, QChar c);
bool CaractereProbabilite(const QString &texteActuel, QChar c);
}
