#include "InitialiserJournees.h"

#include "PreparerJournee.h"
#include "calendar/Dates.h"
#include "data/RecordFile.h"

namespace kip {

PeriodeInitialisation periodeInitialisation(qint32 aujourdhui)
{
    return {LundiDimanche(aujourdhui - 90).lundi, LundiDimanche(aujourdhui).dimanche};
}

ResultatInitialisation InitialiserJournees(Database& db, qint32 aujourdhui,
                                           const ProgressionInitialisation& progression)
{
    ResultatInitialisation r;
    RecordFile<Personnel> employes(db);
    RecordFile<PointVal> journees(db);
    if (employes.open() != NoError || journees.open() != NoError) {
        r.erreur = lastError();
        return r;
    }
    const PeriodeInitialisation periode = periodeInitialisation(aujourdhui);
    const int total = int(employes.records());
    // The employees are read first: the day lines are written while no read of PERSONNEL is pending.
    std::vector<Personnel> liste;
    liste.reserve(size_t(total));
    {
        Cursor<Personnel> c = employes.read(PER_K_CARTE, Personnel{});
        Personnel p;
        while (c.next(p) == NoError)
            liste.push_back(p);
    }
    r.erreur = db.stream({QStringLiteral("POINTVAL")});
    if (!r.erreur.ok())
        return r;
    for (const Personnel& p : liste) {
        if (progression)
            progression(r.employes, total, p.CARTE, p.NOM);
        if (PreparerPeriode(journees, p, periode.premier, periode.dernier) != NoError) {
            r.erreur = lastError();
            db.rollback();
            return r;
        }
        ++r.employes;
    }
    r.erreur = db.flush();
    if (progression)
        progression(r.employes, total, 0, QString());
    return r;
}

} // namespace kip
