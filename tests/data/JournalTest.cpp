// The journal of corrections: an entry commits or rolls back with the change it records, the employee
// paths write the fields that changed, and the reads by period, card and day line.
#include "data/Journal.h"

#include "InstallationTest.h"
#include "calendar/Dates.h"
#include "data/Database.h"
#include "data/Employees.h"
#include "data/FileAdmin.h"
#include "data/RecordFile.h"
#include "data/Transaction.h"

using namespace kip;

namespace {

class JournalTest : public InstallationTest
{
protected:
    void SetUp() override
    {
        InstallationTest::SetUp();
        if (arrete())
            return;
        ajouterJournee(
            ajouter(12, QStringLiteral("MARTIN"), [](Personnel& p) { p.DATE_EMBAUCHE = dayNumber(2004, 1, 5); }),
            74000);
    }

    std::vector<Journal> tout()
    {
        Database db(dataDir());
        std::vector<Journal> entrees;
        EXPECT_EQ(lireJournal(db, {}, entrees), NoError);
        return entrees;
    }

    Personnel lire(Database& db, qint16 carte)
    {
        RecordFile<Personnel> per(db);
        EXPECT_TRUE(per.open().ok());
        Personnel p;
        p.CARTE = carte;
        EXPECT_EQ(per.get(p, PER_K_CARTE), NoError);
        return p;
    }
};

using JournalSurLesDeuxMoteurs = serveuressai::SurLesDeuxMoteurs<JournalTest>;

} // namespace

TEST_F(JournalTest, CreatedByTheCommonOpenAndLockedLast)
{
    EXPECT_FALSE(QFile::exists(paths().file(FileId::Journal)));
    commonOpen(FileId::Journal);
    EXPECT_TRUE(QFileInfo(paths().file(FileId::Journal)).fileName() == QStringLiteral("Journal.tps"));
    EXPECT_TRUE(checkRecordFile(tableOf(FileId::Journal), paths().file(FileId::Journal)).ok());
    EXPECT_TRUE(presenter.shown().isEmpty());
    const std::vector<FileId> ordre = inLockOrder({FileId::Journal, FileId::PointVal, FileId::Personnel});
    EXPECT_EQ(ordre, (std::vector<FileId>{FileId::Personnel, FileId::PointVal, FileId::Journal}));
}

TEST_P(JournalSurLesDeuxMoteurs, TheEntryCommitsAndRollsBackWithTheChange)
{
    commonOpen(FileId::Journal);
    setProgrammeJournal(QStringLiteral("kipother"));
    Database db(dataDir());
    RecordFile<PointVal> pov(db);
    for (bool valider : {false, true}) {
        Transaction t(db, {FileId::PointVal, FileId::Journal});
        ASSERT_TRUE(t.ok());
        PointVal v;
        v.CARTE = 12;
        v.DATE = 74000;
        ASSERT_EQ(pov.get(v, POV_K_CARTE_DATE), NoError);
        Journal e = entreeJournal(v);
        e.AVANT = texteJournee(v.POINTAGE_UTILISATEUR, v.TOTAL);
        v.POINTAGE_UTILISATEUR[0] = 480;
        v.POINTAGE_UTILISATEUR[1] = 1530; // after midnight
        v.TOTAL = 570;
        e.APRES = texteJournee(v.POINTAGE_UTILISATEUR, v.TOTAL);
        e.CAUSE = QString::fromUtf8(CauseJournal::CorrectionJournee);
        ASSERT_EQ(pov.put(v), NoError);
        ASSERT_EQ(ajouterAuJournal(t, e), NoError);
        if (valider)
            ASSERT_TRUE(t.commit().ok());
        else
            t.rollback();
        EXPECT_EQ(tout().size(), valider ? 1u : 0u);
    }
    const Journal e = tout().front();
    EXPECT_EQ(e.CARTE, 12);
    EXPECT_EQ(e.JOUR, 74000);
    EXPECT_EQ(e.NOM, QStringLiteral("MARTIN"));
    EXPECT_EQ(e.AVANT, QStringLiteral("(aucun) = 0.00"));
    EXPECT_EQ(e.APRES, QStringLiteral("8.00 +1.30 = 9.30"));
    EXPECT_EQ(e.PROGRAMME, QStringLiteral("kipother"));
    EXPECT_FALSE(e.UTILISATEUR.isEmpty());
    EXPECT_EQ(e.DATE, Clock::today());
    setProgrammeJournal(QString());

    // A transaction that does not hold the journal cannot take an entry: it would commit without it.
    Transaction sans(db, {FileId::PointVal});
    ASSERT_TRUE(sans.ok());
    Journal orphelin;
    EXPECT_FALSE(ajouterAuJournal(sans, orphelin).ok());
}

