#include "Soldes.h"

#include "calendar/Dates.h"
#include "calendar/JoursFeries.h"
#include "punch/ArrondirSemaine.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kip {

namespace {

bool estCompte(const Solde& s, const char* compte)
{
    return s.COMPTE == QLatin1String(compte);
}

} // namespace

qint32 CentiemesAbsence(const Absence& a, qint32 prevues)
{
    switch (a.partie()) {
    case PartieJour::Journee:
        return 100;
    case PartieJour::Matin:
    case PartieJour::ApresMidi:
        return 50;
    case PartieJour::Heures:
        return prevues > 0 ? qint32(std::lround(100.0 * a.MINUTES / prevues)) : 0;
    }
    return 0;
}

namespace {

bool tireSur(const ContexteSoldes& c, const Absence& a, const char* compte)
{
    const TypeAbsence* t = c.type(a.CODE);
    return t && t->SOLDE == QLatin1String(compte);
}

qint32 dernierDuMois(qint32 date)
{
    const QDate q = calendarDate(date);
    return dayNumber(q.year(), q.month(), q.daysInMonth());
}

// The share of the month ending on `fin` that the employee worked, for the acquisition of paid leave: each day
// the pattern plans counts, for its part not taken by an absence that is not credited; days before `depuis`,
// before the hiring or in inactivity count for nothing. A public holiday counts as worked.
double moisTravaille(const DonneesSoldes& d, const ContexteSoldes& c, qint32 fin, qint32 depuis)
{
    const QDate q = calendarDate(fin);
    const qint32 premier = dayNumber(q.year(), q.month(), 1);
    int jours = 0;
    double travailles = 0;
    for (qint32 x = premier; x <= fin; ++x) {
        if (c.horaires.motif(d.employe.CARTE, x)[size_t(IndexJour(x))] <= 0)
            continue;
        ++jours;
        const qint32 prevues = c.horaires.minutes(d.employe, x);
        if (x < depuis || prevues <= 0)
            continue;
        qint32 perdues = 0;
        for (const Absence& a : AbsencesDuJour(d, x)) {
            const TypeAbsence* t = c.type(a.CODE);
            if (t && !t->CREDITE)
                perdues += MinutesAbsence(a, prevues);
        }
        travailles += 1.0 - std::min(1.0, double(perdues) / prevues);
    }
    return jours ? travailles / jours : 0.0;
}

} // namespace

std::span<const Absence> AbsencesDuJour(const DonneesSoldes& d, qint32 date)
{
    const auto [de, a] = std::equal_range(d.absences.begin(), d.absences.end(), date, [](const auto& x, const auto& y) {
        if constexpr (std::is_same_v<std::decay_t<decltype(x)>, Absence>)
            return x.DATE < y;
        else
            return x < y.DATE;
    });
    return {de, a};
}

DepartCompte DepartDuCompte(const DonneesSoldes& d, const char* compte, qint32 date)
{
    DepartCompte dep;
    for (const Solde& s : d.soldes)
        if (estCompte(s, compte) && s.nature() == NatureSolde::Depart && s.DATE <= date &&
            (!dep.solde || s.DATE > dep.solde->DATE))
            dep = {s.DATE, &s};
    if (dep.solde)
        return dep;
    const bool heures = std::strcmp(compte, CompteSolde::Heures) == 0;
    if (heures && !d.totaux.empty())
        // The account starts with the first day line, which the hiring date does not precede: the years before
        // the system recorded anything owe nothing.
        dep.date = std::max(d.totaux.front().date, d.employe.DATE_EMBAUCHE);
    else if (d.employe.DATE_EMBAUCHE)
        dep.date = d.employe.DATE_EMBAUCHE;
    else if (!d.absences.empty())
        dep.date = d.absences.front().DATE;
    else
        dep.date = date;
    return dep;
}

qint32 MinutesCreditees(const DonneesSoldes& d, const ContexteSoldes& c, qint32 date, qint32 prevues)
{
    if (prevues <= 0)
        return 0;
    const std::span<const Absence> absences = AbsencesDuJour(d, date);
    if (absences.empty()) {
        const TypeAbsence* jf = c.type(QString::fromLatin1(CodeFerie));
        return jf && jf->CREDITE && EstFerie(date, c.reglages.ALSACE_MOSELLE) ? prevues : 0;
    }
    qint32 credite = 0;
    for (const Absence& a : absences) {
        const TypeAbsence* t = c.type(a.CODE);
        if (t && t->CREDITE)
            credite += MinutesAbsence(a, prevues);
    }
    return std::min(credite, prevues);
}

std::vector<SemaineCompte> CompteTemps(const DonneesSoldes& d, const ContexteSoldes& c, qint32 fin)
{
    std::vector<SemaineCompte> semaines;
    const DepartCompte dep = DepartDuCompte(d, CompteSolde::Heures, fin);
    qint32 solde = dep.solde ? dep.solde->VALEUR : 0;
    auto ligne = std::lower_bound(d.totaux.begin(), d.totaux.end(), dep.date,
                                  [](const TotalJour& t, qint32 date) { return t.date < date; });
    for (qint32 lundi = LundiDimanche(dep.date).lundi; lundi <= fin; lundi += 7) {
        SemaineCompte s;
        s.lundi = lundi;
        const qint32 premier = std::max(lundi, dep.date), dernier = std::min(lundi + 6, fin);
        qint32 total = 0;
        for (; ligne != d.totaux.end() && ligne->date <= dernier; ++ligne)
            total += ligne->total;
        s.travaille = ArrondirSemaine(total, d.employe.ARRONDI_SEMAINE);
        for (qint32 x = premier; x <= dernier; ++x) {
            const qint32 prevues = c.horaires.minutes(d.employe, x);
            s.prevu += prevues;
            s.credite += MinutesCreditees(d, c, x, prevues);
        }
        solde += s.ecart();
        s.solde = solde;
        semaines.push_back(s);
    }
    return semaines;
}

