#include "Dates.h"

#include <array>

namespace kip {

qint32 DebutPremiereSemaine(int annee)
{
    const qint32 j = dayNumber(annee, 1, 1);
    const int k = jourSemaine(j);
    if (k == 0)
        return j + 1;
    if (k <= 4)
        return j - k + 1;
    return j - k + 8;
}

qint32 FinDerniereSemaine(int annee)
{
    const qint32 e = dayNumber(annee, 12, 31);
    const int k = jourSemaine(e);
    return k <= 3 ? e - k : e - k + 7;
}

namespace {

// The week-year that holds the date: its calendar year, or the one before or after when the date lies in
// the few days around 1 January that belong to a neighbouring week-year.
int anneeDeSemaine(qint32 date)
{
    int annee = calendarDate(date).year();
    if (date < DebutPremiereSemaine(annee))
        --annee;
    else if (date > FinDerniereSemaine(annee))
        ++annee;
    return annee;
}

} // namespace

Semaine NumeroSemaine(qint32 date)
{
    const int annee = anneeDeSemaine(date);
    return {quint8((date - DebutPremiereSemaine(annee)) / 7 + 1), qint16(annee)};
}

SemainesAnnee SemainesDeLAnnee(qint32 date)
{
    const int annee = anneeDeSemaine(date);
    const qint32 w1 = DebutPremiereSemaine(annee);
    const qint32 wl = FinDerniereSemaine(annee);
    return {qint16(annee), 1, quint8((wl - w1) / 7 + 1)};
}

SemainesAnnee SemainesDeLAnneeParAn(int annee)
{
    return SemainesDeLAnnee(dayNumber(annee, 7, 1));
}

LundiEtDimanche DatesDeSemaine(int numero, int annee)
{
    const qint32 lundi = DebutPremiereSemaine(annee) + 7 * (numero - 1);
    return {lundi, lundi + 6};
}

LundiEtDimanche LundiDimanche(qint32 date)
{
    const int k = jourSemaine(date);
    const qint32 lundi = k == 0 ? date - 6 : date - k + 1;
    return {lundi, lundi + 6};
}

QString NomJour(qint32 date)
{
    static const std::array<const char*, 7> noms = {"Dimanche", "Lundi",    "Mardi", "Mercredi",
                                                    "Jeudi",    "Vendredi", "Samedi"};
    return QString::fromUtf8(noms[jourSemaine(date)]);
}

QString NomMois(int mois)
{
    static const std::array<const char*, 12> noms = {"Janvier",   "Février", "Mars",     "Avril",
                                                     "Mai",       "Juin",    "Juillet",  "Août",
                                                     "Septembre", "Octobre", "Novembre", "Décembre"};
    return mois >= 1 && mois <= 12 ? QString::fromUtf8(noms[mois - 1]) : QString();
}

QString DateTexte(qint32 date)
{
    return date ? calendarDate(date).toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

int JoursDuMois(int mois, int annee)
{
    if (mois < 1 || mois > 12)
        return 0;
    return QDate(annee, mois, 1).daysInMonth();
}

} // namespace kip
