#include "TableDecl.h"

#include "Journal.h"
#include "RecordsAbsences.h"

#include <cstring>

namespace kip {

QString TableDecl::createTableSql() const
{
    QStringList cols;
    for (const ColumnDecl& c : columns) {
        switch (c.kind) {
        case ColumnDecl::Integer:
            cols << c.name + QStringLiteral(" INTEGER NOT NULL DEFAULT 0");
            break;
        case ColumnDecl::Text:
            cols << c.name + QStringLiteral(" TEXT NOT NULL DEFAULT '' COLLATE NOCASE");
            break;
        case ColumnDecl::Blob:
            cols << c.name + QStringLiteral(" BLOB NOT NULL DEFAULT x''");
            break;
        }
    }
    cols << QStringLiteral("ROWVER INTEGER NOT NULL DEFAULT 0");
    return QStringLiteral("CREATE TABLE %1.%1 (%2)").arg(label, cols.join(QStringLiteral(", ")));
}

QString TableDecl::createIndexSql(const KeyDecl& key) const
{
    QStringList fields;
    for (int i = 0; i < key.count; ++i)
        fields << QLatin1String(key.fields[size_t(i)]);
    QString create = QStringLiteral("CREATE %1INDEX %2.%3 ON %4 (%5)")
                         .arg(key.unique ? QStringLiteral("UNIQUE ") : QString(), label, QLatin1String(key.name), label,
                              fields.join(QStringLiteral(", ")));
    if (key.skipBlankMatricule)
        create += QStringLiteral(" WHERE MATRICULE <> ''");
    return create;
}

QString TableDecl::columnList() const
{
    QStringList names;
    for (const ColumnDecl& c : columns)
        names << c.name;
    return names.join(QStringLiteral(", "));
}

QString keyColumns(const KeyDecl& key, const char* suffix)
{
    QStringList cols;
    for (int i = 0; i < key.count; ++i)
        cols << QLatin1String(key.fields[size_t(i)]) + QLatin1String(suffix);
    return cols.join(QStringLiteral(", "));
}

QString keyPlaceholders(const KeyDecl& key, int first)
{
    QStringList p;
    for (int i = 0; i < key.count; ++i)
        p << QStringLiteral("?%1").arg(first + i);
    return p.join(QStringLiteral(", "));
}

void TableDecl::makeSql()
{
    const QString select = QStringLiteral("SELECT rowid, ROWVER, %2 FROM %1.%1").arg(label, columnList());
    QStringList sets;
    QStringList marks;
    for (const ColumnDecl& c : columns) {
        sets << c.name + QStringLiteral(" = ?");
        marks << QStringLiteral("?");
    }
    const int n = int(columns.size());
    sql.fetch = select + QStringLiteral(" WHERE rowid = ?1");
    sql.readAll = select + QStringLiteral(" ORDER BY rowid");
    sql.insert =
        QStringLiteral("INSERT INTO %1.%1 (%2) VALUES (%3)").arg(label, columnList(), marks.join(QStringLiteral(", ")));
    sql.update = QStringLiteral("UPDATE %1.%1 SET %2, ROWVER = ROWVER + 1 WHERE rowid = ?%3 AND ROWVER = ?%4")
                     .arg(label, sets.join(QStringLiteral(", ")))
                     .arg(n + 1)
                     .arg(n + 2);
    sql.remove = QStringLiteral("DELETE FROM %1.%1 WHERE rowid = ?1").arg(label);
    sql.count = QStringLiteral("SELECT count(*) FROM %1.%1").arg(label);
    keySql.clear();
    for (const KeyDecl& key : keys) {
        KeySql k;
        const QString cols = keyColumns(key);
        const QString from = keyPlaceholders(key, 1);
        const QString to = keyPlaceholders(key, 1 + key.count);
        const QString asc = QStringLiteral(" ORDER BY ") + cols;
        const QString desc = QStringLiteral(" ORDER BY ") + keyColumns(key, " DESC");
        k.get = select + QStringLiteral(" WHERE (%1) = (%2)").arg(cols, from);
        k.readForward = select + QStringLiteral(" WHERE (%1) >= (%2)").arg(cols, from) + asc;
        k.readBackward = select + QStringLiteral(" WHERE (%1) <= (%2)").arg(cols, from) + desc;
        k.readForwardTo = select + QStringLiteral(" WHERE (%1) >= (%2) AND (%1) <= (%3)").arg(cols, from, to) + asc;
        k.readBackwardTo = select + QStringLiteral(" WHERE (%1) <= (%2) AND (%1) >= (%3)").arg(cols, from, to) + desc;
        keySql.push_back(k);
    }
}

const TableDecl::KeySql& TableDecl::sqlOf(const KeyDecl& key) const
{
    for (size_t i = 0; i < keys.size(); ++i)
        if (std::strcmp(keys[i].name, key.name) == 0)
            return keySql[i];
    static const KeySql none;
    return none;
}

std::vector<const TableDecl*> allTables()
{
    return {&tableOf<PointVal>(),  &tableOf<Personnel>(),       &tableOf<OnOff>(),       &tableOf<DateSave>(),
            &tableOf<Parametre>(), &tableOf<Journal>(),         &tableOf<TypeAbsence>(), &tableOf<Absence>(),
            &tableOf<Horaire>(),   &tableOf<ReglagesAbsences>()};
}

} // namespace kip
