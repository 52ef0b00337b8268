// Bornes des traces : début et fin gardés, milieu compté.
#include "trace/bornes_trace.h"
#include "algorithms/espace.h"

namespace Trace {

namespace {
constexpr int Moitie = InstantsMontres / 2;
}

bool InstantMontre(int k, int T)
{
    return T <= InstantsMontres || k <= Moitie || k > T - Moitie;
}

int PremierOmis(int T)
{
    return T <= InstantsMontres ? 0 : Moitie + 1;
}

int NombreOmis(int T)
{
    return T <= InstantsMontres ? 0 : T - InstantsMontres;
}

QString LigneInstantsOmis(int colonnes, int omis)
{
    return QStringLiteral("<tr><td colspan=\"%1\"><center><i>&nbsp;&hellip; %2 instant%3 omis ici pour que la "
                          "trace reste lisible &hellip;&nbsp;</i></center></td></tr>")
        .arg(colonnes)
        .arg(omis)
        .arg(omis > 1 ? QStringLiteral("s") : QString());
}

QString LigneIterationsOmises(long long omises)
{
    const bool pluriel = omises > 1;
    return QStringLiteral("<p><b><i>&hellip; %1 itération%2 omise%2 ici pour que la trace reste lisible ; "
                          "les dernières itérations suivent.</i></b></p><HR><br>")
        .arg(omises)
        .arg(pluriel ? QStringLiteral("s") : QString());
}

void AjouterIteration(EspaceTravail &e, const QStringList &lignes)
{
    QStringList &j = e.JournalEntrainement;
    EspaceTravail::SuiviJournal &s = e.Suivi;
    if (j.isEmpty())
        s = EspaceTravail::SuiviJournal();
    qsizetype taille = 0;
    for (const QString &l : lignes)
        taille += l.size() + 2; // CR LF dans "APP.txt"
    const qsizetype moitie = TailleJournalMax / 2;

    if (!s.TeteComplete) {
        if (j.isEmpty() || s.TailleTete + taille <= moitie) {
            j << lignes;
            s.TailleTete += taille;
            return;
        }
        s.TeteComplete = true;
        s.DebutQueue = j.size();
    }
    j << lignes;
    s.LignesQueue << lignes.size();
    s.TaillesQueue << taille;
    s.TailleQueue += taille;
    // La plus ancienne itération de la fin laisse sa place ; la dernière reste toujours.
    while (s.LignesQueue.size() > 1 && s.TailleQueue > moitie) {
        if (s.Omises == 0)
            j.insert(s.DebutQueue++, QString());
        j.remove(s.DebutQueue, s.LignesQueue.takeFirst());
        s.TailleQueue -= s.TaillesQueue.takeFirst();
        j[s.DebutQueue - 1] = LigneIterationsOmises(++s.Omises);
    }
}

}
