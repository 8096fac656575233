// Reading the day lines of a report.
#include "LectureJournees.h"

#include "data/Cp1252.h"
#include "data/RecordFile.h"

namespace kip {

namespace {

const QString& selectLignes()
{
    static const QString sql =
        QStringLiteral("SELECT rowid, ROWVER, %1 FROM POINTVAL.POINTVAL ").arg(tableOf<PointVal>().columnList());
    return sql;
}

QString borne(const QString& texte, int taille)
{
    return clipField(texte, taille);
}

} // namespace

int comparerCle(QStringView a, QStringView b)
{
    // Folded to lower case, as the keys' collation folds them: '_' sorts before the letters.
    auto plier = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = plier(a[i].unicode());
        const char16_t y = plier(b[i].unicode());
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

LectureJournees::LectureJournees(Database& db, const ParametresEdition& parametres, Mode mode)
    : m_db(db), m_p(parametres), m_mode(mode)
{
    m_p.nomDebut = borne(m_p.nomDebut, 20);
    m_p.nomFin = borne(m_p.nomFin, 20);
    m_p.matriculeDebut = borne(m_p.matriculeDebut, 10);
    m_p.matriculeFin = borne(m_p.matriculeFin, 10);
}

LectureJournees::~LectureJournees() = default;

bool LectureJournees::dansLaSelection(const PointVal& l, const ParametresEdition& p)
{
    if (l.DATE < p.dateDebut || l.DATE > p.dateFin)
        return false;
    switch (p.tri) {
    case Tri::Numero:
        return l.CARTE >= p.carteDebut && l.CARTE <= p.carteFin;
    case Tri::Nom:
        return comparerCle(borne(p.nomDebut, 20), l.NOM) <= 0 && comparerCle(l.NOM, borne(p.nomFin, 20)) <= 0;
    case Tri::Matricule:
        return comparerCle(borne(p.matriculeDebut, 10), l.MATRICULE) <= 0 &&
               comparerCle(l.MATRICULE, borne(p.matriculeFin, 10)) <= 0;
    }
    return false;
}

FileError LectureJournees::compter(qint64& total)
{
    if (m_mode == Mode::ParEmploye)
        return compterDansLaSelection(total, "");
    total = 0;
    Statement st = m_db.prepare(QStringLiteral("SELECT count(*) FROM POINTVAL.POINTVAL"));
    if (!st.valid())
        return st.error();
    const int rc = st.step();
    if (rc != SqliteRow)
        return m_db.errorFrom(rc);
    total = st.columnInt(0);
    return {};
}

FileError LectureJournees::compterLignes(qint64& total, bool avecInactives)
{
    return compterDansLaSelection(total, avecInactives ? "" : "AND INACTIF = 0");
}

FileError LectureJournees::compterDansLaSelection(qint64& total, const char* condition)
{
    total = 0;
    // The unary + keeps the range column out of the choice of key: the period, read through a key that
    // starts with the date, is what bounds the count.
    static const char* const Colonne[] = {"CARTE", "NOM", "MATRICULE"};
    const int c = m_p.tri == Tri::Numero ? 0 : m_p.tri == Tri::Nom ? 1 : 2;
    Statement st = m_db.prepare(QStringLiteral("SELECT count(*) FROM POINTVAL.POINTVAL WHERE DATE BETWEEN ?1 AND ?2 "
                                               "AND +%1 BETWEEN ?3 AND ?4 %2")
                                    .arg(QLatin1String(Colonne[c]), QLatin1String(condition)));
    if (!st.valid())
        return st.error();
    st.bind(1, m_p.dateDebut);
    st.bind(2, m_p.dateFin);
    switch (m_p.tri) {
    case Tri::Numero:
        st.bind(3, m_p.carteDebut);
        st.bind(4, m_p.carteFin);
        break;
    case Tri::Nom:
        st.bind(3, m_p.nomDebut);
        st.bind(4, m_p.nomFin);
        break;
    case Tri::Matricule:
        st.bind(3, m_p.matriculeDebut);
        st.bind(4, m_p.matriculeFin);
        break;
    }
    const int rc = st.step();
    if (rc != SqliteRow)
        return m_db.errorFrom(rc);
    total = st.columnInt(0);
    return {};
}

FileError LectureJournees::suivante(PointVal& ligne)
{
    if (m_fini)
        return makeError(EndOfFile);
    const FileError e = m_mode == Mode::ParEmploye ? suivanteParEmploye(ligne) : suivanteFichierComplet(ligne);
    if (!e.ok()) {
        m_fini = true;
        m_groupe = Statement();
        m_tout = Statement();
    }
    return e;
}

FileError LectureJournees::lireLigne(Statement& st, PointVal& ligne, bool& trouvee)
{
    const int rc = st.step();
    trouvee = rc == SqliteRow;
    if (trouvee) {
        ligne.rowid = st.columnInt(0);
        ligne.version = st.columnInt(1);
        detail::Reader r(st, 2);
        ligne.visit(r);
        ++m_lus;
        if (m_lu)
            m_lu();
        return {};
    }
    if (rc == SqliteDone)
        return {};
    return m_db.errorFrom(rc);
}

FileError LectureJournees::suivanteFichierComplet(PointVal& ligne)
{
    if (!m_tout.valid()) {
        static const char* const Ordre[] = {"CARTE, DATE", "NOM, PRENOM, CARTE, DATE", "MATRICULE, CARTE, DATE"};
        const int o = m_p.tri == Tri::Numero ? 0 : m_p.tri == Tri::Nom ? 1 : 2;
        m_tout = m_db.prepare(selectLignes() + QStringLiteral("ORDER BY ") + QLatin1String(Ordre[o]));
        if (!m_tout.valid())
            return m_tout.error();
    }
    for (;;) {
        bool trouvee = false;
        if (FileError e = lireLigne(m_tout, ligne, trouvee); !e.ok())
            return e;
        if (!trouvee)
            return makeError(EndOfFile);
        if (dansLaSelection(ligne, m_p))
            return {};
    }
}

FileError LectureJournees::suivanteParEmploye(PointVal& ligne)
{
    for (;;) {
        if (m_groupe.valid()) {
            bool trouvee = false;
            if (FileError e = lireLigne(m_groupe, ligne, trouvee); !e.ok())
                return e;
            if (trouvee)
                return {};
            m_groupe = Statement();
        }
        bool trouve = false;
        if (FileError e = groupeSuivant(trouve); !e.ok())
            return e;
        if (!trouve)
            return makeError(EndOfFile);
    }
}

// Finds the next card (name, matricule) of the range that has day lines, and sets up the reading of its
// lines of the period.
FileError LectureJournees::groupeSuivant(bool& trouve)
{
    trouve = false;
    const bool premier = m_premierGroupe;
    m_premierGroupe = false;
    Statement cle;
    Statement lignes;
    switch (m_p.tri) {
    case Tri::Numero:
        cle = m_db.prepare(premier ? QStringLiteral("SELECT CARTE FROM POINTVAL.POINTVAL WHERE CARTE >= ?1 AND "
                                                    "CARTE <= ?2 ORDER BY CARTE LIMIT 1")
                                   : QStringLiteral("SELECT CARTE FROM POINTVAL.POINTVAL WHERE CARTE > ?1 AND "
                                                    "CARTE <= ?2 ORDER BY CARTE LIMIT 1"));
        if (!cle.valid())
            return cle.error();
        cle.bind(1, premier ? qint64(m_p.carteDebut) : m_carte);
        cle.bind(2, m_p.carteFin);
        break;
    case Tri::Nom:
        cle = m_db.prepare(premier ? QStringLiteral("SELECT NOM, PRENOM FROM POINTVAL.POINTVAL WHERE NOM >= ?1 AND "
                                                    "NOM <= ?3 ORDER BY NOM, PRENOM LIMIT 1")
                                   : QStringLiteral("SELECT NOM, PRENOM FROM POINTVAL.POINTVAL WHERE (NOM, PRENOM) > "
                                                    "(?1, ?2) AND NOM <= ?3 ORDER BY NOM, PRENOM LIMIT 1"));
        if (!cle.valid())
            return cle.error();
        cle.bind(1, premier ? m_p.nomDebut : m_nom);
        cle.bind(2, m_prenom);
        cle.bind(3, m_p.nomFin);
        break;
    case Tri::Matricule:
        // Blank matricules stay out of the keys over the matricule: their lines are asked for apart, first,
        // as a blank sorts before any other.
        if (premier && m_p.matriculeDebut.isEmpty()) {
            m_matricule.clear();
            lignes = m_db.prepare(selectLignes() + QStringLiteral("WHERE MATRICULE = '' AND DATE BETWEEN ?2 AND ?3 "
                                                                  "ORDER BY CARTE, DATE"));
            break;
        }
        cle = m_db.prepare(premier ? QStringLiteral("SELECT MATRICULE FROM POINTVAL.POINTVAL WHERE MATRICULE >= ?1 "
                                                    "AND MATRICULE <= ?2 AND MATRICULE <> '' ORDER BY MATRICULE "
                                                    "LIMIT 1")
                                   : QStringLiteral("SELECT MATRICULE FROM POINTVAL.POINTVAL WHERE MATRICULE > ?1 "
                                                    "AND MATRICULE <= ?2 AND MATRICULE <> '' ORDER BY MATRICULE "
                                                    "LIMIT 1"));
        if (!cle.valid())
            return cle.error();
        cle.bind(1, premier ? m_p.matriculeDebut : m_matricule);
        cle.bind(2, m_p.matriculeFin);
        break;
    }
    if (cle.valid()) {
        const int rc = cle.step();
        if (rc == SqliteDone)
            return {};
        if (rc != SqliteRow)
            return m_db.errorFrom(rc);
        switch (m_p.tri) {
        case Tri::Numero:
            m_carte = cle.columnInt(0);
            lignes = m_db.prepare(selectLignes() +
                                  QStringLiteral("WHERE CARTE = ?1 AND DATE BETWEEN ?2 AND ?3 ORDER BY DATE"));
            if (lignes.valid())
                lignes.bind(1, m_carte);
            break;
        case Tri::Nom:
            m_nom = cle.columnText(0);
            m_prenom = cle.columnText(1);
            lignes = m_db.prepare(selectLignes() + QStringLiteral("WHERE NOM = ?1 AND PRENOM = ?4 AND DATE BETWEEN "
                                                                  "?2 AND ?3 ORDER BY CARTE, DATE"));
            if (lignes.valid()) {
                lignes.bind(1, m_nom);
                lignes.bind(4, m_prenom);
            }
            break;
        case Tri::Matricule:
            m_matricule = cle.columnText(0);
            lignes = m_db.prepare(selectLignes() + QStringLiteral("WHERE MATRICULE = ?1 AND MATRICULE <> '' AND DATE "
                                                                  "BETWEEN ?2 AND ?3 ORDER BY CARTE, DATE"));
            if (lignes.valid())
                lignes.bind(1, m_matricule);
            break;
        }
    }
    if (!lignes.valid())
        return lignes.error();
    lignes.bind(2, m_p.dateDebut);
    lignes.bind(3, m_p.dateFin);
    m_groupe = std::move(lignes);
    trouve = true;
    return {};
}

} // namespace kip
