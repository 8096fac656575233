#include "PreparerJournee.h"

#include "calendar/Dates.h"

#include <vector>

namespace kip {

bool enPeriodeInactivite(const Personnel& employe, qint32 date)
{
    for (size_t i = 0; i < employe.PERIODE_INACTIVITE_DEBUT.size(); ++i)
        if (employe.PERIODE_INACTIVITE_DEBUT[i] <= date && date <= employe.PERIODE_INACTIVITE_FIN[i])
            return true;
    return false;
}

bool estInactif(const Personnel& employe, qint32 date)
{
    return enPeriodeInactivite(employe, date) || date < employe.DATE_EMBAUCHE || date > employe.DATE_DEBAUCHE;
}

PointVal ligneVide(const Personnel& employe, qint32 date)
{
    PointVal v;
    v.clearPunches();
    v.CARTE = employe.CARTE;
    v.MATRICULE = employe.MATRICULE;
    v.NOM = employe.NOM;
    v.PRENOM = employe.PRENOM;
    v.DATE = date;
    const Semaine s = NumeroSemaine(date);
    v.NUM_SEMAINE = s.numero;
    v.NUM_ANNEE = s.annee;
    return v;
}

ActionJournee decisionJournee(const Personnel& employe, qint32 date, PointVal* ligne)
{
    const bool inactif = estInactif(employe, date);
    if (!ligne)
        return inactif ? ActionJournee::Rien : ActionJournee::Ajouter;
    if (ligne->INACTIF == 0 && inactif) {
        ligne->INACTIF = 1;
        return ActionJournee::Reecrire;
    }
    if (ligne->INACTIF != 0 && !inactif) {
        ligne->INACTIF = 0;
        return ActionJournee::Reecrire;
    }
    return ActionJournee::Rien;
}

namespace {

FileError appliquer(RecordFile<PointVal>& journees, const Personnel& employe, qint32 date, PointVal* ligne)
{
    switch (decisionJournee(employe, date, ligne)) {
    case ActionJournee::Rien:
        return {};
    case ActionJournee::Ajouter: {
        PointVal v = ligneVide(employe, date);
        return journees.add(v);
    }
    case ActionJournee::Reecrire:
        return journees.put(*ligne);
    }
    return {};
}

} // namespace

FileError PreparerJournee(RecordFile<PointVal>& journees, const Personnel& employe, qint32 date)
{
    PointVal ligne;
    ligne.CARTE = employe.CARTE;
    ligne.DATE = date;
    const FileError lu = journees.get(ligne, POV_K_CARTE_DATE);
    if (lu.code == NotFound)
        return appliquer(journees, employe, date, nullptr);
    if (!lu.ok())
        return {};
    return appliquer(journees, employe, date, &ligne);
}

FileError PreparerPeriode(RecordFile<PointVal>& journees, const Personnel& employe, qint32 premier, qint32 dernier)
{
    if (dernier < premier)
        return {};
    // The lines of the period, read in one ordered range: at most one per day.
    std::vector<PointVal> lignes(size_t(dernier - premier + 1));
    std::vector<bool> presentes(lignes.size(), false);
    PointVal from;
    from.CARTE = employe.CARTE;
    from.DATE = premier;
    PointVal to = from;
    to.DATE = dernier;
    Cursor<PointVal> c = journees.read(POV_K_CARTE_DATE, from, Direction::Forward, &to);
    PointVal v;
    FileError lu;
    while ((lu = c.next(v)).ok()) {
        const size_t i = size_t(v.DATE - premier);
        lignes[i] = v;
        presentes[i] = true;
    }
    if (lu.code != EndOfFile)
        return {}; // a read error leaves the file as it is
    c = Cursor<PointVal>();
    for (qint32 d = premier; d <= dernier; ++d) {
        const size_t i = size_t(d - premier);
        if (FileError e = appliquer(journees, employe, d, presentes[i] ? &lignes[i] : nullptr); !e.ok())
            return e;
    }
    return {};
}

} // namespace kip
