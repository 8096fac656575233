#include "LecturePersonnel.h"

#include "data/Cp1252.h"

#include <QStringList>

namespace kip {

namespace {

// A letter of A to Z read as its small letter, as the files' case-blind collation does.
char16_t replie(char16_t u)
{
    return (u >= u'A' && u <= u'Z') ? char16_t(u + (u'a' - u'A')) : u;
}

// UTF-16 code units put in code point order: the surrogates (U+10000 and above) after U+E000 to U+FFFF.
int rangCodePoint(char16_t u)
{
    if (u >= 0xD800)
        return u >= 0xE000 ? u - 0x800 : u + 0x2000;
    return u;
}

QString cleTexte(const Personnel& p, const QString& colonne)
{
    if (colonne == QLatin1String("NOM"))
        return clipField(p.NOM, 20);
    if (colonne == QLatin1String("PRENOM"))
        return clipField(p.PRENOM, 15);
    return clipField(p.MATRICULE, 10);
}

bool matriculeVide(const Personnel& p)
{
    return clipField(p.MATRICULE, 10).isEmpty();
}

} // namespace

int comparerTexte(QStringView a, QStringView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = replie(a[i].unicode());
        const char16_t y = replie(b[i].unicode());
        if (x != y)
            return rangCodePoint(x) < rangCodePoint(y) ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int comparerEmployes(OrdrePersonnel ordre, const Personnel& a, const Personnel& b)
{
    switch (ordre) {
    case OrdrePersonnel::Nom:
        if (const int c = comparerTexte(clipField(a.NOM, 20), clipField(b.NOM, 20)); c != 0)
            return c;
        return comparerTexte(clipField(a.PRENOM, 15), clipField(b.PRENOM, 15));
    case OrdrePersonnel::Carte:
        return a.CARTE == b.CARTE ? 0 : (a.CARTE < b.CARTE ? -1 : 1);
    case OrdrePersonnel::Matricule:
        if (matriculeVide(a) != matriculeVide(b))
            return matriculeVide(a) ? -1 : 1;
        if (matriculeVide(a))
            return a.rowid == b.rowid ? 0 : (a.rowid < b.rowid ? -1 : 1);
        return comparerTexte(clipField(a.MATRICULE, 10), clipField(b.MATRICULE, 10));
    }
    return 0;
}

// One stretch of an order in which one index gives the order: its condition, its key columns and the
// statements that read it.
struct LecturePersonnel::Segment
{
    QStringList colonnes;
    QString apres, avant, depuis, premiers, derniers;

    Segment(const QString& condition, const QStringList& cols) : colonnes(cols)
    {
        QStringList marques, desc;
        for (int i = 0; i < cols.size(); ++i) {
            marques << QStringLiteral("?%1").arg(i + 1);
            desc << cols[i] + QStringLiteral(" DESC");
        }
        const QString table = QStringLiteral("SELECT rowid FROM PERSONNEL.PERSONNEL WHERE ") + condition;
        const QString c = cols.join(QStringLiteral(", "));
        const QString m = marques.join(QStringLiteral(", "));
        const QString asc = QStringLiteral(" ORDER BY ") + c;
        const QString dsc = QStringLiteral(" ORDER BY ") + desc.join(QStringLiteral(", "));
        const QString limite = QStringLiteral(" LIMIT ?%1").arg(cols.size() + 1);
        apres = table + QStringLiteral(" AND (%1) > (%2)").arg(c, m) + asc + limite;
        avant = table + QStringLiteral(" AND (%1) < (%2)").arg(c, m) + dsc + limite;
        depuis = table + QStringLiteral(" AND (%1) >= (%2)").arg(c, m) + asc + limite;
        premiers = table + asc + QStringLiteral(" LIMIT ?1");
        derniers = table + dsc + QStringLiteral(" LIMIT ?1");
    }
};

namespace {

const std::vector<LecturePersonnel::Segment>& segmentsDe(OrdrePersonnel ordre);

} // namespace

LecturePersonnel::LecturePersonnel(Database& db, OrdrePersonnel ordre) : m_db(db), m_ordre(ordre), m_fichier(db) {}

namespace {

const std::vector<LecturePersonnel::Segment>& segmentsDe(OrdrePersonnel ordre)
{
    using S = LecturePersonnel::Segment;
    static const std::vector<S> nom{S(QStringLiteral("1"), {QStringLiteral("NOM"), QStringLiteral("PRENOM")})};
    static const std::vector<S> carte{S(QStringLiteral("1"), {QStringLiteral("CARTE")})};
    // The condition of the second stretch is the one of the matricule index, which it can then use.
    static const std::vector<S> matricule{S(QStringLiteral("MATRICULE = ''"), {QStringLiteral("rowid")}),
                                          S(QStringLiteral("MATRICULE <> ''"), {QStringLiteral("MATRICULE")})};
    switch (ordre) {
    case OrdrePersonnel::Carte:
        return carte;
    case OrdrePersonnel::Matricule:
        return matricule;
    case OrdrePersonnel::Nom:
        break;
    }
    return nom;
}

} // namespace

FileError LecturePersonnel::verifier()
{
    if (FileError e = m_fichier.open(); !e.ok())
        return e;
    for (const Segment& s : segmentsDe(m_ordre))
        for (const QString* sql : {&s.apres, &s.avant, &s.depuis, &s.premiers, &s.derniers})
            if (const Statement st = m_db.prepare(*sql); !st.valid())
                return st.error();
    return {};
}

int LecturePersonnel::segmentDe(const Personnel& p) const
{
    return m_ordre == OrdrePersonnel::Matricule && !matriculeVide(p) ? 1 : 0;
}

FileError LecturePersonnel::lire(const QString& sql, const Personnel* cle, const Segment& s, qint64 limite,
                                 std::vector<Personnel>& out)
{
    if (limite <= 0)
        return {};
    if (FileError e = m_fichier.open(); !e.ok())
        return e;
    std::vector<qint64> positions;
    {
        Statement st = m_db.prepare(sql);
        if (!st.valid())
            return st.error();
        int i = 1;
        if (cle) {
            for (const QString& col : s.colonnes) {
                if (col == QLatin1String("CARTE"))
                    st.bind(i++, qint64(cle->CARTE));
                else if (col == QLatin1String("rowid"))
                    st.bind(i++, cle->rowid);
                else
                    st.bind(i++, cleTexte(*cle, col));
            }
        }
        st.bind(i, limite);
        int rc = 0;
        while ((rc = st.step()) == SqliteRow)
            positions.push_back(st.columnInt(0));
        if (rc != SqliteDone)
            return m_db.errorFrom(rc);
    }
    for (qint64 position : positions) {
        Personnel p;
        const FileError e = m_fichier.fetch(p, position);
        if (e.code == NotFound)
            continue; // deleted by another station between the two reads
        if (!e.ok())
            return e;
        out.push_back(std::move(p));
    }
    return {};
}

FileError LecturePersonnel::completer(int segment, Direction sens, int n, std::vector<Personnel>& out)
{
    const std::vector<Segment>& segments = segmentsDe(m_ordre);
    const bool avant = sens == Direction::Forward;
    for (int s = segment; s >= 0 && s < int(segments.size()) && int(out.size()) < n; s += avant ? 1 : -1) {
        const Segment& seg = segments[size_t(s)];
        if (FileError e = lire(avant ? seg.premiers : seg.derniers, nullptr, seg, n - qint64(out.size()), out); !e.ok())
            return e;
    }
    return {};
}

FileError LecturePersonnel::voisins(const Personnel& ancre, Direction sens, int n, std::vector<Personnel>& out)
{
    out.clear();
    const int s = segmentDe(ancre);
    const Segment& seg = segmentsDe(m_ordre)[size_t(s)];
    const bool suivants = sens == Direction::Forward;
    if (FileError e = lire(suivants ? seg.apres : seg.avant, &ancre, seg, n, out); !e.ok())
        return e;
    return completer(suivants ? s + 1 : s - 1, sens, n, out);
}

FileError LecturePersonnel::depuis(const Personnel& cle, int n, std::vector<Personnel>& out)
{
    out.clear();
    // A blank matricule is below every other: from such a key the order starts at its beginning, unless the
    // key is an employee read from the file, whose position places it among the blank ones.
    if (m_ordre == OrdrePersonnel::Matricule && matriculeVide(cle) && cle.rowid == 0)
        return premiers(n, out);
    const int s = segmentDe(cle);
    const Segment& seg = segmentsDe(m_ordre)[size_t(s)];
    if (FileError e = lire(seg.depuis, &cle, seg, n, out); !e.ok())
        return e;
    return completer(s + 1, Direction::Forward, n, out);
}

FileError LecturePersonnel::premiers(int n, std::vector<Personnel>& out)
{
    out.clear();
    return completer(0, Direction::Forward, n, out);
}

FileError LecturePersonnel::derniers(int n, std::vector<Personnel>& out)
{
    out.clear();
    return completer(int(segmentsDe(m_ordre).size()) - 1, Direction::Backward, n, out);
}

} // namespace kip
