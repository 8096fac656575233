#include "Employees.h"

#include "Files.h"
#include "Messages.h"
#include "RecordFile.h"

namespace kip {

bool LinkValues::sameAs(const Personnel& p) const
{
    return CARTE == p.CARTE && MATRICULE == clipField(p.MATRICULE, 10) && NOM == clipField(p.NOM, 20) &&
           PRENOM == clipField(p.PRENOM, 15);
}

namespace {

const QStringList PersonnelAndDays{QStringLiteral("PERSONNEL"), QStringLiteral("POINTVAL")};

void failAndRollBack(Database& db)
{
    saveError(lastError());
    db.rollback();
}

// Writes one record back under a transaction already started; reports as the update paths do.
template <class R> int putRecord(Database& db, RecordFile<R>& file, R& rec, const QString& label)
{
    const qint64 version = rec.version;
    if (file.put(rec) == NoError)
        return UpdateSaved;
    const int code = lastError().code;
    failAndRollBack(db);
    rec.version = version;
    if (code == ChangedElsewhere) {
        Message(15, label);
        // Show the stored values: the station that wrote first wins.
        file.fetch(rec, rec.rowid);
        return UpdateChangedElsewhere;
    }
    Message(15, label);
    return UpdateFailed;
}

} // namespace

int updateEmployee(Database& db, Personnel& rec, const LinkValues& saved)
{
    FileUse dayLines(FileId::PointVal);
    RecordFile<Personnel> employees(db);
    RecordFile<PointVal> days(db);
    employees.open();
    days.open();
    const FileError started = db.begin(PersonnelAndDays);
    if (!started.ok()) {
        saveError(started);
        Message(34, QStringLiteral("Update"), QStringLiteral("PERSONNEL"));
        return UpdateFailed;
    }
    const qint64 version = rec.version;
    const int written = putRecord(db, employees, rec, QStringLiteral("PERSONNEL"));
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
        const int rc = st.step();
        if (rc != 101 /* SQLITE_DONE */) {
            detail::stepError(db, rc);
            failAndRollBack(db);
            rec.version = version;
            Message(15, QStringLiteral("POINTVAL"));
            return UpdateFailed;
        }
    }
    const FileError committed = db.commit();
    if (!committed.ok()) {
        saveError(committed);
        rec.version = version;
        Message(15, QStringLiteral("PERSONNEL"));
        return UpdateFailed;
    }
    return UpdateSaved;
}

int deleteEmployee(Database& db, const Personnel& rec)
{
    FileUse dayLines(FileId::PointVal);
    RecordFile<Personnel> employees(db);
    RecordFile<PointVal> days(db);
    employees.open();
    days.open();
    const FileError started = db.begin(PersonnelAndDays);
    if (!started.ok()) {
        saveError(started);
        Message(34, QStringLiteral("Delete"), QStringLiteral("PERSONNEL"));
        return UpdateFailed;
    }
    Personnel current;
    if (employees.fetch(current, rec.rowid) != NoError) {
        failAndRollBack(db);
        Message(35, QStringLiteral("PERSONNEL"));
        return UpdateFailed;
    }
    Statement st = db.prepare(QStringLiteral(
        "DELETE FROM POINTVAL.POINTVAL WHERE CARTE = ?1 AND NOM = ?2 AND PRENOM = ?3 AND MATRICULE = ?4"));
    st.bind(1, qint64(current.CARTE));
    st.bind(2, clipField(current.NOM, 20));
    st.bind(3, clipField(current.PRENOM, 15));
    st.bind(4, clipField(current.MATRICULE, 10));
    const int rc = st.step();
    if (rc != 101) {
        detail::stepError(db, rc);
        failAndRollBack(db);
        Message(17, QStringLiteral("POINTVAL"));
        return UpdateFailed;
    }
    if (employees.remove(current) != NoError) {
        failAndRollBack(db);
        Message(17, QStringLiteral("PERSONNEL"));
        return UpdateFailed;
    }
    const FileError committed = db.commit();
    if (!committed.ok()) {
        saveError(committed);
        Message(17, QStringLiteral("PERSONNEL"));
        return UpdateFailed;
    }
    return UpdateSaved;
}

int updateSettings(Database& db, Parametre& rec)
{
    RecordFile<Parametre> settings(db);
    settings.open();
    const FileError started = db.begin({QStringLiteral("PARAMETRE")});
    if (!started.ok()) {
        saveError(started);
        Message(34, QStringLiteral("Update"), QStringLiteral("PARAMETRE"));
        return UpdateFailed;
    }
    const int written = putRecord(db, settings, rec, QStringLiteral("PARAMETRE"));
    if (written != UpdateSaved)
        return written;
    const FileError committed = db.commit();
    if (!committed.ok()) {
        saveError(committed);
        Message(15, QStringLiteral("PARAMETRE"));
        return UpdateFailed;
    }
    return UpdateSaved;
}

} // namespace kip
