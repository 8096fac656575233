// The day lines' reads of the punch list and the reports.
#include "DayLineReads.h"

#include "Cp1252.h"

#include <QStringList>

namespace kip {

namespace daylinereads {

const QString LinesLabel = QStringLiteral("POINTVAL");

const QString& selectLines()
{
    static const QString sql =
        QStringLiteral("SELECT rowid, ROWVER, %1 FROM POINTVAL.POINTVAL ").arg(tableOf<PointVal>().columnList());
    return sql;
}

// The active lines of the list's range: $1 to $4.
const QString& selectActive()
{
    static const QString sql =
        selectLines() + QStringLiteral("WHERE INACTIF = 0 AND DATE BETWEEN $1 AND $2 AND CARTE BETWEEN $3 AND $4");
    return sql;
}

// The key columns of a list order; for the orders led by the employee, the employee's part (the date follows).
const QStringList& orderColumns(DayLineOrder order)
{
    static const QStringList dateCard{QStringLiteral("DATE"), QStringLiteral("CARTE")};
    static const QStringList dateName{QStringLiteral("DATE"), QStringLiteral("NOM"), QStringLiteral("PRENOM")};
    static const QStringList card{QStringLiteral("CARTE")};
    static const QStringList name{QStringLiteral("NOM"), QStringLiteral("PRENOM")};
    switch (order) {
    case DayLineOrder::DateCard:
        return dateCard;
    case DayLineOrder::DateName:
        return dateName;
    case DayLineOrder::CardDate:
        return card;
    case DayLineOrder::NameDate:
        break;
    }
    return name;
}

QString columnList(const QStringList& columns, bool descending = false)
{
    QStringList l;
    for (const QString& c : columns)
        l << (descending ? c + QStringLiteral(" DESC") : c);
    return l.join(QStringLiteral(", "));
}

QString params(int first, int count)
{
    QStringList l;
    for (int i = 0; i < count; ++i)
        l << QStringLiteral("$%1").arg(first + i);
    return l.join(QStringLiteral(", "));
}

QString comparison(ReadStart start, Direction direction)
{
    const bool forward = direction == Direction::Forward;
    if (start == ReadStart::After)
        return forward ? QStringLiteral(">") : QStringLiteral("<");
    return forward ? QStringLiteral(">=") : QStringLiteral("<=");
}

void bindColumns(Statement& st, int first, const PointVal& key, const QStringList& columns)
{
    int i = first;
    for (const QString& c : columns) {
        if (c == QLatin1String("DATE"))
            st.bind(i++, qint64(key.DATE));
        else if (c == QLatin1String("CARTE"))
            st.bind(i++, qint64(key.CARTE));
        else if (c == QLatin1String("NOM"))
            st.bind(i++, clipField(key.NOM, 20));
        else
            st.bind(i++, clipField(key.PRENOM, 15));
    }
}

void bindRange(Statement& st, const ActiveLineRange& range)
{
    st.bind(1, range.firstDate);
    st.bind(2, range.lastDate);
    st.bind(3, range.firstCard);
    st.bind(4, range.lastCard);
}

// A cursor over a prepared statement, or one that answers its first read with why it could not be prepared.
Cursor<PointVal> cursorOf(Database& db, Statement st)
{
    const FileError e = st.valid() ? FileError{} : detail::labelled(st.error(), LinesLabel);
    Cursor<PointVal> c(std::move(st));
    c.setDatabase(&db, LinesLabel);
    c.setError(e);
    return c;
}

QString activeLinesSql(DayLineOrder order, ReadStart start, Direction direction)
{
    const QStringList& cols = orderColumns(order);
    QString sql = selectActive();
    int limit = 5;
    if (start != ReadStart::End) {
        sql += QStringLiteral(" AND (%1) %2 (%3)")
                   .arg(columnList(cols), comparison(start, direction), params(5, int(cols.size())));
        limit += int(cols.size());
    }
    return sql +
           QStringLiteral(" ORDER BY %1 LIMIT $%2").arg(columnList(cols, direction == Direction::Backward)).arg(limit);
}

} // namespace daylinereads

using namespace daylinereads;

FileError checkActiveLineReads(Database& db, DayLineOrder order)
{
    if (const Statement st = db.prepare(activeLinesSql(order, ReadStart::After, Direction::Forward)); !st.valid())
        return detail::labelled(st.error(), LinesLabel);
    return {};
}

Cursor<PointVal> readActiveLines(Database& db, DayLineOrder order, const ActiveLineRange& range, ReadStart start,
                                 const PointVal& from, Direction direction, qint64 limit)
{
    Statement st = db.prepare(activeLinesSql(order, start, direction));
    if (st.valid()) {
        const QStringList& cols = orderColumns(order);
        bindRange(st, range);
        if (start != ReadStart::End)
            bindColumns(st, 5, from, cols);
        st.bind(start != ReadStart::End ? 5 + int(cols.size()) : 5, limit);
    }
    return cursorOf(db, std::move(st));
}

Cursor<PointVal> readActiveLinesOf(Database& db, DayLineOrder order, const ActiveLineRange& range,
                                   const PointVal& employee, qint32 date, ReadStart start, Direction direction,
                                   qint64 limit)
{
    const QStringList& cols = orderColumns(order);
    const int n = int(cols.size());
    QStringList equal;
    for (int i = 0; i < n; ++i)
        equal << QStringLiteral("%1 = $%2").arg(cols[i]).arg(5 + i);
    const QString sql =
        selectActive() + QStringLiteral(" AND %1 AND DATE %2 $%3 ORDER BY DATE%4 LIMIT $%5")
                             .arg(equal.join(QStringLiteral(" AND ")), comparison(start, direction))
                             .arg(5 + n)
                             .arg(direction == Direction::Backward ? QStringLiteral(" DESC") : QString())
                             .arg(6 + n);
    Statement st = db.prepare(sql);
    if (st.valid()) {
        bindRange(st, range);
        bindColumns(st, 5, employee, cols);
        st.bind(5 + n, qint64(date));
        st.bind(6 + n, limit);
    }
    return cursorOf(db, std::move(st));
}

Result<std::optional<PointVal>> neighbourOfLines(Database& db, DayLineOrder order, const ActiveLineRange& range,
                                                 ReadStart start, const PointVal* employee, Direction direction)
{
    const QStringList& cols = orderColumns(order);
    // In card order the employees are those of the card range; in name order the card range is tested on the
    // lines.
    const bool byCard = order == DayLineOrder::CardDate;
    const int firstKey = byCard ? 3 : 1;
    const bool fromKey = employee && start != ReadStart::End;
    QStringList conditions;
    if (byCard)
        conditions << QStringLiteral("CARTE BETWEEN $1 AND $2");
    if (fromKey)
        conditions << QStringLiteral("(%1) %2 (%3)")
                          .arg(columnList(cols), comparison(start, direction), params(firstKey, int(cols.size())));
    QString sql = QStringLiteral("SELECT CARTE, NOM, PRENOM FROM POINTVAL.POINTVAL");
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY %1 LIMIT 1").arg(columnList(cols, direction == Direction::Backward));
    Statement st = db.prepare(sql);
    if (!st.valid())
        return detail::labelled(st.error(), LinesLabel);
    if (byCard) {
        st.bind(1, range.firstCard);
        st.bind(2, range.lastCard);
    }
    if (fromKey)
        bindColumns(st, firstKey, *employee, cols);
    const int rc = st.step();
    if (rc == SqliteDone)
        return std::optional<PointVal>();
    if (rc != SqliteRow)
        return detail::stepError(db, rc, LinesLabel);
    PointVal found;
    found.CARTE = qint16(st.columnInt(0));
    found.NOM = st.columnText(1);
    found.PRENOM = st.columnText(2);
    return std::optional<PointVal>(std::move(found));
}

Result<qint64> countSelectedLines(Database& db, const LineSelection& selection, bool activeOnly)
{
    // The unary + (an integer) and the concatenation with an explicit collation (a text) are no longer the
    // column to the planner: the period, read through a key that starts with the date, bounds the count.
    static const char* const Range[] = {"+CARTE", "(NOM || '') COLLATE NOCASE", "(MATRICULE || '') COLLATE NOCASE"};
    const QString sql =
        QStringLiteral("SELECT count(*) FROM POINTVAL.POINTVAL WHERE DATE BETWEEN $1 AND $2 AND %1 "
                       "BETWEEN $3 AND $4%2")
            .arg(QLatin1String(Range[int(selection.key)]), activeOnly ? QStringLiteral(" AND INACTIF = 0") : QString());
    Statement st = db.prepare(sql);
    if (!st.valid())
        return detail::labelled(st.error(), LinesLabel);
    st.bind(1, selection.firstDate);
    st.bind(2, selection.lastDate);
    if (selection.key == EmployeeKey::Card) {
        st.bind(3, selection.firstCard);
        st.bind(4, selection.lastCard);
    } else {
        st.bind(3, selection.firstText);
        st.bind(4, selection.lastText);
    }
    const int rc = st.step();
    if (rc != SqliteRow)
        return detail::stepError(db, rc, LinesLabel);
    return st.columnInt(0);
}

Cursor<PointVal> readAllLines(Database& db, EmployeeKey key)
{
    static const char* const Order[] = {"CARTE, DATE", "NOM, PRENOM, CARTE, DATE", "MATRICULE, CARTE, DATE"};
    return cursorOf(
        db, db.prepare(selectLines() + QStringLiteral("ORDER BY ") + QLatin1String(Order[int(key)]), Rows::Many));
}

Result<std::optional<PointVal>> nextLineGroup(Database& db, const LineSelection& selection, const PointVal* after)
{
    const bool first = after == nullptr;
    Statement st;
    switch (selection.key) {
    case EmployeeKey::Card:
        st = db.prepare(first ? QStringLiteral("SELECT CARTE FROM POINTVAL.POINTVAL WHERE CARTE >= $1 AND CARTE <= "
                                               "$2 ORDER BY CARTE LIMIT 1")
                              : QStringLiteral("SELECT CARTE FROM POINTVAL.POINTVAL WHERE CARTE > $1 AND CARTE <= $2 "
                                               "ORDER BY CARTE LIMIT 1"));
        if (st.valid()) {
            st.bind(1, first ? qint64(selection.firstCard) : qint64(after->CARTE));
            st.bind(2, selection.lastCard);
        }
        break;
    case EmployeeKey::Name:
        st = db.prepare(first ? QStringLiteral("SELECT NOM, PRENOM FROM POINTVAL.POINTVAL WHERE NOM >= $1 AND NOM <= "
                                               "$2 ORDER BY NOM, PRENOM LIMIT 1")
                              : QStringLiteral("SELECT NOM, PRENOM FROM POINTVAL.POINTVAL WHERE (NOM, PRENOM) > ($1, "
                                               "$2) AND NOM <= $3 ORDER BY NOM, PRENOM LIMIT 1"));
        if (st.valid() && first) {
            st.bind(1, selection.firstText);
            st.bind(2, selection.lastText);
        } else if (st.valid()) {
            st.bind(1, after->NOM);
            st.bind(2, after->PRENOM);
            st.bind(3, selection.lastText);
        }
        break;
    case EmployeeKey::Matricule:
        // Blank matricules stay out of the matricule key, which this condition lets the read use.
        st = db.prepare(first ? QStringLiteral("SELECT MATRICULE FROM POINTVAL.POINTVAL WHERE MATRICULE >= $1 AND "
                                               "MATRICULE <= $2 AND MATRICULE <> '' ORDER BY MATRICULE LIMIT 1")
                              : QStringLiteral("SELECT MATRICULE FROM POINTVAL.POINTVAL WHERE MATRICULE > $1 AND "
                                               "MATRICULE <= $2 AND MATRICULE <> '' ORDER BY MATRICULE LIMIT 1"));
        if (st.valid()) {
            st.bind(1, first ? selection.firstText : after->MATRICULE);
            st.bind(2, selection.lastText);
        }
        break;
    }
    if (!st.valid())
        return detail::labelled(st.error(), LinesLabel);
    const int rc = st.step();
    if (rc == SqliteDone)
        return std::optional<PointVal>();
    if (rc != SqliteRow)
        return detail::stepError(db, rc, LinesLabel);
    PointVal group;
    switch (selection.key) {
    case EmployeeKey::Card:
        group.CARTE = qint16(st.columnInt(0));
        break;
    case EmployeeKey::Name:
        group.NOM = st.columnText(0);
        group.PRENOM = st.columnText(1);
        break;
    case EmployeeKey::Matricule:
        group.MATRICULE = st.columnText(0);
        break;
    }
    return std::optional<PointVal>(std::move(group));
}

Cursor<PointVal> readGroupLines(Database& db, const LineSelection& selection, const PointVal& group)
{
    Statement st;
    int period = 2; // the parameter of the period's first day
    switch (selection.key) {
    case EmployeeKey::Card:
        st = db.prepare(selectLines() + QStringLiteral("WHERE CARTE = $1 AND DATE BETWEEN $2 AND $3 ORDER BY DATE"));
        if (st.valid())
            st.bind(1, qint64(group.CARTE));
        break;
    case EmployeeKey::Name:
        st = db.prepare(selectLines() + QStringLiteral("WHERE NOM = $1 AND PRENOM = $2 AND DATE BETWEEN $3 AND $4 "
                                                       "ORDER BY CARTE, DATE"));
        if (st.valid()) {
            st.bind(1, group.NOM);
            st.bind(2, group.PRENOM);
        }
        period = 3;
        break;
    case EmployeeKey::Matricule:
        if (group.MATRICULE.isEmpty()) {
            st = db.prepare(selectLines() +
                            QStringLiteral("WHERE MATRICULE = '' AND DATE BETWEEN $1 AND $2 ORDER BY CARTE, DATE"));
            period = 1;
            break;
        }
        st = db.prepare(selectLines() + QStringLiteral("WHERE MATRICULE = $1 AND MATRICULE <> '' AND DATE BETWEEN "
                                                       "$2 AND $3 ORDER BY CARTE, DATE"));
        if (st.valid())
            st.bind(1, group.MATRICULE);
        break;
    }
    if (st.valid()) {
        st.bind(period, selection.firstDate);
        st.bind(period + 1, selection.lastDate);
    }
    return cursorOf(db, std::move(st));
}

} // namespace kip
