#pragma once
// Aperçu des étiquettes d'une itération d'entraînement sur le graphe : les valeurs de π et de A
// sont peintes par-dessus les étiquettes des arcs, celles de B par-dessus les paires des boîtes,
// pour l'affichage seul. Ni le document ni le graphe ne changent : l'aperçu effacé, le graphe
// montre de nouveau le modèle.
#include <QHash>
#include <QPointer>
#include <QWidget>

class DocumentModele;
class THmm;
struct ParametresModele;

class ApercuEtiquettes : public QWidget {
    Q_OBJECT
public:
    explicit ApercuEtiquettes(DocumentModele &document);
    // Les étiquettes que donneraient ces paramètres, là où elles diffèrent de celles du modèle.
    void Montrer(const ParametresModele &parametres);
    void Effacer();
    bool Actif() const { return !textes.isEmpty() || !boites.isEmpty(); }
    // Le texte peint sur l'arc `arc` (1..NbArcs) : celui de l'aperçu, sinon celui du modèle.
    QString Texte(int arc) const;
    // La probabilité peinte pour la paire k (1..NbSymboles) de la boîte `etat` (indice du
    // registre) : celle de l'aperçu, sinon celle du modèle.
    QString TextePaire(int etat, int k) const;

protected:
    void paintEvent(QPaintEvent *e) override;
    bool eventFilter(QObject *objet, QEvent *e) override;

private:
    DocumentModele &document;
    QPointer<THmm> graphe;
    QHash<int, QString> textes; // arc -> étiquette de l'itération
    // Une couche par boîte dont une paire change : indice du registre -> couche.
    QHash<int, QPointer<QWidget>> boites;
};
