// Employees written with their day lines in one transaction, and the messages of those paths.
#include "data/Employees.h"

#include "InstallationTest.h"
#include "StoreTestTools.h"
#include "data/Database.h"
#include "data/FileAdmin.h"
#include "data/RecordFile.h"
#include "data/Transaction.h"

using namespace kip;

namespace {

class EmployeesTest : public InstallationTest
{
protected:
    void SetUp() override
    {
        InstallationTest::SetUp();
        if (arrete())
            return;
        for (const Personnel& p : {ajouter(12, QStringLiteral("MARTIN")), ajouter(13, QStringLiteral("DURAND"))})
            for (qint32 d = 74000; d < 74010; ++d)
                ajouterJournee(p, d);
    }
    qsizetype lignes(qint16 carte) { return journees(carte).size(); }
    Personnel read(Database& db, qint16 carte)
    {
        RecordFile<Personnel> per(db);
        EXPECT_TRUE(per.open().ok());
        Personnel p;
        p.CARTE = carte;
        EXPECT_EQ(per.get(p, PER_K_CARTE), NoError);
        return p;
    }
};

using EmployeesSurLesDeuxMoteurs = serveuressai::SurLesDeuxMoteurs<EmployeesTest>;

} // namespace

TEST_P(EmployeesSurLesDeuxMoteurs, ACardChangeReachesThatEmployeesDayLinesAllOrNone)
{
    // One day line refuses the change, as a full disk or a damaged page would.
    const QString cause = refuser("UPDATE", QStringLiteral("POINTVAL"), QStringLiteral("OLD.DATE = 74007"));
    Database db(dataDir());
    Personnel p = read(db, 12);
    const LinkValues saved = LinkValues::of(p);
    p.CARTE = 15;
    p.NOM = QStringLiteral("MARTINEZ");
    EXPECT_EQ(updateEmployee(db, p, saved), DriverError);
    ASSERT_EQ(presenter.shown().size(), 1);
    EXPECT_EQ(presenter.shown()[0].number, 15);
    EXPECT_TRUE(presenter.shown()[0].text.contains(QStringLiteral("POINTVAL")));
    EXPECT_TRUE(presenter.shown()[0].text.contains(cause));
    EXPECT_EQ(lignes(12), 10);
    EXPECT_EQ(lignes(15), 0);
    Database fresh(dataDir());
    EXPECT_EQ(read(fresh, 12).NOM, QStringLiteral("MARTIN"));
    // Once the cause is gone the same record saves (its version was not spent by the failed attempt), and the
    // change reaches that employee's day lines alone.
    plusDeRefus(QStringLiteral("POINTVAL"));
    EXPECT_EQ(updateEmployee(db, p, saved), NoError);
    EXPECT_TRUE(presenter.shown().size() == 1);
    EXPECT_EQ(lignes(15), 10);
    EXPECT_EQ(lignes(12), 0);
    EXPECT_EQ(lignes(13), 10);
}

TEST_P(EmployeesSurLesDeuxMoteurs, DeleteTakesTheDayLinesInTheSameTransaction)
{
    Database db(dataDir());
    Personnel p = read(db, 13);
    EXPECT_EQ(deleteEmployee(db, p), NoError);
    EXPECT_EQ(lignes(13), 0);
    EXPECT_EQ(lignes(12), 10);
    RecordFile<Personnel> per(db);
    EXPECT_TRUE(per.open().ok());
    Personnel gone;
    gone.CARTE = 13;
    EXPECT_EQ(per.get(gone, PER_K_CARTE), NotFound);

    // A failure while deleting the day lines keeps the employee and all its day lines.
    refuser("DELETE", QStringLiteral("POINTVAL"), QStringLiteral("OLD.DATE = 74005"));
    Personnel q = read(db, 12);
    EXPECT_EQ(deleteEmployee(db, q), DriverError);
    ASSERT_EQ(presenter.shown().size(), 1);
    EXPECT_EQ(presenter.shown().last().number, 17);
    EXPECT_TRUE(presenter.shown().last().text.endsWith(QStringLiteral("enregistrement POINTVAL.")));
    EXPECT_EQ(lignes(12), 10);
    Personnel still;
    still.CARTE = 12;
    EXPECT_EQ(per.get(still, PER_K_CARTE), NoError);
    plusDeRefus(QStringLiteral("POINTVAL"));

    // A failure of the employee's own delete, once its day lines are gone, brings the day lines back.
    const QString cause = refuser("DELETE", QStringLiteral("PERSONNEL"));
    EXPECT_EQ(deleteEmployee(db, q), DriverError);
    ASSERT_EQ(presenter.shown().size(), 2);
    EXPECT_EQ(presenter.shown().last().number, 17);
    EXPECT_TRUE(presenter.shown().last().text.contains(cause));
    EXPECT_TRUE(presenter.shown().last().text.endsWith(QStringLiteral("enregistrement PERSONNEL.")));
    EXPECT_EQ(lignes(12), 10);
    EXPECT_EQ(per.get(still, PER_K_CARTE), NoError);
}

