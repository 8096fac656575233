// The engine chosen by Data/Base.txt, a server that cannot be reached, tables made on an empty database, long
// ordered reads held open beside other reads and writes on both engines, and the server's tables copied as
// SQLite files.
#include "InstallationTest.h"
#include "data/Base.h"
#include "data/Database.h"
#include "data/FileAdmin.h"
#include "data/Pack.h"
#include "data/RecordFile.h"
#include "data/ServerAdmin.h"
#include "data/Transaction.h"

#include <QFile>

using namespace kip;

namespace {

using EnginesTest = InstallationVide;

class EnginesSurLesDeuxMoteurs : public serveuressai::SurLesDeuxMoteurs<InstallationVide>
{
protected:
    void SetUp() override
    {
        InstallationVide::SetUp();
        if (arrete())
            return;
        commonOpen(FileId::PointVal);
    }
};

class ServeurSeulTest : public InstallationVide
{
protected:
    serveuressai::Moteur moteur() const override { return serveuressai::Moteur::Serveur; }
};

} // namespace

TEST_F(EnginesTest, BaseTxtNamesTheServerAndNeverHoldsAPassword)
{
    EXPECT_EQ(readBaseFile(dataDir()).valueOr(QStringLiteral("?")), QString()); // absent: the SQLite files
    struct Cas
    {
        QByteArray contenu;
        QString attendu; // the connection string, or empty when refused
    };
    const Cas cas[] = {
        {"host=serveur dbname=kip user=kip\r\n", QStringLiteral("host=serveur dbname=kip user=kip")},
        {"service=kip\n", QStringLiteral("service=kip")},
        {"host=serveur password=secret\n", QString()},
        {"\n", QString()},
        {"host='non fermé\n", QString()},
    };
    for (const Cas& c : cas) {
        ecrire(dataDir() + QStringLiteral("/Base.txt"), c.contenu);
        const Result<QString> lu = readBaseFile(dataDir());
        EXPECT_EQ(lu.valueOr(QString()), c.attendu) << c.contenu.constData();
        EXPECT_EQ(bool(lu), !c.attendu.isEmpty()) << c.contenu.constData();
    }
}

TEST_F(EnginesTest, AServerThatCannotBeReachedIsNamedWithItsReasonAndNothingIsWritten)
{
    const QString absent = tmp.path() + QStringLiteral("/aucun-serveur");
    ecrire(dataDir() + QStringLiteral("/Base.txt"),
           QStringLiteral("host=%1 dbname=kip connect_timeout=2\n").arg(absent).toUtf8());
    const QStringList avant = QDir(dataDir()).entryList(QDir::Files);
    const FileError e = chooseStore(dataDir());
    setStoreServer(QString());
    EXPECT_EQ(e.code, DriverError);
    EXPECT_TRUE(e.description().startsWith(QStringLiteral("Serveur %1 (base kip) injoignable: ").arg(absent)))
        << e.description().toStdString();
    EXPECT_TRUE(e.description().contains(QStringLiteral("No such file"))) << e.description().toStdString();
    EXPECT_EQ(QDir(dataDir()).entryList(QDir::Files), avant);
}

TEST_F(EnginesTest, TheCommonOpenMakesTheTablesOfAnEmptyDatabase)
{
    if (serveuressai::socketServeur().isEmpty())
        GTEST_SKIP() << "KIP_TEST_PGHOST absent: the server's tests are skipped (scripts/test starts one)";
    const QString nom = QStringLiteral("kip_vide_%1").arg(::getpid());
    ASSERT_EQ(serveuressai::administrer(QStringLiteral("postgres"), QStringLiteral("CREATE DATABASE %1").arg(nom)),
              QString());
    setStoreServer(serveuressai::conninfo(nom));
    {
        Database db(dataDir());
        EXPECT_EQ(checkServerTable(db, tableOf(FileId::Journal)).code, NotFound);
        commonOpen(FileId::Journal);
        commonOpen(FileId::Journal); // found made
        EXPECT_EQ(checkServerTable(db, tableOf(FileId::Journal)), NoError);
        EXPECT_EQ(checkServerTable(db, tableOf(FileId::PointVal)).code, NotFound);
        EXPECT_TRUE(presenter.shown().isEmpty());
        EXPECT_FALSE(QFile::exists(paths().file(FileId::Journal)));
    }
    setStoreServer(QString());
    ServerConnection::closePool(serveuressai::conninfo(nom));
    EXPECT_EQ(
        serveuressai::administrer(QStringLiteral("postgres"), QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(nom)),
        QString());
}

