#include "RecordFile.h"

#include <sqlite3.h>

namespace kip::detail {

const void* columnBlob(const Statement& st, int index, int* size)
{
    const void* p = sqlite3_column_blob(st.handle(), index);
    *size = sqlite3_column_bytes(st.handle(), index);
    return p;
}

FileError stepError(Database& db, int rc, const QString& label)
{
    const FileError e = db.errorFrom(rc == SQLITE_MISUSE ? rc : sqlite3_extended_errcode(db.handle()));
    return labelled(e.ok() ? makeError(DriverError, rc, QStringLiteral("erreur inattendue")) : e, label);
}

FileError labelled(FileError error, const QString& label)
{
    if (!error.ok())
        error.label = label;
    return error;
}

FileError statementError(Database& db, const Statement& st, int rc, const QString& label)
{
    return st.valid() ? stepError(db, rc, label) : labelled(st.error(), label);
}

QString duplicateKeyOf(const TableDecl& table, const QString& driverText)
{
    // SQLite names the columns: "UNIQUE constraint failed: PERSONNEL.NOM, PERSONNEL.PRENOM".
    const int colon = driverText.indexOf(QLatin1Char(':'));
    QStringList cols;
    for (const QString& part : driverText.mid(colon + 1).split(QLatin1Char(','))) {
        const QString c = part.trimmed();
        cols << c.mid(c.lastIndexOf(QLatin1Char('.')) + 1);
    }
    for (const KeyDecl& k : table.keys) {
        if (!k.unique || k.count != cols.size())
            continue;
        bool same = true;
        for (int i = 0; i < k.count; ++i)
            same = same && cols[i] == QLatin1String(k.fields[size_t(i)]);
        if (same)
            return QLatin1String(k.fullName);
    }
    return QString();
}

qint64 lastInsertRowid(Database& db)
{
    return sqlite3_last_insert_rowid(db.handle());
}
int changes(Database& db)
{
    return sqlite3_changes(db.handle());
}

} // namespace kip::detail
