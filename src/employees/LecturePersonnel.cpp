#include "LecturePersonnel.h"

#include "data/Cp1252.h"

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

namespace {

// The stretches of an order, each read through one index, in the order's order.
const std::vector<EmployeeStretch>& segmentsDe(OrdrePersonnel ordre)
{
    static const std::vector<EmployeeStretch> nom{EmployeeStretch::Name};
    static const std::vector<EmployeeStretch> carte{EmployeeStretch::Card};
    static const std::vector<EmployeeStretch> matricule{EmployeeStretch::BlankMatricule, EmployeeStretch::Matricule};
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

LecturePersonnel::LecturePersonnel(Database& db, OrdrePersonnel ordre) : m_db(db), m_ordre(ordre), m_fichier(db) {}

FileError LecturePersonnel::verifier()
{
    if (FileError e = m_fichier.open(); !e.ok())
        return e;
    for (EmployeeStretch s : segmentsDe(m_ordre))
        if (FileError e = checkEmployeeStretch(m_db, s); !e.ok())
            return e;
    return {};
}

int LecturePersonnel::segmentDe(const Personnel& p) const
{
    return m_ordre == OrdrePersonnel::Matricule && !matriculeVide(p) ? 1 : 0;
}

FileError LecturePersonnel::completer(int segment, Direction sens, int n, std::vector<Personnel>& out)
{
    const std::vector<EmployeeStretch>& segments = segmentsDe(m_ordre);
    const bool avant = sens == Direction::Forward;
    for (int s = segment; s >= 0 && s < int(segments.size()) && int(out.size()) < n; s += avant ? 1 : -1) {
        const StretchRead lecture = avant ? StretchRead::First : StretchRead::Last;
        if (FileError e = readEmployeeStretch(m_db, segments[size_t(s)], lecture, nullptr, n - qint64(out.size()), out);
            !e.ok())
            return e;
    }
    return {};
}

FileError LecturePersonnel::voisins(const Personnel& ancre, Direction sens, int n, std::vector<Personnel>& out)
{
    out.clear();
    const int s = segmentDe(ancre);
    const bool suivants = sens == Direction::Forward;
    if (FileError e = readEmployeeStretch(m_db, segmentsDe(m_ordre)[size_t(s)],
                                          suivants ? StretchRead::After : StretchRead::Before, &ancre, n, out);
        !e.ok())
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
    if (FileError e = readEmployeeStretch(m_db, segmentsDe(m_ordre)[size_t(s)], StretchRead::From, &cle, n, out);
        !e.ok())
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
