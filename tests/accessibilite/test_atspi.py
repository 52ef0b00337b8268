#!/usr/bin/python3
"""Ouvre un exemple, lance Forward et le treillis par l'arbre AT-SPI, comme une aide technique :
le menu, la ligne de la liste des probabilités (égale à ce qu'imprime hmmcalc forward), les
cases du treillis (la dernière colonne de α somme à la même probabilité) et la formule d'une case."""
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time

IGNORE = 77
SEQUENCE = "abba"
LANCEUR = "/usr/libexec/at-spi-bus-launcher"


def attendre(condition, delai=60.0, quoi=""):
    fin = time.time() + delai
    while time.time() < fin:
        try:
            r = condition()
        except Exception:  # l'arbre change pendant qu'on le lit
            r = None
        if r:
            return r
        time.sleep(0.2)
    raise AssertionError("délai dépassé : " + quoi)


def chercher(racine, predicat, profondeur=0):
    if racine is None or profondeur > 40:
        return None
    try:
        if predicat(racine):
            return racine
        enfants = [racine.getChildAtIndex(i) for i in range(racine.childCount)]
    except Exception:
        return None
    for e in enfants:
        r = chercher(e, predicat, profondeur + 1)
        if r is not None:
            return r
    return None


def nombre(texte):
    return float(texte.strip().replace(",", ".").replace("E", "e"))