// A read of many records comes in batches: two reads open at once, and a write between their steps, each see
// what they should, and the write is kept.
TEST_P(EnginesSurLesDeuxMoteurs, LongReadsStayOpenBesideOtherReadsAndWrites)
{
    constexpr int Lignes = 5000; // more than one batch of the server's
    Database db(dataDir());
    RecordFile<PointVal> pov(db);
    ASSERT_EQ(pov.open(), NoError);
    {
        Transaction t(db, {FileId::PointVal});
        for (int i = 0; i < Lignes; ++i) {
            PointVal v = journee(employe(qint16(1 + i % 100)), 74000 + i / 100);
            ASSERT_EQ(pov.addLater(v), NoError);
        }
        ASSERT_EQ(pov.flush(), NoError);
        ASSERT_EQ(t.commit(), NoError);
    }
    PointVal from;
    from.CARTE = 1;
    from.DATE = 0;
    PointVal to;
    to.CARTE = 100;
    to.DATE = 99999;
    Cursor<PointVal> a = pov.read(POV_K_CARTE_DATE, from, Direction::Forward, &to);
    PointVal v;
    int lusA = 0;
    for (; lusA < 10; ++lusA)
        ASSERT_EQ(a.next(v), NoError);
    int lusB = 0;
    {
        Cursor<PointVal> b = pov.read(POV_K_DATE_CARTE, PointVal{}, Direction::Forward);
        qint32 date = 0;
        while (b.next(v).ok()) {
            EXPECT_GE(v.DATE, date);
            date = v.DATE;
            ++lusB;
        }
    }
    EXPECT_EQ(lusB, Lignes);
    PointVal ajout = journee(employe(500), 74000); // beyond the first read's bound
    ASSERT_EQ(pov.add(ajout), NoError);
    qint16 carte = 0;
    while (a.next(v).ok()) {
        EXPECT_GE(v.CARTE, carte);
        carte = v.CARTE;
        ++lusA;
    }
    EXPECT_EQ(lusA, Lignes);
    // A read begun after the write, while the first one is still open, sees it.
    Cursor<PointVal> c = pov.read(POV_K_CARTE_DATE, ajout, Direction::Forward);
    ASSERT_EQ(c.next(v), NoError);
    EXPECT_EQ(v.CARTE, 500);
    a = Cursor<PointVal>();
    Database autre(dataDir());
    RecordFile<PointVal> vu(autre);
    ASSERT_EQ(vu.open(), NoError);
    EXPECT_EQ(vu.records().valueOr(-1), Lignes + 1);
}

// A backup of the server is an SQLite file that reads like the files' own: every record at its position with
// its version, and the checks of the common open passed.
TEST_F(ServeurSeulTest, TheServersTableCopiesIntoAnSqliteFile)
{
    commonOpen(FileId::PointVal);
    Database db(dataDir());
    RecordFile<PointVal> pov(db);
    ASSERT_EQ(pov.open(), NoError);
    QMap<qint64, QByteArray> avant;
    for (int i = 0; i < 300; ++i) {
        PointVal v = journee(employe(qint16(1 + i % 30), QStringLiteral("Nom é %1").arg(1 + i % 30)), 74000 + i / 30);
        v.POINTAGE_ORIGINE[3] = qint16(i);
        ASSERT_EQ(pov.add(v), NoError);
        if (i % 7 == 0) {
            ASSERT_EQ(pov.put(v), NoError); // a version other than 0
        }
        avant.insert(v.rowid, pack(v) + '/' + QByteArray::number(v.version));
    }
    const QString copie = tmp.path() + QStringLiteral("/PointVal.tps");
    ASSERT_EQ(copyServerTable(tableOf(FileId::PointVal), copie), NoError);
    EXPECT_EQ(checkRecordFile(tableOf(FileId::PointVal), copie, FileCheck::Pages), NoError);
    Database fichier(Database::PrivateFile{copie, QStringLiteral("POINTVAL"), true});
    RecordFile<PointVal> lu(fichier);
    Cursor<PointVal> c = lu.readAll();
    QMap<qint64, QByteArray> apres;
    PointVal v;
    while (c.next(v).ok())
        apres.insert(v.rowid, pack(v) + '/' + QByteArray::number(v.version));
    EXPECT_EQ(apres, avant);
}

INSTANTIATE_TEST_SUITE_P(Moteurs, EnginesSurLesDeuxMoteurs, LesDeuxMoteurs);
