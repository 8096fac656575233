// The payroll export: the split of a week at the two thresholds, the CSV as French spreadsheets read it,
// and totals equal to those that the week totals report prints for the same choices.
#include "reports/ExportPaie.h"

#include "EditionsEssai.h"
#include "kipgen/Generator.h"
#include "reports/EditionSemaine.h"

using namespace kip;

namespace {

class ExportPaieTest : public EditionsTest
{
};

// The rows of a CSV file without its byte-order mark, split at the separators that are not quoted.
QList<QStringList> lignesCsv(const QByteArray& octets)
{
    QList<QStringList> lignes;
    const QString texte = QString::fromUtf8(octets.mid(3));
    QStringList champs;
    QString champ;
    bool cite = false;
    for (qsizetype i = 0; i < texte.size(); ++i) {
        const QChar c = texte[i];
        if (cite) {
            if (c == u'"' && i + 1 < texte.size() && texte[i + 1] == u'"') {
                champ += u'"';
                ++i;
            } else if (c == u'"') {
                cite = false;
            } else {
                champ += c;
            }
        } else if (c == u'"') {
            cite = true;
        } else if (c == u';') {
            champs << champ;
            champ.clear();
        } else if (c == u'\r' && i + 1 < texte.size() && texte[i + 1] == u'\n') {
            champs << champ;
            lignes << champs;
            champs.clear();
            champ.clear();
            ++i;
        } else {
            champ += c;
        }
    }
    return lignes;
}

qint32 minutesDe(const QString& heures)
{
    const qsizetype deuxPoints = heures.indexOf(u':');
    const qint32 h = heures.left(deuxPoints).toInt();
    const qint32 m = heures.mid(deuxPoints + 1).toInt();
    return heures.startsWith(u'-') ? h * 60 - m : h * 60 + m;
}

using ExportPaieSurLesDeuxMoteurs = serveuressai::SurLesDeuxMoteurs<ExportPaieTest>;

} // namespace

TEST_F(ExportPaieTest, AWeekSplitsAtTheLegalDurationAndAtTheSecondRate)
{
    const SeuilsPaie legal;
    auto repartir = [](qint32 total, const SeuilsPaie& s) {
        const RepartitionSemaine r = RepartirSemaine(total, s);
        return std::tuple{r.normales, r.premierTaux, r.secondTaux};
    };
    EXPECT_EQ(repartir(46 * 60 + 30, legal), std::tuple(35 * 60, 8 * 60, 3 * 60 + 30));
    EXPECT_EQ(repartir(30 * 60, legal), std::tuple(30 * 60, 0, 0));
    EXPECT_EQ(repartir(35 * 60, legal), std::tuple(35 * 60, 0, 0));
    EXPECT_EQ(repartir(43 * 60, legal), std::tuple(35 * 60, 8 * 60, 0));
    EXPECT_EQ(repartir(43 * 60 + 1, legal), std::tuple(35 * 60, 8 * 60, 1));
    EXPECT_EQ(repartir(0, legal), std::tuple(0, 0, 0));

    SeuilsPaie accord;
    ASSERT_TRUE(LireSeuils(u"39:48", &accord));
    EXPECT_EQ(repartir(50 * 60, accord), std::tuple(39 * 60, 9 * 60, 2 * 60));
    ASSERT_TRUE(LireSeuils(u"35,5:43.5", &accord));
    EXPECT_EQ(accord.duree, 35 * 60 + 30);
    EXPECT_EQ(accord.premierTaux, 43 * 60 + 30);
    SeuilsPaie inchange;
    for (const char16_t* faux : {u"35", u"43:35", u"a:43", u"35:", u"-1:43"})
        EXPECT_FALSE(LireSeuils(faux, &inchange)) << QString::fromUtf16(faux).toStdString();
    EXPECT_EQ(inchange.duree, 35 * 60);
}

