// The employees' reads of the lists and the reports.
#include "EmployeeReads.h"

#include "Cp1252.h"

#include <QStringList>

namespace kip {

namespace employeereads {

const QString EmployeesLabel = QStringLiteral("PERSONNEL");

const QString& selectEmployees()
{
    static const QString sql =
        QStringLiteral("SELECT rowid, ROWVER, %1 FROM PERSONNEL.PERSONNEL").arg(tableOf<Personnel>().columnList());
    return sql;
}

QStringList keyColumnsOf(EmployeeKey key)
{
    switch (key) {
    case EmployeeKey::Card:
        return {QStringLiteral("CARTE")};
    case EmployeeKey::Name:
        return {QStringLiteral("NOM"), QStringLiteral("PRENOM")};
    case EmployeeKey::Matricule:
        break;
    }
    return {QStringLiteral("MATRICULE")};
}

QString orderBy(const QStringList& columns, bool descending)
{
    QStringList l;
    for (const QString& c : columns)
        l << (descending ? c + QStringLiteral(" DESC") : c);
    return QStringLiteral(" ORDER BY ") + l.join(QStringLiteral(", "));
}

// The statements of one stretch: its condition and key columns, parameters from $1 in the key's order, then the
// limit.
struct Stretch
{
    QStringList columns;
    QString after, before, from, first, last;

    Stretch(const QString& condition, const QStringList& cols) : columns(cols)
    {
        QStringList params;
        for (int i = 0; i < cols.size(); ++i)
            params << QStringLiteral("$%1").arg(i + 1);
        const QString table = QStringLiteral("SELECT rowid FROM PERSONNEL.PERSONNEL WHERE ") + condition;
        const QString c = cols.join(QStringLiteral(", "));
        const QString p = params.join(QStringLiteral(", "));
        const QString asc = orderBy(cols, false);
        const QString desc = orderBy(cols, true);
        const QString limit = QStringLiteral(" LIMIT $%1").arg(cols.size() + 1);
        after = table + QStringLiteral(" AND (%1) > (%2)").arg(c, p) + asc + limit;
        before = table + QStringLiteral(" AND (%1) < (%2)").arg(c, p) + desc + limit;
        from = table + QStringLiteral(" AND (%1) >= (%2)").arg(c, p) + asc + limit;
        first = table + asc + QStringLiteral(" LIMIT $1");
        last = table + desc + QStringLiteral(" LIMIT $1");
    }

    const QString& sql(StretchRead read) const
    {
        switch (read) {
        case StretchRead::After:
            return after;
        case StretchRead::Before:
            return before;
        case StretchRead::From:
            return from;
        case StretchRead::First:
            return first;
        case StretchRead::Last:
            break;
        }
        return last;
    }
};

const Stretch& stretchOf(EmployeeStretch s)
{
    static const Stretch name(QStringLiteral("1 = 1"), {QStringLiteral("NOM"), QStringLiteral("PRENOM")});
    static const Stretch card(QStringLiteral("1 = 1"), {QStringLiteral("CARTE")});
    static const Stretch blank(QStringLiteral("MATRICULE = ''"), {QStringLiteral("rowid")});
    static const Stretch matricule(QStringLiteral("MATRICULE <> ''"), {QStringLiteral("MATRICULE")});
    switch (s) {
    case EmployeeStretch::Name:
        return name;
    case EmployeeStretch::Card:
        return card;
    case EmployeeStretch::BlankMatricule:
        return blank;
    case EmployeeStretch::Matricule:
        break;
    }
    return matricule;
}

void bindKey(Statement& st, const QStringList& columns, const Personnel& key)
{
    int i = 1;
    for (const QString& col : columns) {
        if (col == QLatin1String("CARTE"))
            st.bind(i++, qint64(key.CARTE));
        else if (col == QLatin1String("rowid"))
            st.bind(i++, key.rowid);
        else if (col == QLatin1String("NOM"))
            st.bind(i++, clipField(key.NOM, 20));
        else if (col == QLatin1String("PRENOM"))
            st.bind(i++, clipField(key.PRENOM, 15));
        else
            st.bind(i++, clipField(key.MATRICULE, 10));
    }
}

} // namespace employeereads

using namespace employeereads;

Cursor<Personnel> readEmployeesInOrder(Database& db, EmployeeKey key)
{
    Statement st = db.prepare(selectEmployees() + orderBy(keyColumnsOf(key), false));
    const FileError e = st.valid() ? FileError{} : detail::labelled(st.error(), EmployeesLabel);
    Cursor<Personnel> c(std::move(st));
    c.setDatabase(&db, EmployeesLabel);
    c.setError(e);
    return c;
}

Result<std::optional<Personnel>> endEmployee(Database& db, EmployeeKey key, Direction direction)
{
    Statement st = db.prepare(selectEmployees() + orderBy(keyColumnsOf(key), direction == Direction::Backward) +
                              QStringLiteral(" LIMIT 1"));
    if (!st.valid())
        return detail::labelled(st.error(), EmployeesLabel);
    const int rc = st.step();
    if (rc == SqliteDone)
        return std::optional<Personnel>();
    if (rc != SqliteRow)
        return detail::stepError(db, rc, EmployeesLabel);
    Personnel p;
    p.rowid = st.columnInt(0);
    p.version = st.columnInt(1);
    detail::Reader r(st, 2);
    p.visit(r);
    return std::optional<Personnel>(std::move(p));
}

FileError checkEmployeeStretch(Database& db, EmployeeStretch stretch)
{
    const Stretch& s = stretchOf(stretch);
    for (const QString* sql : {&s.after, &s.before, &s.from, &s.first, &s.last})
        if (const Statement st = db.prepare(*sql); !st.valid())
            return detail::labelled(st.error(), EmployeesLabel);
    return {};
}

FileError readEmployeeStretch(Database& db, EmployeeStretch stretch, StretchRead read, const Personnel* key,
                              qint64 limit, std::vector<Personnel>& out)
{
    if (limit <= 0)
        return {};
    RecordFile<Personnel> file(db);
    if (FileError e = file.open(); !e.ok())
        return e;
    const Stretch& s = stretchOf(stretch);
    const bool fromKey = read != StretchRead::First && read != StretchRead::Last;
    std::vector<qint64> positions;
    {
        Statement st = db.prepare(s.sql(read));
        if (!st.valid())
            return detail::labelled(st.error(), EmployeesLabel);
        if (fromKey && key)
            bindKey(st, s.columns, *key);
        st.bind(fromKey ? int(s.columns.size()) + 1 : 1, limit);
        int rc = 0;
        while ((rc = st.step()) == SqliteRow)
            positions.push_back(st.columnInt(0));
        if (rc != SqliteDone)
            return detail::stepError(db, rc, EmployeesLabel);
    }
    for (qint64 position : positions) {
        Personnel p;
        const FileError e = file.fetch(p, position);
        if (e.code == NotFound)
            continue; // deleted by another station between the two reads
        if (!e.ok())
            return e;
        out.push_back(std::move(p));
    }
    return {};
}

} // namespace kip