def dans_session(hmmbench, hmmcalc, modele):
    import pyatspi

    dossier = tempfile.mkdtemp(prefix="hmm_atspi_")
    env = dict(os.environ)
    for v, d in (("HOME", ""), ("XDG_CONFIG_HOME", "config"), ("XDG_DATA_HOME", "data"),
                 ("XDG_CACHE_HOME", "cache"), ("XDG_RUNTIME_DIR", "run")):
        chemin = os.path.join(dossier, d)
        os.makedirs(chemin, mode=0o700, exist_ok=True)
        env[v] = chemin
    env.update(QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1", QT_QPA_PLATFORM="xcb")
    env.pop("QT_QPA_PLATFORMTHEME", None)
    # En français quand la langue est installée : virgule décimale des deux côtés.
    if "fr_FR.utf8" in subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout:
        env.pop("LC_ALL", None)
        env["LANG"] = "fr_FR.UTF-8"
    copie = os.path.join(dossier, "modele.hmm")
    shutil.copy(modele, copie)

    attendu = subprocess.run([hmmcalc, "forward", copie, SEQUENCE], env=env, check=True,
                             capture_output=True, text=True).stdout.split("\n")[0].strip()

    # Un écran virtuel à un numéro libre (d'autres peuvent tourner) : Xvfb s'arrête aussitôt
    # quand le numéro est pris, on en essaie alors un autre.
    ecran = None
    for essai in range(20):
        numero = str(random.randrange(200, 5000))
        if os.path.exists("/tmp/.X11-unix/X" + numero) or os.path.exists("/tmp/.X%s-lock" % numero):
            continue
        # -noreset : sans lui, le serveur se réinitialise au départ de son dernier client et refuse
        # un moment les suivants.
        ecran = subprocess.Popen(["Xvfb", ":" + numero, "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            attendre(lambda: os.path.exists("/tmp/.X11-unix/X" + numero) or ecran.poll() is not None, 10,
                     "écran virtuel")
        except AssertionError:
            pass
        time.sleep(0.5)
        if ecran.poll() is None and os.path.exists("/tmp/.X11-unix/X" + numero):
            break
        ecran.kill()
        ecran.wait()
        ecran = None
    if ecran is None:
        raise AssertionError("Xvfb n'a pas démarré")
    env["DISPLAY"] = ":" + numero
    os.environ["DISPLAY"] = env["DISPLAY"]
    bus = subprocess.Popen([LANCEUR, "--launch-immediately"], env=env)
    programme = None
    try:
        # Le programme ne cherche le bus d'accessibilité qu'à son démarrage : il doit répondre avant.
        attendre(lambda: subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
                                         "/org/a11y/bus", "org.a11y.Bus.GetAddress"], env=env,
                                        capture_output=True).returncode == 0, quoi="bus d'accessibilité")
        programme = subprocess.Popen([hmmbench, copie], env=env)
        bureau = pyatspi.Registry.getDesktop(0)
        appli = attendre(lambda: next((a for a in bureau if a is not None and "hmmbench" in (a.name or "")), None),
                         quoi="le programme dans l'arbre AT-SPI")

        def element(role, nom, racine=None, contient=False):
            return attendre(lambda: chercher(racine or appli, lambda x: x.getRole() == role and
                                             ((nom in (x.name or "")) if contient else (x.name or "").split("\t")[0] == nom)),
                            quoi="%s « %s »" % (role, nom))

        def presser(x):
            action = x.queryAction()
            noms = [action.getName(i) for i in range(action.nActions)]
            action.doAction(noms.index("press") if "press" in noms else 0)

        # Chaque contrôle montré que le clavier atteint porte un nom.
        sans_nom = []

        def parcourir(x, chemin, profondeur=0):
            if profondeur > 30:
                return
            etat = x.getState()
            role = x.getRoleName()
            if (etat.contains(pyatspi.STATE_FOCUSABLE) and etat.contains(pyatspi.STATE_SHOWING) and not x.name
                    and role not in ("separator", "table cell", "list item", "tree item")):
                sans_nom.append(chemin + "/" + role)
            for i in range(x.childCount):
                parcourir(x.getChildAtIndex(i), chemin + "/" + role, profondeur + 1)

        attendre(lambda: chercher(appli, lambda x: x.name == "Les probabilités"), quoi="fenêtre principale")
        parcourir(appli, "")
        assert not sans_nom, sans_nom

        # Le menu, lu puis actionné : Modèle › Calculer la probabilité › Avec Forward.
        modele = element(pyatspi.ROLE_MENU_ITEM, "Modèle")
        forward = element(pyatspi.ROLE_MENU_ITEM, "Avec Forward", modele)
        # Menus et entrées atteints au clavier : chacun annonce sa touche.
        for x in (modele, forward):
            assert x.queryAction().getKeyBinding(0), x.name
        presser(forward)
        boite = element(pyatspi.ROLE_DIALOG, "(Forward)", appli, contient=True)
        champ = attendre(lambda: chercher(boite, lambda x: x.getRole() == pyatspi.ROLE_TEXT and
                                          "EditableText" in x.get_interfaces()), quoi="champ de la séquence")
        champ.queryEditableText().setTextContents(SEQUENCE)
        lancer = element(pyatspi.ROLE_PUSH_BUTTON, "Lancer le calcul", boite)
        attendre(lambda: lancer.getState().contains(pyatspi.STATE_ENABLED), quoi="bouton actif")
        presser(lancer)
        message = attendre(lambda: next((w for w in appli if w is not None and "Information" in (w.name or "")), None),
                           quoi="message de réussite")
        presser(attendre(lambda: chercher(message, lambda x: x.getRole() == pyatspi.ROLE_PUSH_BUTTON), quoi="Ok"))

        # La ligne de la liste des probabilités, cellule par cellule.
        liste = attendre(lambda: chercher(appli, lambda x: x.name == "Les probabilités" and
                                          "Table" in x.get_interfaces()), quoi="liste des probabilités")
        table = liste.queryTable()
        attendre(lambda: table.nRows >= 1, quoi="une ligne de résultat")
        cases = [table.getAccessibleAt(0, c).name for c in range(table.nColumns)]
        assert cases[0] == SEQUENCE and cases[2] == "Forward", cases
        assert cases[1] == attendu, (cases[1], attendu)

        # Le treillis : Outils › Treillis, onglet du tableau, cases de la dernière colonne.
        presser(element(pyatspi.ROLE_MENU_ITEM, "Treillis"))
        fenetre = attendre(lambda: next((w for w in appli if w is not None and (w.name or "").startswith("Treillis")),
                                        None), quoi="fenêtre du treillis")
        presser(element(pyatspi.ROLE_PAGE_TAB, "Tableau des valeurs", fenetre))
        valeurs = attendre(lambda: chercher(fenetre, lambda x: x.name == "Valeurs du treillis" and
                                            "Table" in x.get_interfaces()), quoi="tableau du treillis").queryTable()
        T = len(SEQUENCE)
        assert valeurs.nColumns == T and valeurs.nRows >= 1, (valeurs.nColumns, valeurs.nRows)
        somme = sum(nombre(valeurs.getAccessibleAt(j, T - 1).name) for j in range(valeurs.nRows))
        assert abs(somme - nombre(attendu)) <= 1e-12 * max(1.0, abs(somme)), (somme, attendu)
        # Une case sélectionnée par l'aide technique : la formule s'annonce, finie par la valeur de
        # la case, avec ce qu'elle lit.
        case = valeurs.getAccessibleAt(1, 1)
        case.queryAction().doAction(0)
        formule = attendre(lambda: chercher(fenetre, lambda x: (x.name or "").startswith("Formule développée : ")),
                           quoi="formule de la case")
        assert formule.name.endswith(" = " + case.name), (formule.name, case.name)
        assert "α2(E2) = [α1(E1)·a(E1,E2) + α1(E2)·a(E2,E2)]·b(E2,b) = " in formule.name, formule.name
        assert formule.description == "Cases lues : α1(E1), α1(E2) ; arcs : E1 → E2, E2 → E2 ; émissions : b(E2,b)", \
            formule.description

        # Le calcul en direct : P(O|λ) et le chemin de Viterbi du panneau sont ceux de hmmcalc,
        # puis suivent un changement du modèle (probabilités tirées, enregistrées) et son annulation.
        def calcul(fichier):
            sortie = lambda c: subprocess.run([hmmcalc, c, fichier, SEQUENCE], env=env, check=True,
                                              capture_output=True, text=True).stdout.split("\n")
            v = sortie("viterbi")
            return [sortie("forward")[0].strip(), v[0].strip(), v[1].strip()]

        presser(element(pyatspi.ROLE_MENU_ITEM, "Calcul en direct"))
        saisie = element(pyatspi.ROLE_TEXT, "Séquences d'observations, une par ligne")
        saisie.queryEditableText().setTextContents(SEQUENCE)
        direct = attendre(lambda: chercher(appli, lambda x: x.name == "Résultats du calcul en direct" and
                                           "Table" in x.get_interfaces()), quoi="résultats du calcul en direct").queryTable()

        def panneau(attendus, quoi):
            lire = lambda: [direct.getAccessibleAt(0, c).name for c in (1, 2, 3)] if direct.nRows >= 1 else None
            try:
                attendre(lambda: lire() == attendus, 5, quoi)
            except AssertionError:
                raise AssertionError("%s : %s au lieu de %s" % (quoi, lire(), attendus))

        avant = calcul(copie)
        panneau(avant, "panneau du modèle ouvert")
        # La boîte de la graine est modale : le programme ne répond à l'action qu'à sa fermeture.
        from gi.repository import Atspi, GLib
        Atspi.set_timeout(1000, 15000)
        try:
            presser(element(pyatspi.ROLE_MENU_ITEM, "Probabilités aléatoires..."))
        except GLib.Error:
            pass
        Atspi.set_timeout(-1, -1)
        tirage = attendre(lambda: next((w for w in appli if w is not None and "Probabilités aléatoires" in (w.name or "")),
                                       None), quoi="boîte du tirage")
        presser(element(pyatspi.ROLE_PUSH_BUTTON, "OK", tirage))
        debut = time.time()
        attendre(lambda: direct.getAccessibleAt(0, 1).name != avant[0], 5, "panneau changé par le tirage")
        presser(element(pyatspi.ROLE_MENU_ITEM, "Enregistrer"))
        apres = calcul(copie)
        assert apres != avant, apres
        panneau(apres, "panneau après le tirage")
        presser(element(pyatspi.ROLE_MENU_ITEM, "Annuler", contient=True))
        panneau(avant, "panneau après l'annulation")
        print("AT-SPI : menu, ligne « %s », %d cases du treillis, une formule et le calcul en direct "
              "(%s, puis %s en %.2f s) lus" % (" | ".join(cases), valeurs.nRows * T, avant[0], apres[0],
                                              time.time() - debut))
        return 0
    finally:
        for p in (programme, bus, ecran):
            if p is not None:
                p.terminate()
                try:
                    p.wait(10)
                except subprocess.TimeoutExpired:
                    p.kill()
        shutil.rmtree(dossier, ignore_errors=True)


def main():
    if os.environ.get("HMM_ATSPI_SESSION") == "1":
        return dans_session(*sys.argv[1:4])
    try:
        import pyatspi  # noqa: F401
    except ImportError:
        print("pyatspi absent (paquet python3-pyatspi) : essai ignoré")
        return IGNORE
    for outil in ("dbus-run-session", "dbus-send", "Xvfb", LANCEUR):
        if not shutil.which(outil):
            print("%s absent : essai ignoré" % outil)
            return IGNORE
    env = dict(os.environ, HMM_ATSPI_SESSION="1")
    return subprocess.call(["dbus-run-session", "--", sys.executable, os.path.abspath(__file__)] + sys.argv[1:4],
                           env=env)


if __name__ == "__main__":
    sys.exit(main())
