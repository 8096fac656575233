#include "FichierCorrection.h"

#include "data/Journal.h"
#include "data/RecordFile.h"
#include "data/Transaction.h"
#include "punch/PreparerJournee.h"

#include <algorithm>

namespace kip {

FileError chargerSemaine(Database& db, const Personnel& employe, qint32 lundi, SemaineLue& out)
{
    out = SemaineLue{};
    const qint32 dimanche = lundi + JoursSemaine - 1;
    {
        Transaction t(db, {FileId::PointVal});
        RecordFile<PointVal> journees(db);
        out.preparation = t.error();
        if (t.ok())
            out.preparation = PreparerPeriode(journees, employe, lundi, dimanche);
        if (out.preparation.ok())
            out.preparation = t.commit();
    }
    RecordFile<PointVal> journees(db);
    if (FileError e = journees.open(); !e.ok())
        return e;
    PointVal du;
    du.CARTE = employe.CARTE;
    du.DATE = lundi;
    PointVal au = du;
    au.DATE = dimanche;
    Cursor<PointVal> c = journees.read(POV_K_CARTE_DATE, du, Direction::Forward, &au);
    PointVal v;
    FileError lu;
    while ((lu = c.next(v)).ok())
        if (v.DATE >= lundi && v.DATE <= dimanche)
            out.lignes[size_t(v.DATE - lundi)] = v;
    if (lu.code != EndOfFile)
        return lu;
    return {};
}

namespace {

// The journal entry of a day line whose user punches or total went from avant to what the line now holds;
// nothing when they are the same (a day written back unchanged is no correction).
FileError journaliser(Transaction& t, const PointVal& ligne, const QString& avant, const char* cause)
{
    Journal entree = entreeJournal(ligne);
    entree.AVANT = avant;
    entree.APRES = texteJournee(ligne.POINTAGE_UTILISATEUR, ligne.TOTAL);
    if (entree.APRES == entree.AVANT)
        return {};
    entree.CAUSE = QString::fromUtf8(cause);
    return ajouterAuJournal(t, entree);
}

// Writes one changed day into its line, inside the pass's open transaction: the line is read again by card and
// date just before (for the fields the grid does not write), and written over the version the grid loaded, so
// that a line that another station or a transfer changed since is refused (89) rather than overwritten; its
// journal entry joins the same transaction.
FileError ecrireJournee(Transaction& t, RecordFile<PointVal>& journees, qint16 carte, const EcritureJour& e)
{
    PointVal ligne;
    ligne.CARTE = carte;
    ligne.DATE = e.date;
    if (FileError lu = journees.get(ligne, POV_K_CARTE_DATE); !lu.ok())
        return lu;
    const QString avant = texteJournee(ligne.POINTAGE_UTILISATEUR, ligne.TOTAL);
    ligne.TOTAL = e.total;
    ligne.MODIF = e.modif;
    std::copy(e.utilisateur.begin(), e.utilisateur.end(), ligne.POINTAGE_UTILISATEUR.begin());
    if (e.version)
        ligne.version = *e.version; // the update's own check, atomic on the server, refuses a newer line
    if (FileError ecrit = journees.put(ligne); !ecrit.ok())
        return ecrit;
    return journaliser(t, ligne, avant, CauseJournal::CorrectionJournee);
}

} // namespace

FileError enregistrerSemaine(Database& db, qint16 carte, const std::vector<EcritureJour>& ecritures)
{
    if (ecritures.empty())
        return {};
    FileUse journal(FileId::Journal);
    Transaction t(db, {FileId::PointVal, FileId::Journal});
    if (!t.ok())
        return t.error();
    RecordFile<PointVal> journees(db);
    for (const EcritureJour& e : ecritures) {
        const FileError ecrit = ecrireJournee(t, journees, carte, e);
        if (ecrit.code == NotFound)
            continue; // the line is gone: the day is passed over
        if (!ecrit.ok())
            return ecrit;
    }
    return t.commit();
}

FileError effacerJournee(Database& db, qint16 carte, qint32 date)
{
    FileUse journal(FileId::Journal);
    Transaction t(db, {FileId::PointVal, FileId::Journal});
    if (!t.ok())
        return t.error();
    RecordFile<PointVal> journees(db);
    PointVal ligne;
    ligne.CARTE = carte;
    ligne.DATE = date;
    if (FileError lu = journees.get(ligne, POV_K_CARTE_DATE); !lu.ok())
        return lu;
    const QString avant = texteJournee(ligne.POINTAGE_UTILISATEUR, ligne.TOTAL);
    ligne.POINTAGE_UTILISATEUR.fill(PunchEmpty);
    ligne.TOTAL = 0;
    ligne.MODIF = std::any_of(ligne.POINTAGE_PROGRAMME.begin(), ligne.POINTAGE_PROGRAMME.begin() + PunchSlotsUsed,
                              [](qint16 v) { return v != PunchEmpty; })
                      ? 1
                      : 0;
    if (FileError ecrit = journees.put(ligne); !ecrit.ok())
        return ecrit;
    if (FileError ecrit = journaliser(t, ligne, avant, CauseJournal::EffacementJournee); !ecrit.ok())
        return ecrit;
    return t.commit();
}

FileError employeVoisin(Database& db, OrdrePersonnel ordre, const Personnel& courant, Direction sens, Personnel& out)
{
    LecturePersonnel lecture(db, ordre);
    std::vector<Personnel> trouves;
    if (FileError e = lecture.voisins(courant, sens, 1, trouves); !e.ok())
        return e;
    if (trouves.empty()) {
        const FileError e = sens == Direction::Forward ? lecture.premiers(1, trouves) : lecture.derniers(1, trouves);
        if (!e.ok())
            return e;
    }
    out = trouves.empty() ? courant : trouves.front();
    return {};
}

} // namespace kip