qint32 DebutPeriodeConges(qint32 date)
{
    const QDate q = calendarDate(date);
    return dayNumber(q.month() >= 6 ? q.year() : q.year() - 1, 6, 1);
}

qint32 JoursCongesDuJour(const DonneesSoldes& d, const ContexteSoldes& c, qint32 date)
{
    const int jour = IndexJour(date);
    const bool ouvres = c.decompte() == DecompteConges::Ouvres;
    if (jour == 6 || (ouvres && jour == 5) || EstFerie(date, c.reglages.ALSACE_MOSELLE))
        return 0;
    qint32 centiemes = 0;
    bool conges = false;
    for (const Absence& a : AbsencesDuJour(d, date))
        if (tireSur(c, a, CompteSolde::Conges)) {
            conges = true;
            centiemes += CentiemesAbsence(a, c.horaires.minutes(d.employe, date));
        }
    if (conges || ouvres || jour != 5 || c.horaires.minutes(d.employe, date) > 0)
        return std::min(centiemes, 100);
    // A Saturday off: a day of leave when the leave runs through it.
    for (qint32 x = date - 1; x >= date - 6; --x) {
        if (c.horaires.minutes(d.employe, x) <= 0)
            continue;
        for (const Absence& a : AbsencesDuJour(d, x))
            if (a.partie() == PartieJour::Journee && tireSur(c, a, CompteSolde::Conges))
                return 100;
        return 0;
    }
    return 0;
}

SoldesConges CalculerConges(const DonneesSoldes& d, const ContexteSoldes& c, qint32 date)
{
    SoldesConges r;
    const bool ouvres = c.decompte() == DecompteConges::Ouvres;
    const double parMois = ouvres ? PlafondOuvres / 12.0 : CentiemesParMoisOuvrables;
    const qint32 plafond = ouvres ? PlafondOuvres : PlafondOuvrables;

    const DepartCompte dep = DepartDuCompte(d, CompteSolde::Conges, date);
    qint32 precedent = dep.solde ? dep.solde->VALEUR : 0;
    qint32 base = dep.solde ? dep.solde->VALEUR2 : 0;
    double mois = 0;
    qint32 pris = 0, prisEnCours = 0;
    auto acquis = [&] { return std::min(plafond, base + qint32(std::lround(mois * parMois))); };
    r.debutPeriode = DebutPeriodeConges(dep.date);
    for (qint32 x = dep.date; x <= date; ++x) {
        if (x != dep.date && x == DebutPeriodeConges(x)) {
            // A new period: what the last one acquired and kept joins the balance of the periods before.
            precedent += acquis() - prisEnCours;
            base = 0;
            mois = 0;
            pris = prisEnCours = 0;
            r.debutPeriode = x;
        }
        qint32 n = JoursCongesDuJour(d, c, x);
        pris += n;
        // Days taken come out of the balance of the periods before first.
        const qint32 duPrecedent = std::clamp(precedent, 0, n);
        precedent -= duPrecedent;
        prisEnCours += n - duPrecedent;
        if (x == dernierDuMois(x))
            mois += moisTravaille(d, c, x, dep.date);
    }
    r.cpPrecedent = precedent;
    r.cpAcquisPeriode = acquis();
    r.cpEnCours = r.cpAcquisPeriode - prisEnCours;
    r.cpPrisPeriode = pris;

    // RTT and REC: their starting balance, the credits since, less the absences that drew on them.
    for (const bool rtt : {true, false}) {
        const char* compte = rtt ? CompteSolde::Rtt : CompteSolde::Recuperation;
        const DepartCompte depart = DepartDuCompte(d, compte, date);
        qint32 solde = depart.solde ? depart.solde->VALEUR : 0;
        for (const Solde& s : d.soldes)
            if (estCompte(s, compte) && s.nature() == NatureSolde::Credit && s.DATE >= depart.date && s.DATE <= date)
                solde += s.VALEUR;
        for (const Absence& a : d.absences) {
            if (a.DATE < depart.date || a.DATE > date || !tireSur(c, a, compte))
                continue;
            const qint32 prevues = c.horaires.minutes(d.employe, a.DATE);
            solde -= rtt ? CentiemesAbsence(a, prevues) : MinutesAbsence(a, prevues);
        }
        (rtt ? r.rtt : r.rec) = solde;
    }
    return r;
}

QString TexteSoldeMinutes(qint32 minutes)
{
    return (minutes < 0 ? QStringLiteral("-") : QStringLiteral("+")) + HeureTexte(std::abs(minutes)).trimmed();
}

QString TexteJours(qint32 centiemes)
{
    return QString::number(centiemes / 100.0, 'f', 2).replace(QLatin1Char('.'), QLatin1Char(','));
}

} // namespace kip
