// TForm1 : construction de la fenêtre, menus, barres d'outils, raccourcis.
// Les commandes du menu "Fichier", le démarrage et la fermeture sont dans fichiers.cpp.
#include "editor/principale.h"
#include "editor/apprentissage.h"
#include "editor/calcul_direct.h"
#include "editor/canevas.h"
#include "skin/placement.h"
#include "editor/clavier.h"
#include "editor/defilement.h"
#include "editor/defaire.h"
#include "editor/pressepapiers.h"
#include "editor/souris.h"
#include "dialogs/identification.h"
#include "graph/hmm.h"
#include "model/repertoire.h"
#include "skin/presentation.h"
#include "visionneuse/suivi_trace.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMenuBar>
#include <QPainter>
#include <QProcess>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QScrollArea>
#include <QToolBar>
#include <QToolButton>

namespace {
// Loupe dessinée (les thèmes d'icônes courants n'en ont pas tous) : '+', '-' ou cadre.
QIcon iconeLoupe(const char *theme, char signe)
{
    if (QIcon::hasThemeIcon(QLatin1String(theme)))
        return QIcon::fromTheme(QLatin1String(theme));
    QPixmap p(22, 22);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(90, 60, 30), 3, Qt::SolidLine, Qt::RoundCap));
    g.drawLine(QPointF(13.5, 13.5), QPointF(20, 20));
    g.setPen(QPen(QColor(60, 60, 60), 1.6));
    g.setBrush(QColor(220, 235, 255));
    g.drawEllipse(QRectF(2, 2, 13, 13));
    g.setPen(QPen(QColor(20, 70, 160), 2));
    if (signe == '+' || signe == '-')
        g.drawLine(QPointF(5.5, 8.5), QPointF(11.5, 8.5));
    if (signe == '+')
        g.drawLine(QPointF(8.5, 5.5), QPointF(8.5, 11.5));
    if (signe == '#')
        g.drawRect(QRectF(5.5, 6, 6, 5));
    return QIcon(p);
}

// Libellé de menu portant le texte de son raccourci : le raccourci lui-même est servi
// par le gestionnaire de clavier, pas par le menu.
QString avecRaccourci(const QString &texte, const QString &raccourci)
{
    return texte + QLatin1Char('\t') + raccourci;
}
}

TForm1::TForm1(const QString &argument, QWidget *parent)
    : QMainWindow(parent), argumentDemarrage(argument)
{
    setObjectName(QStringLiteral("Form1"));
    setMinimumWidth(200);
    setWindowTitle(QLatin1Char(' ') + TitreApplication + QStringLiteral("[*]"));
    // Boîtes et fenêtres secondaires : dans l'écran, jamais sur les menus d'ici.
    Placement::Installer(this);

    // Au centre : les listes de résultats à gauche (ajoutées par BrancherModele), puis le
    // canevas et, dessous, le volet de vérification, chacun derrière un séparateur.
    SeparateurCentral = new QSplitter(Qt::Horizontal, this);
    SeparateurCentral->setObjectName(QStringLiteral("SeparateurCentral"));
    SeparateurCentral->setChildrenCollapsible(false);
    SeparateurCanevas = new QSplitter(Qt::Vertical, SeparateurCentral);
    SeparateurCanevas->setObjectName(QStringLiteral("SeparateurCanevas"));
    SeparateurCanevas->setChildrenCollapsible(false);
    // Le canevas dans une zone de défilement : il grandit avec le modèle (CanevasDefilant).
    auto *defilement = new QScrollArea(SeparateurCanevas);
    defilement->setObjectName(QStringLiteral("DefilementCanevas"));
    defilement->setWidgetResizable(true);
    defilement->setFrameShape(QFrame::NoFrame);
    Panneau = new QWidget;
    Panneau->setObjectName(QStringLiteral("Panneau"));
    Panneau->setMinimumSize(200, 200);
    defilement->setWidget(Panneau);
    SeparateurCanevas->addWidget(defilement);
    SeparateurCentral->addWidget(SeparateurCanevas);
    SeparateurCentral->setStretchFactor(1, 1);
    setCentralWidget(SeparateurCentral);

    // Sans parent Qt : détruit dans ~TForm1, avant le panneau qui porte ses boîtes.
    Canevas = new CanevasFenetre(Panneau);
    Document = new DocumentModele(Canevas);
    new CanevasDefilant(*Document, Panneau);

    creerActions();
    creerMenus();
    creerBarres();
    creerRaccourcis();
    Historique = new Annulation(*this);
    Souris = new EditeurSouris(*this);
    Presse = new PressePapiers(*this);
    BrancherVues();
    BrancherAffichage();
    BrancherModele();
    Traces = new SuiviTrace(this, *Document, Espace);
    ObservateurTrace = &Traces->Observateur;
    BrancherApprentissage(*this);
    CalculDirect = BrancherCalculDirect(*this);
    statusBar();

    const QString programme = QCoreApplication::applicationFilePath();
    LancerInstance = [programme] { QProcess::startDetached(programme, {}); };
    DemanderOuverture = [this] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Ouvrir"), QString(),
                                            QStringLiteral("Fichier HMM (*.hmm)"));
    };
    DemanderEnregistrement = [this] {
        // Aucune extension n'est ajoutée : le nom choisi est gardé tel quel.
        QFileDialog d(this, QStringLiteral("Enregistrer sous"), QString(), QStringLiteral("Fichier HMM (*.hmm)"));
        d.setAcceptMode(QFileDialog::AcceptSave);
        if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty())
            return QString();
        return d.selectedFiles().first();
    };
    DemanderMotDePasse = [this](const QString &m) {
        TForm9 f(m, this);
        f.adjustSize();
        Presentation::Centrer(&f);
        f.exec();
        return f.Accepte;
    };
    Document->DefinirIdentification([this](const QString &m) { return DemanderMotDePasse(m); });
}

