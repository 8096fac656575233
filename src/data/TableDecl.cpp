#include "TableDecl.h"

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
    QString sql = QStringLiteral("CREATE %1INDEX %2.%3 ON %4 (%5)")
                      .arg(key.unique ? QStringLiteral("UNIQUE ") : QString(), label, QLatin1String(key.name), label,
                           fields.join(QStringLiteral(", ")));
    if (key.skipBlankMatricule)
        sql += QStringLiteral(" WHERE MATRICULE <> ''");
    return sql;
}

QString TableDecl::columnList() const
{
    QStringList names;
    for (const ColumnDecl& c : columns)
        names << c.name;
    return names.join(QStringLiteral(", "));
}

std::vector<const TableDecl*> allTables()
{
    return {&tableOf<PointVal>(), &tableOf<Personnel>(), &tableOf<OnOff>(), &tableOf<DateSave>(),
            &tableOf<Parametre>()};
}

} // namespace kip
