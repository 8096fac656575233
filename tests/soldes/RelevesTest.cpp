// The monthly statement and the absences of a period, as data handed to their observers and as pages.
#include "SoldesEssai.h"
#include "reports/EditionAbsences.h"
#include "reports/EditionReleve.h"
#include "reports/ExecutionEdition.h"
#include "reports/ExportPaie.h"
#include "reports/GuiEnvironment.h"

using namespace kip;
using essai::h;

namespace {

ParametresEdition periode(qint32 debut, qint32 fin)
{
    ParametresEdition p;
    p.carteDebut = 1;
    p.carteFin = 9999;
    p.dateDebut = debut;
    p.dateFin = fin;
    return p;
}

} // namespace

TEST_F(SoldesEssai, TheMonthlyStatementAndTheAbsencesOfAPeriod)
{
    const qint32 debut = dayNumber(2026, 6, 1), fin = dayNumber(2026, 9, 30);
    std::vector<qint32> absents = jours(dayNumber(2026, 8, 3), dayNumber(2026, 8, 7));
    absents.push_back(dayNumber(2026, 9, 1));
    travailler(debut, fin, {{dayNumber(2026, 8, 25), h(18)}}, absents);
    absent("CP", jours(dayNumber(2026, 8, 3), dayNumber(2026, 8, 7)));
    absent("RTT", {dayNumber(2026, 8, 20)}, PartieJour::ApresMidi);
    absent("MAL", {dayNumber(2026, 9, 1)});
    FileUse personnel(FileId::Personnel), pointval(FileId::PointVal);

    // August and September: one page each, the days of the month and the weeks that meet it.
    RapportReleve releve;
    std::vector<PageReleve> pages;
    releve.observateur = [&](const PageReleve& p) { pages.push_back(p); };
    const ResultatEdition r = ExecuterEdition(*base, releve, periode(dayNumber(2026, 8, 10), dayNumber(2026, 9, 5)));
    ASSERT_TRUE(r.complete()) << r.erreurLecture.description().toStdString();
    EXPECT_EQ(r.pages.nombre(), 2);
    ASSERT_EQ(pages.size(), 2u);
    const PageReleve& aout = pages[0];
    ASSERT_EQ(aout.jours.size(), 31u);
    struct Jour
    {
        int jour;
        qint32 prevu, travaille;
        const char* absences;
    };
    for (const Jour& j : {Jour{3, h(7), 0, "CP"}, Jour{15, 0, 0, "JF"}, Jour{20, h(7), h(7), "RTT AM"},
                          Jour{25, h(7), h(9), ""}, Jour{30, 0, 0, ""}}) {
        const JourReleve& l = aout.jours[size_t(j.jour - 1)];
        EXPECT_EQ(l.prevu, j.prevu) << j.jour;
        EXPECT_EQ(l.travaille, j.travaille) << j.jour;
        EXPECT_EQ(l.absences, QString::fromLatin1(j.absences)) << j.jour;
    }
    // From Monday 27 July to Monday 31 August; the week of the RTT afternoon worked whole is 3.30 up, that of
    // the 18.00 evening 2.00 up.
    ASSERT_EQ(aout.semaines.size(), 6u);
    EXPECT_EQ(aout.semaines[0].lundi, dayNumber(2026, 7, 27));
    EXPECT_EQ(aout.semaines[3].ecart(), h(3, 30));
    EXPECT_EQ(aout.semaines[4].ecart(), h(2));
    EXPECT_EQ(aout.soldeCompte, h(5, 30));
    EXPECT_EQ(pages[1].soldeCompte, h(5, 30) - h(7)); // the sick day is owed
    EXPECT_EQ(aout.conges.cpPrisPeriode, 600);        // Monday to Saturday in jours ouvrables
    EXPECT_EQ(aout.conges.rtt, -50);
    EXPECT_EQ(aout.courbe.back().solde, aout.soldeCompte);

    // The absences of the summer, in days per type, and the total of the period.
    RapportAbsences absences;
    std::vector<LigneAbsences> lignes;
    absences.observateur = [&](const LigneAbsences& l) { lignes.push_back(l); };
    ASSERT_TRUE(ExecuterEdition(*base, absences, periode(debut, fin)).complete());
    ASSERT_EQ(lignes.size(), 1u);
    const std::vector<TypeAbsence> types = TypesParDefaut();
    ASSERT_EQ(lignes[0].jours.size(), types.size());
    for (size_t i = 0; i < types.size(); ++i) {
        const QString& code = types[i].CODE;
        const qint32 attendu = code == u"CP"    ? 500
                               : code == u"RTT" ? 50
                               : code == u"MAL" ? 100
                               : code == u"JF"  ? 1 * 100
                                                : 0;
        EXPECT_EQ(lignes[0].jours[i], attendu) << code.toStdString(); // 14 July; 15 August is a Saturday
    }
    EXPECT_EQ(lignes[0].total, 750);

    // The payroll export: a week's absences in hours under their type, and the account's balance. Its rows are
    // the weeks that hold day lines: that of the CP has none.
    const QString chemin = tmp.path() + QStringLiteral("/paie.csv");
    ASSERT_TRUE(Exporter(*base, GenreExport::TotauxSemaines, periode(dayNumber(2026, 8, 3), dayNumber(2026, 8, 23)),
                         SeuilsPaie{}, chemin)
                    .ecrit());
    QFile f(chemin);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList csv = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"));
    ASSERT_GE(csv.size(), 4);
    const QStringList entetes = csv[0].split(u';'), aout10 = csv[1].split(u';'), aout17 = csv[2].split(u';'),
                      total = csv[3].split(u';');
    const qsizetype rtt = entetes.indexOf(QStringLiteral("Heures RTT"));
    ASSERT_GT(rtt, 10);
    ASSERT_EQ(aout17.size(), entetes.size());
    EXPECT_EQ(aout10[4], QStringLiteral("33"));
    EXPECT_EQ(aout10[rtt], QStringLiteral("0:00"));
    EXPECT_EQ(aout17[rtt], QStringLiteral("3:30"));
    EXPECT_EQ(total[rtt], QStringLiteral("3:30"));
    EXPECT_EQ(entetes.back(), QStringLiteral("Solde du compte"));
    EXPECT_EQ(aout10.back(), QStringLiteral("0:00"));
    EXPECT_EQ(aout17.back(), QStringLiteral("3:30"));
    EXPECT_EQ(total.back(), QStringLiteral("3:30"));
}