TForm1::~TForm1()
{
    // Le document détruit son graphe et ses boîtes, des contrôles que filtrent l'édition et le
    // zoom : ils le trouvent déjà parti (Document nul) et ne le lisent plus.
    DocumentModele *d = Document;
    Document = nullptr;
    delete d;
    // La zone centrale (panneau, zones d'édition, calque, vue du zoom) part tant que la fenêtre
    // est entière : les filtres d'événements de l'édition et du zoom, qui la lisent, ne tournent
    // plus ensuite pendant ~QWidget sur une fenêtre à moitié détruite.
    delete SeparateurCentral;
    SeparateurCentral = nullptr;
    // Fichier de travail de la session : la copie d'états.
    QFile::remove(Repertoire::Fichier(QStringLiteral("EtatsCopies.tmp")));
}

void TForm1::creerActions()
{
    auto action = [this](const QString &texte, const char *theme, QStyle::StandardPixmap repli, bool actif = true) {
        QIcon icone = theme ? QIcon::fromTheme(QLatin1String(theme), style()->standardIcon(repli)) : QIcon();
        auto *a = new QAction(icone, texte, this);
        a->setEnabled(actif);
        return a;
    };
    const auto aucun = QStyle::SP_CustomBase;
    Nouveau1 = action(avecRaccourci(QStringLiteral("Nouveau"), QStringLiteral("Ctrl+N")), "document-new", QStyle::SP_FileIcon);
    Ouvrir1 = action(avecRaccourci(QStringLiteral("Ouvrir"), QStringLiteral("Ctrl+O")), "document-open", QStyle::SP_DialogOpenButton);
    Enregistrer1 = action(avecRaccourci(QStringLiteral("Enregistrer"), QStringLiteral("Ctrl+S")), "document-save", QStyle::SP_DialogSaveButton);
    Enregistrersous1 = action(QStringLiteral("Enregistrer sous ..."), "document-save-as", QStyle::SP_DialogSaveButton);
    Apercu1 = action(QStringLiteral("Aperçu avant impréssion"), "document-print-preview", QStyle::SP_FileDialogContentsView, false);
    Imprimer1 = action(avecRaccourci(QStringLiteral("Imprimer"), QStringLiteral("Ctrl+P")), "document-print", QStyle::SP_FileDialogDetailedView, false);
    Configuration1 = action(QStringLiteral("Configuration d'impréssion"), nullptr, aucun, false);
    Quitter1 = action(avecRaccourci(QStringLiteral("Quitter"), QStringLiteral("Ctrl+Q")), "application-exit", QStyle::SP_DialogCloseButton);

    Defaire1 = action(avecRaccourci(QStringLiteral("Defaire"), QStringLiteral("Ctrl+Z")), "edit-undo", QStyle::SP_ArrowBack, false);
    Refaire1 = action(avecRaccourci(QStringLiteral("Refaire"), QStringLiteral("Ctrl+W")), "edit-redo", QStyle::SP_ArrowForward, false);
    Viderchemins1 = action(QStringLiteral("Vider le tableau des chemins"), nullptr, aucun, false);
    ViderViterbi1 = action(QStringLiteral("Vider le tableau du chemin de Viterbi"), nullptr, aucun, false);
    Viderprobabilites1 = action(QStringLiteral("Vider le tableau des probabilités"), nullptr, aucun, false);
    Vidertout1 = action(QStringLiteral("Vider tout ..."), nullptr, aucun, false);
    Couper1 = action(avecRaccourci(QStringLiteral("Couper"), QStringLiteral("Ctrl+X")), "edit-cut", QStyle::SP_TrashIcon, false);
    Copier1 = action(avecRaccourci(QStringLiteral("Copier"), QStringLiteral("Ctrl+C")), "edit-copy", QStyle::SP_FileIcon, false);
    Coller1 = action(avecRaccourci(QStringLiteral("Coller"), QStringLiteral("Ctrl+V")), "edit-paste", QStyle::SP_FileIcon, false);
    Supprimer1 = action(avecRaccourci(QStringLiteral("Supprimer"), QStringLiteral("Ctrl+D")), "edit-delete", QStyle::SP_TrashIcon, false);
    Selectionnertout1 = action(avecRaccourci(QStringLiteral("Selectionner tout ..."), QStringLiteral("Ctrl+A")), "edit-select-all", QStyle::SP_FileDialogListView, false);

    Zoomavant1 = action(QStringLiteral("Zoom avant"), nullptr, aucun, false);
    Zoomarriere1 = action(QStringLiteral("Zoom arrière"), nullptr, aucun, false);
    Ajuster1 = action(QStringLiteral("Ajuster au texte"), nullptr, aucun, false);
    Zoomavant1->setIcon(iconeLoupe("zoom-in", '+'));
    Zoomarriere1->setIcon(iconeLoupe("zoom-out", '-'));
    Ajuster1->setIcon(iconeLoupe("zoom-fit-best", '#'));

    Editeretat1 = action(QStringLiteral("Editer l'état"), "document-properties", QStyle::SP_FileDialogInfoView, false);
    Parametres1 = action(QStringLiteral("Les paramètres du modèle"), nullptr, aucun, false);
    Aleatoire1 = action(QStringLiteral("Probabilités aléatoires..."), nullptr, aucun, false);
    Verifier1 = action(QStringLiteral("Vérifier le modèle"), "tools-check-spelling", QStyle::SP_DialogApplyButton, false);
    Enumerer1 = action(QStringLiteral("Enumérer tous les chemins possible"), nullptr, aucun, false);
    Approchedirect1 = action(QStringLiteral("Approche direct"), nullptr, aucun, false);
    Forward1 = action(QStringLiteral("Avec Forward"), nullptr, aucun, false);
    Backward1 = action(QStringLiteral("Avec Backward"), nullptr, aucun, false);
    Viterbi1 = action(QStringLiteral("Chemin de Viterbi"), nullptr, aucun, false);
    AppViterbi1 = action(QStringLiteral("Entraînement de Viterbi"), nullptr, aucun, false);
    AppBaumWelch1 = action(QStringLiteral("Entraînement de BaumWelch"), nullptr, aucun, false);
    Voiralgorithmes1 = action(QStringLiteral("Voir les algorithmes"), nullptr, aucun, false);
    Rapport1 = action(QStringLiteral("Voir la trace d'exécution"), "text-html", QStyle::SP_FileDialogContentsView, false);
    Ajouterunmotdepasse1 = action(QStringLiteral("Ajouter un mot de passe"), nullptr, aucun);
    Modifierlemotdepasse1 = action(QStringLiteral("Modifier le mot de passe"), nullptr, aucun, false);
    Supprimerlemotdepasse1 = action(QStringLiteral("Supprimer le mot de passe"), nullptr, aucun, false);

    Word1 = action(QStringLiteral("Microsoft Word"), nullptr, aucun, false);
    BlocNote1 = action(QStringLiteral("Bloc Note"), nullptr, aucun, false);
    Calculatrice1 = action(QStringLiteral("Calculatrice"), nullptr, aucun, false);
    Optionsgenerales1 = action(QStringLiteral("Options générales"), nullptr, aucun, false);
    Aide1 = action(avecRaccourci(QStringLiteral("Aide"), QStringLiteral("F1")), "help-contents", QStyle::SP_DialogHelpButton, false);
    Apropos1 = action(QStringLiteral("A propos de ..."), QIcon::hasThemeIcon(QStringLiteral("help-about")) ? "help-about" : "dialog-information", QStyle::SP_MessageBoxInformation, false);

    // Palette des modes d'édition : un seul bouton enfoncé.
    Palette = new QActionGroup(this);
    Palette->setExclusive(true);
    auto outil = [this](const QString &nom, const QString &bulle, const char *theme, QStyle::StandardPixmap repli) {
        auto *a = new QAction(QIcon::fromTheme(QLatin1String(theme), style()->standardIcon(repli)), nom, Palette);
        a->setObjectName(nom);
        a->setToolTip(bulle);
        a->setCheckable(true);
        return a;
    };
    Sourie = outil(QStringLiteral("Sourie"), QStringLiteral("Mode séléction"), "edit-select", QStyle::SP_ArrowUp);
    Start = outil(QStringLiteral("Start"), QStringLiteral("L'état START"), "go-first", QStyle::SP_MediaPlay);
    Etat = outil(QStringLiteral("Etat"), QStringLiteral("Etat"), "insert-object", QStyle::SP_FileIcon);
    Arc = outil(QStringLiteral("Arc"), QStringLiteral("Arc"), "go-next", QStyle::SP_ArrowRight);
    Boucle = outil(QStringLiteral("Boucle"), QStringLiteral("Arc boucle"), "view-refresh", QStyle::SP_BrowserReload);
    Sourie->setChecked(true);

    connect(Nouveau1, &QAction::triggered, this, &TForm1::Nouveau1Click);
    connect(Ouvrir1, &QAction::triggered, this, &TForm1::Ouvrir1Click);
    connect(Enregistrer1, &QAction::triggered, this, [this] { Enregistrer1Click(); });
    connect(Enregistrersous1, &QAction::triggered, this, [this] { Enregistrersous1Click(); });
    connect(Quitter1, &QAction::triggered, this, &TForm1::Quitter1Click);
    connect(Ajouterunmotdepasse1, &QAction::triggered, this, &TForm1::Ajouterunmotdepasse1Click);
    connect(Modifierlemotdepasse1, &QAction::triggered, this, &TForm1::Modifierlemotdepasse1Click);
    connect(Supprimerlemotdepasse1, &QAction::triggered, this, &TForm1::Supprimerlemotdepasse1Click);
}

