#include "SauvegardeServeur.h"

#include "Database.h"

namespace kip {

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
    m_tour.emplace(db, TourServeur::SauvegardeDuJour);
    if (!m_tour->occupe())
        lire();
}

void TourSauvegarde::attendre()
{
    if (!occupe())
        return;
    m_tour->attendre();
    lire();
}

void TourSauvegarde::lire()
{
    m_error = m_tour->error();
    if (!m_error.ok())
        return;
    Statement st = m_db.prepare(QStringLiteral("SELECT POSTE, REPERTOIRE FROM DATESAVE.SAUVEGARDES WHERE JOUR = ?1"));
    if (!st.valid()) {
        m_error = st.error();
        return;
    }
    st.bind(1, qint64(m_jour));
    const int rc = st.step();
    if (rc == SqliteRow)
        m_faite = SauvegardeDuJour{m_jour, st.columnText(0), st.columnText(1)};
    else if (rc != SqliteDone)
        m_error = m_db.errorFrom(rc);
    st.reset();
    m_suivie = m_error.ok();
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
