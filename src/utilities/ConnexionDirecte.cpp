#include "ConnexionDirecte.h"

#include <sqlite3.h>

namespace kip {

ConnexionDirecte::ConnexionDirecte(const QString& chemin, Mode mode, int attenteMs)
{
    const int flags =
        (mode == Lecture ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(chemin.toUtf8().constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        m_erreur =
            errorOfSqlite(rc, m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(rc)));
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        return;
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, attenteMs);
}

ConnexionDirecte::~ConnexionDirecte()
{
    abandonner();
    sqlite3_close_v2(m_db);
}

FileError ConnexionDirecte::erreurDe(int rc) const
{
    return errorOfSqlite(rc, m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(rc)));
}

void ConnexionDirecte::setAttente(int ms)
{
    if (m_db)
        sqlite3_busy_timeout(m_db, ms);
}

void ConnexionDirecte::abandonner()
{
    if (m_db && !sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

FileError ConnexionDirecte::executer(const QString& sql)
{
    if (!m_db)
        return m_erreur;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    return rc == SQLITE_OK ? FileError{} : erreurDe(sqlite3_extended_errcode(m_db));
}

namespace {

int lier(sqlite3_stmt* st, const QVariantList& valeurs)
{
    for (int i = 0; i < valeurs.size(); ++i) {
        const QVariant& v = valeurs[i];
        const int rc =
            v.typeId() == QMetaType::QString
                ? sqlite3_bind_text16(st, i + 1, v.toString().utf16(), int(v.toString().size() * 2), SQLITE_TRANSIENT)
                : sqlite3_bind_int64(st, i + 1, v.toLongLong());
        if (rc != SQLITE_OK)
            return rc;
    }
    return SQLITE_OK;
}

} // namespace

FileError ConnexionDirecte::executer(const QString& sql, const QVariantList& valeurs)
{
    qint64 ignore = 0;
    return entier(sql, &ignore, valeurs);
}

FileError ConnexionDirecte::entier(const QString& sql, qint64* valeur, const QVariantList& valeurs)
{
    *valeur = 0;
    if (!m_db)
        return m_erreur;
    sqlite3_stmt* st = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    int rc = sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &st, nullptr);
    if (rc == SQLITE_OK)
        rc = lier(st, valeurs);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(st);
        if (rc == SQLITE_ROW)
            *valeur = sqlite3_column_int64(st, 0);
        // A statement that returns rows is read to its end, so that it leaves no read pending.
        while (rc == SQLITE_ROW)
            rc = sqlite3_step(st);
    }
    sqlite3_finalize(st);
    return rc == SQLITE_DONE || rc == SQLITE_OK ? FileError{} : erreurDe(rc);
}

} // namespace kip
