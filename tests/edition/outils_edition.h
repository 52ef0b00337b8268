#pragma once
// Fenêtre principale montée hors écran et pilotée par de vrais événements de souris et de
// clavier (QTest sur la fenêtre : prise implicite de la souris, double-clic, raccourcis).
#include "outils_test.h"
#include "editor/principale.h"

#include <QPoint>
#include <QRect>
#include <QStringList>
#include <memory>
#include <ostream>

// Messages d'échec lisibles.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QPoint &p, std::ostream *os) { *os << '(' << p.x() << ", " << p.y() << ')'; }
inline void PrintTo(const QSize &t, std::ostream *os) { *os << t.width() << 'x' << t.height(); }
inline void PrintTo(const QRect &r, std::ostream *os)
{
    *os << '(' << r.x() << ", " << r.y() << ' ' << r.width() << 'x' << r.height() << ')';
}

class TEtat2;

class EditionFenetre : public TestAvecRepertoire {
protected:
    void SetUp() override;
    void TearDown() override;

    // Souris, en coordonnées du panneau de dessin.
    void appuyer(QPoint p, Qt::KeyboardModifiers m = {}, Qt::MouseButton b = Qt::LeftButton);
    void deplacer(QPoint p);
    void relacher(QPoint p, Qt::KeyboardModifiers m = {}, Qt::MouseButton b = Qt::LeftButton);
    void cliquer(QPoint p, Qt::KeyboardModifiers m = {});
    void doubleCliquer(QPoint p);
    // Appui, passage par des points intermédiaires, relâchement.
    void glisser(QPoint de, QPoint a, const QList<QPoint> &par = {});
    // Clavier du canevas (Edit1) ; les raccourcis Ctrl passent par la fenêtre.
    void touche(int cle, Qt::KeyboardModifiers m = {});

    // Crée un état en mode `Etat` par un clic centré sur p ; rend la boîte créée.
    TEtat2 *creerEtat(QPoint p);
    TEtat2 *creerStart(QPoint p);
    // Arc par glisser-déposer de la boîte a vers la boîte b (en passant par le canevas).
    void creerArc(TEtat2 *a, TEtat2 *b);
    static QPoint centre(const TEtat2 *b);
    QStringList noms() const;

    std::unique_ptr<TForm1> f;
    QStringList messages;
};
