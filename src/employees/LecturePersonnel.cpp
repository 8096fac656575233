#include "LecturePersonnel.h"

#include "data/Cp1252.h"

namespace kip {

namespace {

bool matriculeVide(const Personnel& p)
{
    return clipField(p.MATRICULE, 10).isEmpty();
}

} // namespace

int comparerEmployes(OrdrePersonnel ordre, const Personnel& a, const Personnel& b)
{
    return compareEmployees(cleEmployes(ordre), a, b);
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
