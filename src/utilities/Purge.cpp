#include "Purge.h"

#include "data/Base.h"
#include "data/Database.h"
#include "data/Files.h"
#include "data/Postes.h"
#include "data/PurgeDayLines.h"
#include "data/ServerSetup.h"
#include "soldes/FichierSoldes.h"

namespace kip {

FinPurge LimitePurge(qint32 aujourdhui)
{
    const Semaine s = NumeroSemaine(aujourdhui - JoursGardesAuMoins);
    return {s, DatesDeSemaine(s.numero, s.annee).dimanche};
}

FinPurge FinPurgeChoisie(Semaine choisie, const FinPurge& limite)
{
    const qint32 dimanche = DatesDeSemaine(choisie.numero, choisie.annee).dimanche;
    if (limite.dimanche < dimanche)
        return limite;
    return {choisie, dimanche};
}

QString TexteSemainePurge(Semaine semaine)
{
    return QStringLiteral("Sem.: %1/%2")
        .arg(semaine.numero, 2, 10, QLatin1Char('0'))
        .arg(semaine.annee, 4, 10, QLatin1Char('0'));
}

namespace {

ResultatPurge echec(ResultatPurge r, const FileError& e)
{
    r.etat = ResultatPurge::Etat::Echec;
    r.erreur = e;
    return r;
}

ResultatPurge refus(ResultatPurge r, const FileError& e = {})
{
    r.etat = ResultatPurge::Etat::Refusee;
    r.erreur = e;
    return r;
}

} // namespace

ResultatPurge Purger(const QString& dataDir, qint32 finPurge, const ProgressionPurge& progression)
{
    ResultatPurge r;
    // A window of this program that uses the day lines holds their open count.
    if (openCount(FileId::PointVal) > 0)
        return refus(r);
    {
        // The working-time account counts from its starting balance: set on the day after the purge end, it
        // keeps every balance as it was once the lines before it are gone (and if the purge then fails).
        Database db(dataDir);
        // On the server, a role that may not purge, or another station connected, is refused before anything is
        // written, the carried balances included.
        if (!storeServer().isEmpty()) {
            if (const FileError droits = verifierRoleAdministrateur(db); !droits.ok())
                return echec(r, droits);
            if (const FileError seul = seulSurLeServeur(); !seul.ok())
                return refus(r, seul);
        }
        if (const Result<int> reportes = ReporterSoldesAvantPurge(db, finPurge); !reportes)
            return echec(r, reportes.error());
    }
    const Result<PurgeCounts> faite = purgeDayLines(dataDir, finPurge, progression);
    if (!faite)
        return faite.error().code == Locked ? refus(r, faite.error()) : echec(r, faite.error());
    r.etat = ResultatPurge::Etat::Faite;
    r.supprimees = faite->removed;
    r.gardees = faite->kept;
    r.octetsAvant = faite->bytesBefore;
    r.octetsApres = faite->bytesAfter;
    return r;
}

} // namespace kip
