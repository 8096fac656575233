#include "SauvegardeServeur.h"

#include "Database.h"
#include "Postes.h"

namespace kip {

namespace {

// The day's turn: its own first key ("Kiq"), apart from the registration locks that list the stations.
constexpr int CleSauvegarde = 0x4B6971;
const QString Cles = QStringLiteral("%1, 0").arg(CleSauvegarde);

} // namespace

FileError creerTableSauvegardes(Database& db, const QString& rolePoste)
{
    if (!db.isServer())
        return {};
    FileError e = db.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS DATESAVE.SAUVEGARDES (JOUR integer PRIMARY KEY, "
                                         "POSTE text NOT NULL, REPERTOIRE text NOT NULL, "
                                         "FAITE timestamptz NOT NULL DEFAULT now())"));
    if (e.ok() && !rolePoste.isEmpty())
        e = db.exec(QStringLiteral("GRANT SELECT, INSERT ON DATESAVE.SAUVEGARDES TO %1").arg(rolePoste));
    return e;
}

TourSauvegarde::TourSauvegarde(Database& db, qint32 jour) : m_db(db), m_jour(jour)
{
    if (!db.isServer())
        return;
    qint64 table = 0;
    m_error = db.run(QStringLiteral("SELECT count(*) FROM pg_tables WHERE schemaname = 'datesave' AND "
                                    "tablename = 'sauvegardes'"),
                     {}, &table);
    if (!m_error.ok() || table == 0)
        return;
    qint64 pris = 0;
    m_error = db.run(QStringLiteral("SELECT pg_try_advisory_lock(%1)::int").arg(Cles), {}, &pris);
    if (m_error.ok() && pris == 0) {
        // Another station is copying: its backup will be the day's.
        m_error = db.run(QStringLiteral("SET lock_timeout = %1").arg(AttenteMaxMs));
        if (m_error.ok())
            m_error = db.run(QStringLiteral("SELECT pg_advisory_lock(%1)").arg(Cles));
        (void)db.run(QStringLiteral("SET lock_timeout = %1").arg(Database::DefaultWaitMs));
    }
    m_tenu = m_error.ok();
    if (!m_tenu)
        return;
    Statement st = db.prepare(QStringLiteral("SELECT POSTE, REPERTOIRE FROM DATESAVE.SAUVEGARDES WHERE JOUR = ?1"));
    if (!st.valid()) {
        m_error = st.error();
        return;
    }
    st.bind(1, qint64(jour));
    const int rc = st.step();
    if (rc == SqliteRow)
        m_faite = SauvegardeDuJour{jour, st.columnText(0), st.columnText(1)};
    else if (rc != SqliteDone)
        m_error = db.errorFrom(rc);
    st.reset();
    m_suivie = m_error.ok();
}

TourSauvegarde::~TourSauvegarde()
{
    if (m_tenu)
        (void)m_db.run(QStringLiteral("SELECT pg_advisory_unlock(%1)").arg(Cles));
}

FileError TourSauvegarde::enregistrer(const QString& repertoire)
{
    if (!m_suivie)
        return {};
    return m_db.run(QStringLiteral("INSERT INTO DATESAVE.SAUVEGARDES (JOUR, POSTE, REPERTOIRE) VALUES (?1, ?2, ?3) "
                                   "ON CONFLICT (JOUR) DO NOTHING"),
                    {m_jour, nomPoste(), repertoire});
}

QString texteSauvegardeFaite(const SauvegardeDuJour& s)
{
    return QStringLiteral("Sauvegarde du jour faite par %1 dans %2").arg(s.poste, s.repertoire);
}

} // namespace kip