TEST_P(EmployeesSurLesDeuxMoteurs, TwoStationsEditTheSameEmployee)
{
    Database stationA(dataDir());
    Database stationB(dataDir());
    Personnel a = read(stationA, 12);
    Personnel b = read(stationB, 12);
    const LinkValues savedA = LinkValues::of(a);
    const LinkValues savedB = LinkValues::of(b);
    a.TOLERANCE_ENTREE = 5;
    b.TOLERANCE_ENTREE = 9;
    b.NOM = QStringLiteral("MARTINET");
    EXPECT_EQ(updateEmployee(stationA, a, savedA), NoError);
    EXPECT_EQ(updateEmployee(stationB, b, savedB), ChangedElsewhere);
    ASSERT_EQ(presenter.shown().size(), 1);
    const MessageSpec m = presenter.shown()[0];
    EXPECT_EQ(m.number, 15);
    EXPECT_EQ(m.title, QStringLiteral("Erreur en modification"));
    EXPECT_EQ(m.text, QStringLiteral("Cet enregistrement a été modifié par une autre station."));
    // Station B now shows the values that station A stored, and its day lines were not renamed.
    EXPECT_EQ(b.TOLERANCE_ENTREE, 5);
    EXPECT_EQ(b.NOM, QStringLiteral("MARTIN"));
    EXPECT_EQ(lignes(12), 10);
}

TEST_P(EmployeesSurLesDeuxMoteurs, TransactionThatCannotStartShowsMessage34)
{
    Database holder(dataDir());
    Transaction held(holder, {FileId::Personnel});
    ASSERT_TRUE(held.ok());
    Database db(dataDir());
    Personnel p = read(db, 13);
    EXPECT_EQ(updateEmployee(db, p, LinkValues::of(p)), Locked);
    ASSERT_EQ(presenter.shown().size(), 1);
    const MessageSpec m = presenter.shown()[0];
    EXPECT_EQ(m.number, 34);
    EXPECT_EQ(m.title, QStringLiteral("Erreur transaction"));
    EXPECT_EQ(m.text, QStringLiteral("Erreur: (Fichier verrouillé par un autre utilisateur (32)) ouverture de "
                                     "transaction update sur fichier PERSONNEL. Update Transaction annulée."));
}

// A file that cannot be written is the one the message names, whichever of the two it is.
TEST_F(EmployeesTest, ReadOnlyFileIsTheOneNamed)
{
    Database db(dataDir());
    Personnel p = read(db, 12);
    p.NOM = QStringLiteral("MARTINEZ");
    {
        storetest::ReadOnlyFile readOnly(paths().file(FileId::PointVal));
        if (!readOnly.ok())
            GTEST_SKIP() << "this file system cannot make a file read-only for this user";
        Database fresh(dataDir());
        EXPECT_EQ(updateEmployee(fresh, p, LinkValues::of(read(fresh, 12))), DriverError);
    }
    ASSERT_EQ(presenter.shown().size(), 1);
    EXPECT_EQ(presenter.shown()[0].number, 34);
    EXPECT_TRUE(presenter.shown()[0].text.endsWith(QStringLiteral("sur fichier POINTVAL. Update Transaction annulée.")))
        << presenter.shown()[0].text.toStdString();
    {
        storetest::ReadOnlyFile readOnly(paths().file(FileId::Personnel));
        Database fresh(dataDir());
        EXPECT_EQ(updateEmployee(fresh, p, LinkValues::of(read(fresh, 12))), DriverError);
    }
    ASSERT_EQ(presenter.shown().size(), 2);
    EXPECT_TRUE(presenter.shown()[1].text.endsWith(QStringLiteral("sur fichier PERSONNEL. Update Transaction "
                                                                  "annulée.")));
    EXPECT_TRUE(presenter.shown()[1].text.contains(QStringLiteral("Fichier de données en lecture seule (8)")))
        << presenter.shown()[1].text.toStdString();
}

// Damage met while deleting day lines is error 46 and takes the repair path of the common open, not message 17;
// the repair makes the file anew from what it can read.
TEST_F(EmployeesTest, DamageMetOnTheWayTakesTheRepairPath)
{
    const QString path = paths().file(FileId::PointVal);
    {
        const Personnel martin = *employeLu(12);
        Transaction batch(*base, {FileId::PointVal});
        for (qint32 d = 75000; d < 75400; ++d)
            ajouterJournee(martin, d);
        ASSERT_EQ(batch.commit(), NoError);
    }
    fermer();
    storetest::damagePage(path, storetest::pagesOf(path) / 2);
    EXPECT_TRUE(checkRecordFile(tableOf(FileId::PointVal), path).ok()); // not seen at open: the file is large
    // The repair question, then the file made anew from its readable records: the data goes on.
    presenter.answer(ButtonYes);
    {
        Database db(dataDir());
        Personnel p = read(db, 12);
        (void)deleteEmployee(db, p);
    }
    const QList<MessageSpec> shown = presenter.shown();
    ASSERT_GE(shown.size(), 2);
    EXPECT_EQ(shown[0].number, 2);
    EXPECT_EQ(shown[0].text, path + QStringLiteral(" : clé invalide.  Voulez-vous reconstruire les clés?"));
    EXPECT_EQ(shown[1].number, 41);
    EXPECT_TRUE(checkRecordFile(tableOf(FileId::PointVal), path, FileCheck::Pages).ok());
}

INSTANTIATE_TEST_SUITE_P(Moteurs, EmployeesSurLesDeuxMoteurs, LesDeuxMoteurs);
