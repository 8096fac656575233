#include "PresenceDuJour.h"

#include "FichierAbsences.h"
#include "HorairesPrevus.h"
#include "calendar/HeureTexte.h"
#include "calendar/JoursFeries.h"
#include "data/Files.h"
#include "data/RecordFile.h"
#include "data/Transaction.h"

#include <QHash>
#include <algorithm>

namespace kip {

namespace {

qint32 mediane(std::vector<qint32> v)
{
    if (v.empty())
        return -1;
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

qint32 dernierPointage(const PunchLine& l)
{
    for (int i = PunchSlotsUsed - 1; i >= 0; --i)
        if (l[size_t(i)] != PunchEmpty)
            return l[size_t(i)];
    return -1;
}

QString heure(qint32 minutes)
{
    return HeureTexte(minutes % MinutesJour).trimmed();
}

} // namespace

qint32 PremierPointage(const PunchLine& l)
{
    for (int i = 0; i < PunchSlotsUsed; ++i)
        if (l[size_t(i)] != PunchEmpty)
            return l[size_t(i)];
    return -1;
}

int NombrePointages(const PunchLine& l)
{
    return int(std::count_if(l.begin(), l.begin() + PunchSlotsUsed, [](qint16 v) { return v != PunchEmpty; }));
}

Result<Presences> LirePresences(Database& db, qint32 aujourdhui, qint32 maintenant)
{
    FileUse personnel(FileId::Personnel), pointval(FileId::PointVal), absences(FileId::Absence),
        types(FileId::TypeAbsence), horaires(FileId::Horaire), reglages(FileId::ReglagesAbsences);
    const Transaction lecture(db,
                              {FileId::Personnel, FileId::PointVal, FileId::TypeAbsence, FileId::Absence,
                               FileId::Horaire, FileId::ReglagesAbsences},
                              Transaction::Lecture);
    if (!lecture.ok())
        return lecture.error();
    Result<ReglagesAbsences> r = LireReglages(db);
    if (!r)
        return r.error();
    Result<HorairesPrevus> h = LireHoraires(db);
    if (!h)
        return h.error();
    Result<std::vector<Absence>> abs = LireAbsences(db, aujourdhui, aujourdhui);
    if (!abs)
        return abs.error();
    QHash<qint16, QStringList> absentsDuJour;
    for (const Absence& a : *abs)
        absentsDuJour[a.CARTE] << (a.partie() == PartieJour::Journee ? a.CODE : TexteAbsence(a));

    // Today's line and the first punches of the weeks before, per card, in one read of the date key.
    QHash<qint16, PunchLine> duJour;
    QHash<qint16, std::vector<qint32>> premiers;
    std::vector<qint32> tousPremiers;
    {
        RecordFile<PointVal> fichier(db);
        PointVal de, a;
        de.DATE = aujourdhui - JoursHistoriquePresence;
        a.DATE = aujourdhui;
        a.CARTE = std::numeric_limits<qint16>::max();
        Cursor<PointVal> c = fichier.read(POV_K_DATE_CARTE, de, Direction::Forward, &a);
        for (;;) {
            PointVal l;
            const FileError e = c.next(l);
            if (e.code == EndOfFile)
                break;
            if (!e.ok())
                return e;
            if (l.DATE == aujourdhui) {
                duJour.insert(l.CARTE, l.POINTAGE_UTILISATEUR);
            } else if (const qint32 p = PremierPointage(l.POINTAGE_UTILISATEUR); p >= 0 && p <= DerniereMinute) {
                premiers[l.CARTE].push_back(p);
                tousPremiers.push_back(p);
            }
        }
    }
    const qint32 habituelStaff = std::max(0, mediane(tousPremiers));
    const JourFerie* ferie = JourFerieDu(aujourdhui, r->ALSACE_MOSELLE != 0);

    Presences p;
    RecordFile<Personnel> fichier(db);
    Cursor<Personnel> c = fichier.read(PER_K_NOM_PRENOM, Personnel{});
    for (;;) {
        Personnel e;
        const FileError err = c.next(e);
        if (err.code == EndOfFile)
            break;
        if (!err.ok())
            return err;
        if (!EnActivite(e, aujourdhui))
            continue;
        PresenceEmploye pe{e.CARTE, QStringLiteral("%1 %2").arg(e.NOM, e.PRENOM).trimmed(), {}};
        const auto ligne = duJour.constFind(e.CARTE);
        const int n = ligne == duJour.constEnd() ? 0 : NombrePointages(*ligne);
        if (n % 2 == 1) {
            pe.court = heure(dernierPointage(*ligne));
            pe.detail = QStringLiteral("depuis %1").arg(pe.court);
            p.presents.push_back(pe);
        } else if (n > 0) {
            pe.court = heure(dernierPointage(*ligne));
            pe.detail = QStringLiteral("parti à %1").arg(pe.court);
            p.partis.push_back(pe);
        } else if (absentsDuJour.contains(e.CARTE) || ferie) {
            pe.detail = absentsDuJour.contains(e.CARTE) ? absentsDuJour.value(e.CARTE).join(QStringLiteral(", "))
                                                        : QString::fromLatin1(CodeFerie);
            pe.court = pe.detail.section(QLatin1Char(' '), 0, 0);
            p.absents.push_back(pe);
        } else if (h->minutes(e, aujourdhui) > 0) {
            const qint32 habituel = premiers.contains(e.CARTE) ? mediane(premiers.value(e.CARTE)) : habituelStaff;
            if (maintenant > habituel + r->MARGE_ATTENDU) {
                pe.court = heure(habituel);
                pe.detail = QStringLiteral("attendu à %1").arg(pe.court);
                p.attendus.push_back(pe);
            } else {
                ++p.aVenir;
            }
        }
    }
    return p;
}

} // namespace kip
