#include "InitialiserJournees.h"

#include "PreparerJournee.h"
#include "calendar/Dates.h"
#include "data/Postes.h"
#include "data/RecordFile.h"
#include "data/Transaction.h"

#include <limits>
#include <unordered_map>

namespace kip {

namespace {

constexpr int TailleLot = 2000; // writes sent together

// A day line of the period as the decision needs it.
struct Presente
{
    qint64 rowid;
    quint8 inactif;
};

quint64 cle(qint16 carte, qint32 date)
{
    return quint64(quint16(carte)) << 32 | quint32(date);
}

FileError lirePresentes(RecordFile<PointVal>& journees, const PeriodeInitialisation& periode,
                        std::unordered_map<quint64, Presente>* presentes)
{
    PointVal from;
    from.DATE = periode.premier;
    from.CARTE = std::numeric_limits<qint16>::min();
    PointVal to;
    to.DATE = periode.dernier;
    to.CARTE = std::numeric_limits<qint16>::max();
    Cursor<PointVal> c = journees.read(POV_K_DATE_CARTE, from, Direction::Forward, &to);
    PointVal v;
    FileError lu;
    while ((lu = c.next(v)).ok())
        presentes->emplace(cle(v.CARTE, v.DATE), Presente{v.rowid, v.INACTIF});
    return lu.code == EndOfFile ? FileError{} : lu;
}

// The line of the day added or rewritten as the employee's activity wants it, in the batch.
FileError preparer(RecordFile<PointVal>& journees, const Personnel& employe, qint32 date, const Presente* presente,
                   int* enAttente)
{
    PointVal ligne;
    ligne.INACTIF = presente ? presente->inactif : 0;
    switch (decisionJournee(employe, date, presente ? &ligne : nullptr)) {
    case ActionJournee::Rien:
        return {};
    case ActionJournee::Ajouter: {
        PointVal v = ligneVide(employe, date);
        ++*enAttente;
        return journees.addLater(v);
    }
    case ActionJournee::Reecrire: {
        // Rare (an activity that changed): the whole line is read to be written back.
        PointVal stored;
        if (const FileError e = journees.fetch(stored, presente->rowid); !e.ok())
            return e;
        stored.INACTIF = ligne.INACTIF;
        ++*enAttente;
        return journees.putLater(stored);
    }
    }
    return {};
}

} // namespace

PeriodeInitialisation periodeInitialisation(qint32 aujourdhui)
{
    return {LundiDimanche(aujourdhui - 90).lundi, LundiDimanche(aujourdhui).dimanche};
}

ResultatInitialisation InitialiserJournees(Database& db, qint32 aujourdhui,
                                           const ProgressionInitialisation& progression)
{
    ResultatInitialisation r;
    // On the server, another station's initialisation or transfer ends first: the lines it made are read below
    // and not made again.
    const TourJournees tour(db, [&progression](const QString& texte) {
        if (progression)
            progression(0, 0, 0, texte);
    });
    if (!tour.ok()) {
        r.erreur = tour.error();
        return r;
    }
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
    // The lines of the period, read once in date order instead of once per employee: where each one is and
    // whether it is inactive, which is all the decision needs.
    std::unordered_map<quint64, Presente> presentes;
    if (const FileError e = lirePresentes(journees, periode, &presentes); !e.ok()) {
        r.erreur = e;
        return r;
    }
    int enAttente = 0;
    for (const Personnel& p : liste) {
        if (progression)
            progression(r.employes, total, p.CARTE, p.NOM);
        FileError e;
        for (qint32 d = periode.premier; d <= periode.dernier && e.ok(); ++d) {
            const auto it = presentes.find(cle(p.CARTE, d));
            e = preparer(journees, p, d, it == presentes.end() ? nullptr : &it->second, &enAttente);
        }
        // The writes go in batches: one round trip each on a server.
        if (e.ok() && enAttente >= TailleLot) {
            e = journees.flush();
            enAttente = 0;
        }
        if (!e.ok()) {
            r.erreur = e;
            r.employes = 0;
            return r;
        }
        ++r.employes;
    }
    if (const FileError e = journees.flush(); !e.ok()) {
        r.erreur = e;
        r.employes = 0;
        return r;
    }
    r.erreur = t.commit();
    if (!r.erreur.ok())
        r.employes = 0;
    if (progression)
        progression(r.employes, total, 0, QString());
    return r;
}

} // namespace kip