TEST_P(ExportPaieSurLesDeuxMoteurs, TheFileIsWhatFrenchSpreadsheetsReadAndQuotesWhatMustBe)
{
    const qint32 lundi = DatesDeSemaine(49, 2026).lundi;
    const Personnel p = salarie(7, QStringLiteral("DU;PONT"), QStringLiteral("Jean \"Jo\""));
    // 46 h 30 over five days, and a second week of 30 h.
    for (int j = 0; j < 5; ++j)
        minutes(p, lundi - 7 + j, j < 4 ? 9 * 60 + 30 : 8 * 60 + 30);
    for (int j = 0; j < 5; ++j)
        minutes(p, lundi + j, 6 * 60);
    ParametresEdition par = parametres(lundi - 7, lundi + 6);
    par.centiemes = true;
    const QString chemin = tmp.path() + QStringLiteral("/paie.csv");
    Database lien = connexion();
    const ResultatExport r = Exporter(lien, GenreExport::TotauxSemaines, par, SeuilsPaie{}, chemin);
    ASSERT_TRUE(r.ecrit()) << r.erreurEcriture.description().toStdString();
    EXPECT_EQ(r.lignes, 3);
    QFile f(chemin);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray octets = f.readAll();
    EXPECT_TRUE(octets.startsWith("\xEF\xBB\xBF"
                                  "Carte;Matricule;Nom;Pr\xC3\xA9nom;Semaine;"));
    EXPECT_TRUE(octets.endsWith("\r\n"));
    EXPECT_EQ(octets.count("\r\n"), 4);
    EXPECT_EQ(octets.count('\n'), 4); // no bare line feed
    const QList<QByteArray> lignes = octets.split('\n');
    // The former columns first, then the hours of each absence type and the working-time account's balance.
    EXPECT_TRUE(lignes[0].endsWith(";Heures JF;Solde du compte\r"));
    EXPECT_TRUE(lignes[1].startsWith("7;M0007;\"DU;PONT\";\"Jean \"\"Jo\"\"\";48;2026;46,50;46,50;35,00;8,00;3,50;"));
    EXPECT_TRUE(lignes[1].endsWith(";0,00;11,50\r"));
    EXPECT_TRUE(lignes[2].startsWith("7;M0007;\"DU;PONT\";\"Jean \"\"Jo\"\"\";49;2026;30,00;30,00;30,00;0,00;0,00;"));
    EXPECT_TRUE(lignes[2].endsWith(";0,00;6,50\r"));
    EXPECT_TRUE(lignes[3].startsWith("7;M0007;\"DU;PONT\";\"Jean \"\"Jo\"\"\";Total;;76,50;76,50;65,00;8,00;3,50;"));
    EXPECT_TRUE(lignes[3].endsWith(";0,00;6,50\r"));
    // The reader splits it back into the same fields.
    const QList<QStringList> champs = lignesCsv(octets);
    ASSERT_EQ(champs.size(), 4);
    EXPECT_EQ(champs[1][2], QStringLiteral("DU;PONT"));
    EXPECT_EQ(champs[1][3], QStringLiteral("Jean \"Jo\""));

    // Hours and minutes without hundredths; a period without any line writes no file.
    par.centiemes = false;
    ASSERT_TRUE(Exporter(lien, GenreExport::TotauxSemaines, par, SeuilsPaie{}, chemin).ecrit());
    EXPECT_EQ(lignesCsv([&] {
                  QFile g(chemin);
                  EXPECT_TRUE(g.open(QIODevice::ReadOnly));
                  return g.readAll();
              }())[1]
                  .mid(6, 5),
              (QStringList{QStringLiteral("46:30"), QStringLiteral("46:30"), QStringLiteral("35:00"),
                           QStringLiteral("8:00"), QStringLiteral("3:30")}));
    const QString autre = tmp.path() + QStringLiteral("/vide.csv");
    const ResultatExport vide =
        Exporter(lien, GenreExport::TotauxSemaines, parametres(lundi + 28, lundi + 34), SeuilsPaie{}, autre);
    EXPECT_EQ(vide.issue, ResultatEdition::Issue::Vide);
    EXPECT_FALSE(QFile::exists(autre));
}