void TForm1::creerMenus()
{
    QMenuBar *mb = menuBar();
    QMenu *fichier = mb->addMenu(QStringLiteral("Fichier"));
    fichier->addAction(Nouveau1);
    fichier->addAction(Ouvrir1);
    Reouvrir1 = fichier->addMenu(QStringLiteral("Réouvrir"));
    fichier->addAction(Enregistrer1);
    fichier->addAction(Enregistrersous1);
    fichier->addSeparator();
    fichier->addAction(Apercu1);
    fichier->addAction(Imprimer1);
    fichier->addAction(Configuration1);
    fichier->addSeparator();
    fichier->addAction(Quitter1);

    QMenu *edition = mb->addMenu(QStringLiteral("Edition"));
    edition->addAction(Defaire1);
    edition->addAction(Refaire1);
    edition->addSeparator();
    QMenu *vider = edition->addMenu(QStringLiteral("Vider"));
    vider->addAction(Viderchemins1);
    vider->addAction(ViderViterbi1);
    vider->addAction(Viderprobabilites1);
    vider->addSeparator();
    vider->addAction(Vidertout1);
    edition->addSeparator();
    edition->addAction(Couper1);
    edition->addAction(Copier1);
    edition->addAction(Coller1);
    edition->addAction(Supprimer1);
    edition->addSeparator();
    edition->addAction(Selectionnertout1);

    QMenu *affichage = mb->addMenu(QStringLiteral("Affichage"));
    affichage->addAction(Zoomavant1);
    affichage->addAction(Zoomarriere1);
    affichage->addSeparator();
    affichage->addAction(Ajuster1);

    QMenu *modele = mb->addMenu(QStringLiteral("Modèle"));
    modele->addAction(Editeretat1);
    modele->addAction(Parametres1);
    modele->addAction(Aleatoire1);
    modele->addAction(Verifier1);
    modele->addSeparator();
    modele->addAction(Enumerer1);
    QMenu *calculer = modele->addMenu(QStringLiteral("Calculer la probabilité"));
    calculer->addAction(Approchedirect1);
    calculer->addAction(Forward1);
    calculer->addAction(Backward1);
    modele->addAction(Viterbi1);
    QMenu *apprentissage = modele->addMenu(QStringLiteral("Apprentissage"));
    apprentissage->addAction(AppViterbi1);
    apprentissage->addAction(AppBaumWelch1);
    modele->addSeparator();
    modele->addAction(Voiralgorithmes1);
    modele->addAction(Rapport1);
    modele->addSeparator();
    MenuSecuriser = modele->addMenu(QStringLiteral("Sécuriser le modèle"));
    MenuSecuriser->addAction(Ajouterunmotdepasse1);
    MenuSecuriser->addAction(Modifierlemotdepasse1);
    MenuSecuriser->addAction(Supprimerlemotdepasse1);

    QMenu *outils = mb->addMenu(QStringLiteral("Outils"));
    outils->addAction(Word1);
    outils->addAction(BlocNote1);
    outils->addAction(Calculatrice1);
    outils->addSeparator();
    outils->addAction(Optionsgenerales1);

    QMenu *aide = mb->addMenu(QStringLiteral("Aide"));
    aide->addAction(Aide1);
    aide->addSeparator();
    aide->addAction(Apropos1);
}

