#include "Employees.h"

#include "Files.h"
#include "Journal.h"
#include "Messages.h"
#include "RecordFile.h"
#include "RecordsAbsences.h"
#include "Transaction.h"

namespace kip {

bool LinkValues::sameAs(const Personnel& p) const
{
    return CARTE == p.CARTE && MATRICULE == clipField(p.MATRICULE, 10) && NOM == clipField(p.NOM, 20) &&
           PRENOM == clipField(p.PRENOM, 15);
}

namespace {

// Saving an error always rolls the transaction in force back: the message (or the repair of a damaged file)
// comes after, with no file held.
void failAndReport(Transaction& t, int number, const FileError& error, const QString& label)
{
    t.rollback();
    reportFileError(number, error, label);
}

// Writes one record back under a transaction already started; reports as the update paths do.
template <class R> int putRecord(Transaction& t, RecordFile<R>& file, R& rec, const QString& label)
{
    const qint64 version = rec.version;
    const FileError written = file.put(rec);
    if (written.ok())
        return UpdateSaved;
    rec.version = version;
    failAndReport(t, 15, written, label);
    if (written.code != ChangedElsewhere)
        return UpdateFailed;
    // Show the stored values: the station that wrote first wins.
    if (const FileError reread = file.fetch(rec, rec.rowid); !reread.ok())
        rec.version = version;
    return UpdateChangedElsewhere;
}

// Runs one statement with the cards bound as ?1 and ?2 on the absences and on the planned hours.
FileError onCardRecords(Database& db, const char* sqlPattern, qint16 first, qint16 second)
{
    for (const char* label : {Absence::Label, Horaire::Label}) {
        Statement st = db.prepare(QString::fromLatin1(sqlPattern).arg(QLatin1String(label)));
        if (!st.valid())
            return detail::labelled(lastError(), QLatin1String(label));
        st.bind(1, qint64(first));
        if (second)
            st.bind(2, qint64(second));
        if (const int rc = st.step(); rc != 101 /* SQLITE_DONE */)
            return detail::stepError(db, rc, QLatin1String(label));
    }
    return {};
}

// The absences and planned hours of a card belong to the employee that has it: they go with the employee.
FileError dropCardRecords(Database& db, qint16 card)
{
    return onCardRecords(db, "DELETE FROM %1.%1 WHERE CARTE = ?1", card, 0);
}

// They follow a change of card; whatever the new card still held (no employee had it) goes first.
FileError moveCardRecords(Database& db, qint16 from, qint16 to)
{
    if (FileError e = dropCardRecords(db, to); !e.ok())
        return e;
    return onCardRecords(db, "UPDATE %1.%1 SET CARTE = ?2, ROWVER = ROWVER + 1 WHERE CARTE = ?1", from, to);
}

} // namespace

// Appends the journal entry of an employee change inside its transaction; reports and rolls back on failure.
bool journalize(Transaction& t, Journal& entry, int message)
{
    const FileError e = ajouterAuJournal(t, entry);
    if (e.ok())
        return true;
    failAndReport(t, message, e, QStringLiteral("JOURNAL"));
    return false;
}

int updateEmployee(Database& db, Personnel& rec, const LinkValues& saved)
{
    FileUse dayLines(FileId::PointVal);
    FileUse journal(FileId::Journal);
    FileUse absences(FileId::Absence);
    FileUse plannedHours(FileId::Horaire);
    Transaction t(db, {FileId::Personnel, FileId::PointVal, FileId::Journal, FileId::Absence, FileId::Horaire});
    if (!t.ok()) {
        saveError(t.error());
        Message(34, QStringLiteral("Update"), t.error().labelOr(QStringLiteral("PERSONNEL")));
        return UpdateFailed;
    }
    RecordFile<Personnel> employees(db);
    const qint64 version = rec.version;
    // The stored values as they stand under the transaction: those that the write replaces.
    // A record gone meanwhile is left to the write, which reports it as changed by another station.
    Personnel stored;
    if (const FileError read = employees.fetch(stored, rec.rowid); !read.ok() && read.code != NotFound) {
        failAndReport(t, 35, read, QStringLiteral("PERSONNEL"));
        return UpdateFailed;
    }
    const int written = putRecord(t, employees, rec, QStringLiteral("PERSONNEL"));
    if (written != UpdateSaved)
        return written;
    if (!saved.sameAs(rec)) {
        Statement st = db.prepare(QStringLiteral(
            "UPDATE POINTVAL.POINTVAL SET CARTE = ?1, MATRICULE = ?2, NOM = ?3, PRENOM = ?4, ROWVER = ROWVER + 1 "
            "WHERE CARTE = ?5 AND NOM = ?6 AND PRENOM = ?7 AND MATRICULE = ?8"));
        st.bind(1, qint64(rec.CARTE));
        st.bind(2, clipField(rec.MATRICULE, 10));
        st.bind(3, clipField(rec.NOM, 20));
        st.bind(4, clipField(rec.PRENOM, 15));
        st.bind(5, qint64(saved.CARTE));
        st.bind(6, saved.NOM);
        st.bind(7, saved.PRENOM);
        st.bind(8, saved.MATRICULE);
        const int rc = st.valid() ? st.step() : 0;
        if (rc != 101 /* SQLITE_DONE */) {
            const QString label = QStringLiteral("POINTVAL");
            rec.version = version;
            failAndReport(t, 15, st.valid() ? detail::stepError(db, rc, label) : detail::labelled(lastError(), label),
                          label);
            return UpdateFailed;
        }
    }
    if (saved.CARTE != rec.CARTE) {
        if (const FileError moved = moveCardRecords(db, saved.CARTE, rec.CARTE); !moved.ok()) {
            rec.version = version;
            failAndReport(t, 15, moved, moved.label);
            return UpdateFailed;
        }
    }
    {
        Journal entry = entreeJournal(rec);
        differencesEmploye(&stored, &rec, &entry.AVANT, &entry.APRES);
        entry.CAUSE = QString::fromUtf8(CauseJournal::ModificationEmploye);
        if (!entry.AVANT.isEmpty() || !entry.APRES.isEmpty()) {
            if (!journalize(t, entry, 15)) {
                rec.version = version;
                return UpdateFailed;
            }
        }
    }
    const FileError committed = t.commit();
    if (!committed.ok()) {
        rec.version = version;
        reportFileError(15, committed, QStringLiteral("PERSONNEL"));
        return UpdateFailed;
    }
    return UpdateSaved;
}

int deleteEmployee(Database& db, const Personnel& rec)
{
    FileUse dayLines(FileId::PointVal);
    FileUse journal(FileId::Journal);
    FileUse absences(FileId::Absence);
    FileUse plannedHours(FileId::Horaire);
    Transaction t(db, {FileId::Personnel, FileId::PointVal, FileId::Journal, FileId::Absence, FileId::Horaire});
    if (!t.ok()) {
        saveError(t.error());
        Message(34, QStringLiteral("Delete"), t.error().labelOr(QStringLiteral("PERSONNEL")));
        return UpdateFailed;
    }
    RecordFile<Personnel> employees(db);
    Personnel current;
    if (const FileError read = employees.fetch(current, rec.rowid); !read.ok()) {
        failAndReport(t, 35, read, QStringLiteral("PERSONNEL"));
        return UpdateFailed;
    }
    Statement st = db.prepare(QStringLiteral(
        "DELETE FROM POINTVAL.POINTVAL WHERE CARTE = ?1 AND NOM = ?2 AND PRENOM = ?3 AND MATRICULE = ?4"));
    st.bind(1, qint64(current.CARTE));
    st.bind(2, clipField(current.NOM, 20));
    st.bind(3, clipField(current.PRENOM, 15));
    st.bind(4, clipField(current.MATRICULE, 10));
    const int rc = st.valid() ? st.step() : 0;
    if (rc != 101) {
        const QString label = QStringLiteral("POINTVAL");
        failAndReport(t, 17, st.valid() ? detail::stepError(db, rc, label) : detail::labelled(lastError(), label),
                      label);
        return UpdateFailed;
    }
    const int dayLinesDeleted = detail::changes(db);
    if (const FileError dropped = dropCardRecords(db, current.CARTE); !dropped.ok()) {
        failAndReport(t, 17, dropped, dropped.label);
        return UpdateFailed;
    }
    if (const FileError removed = employees.remove(current); !removed.ok()) {
        failAndReport(t, 17, removed, QStringLiteral("PERSONNEL"));
        return UpdateFailed;
    }
    Journal entry = entreeJournal(current);
    differencesEmploye(&current, nullptr, &entry.AVANT, &entry.APRES);
    entry.APRES = QStringLiteral("(supprimé avec %1 ligne(s) de jour)").arg(dayLinesDeleted);
    entry.CAUSE = QString::fromUtf8(CauseJournal::SuppressionEmploye);
    if (!journalize(t, entry, 17))
        return UpdateFailed;
    const FileError committed = t.commit();
    if (!committed.ok()) {
        reportFileError(17, committed, QStringLiteral("PERSONNEL"));
        return UpdateFailed;
    }
    return UpdateSaved;
}

int updateSettings(Database& db, Parametre& rec)
{
    Transaction t(db, {FileId::Parametre});
    if (!t.ok()) {
        saveError(t.error());
        Message(34, QStringLiteral("Update"), QStringLiteral("PARAMETRE"));
        return UpdateFailed;
    }
    RecordFile<Parametre> settings(db);
    const int written = putRecord(t, settings, rec, QStringLiteral("PARAMETRE"));
    if (written != UpdateSaved)
        return written;
    const FileError committed = t.commit();
    if (!committed.ok()) {
        reportFileError(15, committed, QStringLiteral("PARAMETRE"));
        return UpdateFailed;
    }
    return UpdateSaved;
}

} // namespace kip
