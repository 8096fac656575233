#include "PreparationEmploye.h"

#include "calendar/Dates.h"
#include "data/Files.h"
#include "data/RecordFile.h"
#include "data/Transaction.h"
#include "punch/PreparerJournee.h"

#include <limits>

namespace kip {

PreparationJournees periodePreparation(Database& db, const Personnel& employe, qint32 aujourdhui)
{
    PreparationJournees p;
    p.premier = aujourdhui - JoursAvantAujourdhui;
    RecordFile<PointVal> journees(db);
    if (p.erreur = journees.open(); !p.erreur.ok())
        return p;
    // The employee's last line: the first in descending key order from the card's highest date.
    PointVal from;
    from.CARTE = employe.CARTE;
    from.DATE = std::numeric_limits<qint32>::max();
    PointVal to;
    to.CARTE = employe.CARTE;
    to.DATE = std::numeric_limits<qint32>::min();
    Cursor<PointVal> c = journees.read(POV_K_CARTE_DATE, from, Direction::Backward, &to);
    PointVal derniere;
    const FileError lu = c.next(derniere);
    if (lu.ok()) {
        p.dernier = derniere.DATE;
    } else if (lu.code == EndOfFile) {
        p.dernier = LundiDimanche(aujourdhui).dimanche;
    } else {
        p.erreur = lu;
    }
    return p;
}

PreparationJournees preparerJourneesEmploye(Database& db, const Personnel& employe, qint32 aujourdhui)
{
    // The write lock first, so that the last line found is still the last one when the lines are written.
    Transaction t(db, {FileId::PointVal});
    if (!t.ok()) {
        PreparationJournees p;
        p.erreur = t.error();
        return p;
    }
    PreparationJournees p = periodePreparation(db, employe, aujourdhui);
    if (!p.erreur.ok())
        return p;
    RecordFile<PointVal> journees(db);
    p.erreur = PreparerPeriode(journees, employe, p.premier, p.dernier);
    if (p.erreur.ok())
        p.erreur = t.commit();
    return p;
}

void TachePreparation::lancer(const QString& dataDir, const Personnel& employe, qint32 aujourdhui)
{
    demarrer([dataDir, employe, aujourdhui](const SuiviTache&) {
        FileUse journees(FileId::PointVal);
        // Handed over once the connection is closed.
        Database db(dataDir);
        const PreparationJournees p = preparerJourneesEmploye(db, employe, aujourdhui);
        return p.erreur.ok() ? QString() : p.erreur.description();
    });
}

} // namespace kip
