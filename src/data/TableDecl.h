// The SQLite form of a record declaration: its columns and keys, derived from the record's fields.
#pragma once

#include "Keys.h"

#include <QString>
#include <QStringList>
#include <span>
#include <type_traits>
#include <vector>

namespace kip {

constexpr int LayoutVersion = 1; // PRAGMA user_version of every record file

struct ColumnDecl
{
    enum Kind
    {
        Integer,
        Text,
        Blob
    };
    QString name;
    Kind kind;
    bool wide = false; // an integer beyond 32 bits (bigint on the server)
};

struct TableDecl
{
    QString label;    // table name, also the schema name under which the file is attached
    QString fileName; // "PointVal.tps"
    int recordSize = 0;
    std::vector<ColumnDecl> columns; // the fields in order; the row version follows them
    std::span<const KeyDecl> keys;

    // The statements of the record-file operations, made once per table.
    struct Sql
    {
        QString fetch, readAll, insert, update, remove, count;
    } sql;
    struct KeySql
    {
        QString get, readForward, readBackward, readForwardTo, readBackwardTo;
    };
    std::vector<KeySql> keySql; // in the order of keys
    const KeySql& sqlOf(const KeyDecl& key) const;
    void makeSql();

    QString createTableSql() const;
    QString createIndexSql(const KeyDecl& key) const;
    // The same on the server: the table in a schema of its label, its position an identity column, text that
    // compares ignoring case (the collation kip_nocase), arrays as bytea; a key that is not unique ends with the
    // position, so that its order is the same as on SQLite, whose keys end with the rowid.
    QString createTableSqlServer() const;
    QString createIndexSqlServer(const KeyDecl& key) const;
    QString columnList() const; // "CARTE, MATRICULE, ..."
};

namespace detail {
class ColumnCollector
{
public:
    explicit ColumnCollector(std::vector<ColumnDecl>& out) : m_out(out) {}
    template <class T> void field(const char* name, T&)
    {
        const bool wide = sizeof(T) > 4 || (sizeof(T) == 4 && std::is_unsigned_v<T>);
        m_out.push_back({QLatin1String(name), ColumnDecl::Integer, wide});
    }
    void text(const char* name, QString&, int) { m_out.push_back({QLatin1String(name), ColumnDecl::Text}); }
    template <class A> void array(const char* name, A&) { m_out.push_back({QLatin1String(name), ColumnDecl::Blob}); }
    template <class A> void textArray(const char* name, A&, int)
    {
        m_out.push_back({QLatin1String(name), ColumnDecl::Blob});
    }

private:
    std::vector<ColumnDecl>& m_out;
};
} // namespace detail

template <class R> const TableDecl& tableOf()
{
    static const TableDecl decl = [] {
        TableDecl d;
        d.label = QLatin1String(R::Label);
        d.fileName = QLatin1String(R::FileName);
        d.recordSize = R::Size;
        R r;
        detail::ColumnCollector c(d.columns);
        r.visit(c);
        d.keys = keysOf<R>();
        d.makeSql();
        return d;
    }();
    return decl;
}

// "CARTE, DATE" (each field followed by suffix) and "?1, ?2" for the fields of a key.
QString keyColumns(const KeyDecl& key, const char* suffix = "");
QString keyPlaceholders(const KeyDecl& key, int first);

// Every record declaration, in the order in which the keys are rebuilt: the five data files, then the journal,
// then the absence files.
std::vector<const TableDecl*> allTables();

} // namespace kip
