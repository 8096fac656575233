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

// Reporting an error always rolls the transaction in force back first: the message (or the repair of a damaged
// file) comes after, with no file held.
FileError failAndReport(Transaction& t, int number, const FileError& error, const QString& label)
{
    t.rollback();
    reportFileError(number, error, label);
    return error;
}

// A transaction that could not start: message 34 naming what was asked and the file that could not be had.
FileError reportStart(const Transaction& t, const QString& operation, const QString& label)
{
    Message(34, t.error(), operation, t.error().labelOr(label));
    return t.error();
}

// Writes one record back under a transaction already started; reports as the update paths do.
template <class R> FileError putRecord(Transaction& t, RecordFile<R>& file, R& rec, const QString& label)
{
    const qint64 version = rec.version;
    const FileError written = file.put(rec);
    if (written.ok())
        return written;
    rec.version = version;
    (void)failAndReport(t, 15, written, label);
    if (written.code != ChangedElsewhere)
        return written;
    // Show the stored values: the station that wrote first wins.
    if (const FileError reread = file.fetch(rec, rec.rowid); !reread.ok())
        rec.version = version;
    return written;
}

// Appends the journal entry of an employee change inside its transaction; reports and rolls back on failure.
FileError journalize(Transaction& t, Journal& entry, int message)
{
    const FileError e = ajouterAuJournal(t, entry);
    if (e.ok())
        return e;
    return failAndReport(t, message, e, QStringLiteral("JOURNAL"));
}

// Runs one statement with the cards bound as ?1 and ?2 on the absences and on the planned hours.
FileError onCardRecords(Database& db, const char* sqlPattern, qint16 first, qint16 second)
{
    for (const char* label : {Absence::Label, Horaire::Label}) {
        Statement st = db.prepare(QString::fromLatin1(sqlPattern).arg(QLatin1String(label)));
        if (st.valid()) {
            st.bind(1, qint64(first));
            if (second)
                st.bind(2, qint64(second));
        }
        if (const int rc = st.valid() ? st.step() : 0; rc != SqliteDone)
            return detail::statementError(db, st, rc, QLatin1String(label));
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

FileError updateEmployee(Database& db, Personnel& rec, const LinkValues& saved)
{
    FileUse dayLines(FileId::PointVal);
    FileUse journal(FileId::Journal);
    FileUse absences(FileId::Absence);
    FileUse plannedHours(FileId::Horaire);
    Transaction t(db, {FileId::Personnel, FileId::PointVal, FileId::Journal, FileId::Absence, FileId::Horaire});
    if (!t.ok())
        return reportStart(t, QStringLiteral("Update"), QStringLiteral("PERSONNEL"));
    RecordFile<Personnel> employees(db);
    const qint64 version = rec.version;
    // The stored values as they stand under the transaction: those that the write replaces.
    // A record gone meanwhile is left to the write, which reports it as changed by another station.
    Personnel stored;
    if (const FileError read = employees.fetch(stored, rec.rowid); !read.ok() && read.code != NotFound)
        return failAndReport(t, 35, read, QStringLiteral("PERSONNEL"));
    if (const FileError written = putRecord(t, employees, rec, QStringLiteral("PERSONNEL")); !written.ok())
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
        if (rc != SqliteDone) {
            const QString label = QStringLiteral("POINTVAL");
            rec.version = version;
            return failAndReport(t, 15, detail::statementError(db, st, rc, label), label);
        }
    }
    if (saved.CARTE != rec.CARTE) {
        if (const FileError moved = moveCardRecords(db, saved.CARTE, rec.CARTE); !moved.ok()) {
            rec.version = version;
            return failAndReport(t, 15, moved, moved.label);
        }
    }
    {
        Journal entry = entreeJournal(rec);
        differencesEmploye(&stored, &rec, &entry.AVANT, &entry.APRES);
        entry.CAUSE = QString::fromUtf8(CauseJournal::ModificationEmploye);
        if (!entry.AVANT.isEmpty() || !entry.APRES.isEmpty()) {
            if (const FileError e = journalize(t, entry, 15); !e.ok()) {
                rec.version = version;
                return e;
            }
        }
    }
    const FileError committed = t.commit();
    if (!committed.ok()) {
        rec.version = version;
        reportFileError(15, committed, QStringLiteral("PERSONNEL"));
    }
    return committed;
}

FileError deleteEmployee(Database& db, const Personnel& rec)
{
    FileUse dayLines(FileId::PointVal);
    FileUse journal(FileId::Journal);
    FileUse absences(FileId::Absence);
    FileUse plannedHours(FileId::Horaire);
    Transaction t(db, {FileId::Personnel, FileId::PointVal, FileId::Journal, FileId::Absence, FileId::Horaire});
    if (!t.ok())
        return reportStart(t, QStringLiteral("Delete"), QStringLiteral("PERSONNEL"));
    RecordFile<Personnel> employees(db);
    Personnel current;
    if (const FileError read = employees.fetch(current, rec.rowid); !read.ok())
        return failAndReport(t, 35, read, QStringLiteral("PERSONNEL"));
    Statement st = db.prepare(QStringLiteral(
        "DELETE FROM POINTVAL.POINTVAL WHERE CARTE = ?1 AND NOM = ?2 AND PRENOM = ?3 AND MATRICULE = ?4"));
    st.bind(1, qint64(current.CARTE));
    st.bind(2, clipField(current.NOM, 20));
    st.bind(3, clipField(current.PRENOM, 15));
    st.bind(4, clipField(current.MATRICULE, 10));
    const int rc = st.valid() ? st.step() : 0;
    if (rc != SqliteDone) {
        const QString label = QStringLiteral("POINTVAL");
        return failAndReport(t, 17, detail::statementError(db, st, rc, label), label);
    }
    const int dayLinesDeleted = db.changes();
    if (const FileError dropped = dropCardRecords(db, current.CARTE); !dropped.ok())
        return failAndReport(t, 17, dropped, dropped.label);
    if (const FileError removed = employees.remove(current); !removed.ok())
        return failAndReport(t, 17, removed, QStringLiteral("PERSONNEL"));
    Journal entry = entreeJournal(current);
    differencesEmploye(&current, nullptr, &entry.AVANT, &entry.APRES);
    entry.APRES = QStringLiteral("(supprimé avec %1 ligne(s) de jour)").arg(dayLinesDeleted);
    entry.CAUSE = QString::fromUtf8(CauseJournal::SuppressionEmploye);
    if (const FileError e = journalize(t, entry, 17); !e.ok())
        return e;
    const FileError committed = t.commit();
    if (!committed.ok())
        reportFileError(17, committed, QStringLiteral("PERSONNEL"));
    return committed;
}

FileError updateSettings(Database& db, Parametre& rec)
{
    Transaction t(db, {FileId::Parametre});
    if (!t.ok()) {
        Message(34, t.error(), QStringLiteral("Update"), QStringLiteral("PARAMETRE"));
        return t.error();
    }
    RecordFile<Parametre> settings(db);
    if (const FileError written = putRecord(t, settings, rec, QStringLiteral("PARAMETRE")); !written.ok())
        return written;
    const FileError committed = t.commit();
    if (!committed.ok())
        reportFileError(15, committed, QStringLiteral("PARAMETRE"));
    return committed;
}

} // namespace kip
