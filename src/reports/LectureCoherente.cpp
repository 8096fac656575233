// The read transaction of a report.
#include "LectureCoherente.h"

namespace kip {

LectureCoherente::LectureCoherente(Database& db) : m_db(db)
{
    for (const auto& [label, nom] : {std::pair{"PERSONNEL", "Personne.tps"}, std::pair{"POINTVAL", "PointVal.tps"}}) {
        m_erreur = db.attach(label, db.pathOf(nom));
        if (!m_erreur.ok())
            return;
    }
    if (db.inTransaction())
        return;
    m_erreur = db.exec(QStringLiteral("BEGIN"));
    if (!m_erreur.ok())
        return;
    m_proprietaire = true;
    // A deferred transaction takes its snapshot of a file at its first read: both are read now, together.
    for (const char* label : {"PERSONNEL", "POINTVAL"}) {
        m_erreur =
            db.exec(QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM %1.%1 LIMIT 1)").arg(QLatin1String(label)));
        if (!m_erreur.ok())
            return;
    }
}

LectureCoherente::~LectureCoherente()
{
    if (m_proprietaire && m_db.inTransaction())
        m_db.rollback();
}

} // namespace kip
