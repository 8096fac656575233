#include "ModeleAbsences.h"

#include "calendar/Dates.h"
#include "calendar/HeureTexte.h"
#include "data/Files.h"
#include "data/Journal.h"
#include "data/RecordFile.h"
#include "data/Transaction.h"

#include <algorithm>

namespace kip {

namespace {

bool aDesPointages(const PointVal& ligne)
{
    for (int i = 0; i < PunchSlotsUsed; ++i)
        if (ligne.POINTAGE_UTILISATEUR[size_t(i)] != PunchEmpty || ligne.POINTAGE_ORIGINE[size_t(i)] != PunchEmpty)
            return true;
    return false;
}

} // namespace

ChoixAbsences MoisDe(qint32 date, EmployeeKey ordre)
{
    const QDate d = calendarDate(date);
    ChoixAbsences c;
    c.debut = dayNumber(d.year(), d.month(), 1);
    c.fin = c.debut + JoursDuMois(d.month(), d.year()) - 1;
    c.ordre = ordre;
    return c;
}

Result<ModeleAbsences> ModeleAbsences::charger(Database& db, ChoixAbsences choix)
{
    if (choix.fin < choix.debut)
        std::swap(choix.debut, choix.fin);
    choix.fin = std::min(choix.fin, choix.debut + JoursMaxAbsences - 1);
    ModeleAbsences m;
    m.m_choix = choix;
    // The files are opened before the read transaction: a common open must not run inside it.
    FileUse personnel(FileId::Personnel), pointval(FileId::PointVal), types(FileId::TypeAbsence),
        absences(FileId::Absence), horaires(FileId::Horaire), reglages(FileId::ReglagesAbsences);
    const Transaction lecture(db,
                              {FileId::Personnel, FileId::PointVal, FileId::TypeAbsence, FileId::Absence,
                               FileId::Horaire, FileId::ReglagesAbsences},
                              Transaction::Lecture);
    if (!lecture.ok())
        return lecture.error();
    {
        RecordFile<Personnel> fichier(db);
        Personnel de, a;
        de.CARTE = choix.carteDebut;
        a.CARTE = choix.carteFin;
        Cursor<Personnel> c = fichier.read(PER_K_CARTE, de, Direction::Forward, &a);
        for (;;) {
            Personnel p;
            const FileError e = c.next(p);
            if (e.code == EndOfFile)
                break;
            if (!e.ok())
                return e;
            m.m_identites.insert(p.CARTE, p);
            m.m_employes.push_back(std::move(p));
        }
        std::stable_sort(m.m_employes.begin(), m.m_employes.end(), [&](const Personnel& x, const Personnel& y) {
            return compareEmployees(choix.ordre, x, y) < 0;
        });
    }
    Result<std::vector<TypeAbsence>> t = LireTypes(db);
    if (!t)
        return t.error();
    m.m_types = std::move(*t);
    Result<ReglagesAbsences> r = LireReglages(db);
    if (!r)
        return r.error();
    m.m_reglages = *r;
    Result<HorairesPrevus> h = LireHoraires(db);
    if (!h)
        return h.error();
    m.m_horaires = std::move(*h);
    Result<std::vector<Absence>> abs = LireAbsences(db, choix.debut, choix.fin);
    if (!abs)
        return abs.error();
    for (Absence& a : *abs)
        m.m_absences[cle(a.CARTE, a.DATE)].push_back(std::move(a));
    {
        RecordFile<PointVal> fichier(db);
        PointVal de, a;
        de.DATE = choix.debut;
        a.DATE = choix.fin;
        a.CARTE = std::numeric_limits<qint16>::max();
        Cursor<PointVal> c = fichier.read(POV_K_DATE_CARTE, de, Direction::Forward, &a);
        for (;;) {
            PointVal l;
            const FileError e = c.next(l);
            if (e.code == EndOfFile)
                break;
            if (!e.ok())
                return e;
            if (aDesPointages(l))
                m.m_pointes.insert(cle(l.CARTE, l.DATE));
        }
    }
    return m;
}

bool ModeleAbsences::finDeSemaine(int colonne) const
{
    const int j = jourSemaine(date(colonne));
    return j == 0 || j == 6;
}

const JourFerie* ModeleAbsences::ferie(int colonne) const
{
    return JourFerieDu(date(colonne), m_reglages.ALSACE_MOSELLE != 0);
}

JourAbsences ModeleAbsences::jour(int ligne, int colonne) const
{
    const qint16 carte = employe(ligne).CARTE;
    JourAbsences j{carte, date(colonne), {}};
    if (auto it = m_absences.find(cle(carte, j.date)); it != m_absences.end())
        j.absences = it->second;
    return j;
}

bool ModeleAbsences::pointe(int ligne, int colonne) const
{
    return m_pointes.count(cle(employe(ligne).CARTE, date(colonne))) != 0;
}

qint32 ModeleAbsences::minutesPrevues(int ligne, int colonne) const
{
    return m_horaires.minutes(employe(ligne), date(colonne));
}

bool ModeleAbsences::enActivite(int ligne, int colonne) const
{
    return EnActivite(employe(ligne), date(colonne));
}

QString ModeleAbsences::infobulle(int ligne, int colonne) const
{
    const Personnel& p = employe(ligne);
    QStringList t;
    t << QStringLiteral("%1 %2 - %3 %4").arg(NomJour(date(colonne)), DateTexte(date(colonne)), p.NOM, p.PRENOM);
    if (!enActivite(ligne, colonne))
        t << QStringLiteral("Hors période d'activité");
    else
        t << QStringLiteral("Heures prévues: %1").arg(HeureTexte(minutesPrevues(ligne, colonne)).trimmed());
    if (const JourFerie* f = ferie(colonne))
        t << QStringLiteral("Jour férié: %1").arg(f->nom);
    for (const Absence& a : jour(ligne, colonne).absences) {
        const TypeAbsence* ty = type(a.CODE);
        t << TexteAbsence(a) + (ty ? QStringLiteral(" (%1)").arg(ty->LIBELLE) : QString());
    }
    if (pointe(ligne, colonne))
        t << QStringLiteral("Pointages ce jour");
    return t.join(QLatin1Char('\n'));
}

int ModeleAbsences::ligneDe(qint16 carte) const
{
    for (size_t i = 0; i < m_employes.size(); ++i)
        if (m_employes[i].CARTE == carte)
            return int(i);
    return -1;
}

std::vector<JourAbsences> ModeleAbsences::poser(const std::vector<CaseAbsence>& cases, const Absence& modele) const
{
    std::vector<JourAbsences> jours;
    jours.reserve(cases.size());
    for (const CaseAbsence& c : cases) {
        JourAbsences j = jour(c.ligne, c.colonne);
        j.poser(modele);
        jours.push_back(std::move(j));
    }
    return jours;
}

std::vector<JourAbsences> ModeleAbsences::effacer(const std::vector<CaseAbsence>& cases, PartieJour partie) const
{
    std::vector<JourAbsences> jours;
    for (const CaseAbsence& c : cases) {
        JourAbsences j = jour(c.ligne, c.colonne);
        if (j.vide())
            continue;
        j.effacer(partie);
        jours.push_back(std::move(j));
    }
    return jours;
}

FileError ModeleAbsences::enregistrer(Database& db, const std::vector<JourAbsences>& jours, const QString& cause)
{
    Result<std::vector<JourAbsences>> anciens = EnregistrerJours(db, jours, m_identites, cause);
    if (!anciens)
        return anciens.error();
    if (!anciens->empty())
        m_annulations.push_back(std::move(*anciens));
    remplacer(jours);
    return {};
}

FileError ModeleAbsences::annuler(Database& db)
{
    if (m_annulations.empty())
        return {};
    const std::vector<JourAbsences> jours = m_annulations.back();
    Result<std::vector<JourAbsences>> r =
        EnregistrerJours(db, jours, m_identites, QString::fromUtf8(CauseJournal::AnnulationAbsences));
    if (!r)
        return r.error();
    m_annulations.pop_back();
    remplacer(jours);
    return {};
}

void ModeleAbsences::remplacer(const std::vector<JourAbsences>& jours)
{
    for (const JourAbsences& j : jours) {
        if (j.vide())
            m_absences.erase(cle(j.carte, j.date));
        else
            m_absences[cle(j.carte, j.date)] = j.absences;
    }
}

} // namespace kip