void TForm1::creerBarres()
{
    QToolBar *b = BarreOutils = addToolBar(QStringLiteral("Outils"));
    b->setObjectName(QStringLiteral("ToolBar1"));
    b->setMovable(false);
    auto bouton = [b](QAction *a, const QString &bulle) {
        // L'infobulle est portée par l'action : le bouton la reprend à chaque changement de
        // l'action (activation, nouveau libellé).
        a->setToolTip(bulle);
        b->addAction(a);
        if (QWidget *w = b->widgetForAction(a))
            w->setToolTip(bulle);
    };
    bouton(Nouveau1, QStringLiteral("Nouveau"));
    ToolButtonOuvrir = new QToolButton(b);
    ToolButtonOuvrir->setDefaultAction(Ouvrir1);
    ToolButtonOuvrir->setToolTip(QStringLiteral("Ouvrir"));
    ToolButtonOuvrir->setMenu(Reouvrir1);
    ToolButtonOuvrir->setPopupMode(QToolButton::MenuButtonPopup);
    b->addWidget(ToolButtonOuvrir);
    bouton(Enregistrer1, QStringLiteral("Enregistrer"));
    b->addSeparator();
    bouton(Apercu1, QStringLiteral("Aperçu avant impréssion"));
    bouton(Imprimer1, QStringLiteral("Imprimer"));
    b->addSeparator();
    bouton(Couper1, QStringLiteral("Couper"));
    bouton(Copier1, QStringLiteral("Copier"));
    bouton(Coller1, QStringLiteral("Coller"));
    bouton(Defaire1, QStringLiteral("Défaire"));
    bouton(Refaire1, QStringLiteral("Récupérer"));
    bouton(Selectionnertout1, QStringLiteral("Séléctionner tout ..."));
    bouton(Supprimer1, QStringLiteral("Supprimer"));
    b->addSeparator();
    bouton(Zoomavant1, QStringLiteral("Zoom avant"));
    bouton(Zoomarriere1, QStringLiteral("Zoom arrière"));
    bouton(Ajuster1, QStringLiteral("Ajuster au texte"));
    b->addSeparator();
    bouton(Editeretat1, QStringLiteral("Editer l'état"));
    bouton(Verifier1, QStringLiteral("Vérifier le modèle"));
    b->addSeparator();
    bouton(Rapport1, QStringLiteral("Voir la trace d'exécution"));
    if (QWidget *w = b->widgetForAction(Rapport1))
        w->setObjectName(QStringLiteral("ToolButton23"));
    ToolButtonSecuriser = new QToolButton(b);
    ToolButtonSecuriser->setIcon(QIcon::fromTheme(QStringLiteral("dialog-password"), QIcon::fromTheme(QStringLiteral("system-lock-screen"), style()->standardIcon(QStyle::SP_VistaShield))));
    ToolButtonSecuriser->setToolTip(QStringLiteral("Sécuriser le modèle"));
    ToolButtonSecuriser->setMenu(MenuSecuriser);
    ToolButtonSecuriser->setPopupMode(QToolButton::InstantPopup);
    b->addWidget(ToolButtonSecuriser);
    bouton(Aide1, QStringLiteral("Aide"));
    bouton(Apropos1, QStringLiteral("A propos de ..."));
    b->addSeparator();
    bouton(Quitter1, QStringLiteral("Quitter"));

    QToolBar *palette = BarrePalette = new QToolBar(QStringLiteral("Palette"), this);
    palette->setObjectName(QStringLiteral("Palette"));
    palette->setMovable(false);
    palette->addActions(Palette->actions());
    addToolBar(Qt::RightToolBarArea, palette);
}