TEST_P(JournalSurLesDeuxMoteurs, EmployeeChangeAndDeleteWriteTheirFieldsOnlyWhenTheyHappen)
{
    Database db(dataDir());
    Personnel p = lire(db, 12);
    const LinkValues saved = LinkValues::of(p);
    p.NOM = QStringLiteral("MARTINEZ");
    p.ARRONDI_SEMAINE = QStringLiteral("+15");
    p.PERIODE_INACTIVITE_DEBUT[1] = dayNumber(2004, 8, 2);
    ASSERT_EQ(updateEmployee(db, p, saved), NoError);
    std::vector<Journal> entrees = tout();
    ASSERT_EQ(entrees.size(), 1u);
    EXPECT_EQ(entrees[0].AVANT, QStringLiteral("NOM=MARTIN; ARRONDI_SEMAINE=000; PERIODE_INACTIVITE_DEBUT[2]="));
    EXPECT_EQ(entrees[0].APRES,
              QStringLiteral("NOM=MARTINEZ; ARRONDI_SEMAINE=+15; PERIODE_INACTIVITE_DEBUT[2]=02/08/2004"));
    EXPECT_EQ(entrees[0].NOM, QStringLiteral("MARTINEZ"));
    EXPECT_EQ(entrees[0].JOUR, 0);
    EXPECT_EQ(entrees[0].CAUSE, QString::fromUtf8(CauseJournal::ModificationEmploye));

    // A change refused (another station wrote first) leaves no entry; nor does a failed cascade.
    Database autre(dataDir());
    Personnel q = lire(autre, 12);
    Personnel perime = p;
    q.TOLERANCE_ENTREE = 3;
    ASSERT_EQ(updateEmployee(autre, q, LinkValues::of(q)), NoError);
    perime.TOLERANCE_SORTIE = 7;
    EXPECT_EQ(updateEmployee(db, perime, LinkValues::of(perime)), ChangedElsewhere);
    EXPECT_EQ(tout().size(), 2u);
    (void)refuser("UPDATE", QStringLiteral("POINTVAL"));
    Personnel r = lire(db, 12);
    const LinkValues liens = LinkValues::of(r);
    r.CARTE = 99;
    EXPECT_EQ(updateEmployee(db, r, liens), DriverError);
    EXPECT_EQ(tout().size(), 2u);

    // The delete keeps every field of the employee that left and says how many day lines went with it.
    Personnel s = lire(db, 12);
    ASSERT_EQ(deleteEmployee(db, s), NoError);
    entrees = tout();
    ASSERT_EQ(entrees.size(), 3u);
    EXPECT_TRUE(entrees[2].AVANT.startsWith(QStringLiteral("CARTE=12; MATRICULE=M0012; NOM=MARTINEZ; PRENOM=Paul")))
        << entrees[2].AVANT.toStdString();
    EXPECT_TRUE(entrees[2].AVANT.contains(QStringLiteral("DATE_EMBAUCHE=05/01/2004")));
    EXPECT_EQ(entrees[2].APRES, QStringLiteral("(supprimé avec 1 ligne(s) de jour)"));
}

TEST_P(JournalSurLesDeuxMoteurs, ReadsByPeriodCardAndDayLineNewestFirst)
{
    commonOpen(FileId::Journal);
    Database db(dataDir());
    const qint32 jour = dayNumber(2004, 6, 14);
    Clock::setTimeOfDay(QTime(9, 30, 15)); // the entries' time comes from the clock as their date does
    for (auto [date, carte, ligne] :
         {std::tuple{jour - 1, 12, jour - 3}, std::tuple{jour, 12, jour - 3}, std::tuple{jour, 15, jour - 3},
          std::tuple{jour + 1, 12, jour - 2}, std::tuple{jour + 2, 12, jour - 3}}) {
        Clock::setToday(date);
        Transaction t(db, {FileId::Journal});
        Journal e;
        e.CARTE = qint16(carte);
        e.JOUR = ligne;
        e.CAUSE = QStringLiteral("écrite le %1").arg(DateTexte(date));
        ASSERT_EQ(ajouterAuJournal(t, e), NoError);
        ASSERT_TRUE(t.commit().ok());
    }
    Clock::setToday(0);
    Clock::setTimeOfDay(QTime());
    std::vector<Journal> entrees;
    ASSERT_EQ(lireJournal(db, {jour, jour + 1, 10, 12}, entrees), NoError);
    ASSERT_EQ(entrees.size(), 2u);
    EXPECT_EQ(entrees[0].DATE, jour);
    EXPECT_EQ(entrees[1].DATE, jour + 1);
    ASSERT_EQ(lireJournalJournee(db, 12, jour - 3, entrees), NoError);
    ASSERT_EQ(entrees.size(), 3u);
    EXPECT_EQ(momentJournal(entrees[0]), QDateTime(calendarDate(jour + 2), QTime(9, 30, 15)));
    EXPECT_EQ(entrees[2].DATE, jour - 1);
}

INSTANTIATE_TEST_SUITE_P(Moteurs, JournalSurLesDeuxMoteurs, LesDeuxMoteurs);
