// The monthly statement: its pages as data, then laid out in bands, with the chart drawn last on each page.
#include "EditionReleve.h"

#include "BandesCommunes.h"
#include "calendar/Dates.h"
#include "calendar/HeureTexte.h"
#include "calendar/JoursFeries.h"
#include "data/Files.h"

#include <algorithm>

namespace kip {

namespace {

constexpr qint32 HauteurTitres = 210;
constexpr qint32 HauteurJour = 160;
constexpr qint32 HauteurSemaine = 190;
constexpr qint32 HauteurSolde = 190;
constexpr qint32 HauteurCourbe = 1750;
constexpr int SemainesCourbe = 52;

// The columns of a day: date, weekday, planned, worked (right-aligned up to their edge), absences.
constexpr qint32 ColJour = 760, ColPrevu = 1500, BordPrevu = 2350, BordTravaille = 3250, ColAbsences = 3500;

QString heures(qint32 minutes, bool centiemes)
{
    return minutes ? HeureTexte(minutes, centiemes).trimmed() : QString();
}

QString solde(qint32 minutes, bool centiemes)
{
    return (minutes < 0 ? QStringLiteral("-") : QStringLiteral("+")) +
           HeureTexte(std::abs(minutes), centiemes).trimmed();
}

QString moisTexte(qint32 premier)
{
    const QDate q = calendarDate(premier);
    return QStringLiteral("%1 %2").arg(NomMois(q.month())).arg(q.year());
}

void dessinerCourbe(Dessin& d, const std::vector<SemaineCompte>& semaines, bool centiemes)
{
    constexpr qint32 Haut = 60, Gauche = 900, Droite = 7300, HautTrace = Haut + 260, BasTrace = Haut + 1450;
    d.cadre(0, Haut, Dessin::largeur(), HauteurCourbe - Haut - 40);
    d.texte(104, Haut + 50, 6000, QStringLiteral("Solde du compte d'heures, semaine par semaine, sur douze mois"),
            polices::Grasse);
    if (semaines.empty())
        return;
    qint32 haut = 0, bas = 0;
    for (const SemaineCompte& s : semaines) {
        haut = std::max(haut, s.solde);
        bas = std::min(bas, s.solde);
    }
    if (haut == bas)
        haut = bas + 60;
    auto y = [&](qint32 v) { return BasTrace - qint32(qint64(v - bas) * (BasTrace - HautTrace) / (haut - bas)); };
    const qint32 pas = (Droite - Gauche) / std::max<qint32>(1, qint32(semaines.size()) - 1);
    auto x = [&](size_t i) { return Gauche + qint32(i) * pas; };
    // The axes, the zero line and the extremes.
    d.ligne(Gauche, HautTrace, Gauche, BasTrace, 4);
    d.ligne(Gauche, y(0), Droite, y(0), 4);
    // The extremes and zero, each once and apart from the others.
    constexpr qint32 Ecart = 150;
    d.texte(60, HautTrace - 60, Gauche - 120, solde(haut, centiemes), polices::Normale, Alignement::Droite);
    if (y(0) - HautTrace >= Ecart && BasTrace - y(0) >= Ecart)
        d.texte(60, y(0) - 60, Gauche - 120, solde(0, centiemes), polices::Normale, Alignement::Droite);
    if (bas != 0)
        d.texte(60, BasTrace - 60, Gauche - 120, solde(bas, centiemes), polices::Normale, Alignement::Droite);
    for (size_t i = 0; i < semaines.size(); ++i) {
        if (i > 0)
            d.ligne(x(i - 1), y(semaines[i - 1].solde), x(i), y(semaines[i].solde), 16);
        const QDate q = calendarDate(semaines[i].lundi);
        // A mark under the first week of each month.
        if (q.day() <= 7) {
            d.ligne(x(i), BasTrace, x(i), BasTrace + 40, 4);
            d.texte(x(i) - 200, BasTrace + 60, 400, NomMois(q.month()).left(4) + QLatin1Char('.'), polices::Normale,
                    Alignement::Centre);
        }
    }
}

} // namespace

PageReleve PreparerReleve(const DonneesSoldes& d, const ContexteSoldes& c, qint32 mois, qint32 dateImpression)
{
    PageReleve p;
    p.employe = d.employe;
    const QDate q = calendarDate(mois);
    p.mois = dayNumber(q.year(), q.month(), 1);
    const qint32 dernier = dayNumber(q.year(), q.month(), q.daysInMonth());
    p.fin = dateImpression >= p.mois && dateImpression < dernier ? dateImpression : dernier;
    const std::vector<SemaineCompte> semaines = CompteTemps(d, c, p.fin);
    for (const SemaineCompte& s : semaines) {
        if (s.lundi + 6 >= p.mois)
            p.semaines.push_back(s);
        if (s.lundi > p.fin - 7 * SemainesCourbe)
            p.courbe.push_back(s);
    }
    p.soldeCompte = semaines.empty() ? 0 : semaines.back().solde;
    p.conges = CalculerConges(d, c, p.fin);
    auto ligne = std::lower_bound(d.totaux.begin(), d.totaux.end(), p.mois,
                                  [](const TotalJour& t, qint32 date) { return t.date < date; });
    for (qint32 x = p.mois; x <= dernier; ++x) {
        JourReleve j;
        j.date = x;
        j.prevu = c.horaires.minutes(d.employe, x);
        for (; ligne != d.totaux.end() && ligne->date == x; ++ligne)
            j.travaille += ligne->total;
        const std::span<const Absence> absences = AbsencesDuJour(d, x);
        j.absences = TexteCourtJour({d.employe.CARTE, x, {absences.begin(), absences.end()}});
        if (j.absences.isEmpty() && EstFerie(x, c.reglages.ALSACE_MOSELLE))
            j.absences = QString::fromLatin1(CodeFerie);
        p.jours.push_back(j);
    }
    return p;
}

RapportReleve::RapportReleve() = default;

RapportReleve::~RapportReleve() = default;

void RapportReleve::ouvrir(ContexteEdition& contexte)
{
    m_contexte = &contexte;
    const ParametresEdition& p = contexte.parametres;
    const QDate fin = calendarDate(p.dateFin);
    const qint16 de = p.tri == Tri::Numero ? p.carteDebut : 1, a = p.tri == Tri::Numero ? p.carteFin : 9999;
    // The balances need the absence files and Solde.tps beside the run's employees and day lines: they are read
    // in a snapshot of their own, on a connection of their own.
    Database db(contexte.db.dataDir());
    Result<SoldesLus> lus = LireDonneesSoldes(db, de, a, dayNumber(fin.year(), fin.month(), fin.daysInMonth()));
    if (lus)
        m_soldes = std::move(*lus);
    else
        m_erreur = lus.error();
    contexte.pagination.enTetePage(HauteurEnTetePage,
                                   [titre = p.NOMEDITION, date = contexte.dateImpression](Dessin& d) {
                                       dessinerEnTetePage(d, {titre, date, Clock::timeOfDay()});
                                   });
    contexte.pagination.piedPage(
        HauteurPiedPage, [centiemes = p.centiemes](Dessin& d, int page) { dessinerPiedPage(d, page, centiemes); });
}

void RapportReleve::employe(const Personnel& per)
{
    if (!m_soldes)
        return;
    const auto it = std::find_if(m_soldes->employes.begin(), m_soldes->employes.end(),
                                 [&](const DonneesSoldes& d) { return d.employe.CARTE == per.CARTE; });
    if (it == m_soldes->employes.end())
        return;
    const ParametresEdition& p = m_contexte->parametres;
    for (qint32 mois = p.dateDebut; mois <= p.dateFin;) {
        const PageReleve page = PreparerReleve(*it, m_soldes->contexte, mois, m_contexte->dateImpression);
        if (observateur)
            observateur(page);
        imprimer(page);
        mois = dayNumber(calendarDate(page.mois).addMonths(1));
    }
}

void RapportReleve::imprimer(const PageReleve& page)
{
    Pagination& pg = m_contexte->pagination;
    const bool centiemes = m_contexte->parametres.centiemes;
    const Personnel& e = page.employe;
    pg.bande(HauteurEnTeteEmploye, [&](Dessin& d) {
        dessinerEnTeteEmploye(d, {e.CARTE, e.NOM, e.PRENOM, e.MATRICULE});
        d.texte(4500, 118, 2850, moisTexte(page.mois), polices::Grasse, Alignement::Droite);
    });
    pg.bande(HauteurTitres, [&](Dessin& d) {
        d.texte(0, 20, ColJour - 40, QStringLiteral("Date"), polices::Grasse);
        d.texte(ColJour, 20, ColPrevu - ColJour, QStringLiteral("Jour"), polices::Grasse);
        d.texte(ColPrevu, 20, BordPrevu - ColPrevu, QStringLiteral("Prévu"), polices::Grasse, Alignement::Droite);
        d.texte(BordPrevu, 20, BordTravaille - BordPrevu, QStringLiteral("Travaillé"), polices::Grasse,
                Alignement::Droite);
        d.texte(ColAbsences, 20, 3900, QStringLiteral("Absences"), polices::Grasse);
        d.ligne(0, HauteurTitres - 20, Dessin::largeur(), HauteurTitres - 20, 4);
    });
    auto semaine = [&](const SemaineCompte& s) {
        pg.bande(HauteurSemaine, [&](Dessin& d) {
            d.ligne(0, 10, Dessin::largeur(), 10, 4);
            const Semaine n = NumeroSemaine(s.lundi);
            d.texte(0, 40, 1400, QStringLiteral("Semaine %1").arg(n.numero), polices::Grasse);
            d.texte(ColPrevu, 40, BordPrevu - ColPrevu, heures(s.prevu, centiemes), polices::Grasse,
                    Alignement::Droite);
            d.texte(BordPrevu, 40, BordTravaille - BordPrevu, heures(s.travaille, centiemes), polices::Grasse,
                    Alignement::Droite);
            d.texte(ColAbsences, 40, 1500,
                    s.credite ? QStringLiteral("crédité %1").arg(heures(s.credite, centiemes)) : QString());
            d.texte(5000, 40, 1200, QStringLiteral("écart %1").arg(solde(s.ecart(), centiemes)), polices::Normale,
                    Alignement::Droite);
            d.texte(6250, 40, Dessin::largeur() - 6250, QStringLiteral("solde %1").arg(solde(s.solde, centiemes)),
                    polices::Grasse, Alignement::Droite);
        });
    };
    size_t prochaine = 0;
    for (const JourReleve& j : page.jours) {
        pg.bande(HauteurJour, [&](Dessin& d) {
            d.texte(0, 10, ColJour - 40, DateTexte(j.date));
            d.texte(ColJour, 10, ColPrevu - ColJour, NomJour(j.date));
            d.texte(ColPrevu, 10, BordPrevu - ColPrevu, heures(j.prevu, centiemes), polices::Normale,
                    Alignement::Droite);
            d.texte(BordPrevu, 10, BordTravaille - BordPrevu, heures(j.travaille, centiemes), polices::Normale,
                    Alignement::Droite);
            d.texte(ColAbsences, 10, Dessin::largeur() - ColAbsences, j.absences);
        });
        // The week's line after its Sunday, or after the month's last day for a week that goes on.
        while (prochaine < page.semaines.size() &&
               (page.semaines[prochaine].lundi + 6 == j.date ||
                (j.date == page.jours.back().date && page.semaines[prochaine].lundi <= j.date)))
            semaine(page.semaines[prochaine++]);
    }
    pg.bande(HauteurSolde * 3 + 60, [&](Dessin& d) {
        const SoldesConges& c = page.conges;
        d.cadre(0, 40, Dessin::largeur(), HauteurSolde * 3);
        d.texte(104, 80, 4000, QStringLiteral("Solde du compte d'heures au %1").arg(DateTexte(page.fin)),
                polices::Grasse);
        d.texte(5000, 80, 2350, solde(page.soldeCompte, centiemes), polices::Grasse, Alignement::Droite);
        d.texte(104, 80 + HauteurSolde, 7200,
                QStringLiteral("Congés payés (jours): période précédente %1; période en cours depuis le %2: %3 "
                               "(acquis %4, pris %5)")
                    .arg(TexteJours(c.cpPrecedent), DateTexte(c.debutPeriode), TexteJours(c.cpEnCours),
                         TexteJours(c.cpAcquisPeriode), TexteJours(c.cpPrisPeriode)));
        d.texte(104, 80 + 2 * HauteurSolde, 7200,
                QStringLiteral("RTT (jours): %1        Récupération (heures): %2")
                    .arg(TexteJours(c.rtt), solde(c.rec, centiemes)));
    });
    pg.bande(HauteurCourbe, [&](Dessin& d) { dessinerCourbe(d, page.courbe, centiemes); });
    pg.sautDePage();
}

bool RapportReleve::fermer()
{
    return m_contexte->pagination.terminer();
}

FileError RapportReleve::erreur() const
{
    return m_erreur;
}

std::unique_ptr<Edition> EditionReleve()
{
    return std::make_unique<RapportReleve>();
}

} // namespace kip