void TForm1::creerRaccourcis()
{
    // Un seul gestionnaire de clavier : une entrée désactivée ne fait rien.
    const QList<QPair<QKeySequence, QAction *>> table = {
        {QKeySequence(QStringLiteral("Ctrl+A")), Selectionnertout1}, {QKeySequence(QStringLiteral("Ctrl+C")), Copier1},
        {QKeySequence(QStringLiteral("Ctrl+D")), Supprimer1},        {QKeySequence(QStringLiteral("Ctrl+N")), Nouveau1},
        {QKeySequence(QStringLiteral("Ctrl+O")), Ouvrir1},           {QKeySequence(QStringLiteral("Ctrl+P")), Imprimer1},
        {QKeySequence(QStringLiteral("Ctrl+Q")), Quitter1},          {QKeySequence(QStringLiteral("Ctrl+S")), Enregistrer1},
        {QKeySequence(QStringLiteral("Ctrl+V")), Coller1},           {QKeySequence(QStringLiteral("Ctrl+W")), Refaire1},
        {QKeySequence(QStringLiteral("Ctrl+X")), Couper1},           {QKeySequence(QStringLiteral("Ctrl+Z")), Defaire1},
        {QKeySequence(Qt::Key_F1), Aide1},
    };
    for (const auto &[touches, action] : table) {
        auto *r = new QShortcut(touches, this);
        r->setContext(Qt::WindowShortcut);
        // Copie explicite : clang 14 ne capture pas une liaison structurée.
        connect(r, &QShortcut::activated, action, [action = action] {
            if (action->isEnabled())
                action->trigger();
        });
    }
    // Menus au clavier (Alt+lettre, F10) ; arc et boucle maintenus par un double-clic.
    Clavier::DonnerAccesMenus(*this);
    Clavier::MaintenirOutils(*this, BarrePalette, Sourie, {Arc, Boucle});
    for (QAction *a : {Arc, Boucle})
        a->setToolTip(a->toolTip() + QStringLiteral(" (double-clic : l'outil reste actif jusqu'à Échap)"));
}

PartiesPrincipale &Parties(TForm1 &fenetre)
{
    return fenetre;
}
