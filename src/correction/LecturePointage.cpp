#include "LecturePointage.h"

#include <algorithm>

namespace kip {

namespace {

constexpr int Lot = 64; // lines read at a time while the attendance filter leaves some out

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

DayLineOrder LecturePointage::ordreLu() const
{
    switch (m_ordre) {
    case OrdrePointage::DateCarte:
        return DayLineOrder::DateCard;
    case OrdrePointage::CarteDate:
        return DayLineOrder::CardDate;
    case OrdrePointage::DateNom:
        return DayLineOrder::DateName;
    case OrdrePointage::NomDate:
        break;
    }
    return DayLineOrder::NameDate;
}

ActiveLineRange LecturePointage::plageLue() const
{
    return {m_plage.dateDebut, m_plage.dateFin, m_plage.carteDebut, m_plage.carteFin};
}

FileError LecturePointage::verifier()
{
    if (FileError e = m_fichier.open(); !e.ok())
        return e;
    if (FileError e = m_employes.open(); !e.ok())
        return e;
    return checkActiveLineReads(m_db, ordreLu());
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

FileError LecturePointage::lireLignes(Cursor<PointVal> c, int n, std::vector<PointVal>& out, int& lues,
                                      PointVal& derniere)
{
    lues = 0;
    PointVal v;
    FileError lu;
    while (int(out.size()) < n && (lu = c.next(v)).ok()) {
        ++lues;
        derniere = v;
        bool passe = true;
        if (FileError e = tester(v, passe); !e.ok())
            return e;
        if (passe)
            out.push_back(v);
    }
    if (!lu.ok() && lu.code != EndOfFile)
        return lu;
    return {};
}

FileError LecturePointage::lireCle(const PointVal* cle, ReadStart depart, Direction sens, int n,
                                   std::vector<PointVal>& out)
{
    PointVal ancre = cle ? *cle : PointVal{};
    while (int(out.size()) < n) {
        const int reste = n - int(out.size());
        const int limite = m_plage.presence == Presence::Tous ? reste : std::max(reste, Lot);
        int lues = 0;
        if (FileError e = lireLignes(readActiveLines(m_db, ordreLu(), plageLue(), depart, ancre, sens, limite), n, out,
                                     lues, ancre);
            !e.ok())
            return e;
        if (lues < limite)
            break; // the end of the order
        depart = ReadStart::After;
    }
    return {};
}

FileError LecturePointage::lireEmploye(const PointVal& groupe, qint32 date, ReadStart depart, Direction sens, int n,
                                       std::vector<PointVal>& out)
{
    qint32 depuis = date;
    while (int(out.size()) < n) {
        const int reste = n - int(out.size());
        const int limite = m_plage.presence == Presence::Tous ? reste : std::max(reste, Lot);
        int lues = 0;
        PointVal derniere;
        derniere.DATE = depuis;
        if (FileError e =
                lireLignes(readActiveLinesOf(m_db, ordreLu(), plageLue(), groupe, depuis, depart, sens, limite), n, out,
                           lues, derniere);
            !e.ok())
            return e;
        depuis = derniere.DATE;
        if (lues < limite)
            break; // the employee's last line in the range
        depart = ReadStart::After;
    }
    return {};
}

FileError LecturePointage::employeVoisin(const PointVal* groupe, ReadStart depart, Direction sens, PointVal& out,
                                         bool* trouve)
{
    Result<std::optional<PointVal>> voisin = neighbourOfLines(m_db, ordreLu(), plageLue(), depart, groupe, sens);
    *trouve = false;
    if (!voisin)
        return voisin.error();
    if (*voisin) {
        out = **voisin;
        *trouve = true;
    }
    return {};
}

FileError LecturePointage::parEmployes(PointVal groupe, qint32 date, ReadStart depart, Direction sens, int n,
                                       std::vector<PointVal>& out)
{
    if (FileError e = lireEmploye(groupe, date, depart, sens, n, out); !e.ok())
        return e;
    const qint32 bord = sens == Direction::Forward ? m_plage.dateDebut : m_plage.dateFin;
    while (int(out.size()) < n) {
        PointVal suivant;
        bool trouve = false;
        if (FileError e = employeVoisin(&groupe, ReadStart::After, sens, suivant, &trouve); !e.ok())
            return e;
        if (!trouve)
            break;
        groupe = suivant;
        if (FileError e = lireEmploye(groupe, bord, ReadStart::At, sens, n, out); !e.ok())
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
        return lireCle(&ancre, ReadStart::After, sens, n, out);
    return parEmployes(ancre, ancre.DATE, ReadStart::After, sens, n, out);
}

FileError LecturePointage::depuis(const PointVal& cle, int n, std::vector<PointVal>& out)
{
    out.clear();
    if (FileError e = verifier(); !e.ok())
        return e;
    if (parDate())
        return lireCle(&cle, ReadStart::At, Direction::Forward, n, out);
    return parEmployes(cle, cle.DATE, ReadStart::At, Direction::Forward, n, out);
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
        return lireCle(nullptr, ReadStart::End, sens, n, out);
    PointVal employe;
    bool trouve = false;
    if (FileError e = employeVoisin(nullptr, ReadStart::End, sens, employe, &trouve); !e.ok() || !trouve)
        return e;
    const qint32 date = sens == Direction::Forward ? m_plage.dateDebut : m_plage.dateFin;
    return parEmployes(employe, date, ReadStart::At, sens, n, out);
}

} // namespace kip
