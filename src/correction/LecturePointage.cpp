#include "LecturePointage.h"

#include "data/Cp1252.h"

#include <QStringList>
#include <algorithm>

namespace kip {

namespace {

constexpr int Lot = 64; // lines read at a time while the attendance filter leaves some out

const QStringList& colonnesCle(OrdrePointage ordre)
{
    static const QStringList dateCarte{QStringLiteral("DATE"), QStringLiteral("CARTE")};
    static const QStringList dateNom{QStringLiteral("DATE"), QStringLiteral("NOM"), QStringLiteral("PRENOM")};
    static const QStringList carte{QStringLiteral("CARTE")};
    static const QStringList nom{QStringLiteral("NOM"), QStringLiteral("PRENOM")};
    switch (ordre) {
    case OrdrePointage::DateCarte:
        return dateCarte;
    case OrdrePointage::DateNom:
        return dateNom;
    case OrdrePointage::CarteDate:
        return carte; // the employee; the date follows within it
    case OrdrePointage::NomDate:
        break;
    }
    return nom;
}

// Every line read is a whole record, in the columns that Cursor reads; the range and the inactivity flag are
// tested by the file (?1 to ?4).
QString selection()
{
    return QStringLiteral("SELECT rowid, ROWVER, %1 FROM POINTVAL.POINTVAL WHERE INACTIF = 0 AND DATE BETWEEN ?1 AND "
                          "?2 AND CARTE BETWEEN ?3 AND ?4")
        .arg(tableOf<PointVal>().columnList());
}

QString liste(const QStringList& colonnes, bool descendant = false)
{
    QStringList l;
    for (const QString& c : colonnes)
        l << (descendant ? c + QStringLiteral(" DESC") : c);
    return l.join(QStringLiteral(", "));
}

QString marques(int premier, int nombre)
{
    QStringList l;
    for (int i = 0; i < nombre; ++i)
        l << QStringLiteral("?%1").arg(premier + i);
    return l.join(QStringLiteral(", "));
}

QString comparaison(LecturePointage::Depart depart, Direction sens)
{
    const bool avant = sens == Direction::Forward;
    if (depart == LecturePointage::Depart::Apres)
        return avant ? QStringLiteral(">") : QStringLiteral("<");
    return avant ? QStringLiteral(">=") : QStringLiteral("<=");
}

int punchesRemplis(const PunchLine& u)
{
    return int(std::count_if(u.begin(), u.begin() + PunchSlotsUsed, [](qint16 v) { return v >= 0; }));
}

int pairesCompletes(const PunchLine& u)
{
    int n = 0;
    for (int i = 0; i + 1 < PunchSlotsUsed; i += 2)
        if (u[size_t(i)] >= 0 && u[size_t(i + 1)] >= 0)
            ++n;
    return n;
}

} // namespace

QChar codePresence(Presence presence)
{
    static const char codes[] = {'T', 'P', 'A', '=', '~', 'I'};
    return QLatin1Char(codes[static_cast<int>(presence)]);
}

bool passePresence(Presence presence, const PunchLine& utilisateur, int nombre)
{
    const int punches = punchesRemplis(utilisateur);
    const int paires = pairesCompletes(utilisateur);
    const bool pair = punches % 2 == 0;
    switch (presence) {
    case Presence::Tous:
        return true;
    case Presence::Presence:
        return punches > 0;
    case Presence::Absence:
        return punches == 0;
    case Presence::PairsEgal:
        return 2 * paires == nombre && pair; // pairs = N / 2, exactly
    case Presence::PairsDifferent:
        return paires >= 1 && 2 * paires != nombre && pair;
    case Presence::Impairs:
        return !pair;
    }
    return true;
}

LecturePointage::LecturePointage(Database& db, OrdrePointage ordre, const PlagePointage& plage)
    : m_db(db), m_ordre(ordre), m_plage(plage), m_fichier(db), m_employes(db)
{
}

FileError LecturePointage::verifier()
{
    if (FileError e = m_fichier.open(); !e.ok())
        return e;
    if (FileError e = m_employes.open(); !e.ok())
        return e;
    const QStringList& cols = colonnesCle(m_ordre);
    const QString sql =
        selection() +
        QStringLiteral(" AND (%1) > (%2) ORDER BY %1 LIMIT 1").arg(liste(cols), marques(5, int(cols.size())));
    if (const Statement st = m_db.prepare(sql); !st.valid())
        return st.error();
    return {};
}

void LecturePointage::lier(Statement& st, int premier, const PointVal& cle, const QStringList& colonnes) const
{
    int i = premier;
    for (const QString& c : colonnes) {
        if (c == QLatin1String("DATE"))
            st.bind(i++, qint64(cle.DATE));
        else if (c == QLatin1String("CARTE"))
            st.bind(i++, qint64(cle.CARTE));
        else if (c == QLatin1String("NOM"))
            st.bind(i++, clipField(cle.NOM, 20));
        else
            st.bind(i++, clipField(cle.PRENOM, 15));
    }
}

FileError LecturePointage::tester(const PointVal& ligne, bool& passe)
{
    passe = true;
    if (m_plage.presence == Presence::Tous)
        return {};
    if (!m_employeLu || ligne.CARTE != m_carteLue) {
        Personnel p;
        p.CARTE = ligne.CARTE;
        const FileError e = m_employes.get(p, PER_K_CARTE);
        if (!e.ok() && e.code != NotFound)
            return e;
        m_nombre = e.ok() ? p.NOMBRE : 0; // a missing employee counts as N = 0
        m_carteLue = ligne.CARTE;
        m_employeLu = true;
        ++m_employesLus;
    }
    passe = passePresence(m_plage.presence, ligne.POINTAGE_UTILISATEUR, m_nombre);
    return {};
}

FileError LecturePointage::lireCle(const PointVal* cle, Depart depart, Direction sens, int n,
                                   std::vector<PointVal>& out)
{
    const QStringList& cols = colonnesCle(m_ordre);
    const bool descendant = sens == Direction::Backward;
    PointVal ancre = cle ? *cle : PointVal{};
    while (int(out.size()) < n) {
        const bool bout = depart == Depart::Bout;
        const int marqueLimite = 5 + (bout ? 0 : int(cols.size()));
        QString sql = selection();
        if (!bout)
            sql += QStringLiteral(" AND (%1) %2 (%3)")
                       .arg(liste(cols), comparaison(depart, sens), marques(5, int(cols.size())));
        sql += QStringLiteral(" ORDER BY %1 LIMIT ?%2").arg(liste(cols, descendant)).arg(marqueLimite);
        Statement st = m_db.prepare(sql);
        if (!st.valid())
            return st.error();
        st.bind(1, m_plage.dateDebut);
        st.bind(2, m_plage.dateFin);
        st.bind(3, m_plage.carteDebut);
        st.bind(4, m_plage.carteFin);
        if (!bout)
            lier(st, 5, ancre, cols);
        const int reste = n - int(out.size());
        const int limite = m_plage.presence == Presence::Tous ? reste : std::max(reste, Lot);
        st.bind(marqueLimite, limite);
        Cursor<PointVal> c(std::move(st));
        c.setDatabase(&m_db, QStringLiteral("POINTVAL"));
        int lues = 0;
        PointVal v;
        FileError lu;
        while (int(out.size()) < n && (lu = c.next(v)).ok()) {
            ++lues;
            ancre = v;
            bool passe = true;
            if (FileError e = tester(v, passe); !e.ok())
                return e;
            if (passe)
                out.push_back(v);
        }
        if (!lu.ok() && lu.code != EndOfFile)
            return lu;
        if (lues < limite)
            break; // the end of the order
        depart = Depart::Apres;
    }
    return {};
}

FileError LecturePointage::lireEmploye(const PointVal& groupe, qint32 date, Depart depart, Direction sens, int n,
                                       std::vector<PointVal>& out)
{
    const QStringList& cols = colonnesCle(m_ordre);
    const int nbCols = int(cols.size());
    QStringList egalites;
    for (int i = 0; i < nbCols; ++i)
        egalites << QStringLiteral("%1 = ?%2").arg(cols[i]).arg(5 + i);
    const int marqueDate = 5 + nbCols;
    const int marqueLimite = 6 + nbCols;
    qint32 depuis = date;
    while (int(out.size()) < n) {
        const QString sql = selection() + QStringLiteral(" AND %1 AND DATE %2 ?%3 ORDER BY DATE%4 LIMIT ?%5")
                                              .arg(egalites.join(QStringLiteral(" AND ")), comparaison(depart, sens))
                                              .arg(marqueDate)
                                              .arg(sens == Direction::Backward ? QStringLiteral(" DESC") : QString())
                                              .arg(marqueLimite);
        Statement st = m_db.prepare(sql);
        if (!st.valid())
            return st.error();
        st.bind(1, m_plage.dateDebut);
        st.bind(2, m_plage.dateFin);
        st.bind(3, m_plage.carteDebut);
        st.bind(4, m_plage.carteFin);
        lier(st, 5, groupe, cols);
        st.bind(marqueDate, depuis);
        const int reste = n - int(out.size());
        const int limite = m_plage.presence == Presence::Tous ? reste : std::max(reste, Lot);
        st.bind(marqueLimite, limite);
        Cursor<PointVal> c(std::move(st));
        c.setDatabase(&m_db, QStringLiteral("POINTVAL"));
        int lues = 0;
        PointVal v;
        FileError lu;
        while (int(out.size()) < n && (lu = c.next(v)).ok()) {
            ++lues;
            depuis = v.DATE;
            bool passe = true;
            if (FileError e = tester(v, passe); !e.ok())
                return e;
            if (passe)
                out.push_back(v);
        }
        if (!lu.ok() && lu.code != EndOfFile)
            return lu;
        if (lues < limite)
            break; // the employee's last line in the range
        depart = Depart::Apres;
    }
    return {};
}

FileError LecturePointage::employeVoisin(const PointVal* groupe, Depart depart, Direction sens, PointVal& out,
                                         bool* trouve)
{
    *trouve = false;
    const QStringList& cols = colonnesCle(m_ordre);
    const bool parCarte = m_ordre == OrdrePointage::CarteDate;
    // In card order the employees are those of the card range; in name order the card range is tested on the
    // lines.
    const int premiereCle = parCarte ? 3 : 1;
    const bool depuisCle = groupe && depart != Depart::Bout;
    QStringList conditions;
    if (parCarte)
        conditions << QStringLiteral("CARTE BETWEEN ?1 AND ?2");
    if (depuisCle)
        conditions << QStringLiteral("(%1) %2 (%3)")
                          .arg(liste(cols), comparaison(depart, sens), marques(premiereCle, int(cols.size())));
    QString sql = QStringLiteral("SELECT CARTE, NOM, PRENOM FROM POINTVAL.POINTVAL");
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY %1 LIMIT 1").arg(liste(cols, sens == Direction::Backward));
    Statement st = m_db.prepare(sql);
    if (!st.valid())
        return st.error();
    if (parCarte) {
        st.bind(1, m_plage.carteDebut);
        st.bind(2, m_plage.carteFin);
    }
    if (depuisCle)
        lier(st, premiereCle, *groupe, cols);
    const int rc = st.step();
    if (rc == SqliteRow) {
        out = PointVal{};
        out.CARTE = qint16(st.columnInt(0));
        out.NOM = st.columnText(1);
        out.PRENOM = st.columnText(2);
        *trouve = true;
        return {};
    }
    if (rc == SqliteDone)
        return {};
    return m_db.errorFrom(rc);
}

FileError LecturePointage::parEmployes(PointVal groupe, qint32 date, Depart depart, Direction sens, int n,
                                       std::vector<PointVal>& out)
{
    if (FileError e = lireEmploye(groupe, date, depart, sens, n, out); !e.ok())
        return e;
    const qint32 bord = sens == Direction::Forward ? m_plage.dateDebut : m_plage.dateFin;
    while (int(out.size()) < n) {
        PointVal suivant;
        bool trouve = false;
        if (FileError e = employeVoisin(&groupe, Depart::Apres, sens, suivant, &trouve); !e.ok())
            return e;
        if (!trouve)
            break;
        groupe = suivant;
        if (FileError e = lireEmploye(groupe, bord, Depart::Depuis, sens, n, out); !e.ok())
            return e;
    }
    return {};
}

FileError LecturePointage::voisins(const PointVal& ancre, Direction sens, int n, std::vector<PointVal>& out)
{
    out.clear();
    if (FileError e = verifier(); !e.ok())
        return e;
    if (parDate())
        return lireCle(&ancre, Depart::Apres, sens, n, out);
    return parEmployes(ancre, ancre.DATE, Depart::Apres, sens, n, out);
}

FileError LecturePointage::depuis(const PointVal& cle, int n, std::vector<PointVal>& out)
{
    out.clear();
    if (FileError e = verifier(); !e.ok())
        return e;
    if (parDate())
        return lireCle(&cle, Depart::Depuis, Direction::Forward, n, out);
    return parEmployes(cle, cle.DATE, Depart::Depuis, Direction::Forward, n, out);
}

FileError LecturePointage::premiers(int n, std::vector<PointVal>& out)
{
    return bout(Direction::Forward, n, out);
}

FileError LecturePointage::derniers(int n, std::vector<PointVal>& out)
{
    return bout(Direction::Backward, n, out);
}

// The first lines (forward) or the last ones (backward): by date straight from the key's end; by employee from
// the first or last employee, at the start or end of the date range.
FileError LecturePointage::bout(Direction sens, int n, std::vector<PointVal>& out)
{
    out.clear();
    if (FileError e = verifier(); !e.ok())
        return e;
    if (parDate())
        return lireCle(nullptr, Depart::Bout, sens, n, out);
    PointVal employe;
    bool trouve = false;
    if (FileError e = employeVoisin(nullptr, Depart::Bout, sens, employe, &trouve); !e.ok() || !trouve)
        return e;
    const qint32 date = sens == Direction::Forward ? m_plage.dateDebut : m_plage.dateFin;
    return parEmployes(employe, date, Depart::Depuis, sens, n, out);
}

} // namespace kip
