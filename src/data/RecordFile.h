// Typed access to one record file through a Database: reads by key, ordered reads from a key value in
// either direction, reads at a saved position, add, update with the optimistic check, delete, count.
// Every operation returns its error, which names the file.
#pragma once

#include "Cp1252.h"
#include "Database.h"
#include "Pack.h"
#include "Result.h"
#include "TableDecl.h"

#include <bit>
#include <cstring>

namespace kip {

namespace detail {

static_assert(std::endian::native == std::endian::little, "record arrays are stored little-endian");

class Binder
{
public:
    Binder(Statement& st, int first) : m_st(st), m_i(first) {}
    template <class T> void field(const char*, const T& v) { m_st.bind(m_i++, qint64(v)); }
    void text(const char*, const QString& v, int size)
    {
        // The record outlives the statement's run: a text that needs no clipping is bound in place.
        if (isFieldText(v, size))
            m_st.bindStatic(m_i++, v);
        else
            m_st.bind(m_i++, clipField(v, size));
    }
    template <class T, size_t N> void array(const char*, const std::array<T, N>& a)
    {
        m_st.bindBlobStatic(m_i++, a.data(), int(sizeof(T) * N));
    }
    // A text array is stored as in the packed record: each element in Windows-1252, padded with spaces.
    template <size_t N> void textArray(const char* name, const std::array<QString, N>& a, int size)
    {
        QByteArray bytes;
        bytes.reserve(int(N) * size);
        Packer(bytes).textArray(name, a, size);
        m_st.bindBlob(m_i++, bytes.constData(), int(bytes.size()));
    }
    int next() const { return m_i; }

private:
    Statement& m_st;
    int m_i;
};

class Reader
{
public:
    Reader(const Statement& st, int first) : m_st(st), m_i(first) {}
    template <class T> void field(const char*, T& v) { v = static_cast<T>(m_st.columnInt(m_i++)); }
    void text(const char*, QString& v, int) { v = m_st.columnText(m_i++); }
    template <class T, size_t N> void array(const char*, std::array<T, N>& a);
    template <size_t N> void textArray(const char*, std::array<QString, N>& a, int size);

private:
    const Statement& m_st;
    int m_i;
};

const void* columnBlob(const Statement& st, int index, int* size);

template <class T, size_t N> void Reader::array(const char*, std::array<T, N>& a)
{
    int size = 0;
    const void* p = columnBlob(m_st, m_i++, &size);
    a.fill(T{});
    if (p && size > 0) // a blob written by another client may be empty
        std::memcpy(a.data(), p, std::min<size_t>(size_t(size), sizeof(T) * N));
}

template <size_t N> void Reader::textArray(const char*, std::array<QString, N>& a, int size)
{
    int bytes = 0;
    const char* p = static_cast<const char*>(columnBlob(m_st, m_i++, &bytes));
    for (size_t k = 0; k < N; ++k) {
        const int at = int(k) * size;
        a[k] = at + size <= bytes ? clipField(fromCp1252(p + at, size), size) : QString();
    }
}

// Appends the key's fields of a record to a statement, in key order.
class KeyBinder
{
public:
    KeyBinder(Statement& st, const KeyDecl& key, int first) : m_st(st), m_key(key), m_first(first) {}
    template <class T> void field(const char* name, const T& v)
    {
        put(name, [&](int i) { m_st.bind(i, qint64(v)); });
    }
    void text(const char* name, const QString& v, int size)
    {
        put(name, [&](int i) { m_st.bind(i, clipField(v, size)); });
    }
    template <class A> void array(const char*, const A&) {}
    template <class A> void textArray(const char*, const A&, int) {}

private:
    template <class F> void put(const char* name, F&& bindAt)
    {
        for (int k = 0; k < m_key.count; ++k)
            if (std::strcmp(m_key.fields[size_t(k)], name) == 0)
                bindAt(m_first + k);
    }
    Statement& m_st;
    const KeyDecl& m_key;
    int m_first;
};

// The error of a failed step on the file labelled label.
FileError stepError(Database& db, int rc, const QString& label);
// The error with the label of the file it concerns.
FileError labelled(FileError error, const QString& label);
// The error of a statement on the file labelled label that failed: why it could not be prepared, else the step's.
FileError statementError(Database& db, const Statement& st, int rc, const QString& label);
QString duplicateKeyOf(const TableDecl& table, const QString& driverText);

} // namespace detail

enum class Direction
{
    Forward,
    Backward
};

// An ordered read over a key, from a key value (included) in one direction, optionally up to a bound.
template <class R> class [[nodiscard]] Cursor
{
public:
    Cursor() = default;
    explicit Cursor(Statement st) : m_st(std::move(st)) {}
    // Reads the next record in the cursor's order: NoError, or EndOfFile (33) at the end, or another error
    // (a damaged file is 46).
    FileError next(R& rec)
    {
        if (!m_st.valid())
            return m_error.ok() ? makeError(EndOfFile) : m_error;
        const int rc = m_st.step();
        if (rc == SqliteRow) {
            rec.rowid = m_st.columnInt(0);
            rec.version = m_st.columnInt(1);
            detail::Reader r(m_st, 2);
            rec.visit(r);
            return {};
        }
        if (rc == SqliteDone)
            return makeError(EndOfFile);
        return detail::stepError(*m_db, rc, m_label);
    }
    void setDatabase(Database* db, const QString& label)
    {
        m_db = db;
        m_label = label;
    }
    // A cursor whose statement could not be prepared answers its first read with this error.
    void setError(const FileError& error) { m_error = error; }

private:
    Statement m_st;
    Database* m_db = nullptr;
    QString m_label;
    FileError m_error;
};

template <class R> class RecordFile
{
public:
    explicit RecordFile(Database& db) : m_db(db), m_table(tableOf<R>()) {}

    const TableDecl& table() const { return m_table; }
    Database& database() { return m_db; }

    // Attaches the file to the connection (it must exist; the common open creates it).
    FileError open() { return detail::labelled(m_db.attach(R::Label, m_db.pathOf(R::FileName)), m_table.label); }

    // Reads the record whose key fields equal those of rec.
    FileError get(R& rec, const KeyDecl& key)
    {
        Statement st = m_db.prepare(m_table.sqlOf(key).get);
        if (!st.valid())
            return prepareError(st);
        detail::KeyBinder kb(st, key, 1);
        rec.visit(kb);
        return readOne(st, rec);
    }

    // Reads the record at a saved position.
    FileError fetch(R& rec, qint64 rowid)
    {
        Statement st = m_db.prepare(m_table.sql.fetch);
        if (!st.valid())
            return prepareError(st);
        st.bind(1, rowid);
        return readOne(st, rec);
    }

    // The records in the key's order from the key value held by from (included), optionally up to the key
    // value held by to (included).
    Cursor<R> read(const KeyDecl& key, const R& from, Direction dir = Direction::Forward, const R* to = nullptr)
    {
        const bool fwd = dir == Direction::Forward;
        const TableDecl::KeySql& ks = m_table.sqlOf(key);
        Statement st =
            m_db.prepare(to ? (fwd ? ks.readForwardTo : ks.readBackwardTo) : (fwd ? ks.readForward : ks.readBackward));
        Cursor<R> c;
        c.setDatabase(&m_db, m_table.label);
        if (!st.valid()) {
            c.setError(prepareError(st));
            return c;
        }
        detail::KeyBinder kb(st, key, 1);
        const_cast<R&>(from).visit(kb);
        if (to) {
            detail::KeyBinder kt(st, key, 1 + key.count);
            const_cast<R&>(*to).visit(kt);
        }
        c = Cursor<R>(std::move(st));
        c.setDatabase(&m_db, m_table.label);
        return c;
    }

    // All records in file order.
    Cursor<R> readAll()
    {
        Statement st = m_db.prepare(m_table.sql.readAll);
        const FileError e = st.valid() ? FileError{} : prepareError(st);
        Cursor<R> c(std::move(st));
        c.setDatabase(&m_db, m_table.label);
        c.setError(e);
        return c;
    }

    FileError add(R& rec)
    {
        Statement st = m_db.prepare(m_table.sql.insert);
        if (!st.valid())
            return prepareError(st);
        detail::Binder b(st, 1);
        rec.visit(b);
        const int rc = st.step();
        if (rc != SqliteDone)
            return fail(rc, &rec);
        rec.rowid = lastInsertRowid();
        rec.version = 0;
        return {};
    }

    // Writes the record back at its position, unless another writer changed it since it was read.
    FileError put(R& rec)
    {
        Statement st = m_db.prepare(m_table.sql.update);
        if (!st.valid())
            return prepareError(st);
        detail::Binder b(st, 1);
        rec.visit(b);
        st.bind(b.next(), rec.rowid);
        st.bind(b.next() + 1, rec.version);
        const int rc = st.step();
        if (rc != SqliteDone)
            return fail(rc, &rec);
        if (changes() == 0)
            return detail::labelled(makeError(ChangedElsewhere), m_table.label);
        ++rec.version;
        return {};
    }

    FileError remove(const R& rec)
    {
        Statement st = m_db.prepare(m_table.sql.remove);
        if (!st.valid())
            return prepareError(st);
        st.bind(1, rec.rowid);
        const int rc = st.step();
        if (rc != SqliteDone)
            return fail(rc);
        return {};
    }

    // The number of records, or the error that kept the file from being read.
    Result<qint64> records()
    {
        Statement st = m_db.prepare(m_table.sql.count);
        if (!st.valid())
            return prepareError(st);
        const int rc = st.step();
        if (rc != SqliteRow)
            return fail(rc);
        return st.columnInt(0);
    }

    // Reads the first record in file order (the single-record files).
    FileError first(R& rec)
    {
        Cursor<R> c = readAll();
        return c.next(rec);
    }

private:
    FileError readOne(Statement& st, R& rec)
    {
        const int rc = st.step();
        if (rc == SqliteRow) {
            rec.rowid = st.columnInt(0);
            rec.version = st.columnInt(1);
            detail::Reader r(st, 2);
            rec.visit(r);
            return {};
        }
        if (rc == SqliteDone)
            return detail::labelled(makeError(NotFound), m_table.label);
        return fail(rc);
    }
    // A statement that could not be prepared: the file is not what it should be, or is damaged.
    FileError prepareError(const Statement& st) const { return detail::labelled(st.error(), m_table.label); }
    FileError fail(int rc, const R* rec = nullptr)
    {
        FileError e = detail::stepError(m_db, rc, m_table.label);
        if (e.code == DuplicateKey) {
            e.key = rec ? firstDuplicatedKey(*rec) : QString();
            if (e.key.isEmpty())
                e.key = detail::duplicateKeyOf(m_table, e.fileText);
        }
        return e;
    }
    // SQLite names one of the keys that a record duplicates; the user is told the first in key order.
    QString firstDuplicatedKey(const R& rec)
    {
        for (const KeyDecl& key : m_table.keys) {
            if (!key.unique)
                continue;
            QString sql = QStringLiteral("SELECT 1 FROM %1.%1 WHERE (%2) = (%3) AND rowid <> ?%4")
                              .arg(m_table.label, keyColumns(key), keyPlaceholders(key, 1))
                              .arg(key.count + 1);
            if (key.skipBlankMatricule)
                sql += QStringLiteral(" AND MATRICULE <> ''");
            Statement st = m_db.prepare(sql);
            if (!st.valid())
                continue;
            detail::KeyBinder kb(st, key, 1);
            const_cast<R&>(rec).visit(kb);
            st.bind(key.count + 1, rec.rowid);
            if (st.step() == SqliteRow)
                return QLatin1String(key.fullName);
        }
        return QString();
    }
    qint64 lastInsertRowid() const;
    int changes() const;

    Database& m_db;
    const TableDecl& m_table;
};

namespace detail {
qint64 lastInsertRowid(Database& db);
int changes(Database& db);
} // namespace detail

template <class R> qint64 RecordFile<R>::lastInsertRowid() const
{
    return detail::lastInsertRowid(m_db);
}
template <class R> int RecordFile<R>::changes() const
{
    return detail::changes(m_db);
}

} // namespace kip
