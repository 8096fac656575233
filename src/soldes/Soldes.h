// The balances of an employee, computed from what is recorded: the working-time account week by week (the
// rounded week total of the day lines plus the planned hours of credited absences, less the planned hours)
// and the leave balances: paid leave (CP) acquired month by month over the reference periods of 1 June to
// 31 May and taken in jours ouvrables or jours ouvrés, and the RTT and REC balances credited by hand.
//
// Each account counts from its latest starting balance not after the date asked (Solde.tps), else from its
// beginning (DepartDuCompte): what lies before it no longer counts, which is what lets the purge remove the
// day lines it carries.
#pragma once

#include "absences/HorairesPrevus.h"
#include "absences/ReglesAbsences.h"
#include "data/LecturesSoldes.h"

#include <span>
#include <vector>

namespace kip {

inline constexpr qint32 CentiemesParMoisOuvrables = 250; // 2.5 jours ouvrables per month worked
inline constexpr qint32 PlafondOuvrables = 3000;         // 30 jours ouvrables per reference period
inline constexpr qint32 PlafondOuvres = 2500;            // 25 jours ouvrés

// What every employee's balances are computed with.
struct ContexteSoldes
{
    std::vector<TypeAbsence> types;
    HorairesPrevus horaires;
    ReglagesAbsences reglages;

    DecompteConges decompte() const { return DecompteConges(reglages.DECOMPTE_CONGES); }
    const TypeAbsence* type(QStringView code) const { return TypeDuCode(types, code); }
};

// What one employee's balances are computed from.
struct DonneesSoldes
{
    Personnel employe;
    std::vector<Absence> absences; // by date
    std::vector<TotalJour> totaux; // the active day lines, by date
    std::vector<Solde> soldes;     // the card's starting balances and credits
};

// One week of the working-time account, in minutes.
struct SemaineCompte
{
    qint32 lundi = 0;
    qint32 travaille = 0; // the week total of the day lines, rounded by the employee's week code
    qint32 credite = 0;   // the planned minutes of its credited absences and public holidays
    qint32 prevu = 0;     // the planned minutes of its days
    qint32 solde = 0;     // the running balance at the end of the week

    qint32 ecart() const { return travaille + credite - prevu; }
};

// The date from which an account counts and its balance there: the latest starting balance of the account not
// after `date`; else, at zero, the first day line (not before the hiring) for the working-time account, and the
// hiring (else the first absence) for the leave balances, which do not depend on the day lines that the purge
// removes.
struct DepartCompte
{
    qint32 date = 0;
    const Solde* solde = nullptr; // nullptr when the account starts at zero
};
DepartCompte DepartDuCompte(const DonneesSoldes& d, const char* compte, qint32 date);

// The absences of the date among the employee's (which are by date).
std::span<const Absence> AbsencesDuJour(const DonneesSoldes& d, qint32 date);

// The planned minutes of the day's credited absences (a public holiday with none entered counts as JF), at
// most the day's planned minutes.
qint32 MinutesCreditees(const DonneesSoldes& d, const ContexteSoldes& c, qint32 date, qint32 prevues);

// The working-time account week by week from its start up to `fin` (included): the week of `fin` counts its
// days up to `fin` only, so that days still to come owe nothing.
std::vector<SemaineCompte> CompteTemps(const DonneesSoldes& d, const ContexteSoldes& c, qint32 fin);

// The leave balances on a date, in hundredths of a day (CP, RTT) or minutes (REC).
struct SoldesConges
{
    qint32 debutPeriode = 0;    // 1 June of the reference period that holds the date
    qint32 cpPrecedent = 0;     // acquired before that period, less what was taken of it
    qint32 cpEnCours = 0;       // acquired in the period so far, less what was taken of it
    qint32 cpAcquisPeriode = 0; // acquired in the period so far
    qint32 cpPrisPeriode = 0;   // taken in the period so far
    qint32 rtt = 0;
    qint32 rec = 0;

    friend bool operator==(const SoldesConges&, const SoldesConges&) = default;
};
SoldesConges CalculerConges(const DonneesSoldes& d, const ContexteSoldes& c, qint32 date);

// The first day of the reference period (1 June) that holds the date.
qint32 DebutPeriodeConges(qint32 date);

// The paid-leave days that the card's CP absences of the date take, in hundredths of a day: a whole day 1, a
// half day 0.5, hours their share of the day's planned hours; nothing on a Sunday or a public holiday, nor on a
// Saturday in jours ouvrés. In jours ouvrables, a Saturday without planned hours counts as a day of leave when
// the last planned day before it is a whole day of CP (leave from Friday runs to Monday).
qint32 JoursCongesDuJour(const DonneesSoldes& d, const ContexteSoldes& c, qint32 date);

// The hundredths of a day that an absence takes: a whole day 100, a half day 50, hours their share of the day's
// planned minutes.
qint32 CentiemesAbsence(const Absence& absence, qint32 prevues);

// "+12.30", "-3.15": a balance of minutes with its sign; "2,50": hundredths of a day.
QString TexteSoldeMinutes(qint32 minutes);
QString TexteJours(qint32 centiemes);

} // namespace kip
