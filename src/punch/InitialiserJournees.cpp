#include "InitialiserJournees.h"

#include "PreparerJournee.h"
#include "calendar/Dates.h"
#include "data/RecordFile.h"
#include "data/Transaction.h"

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
    r.erreur = employes.open();
    if (r.erreur.ok())
        r.erreur = journees.open();
    if (!r.erreur.ok())
        return r;
    const PeriodeInitialisation periode = periodeInitialisation(aujourdhui);
    const Result<qint64> nombre = employes.records();
    if (!nombre) {
        r.erreur = nombre.error();
        return r;
    }
    const int total = int(*nombre);
    // The employees are read first: the day lines are written while no read of PERSONNEL is pending.
    std::vector<Personnel> liste;
    liste.reserve(size_t(total));
    {
        Cursor<Personnel> c = employes.read(PER_K_CARTE, Personnel{});
        Personnel p;
        FileError lu;
        while ((lu = c.next(p)).ok())
            liste.push_back(p);
        if (lu.code != EndOfFile) {
            r.erreur = lu;
            return r;
        }
    }
    // One batch: the day lines of every employee are written at once or not at all.
    Transaction t(db, {FileId::PointVal});
    if (!t.ok()) {
        r.erreur = t.error();
        return r;
    }
    for (const Personnel& p : liste) {
        if (progression)
            progression(r.employes, total, p.CARTE, p.NOM);
        if (const FileError e = PreparerPeriode(journees, p, periode.premier, periode.dernier); !e.ok()) {
            r.erreur = e;
            r.employes = 0;
            return r;
        }
        ++r.employes;
    }
    r.erreur = t.commit();
    if (!r.erreur.ok())
        r.employes = 0;
    if (progression)
        progression(r.employes, total, 0, QString());
    return r;
}

} // namespace kip