TEST_P(ExportPaieSurLesDeuxMoteurs, TotalsEqualWhatTheWeekTotalsReportPrintsOnGeneratedData)
{
    gen::GenOptions o;
    o.dir = tmp.path() + QStringLiteral("/g/Kip");
    o.employees = 200;
    o.weeks = 1;
    o.seed = 23;
    o.today = today;
    o.dayLines = 200 * 42;
    const gen::GenResult g = gen::generateInstallation(o);
    ASSERT_TRUE(g.ok) << g.error.toStdString();
    setPaths(Paths::forInstallation(o.dir)); // kipgen wrote the records on the engine of the test
    const LundiEtDimanche derniere = LundiDimanche(today - 7);
    const qint32 debut = derniere.lundi - 28;

    int semainesComparees = 0;
    for (Tri tri : {Tri::Numero, Tri::Nom, Tri::Matricule}) {
        ParametresEdition p = parametres(debut, derniere.dimanche, tri);
        // The report: the week footers and employee footers it prints, from its prepared lines.
        std::vector<LigneSemaine> imprimees;
        RapportSemaines rapport(RapportSemaines::Genre::Totaux);
        rapport.observateur = [&](const LigneSemaine& l) {
            const bool memeSemaine = !imprimees.empty() && imprimees.back().CARTE == l.CARTE &&
                                     imprimees.back().NUM_SEMAINE == l.NUM_SEMAINE &&
                                     imprimees.back().NUM_ANNEE == l.NUM_ANNEE;
            if (memeSemaine)
                imprimees.back() = l;
            else
                imprimees.push_back(l);
        };
        ASSERT_TRUE(executer(rapport, p).complete());

        const QString chemin = tmp.path() + QStringLiteral("/paie.csv");
        Database lien = connexion();
        ASSERT_TRUE(Exporter(lien, GenreExport::TotauxSemaines, p, SeuilsPaie{}, chemin).ecrit());
        QFile f(chemin);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QList<QStringList> lignes = lignesCsv(f.readAll());
        lignes.removeFirst();

        size_t i = 0;
        for (const QStringList& l : lignes) {
            if (l[4] == QLatin1String("Total")) {
                // The employee footer: the sum of the rounded weeks, after the employee's last week.
                ASSERT_GT(i, 0u);
                EXPECT_EQ(l[0].toInt(), imprimees[i - 1].CARTE);
                EXPECT_EQ(minutesDe(l[7]), imprimees[i - 1].totalEmploye);
                continue;
            }
            ASSERT_LT(i, imprimees.size());
            const LigneSemaine& r = imprimees[i];
            ASSERT_EQ(l[0].toInt(), r.CARTE) << "tri " << char(tri) << " ligne " << i;
            EXPECT_EQ(l[2], r.NOM);
            EXPECT_EQ(l[4].toInt(), r.NUM_SEMAINE);
            EXPECT_EQ(l[5].toInt(), r.NUM_ANNEE);
            EXPECT_EQ(minutesDe(l[6]), r.totalNormal);
            EXPECT_EQ(minutesDe(l[7]), r.totalArrondi);
            EXPECT_EQ(minutesDe(l[8]) + minutesDe(l[9]) + minutesDe(l[10]), r.totalArrondi);
            ++semainesComparees;
            ++i;
        }
        EXPECT_EQ(i, imprimees.size());
    }
    // 200 employees, 5 weeks, 3 orders; a few may lack a week.
    EXPECT_GT(semainesComparees, 3 * 200 * 4);
}

INSTANTIATE_TEST_SUITE_P(Moteurs, ExportPaieSurLesDeuxMoteurs, LesDeuxMoteurs);
