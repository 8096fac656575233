// The record files on both engines: keys and their uniqueness, ordered reads, positions, the optimistic check,
// transactions over several files; and the SQLite files readable by any SQLite client.
#include "data/RecordFile.h"

#include "InstallationTest.h"
#include "StoreTestTools.h"
#include "data/Database.h"
#include "data/FileAdmin.h"
#include "data/Pack.h"
#include "data/Transaction.h"

#include <QProcess>

using namespace kip;

namespace {

// An employee without a staff number unless given one, and a day line of that card.
Personnel employee(qint16 carte, const QString& nom, const QString& prenom,
                   const QString& matricule = QStringLiteral(""))
{
    return essai::Installation::employe(carte, nom, prenom, matricule);
}
PointVal dayLine(qint16 carte, qint32 date, const QString& nom = QStringLiteral("DURAND"))
{
    return essai::Installation::journee(employee(carte, nom, QStringLiteral("Paul")), date);
}

class RecordFileTest : public InstallationVide
{
protected:
    void SetUp() override
    {
        InstallationVide::SetUp();
        if (arrete())
            return;
        commonOpen(FileId::Personnel);
        commonOpen(FileId::PointVal);
    }
};

using StoreTest = serveuressai::SurLesDeuxMoteurs<RecordFileTest>;

} // namespace

TEST_P(StoreTest, UniqueKeysRefuseDuplicatesIgnoringCase)
{
    Database db(dataDir());
    RecordFile<Personnel> per(db);
    ASSERT_EQ(per.open(), NoError);
    Personnel a = employee(12, QStringLiteral("Martin"), QStringLiteral("Paul"));
    ASSERT_EQ(per.add(a), NoError);
    Personnel b = employee(13, QStringLiteral("MARTIN"), QStringLiteral("paul"));
    FileError err = per.add(b);
    EXPECT_EQ(err, DuplicateKey);
    EXPECT_EQ(err.key, QStringLiteral("PER:K_NOM_PRENOM"));
    Personnel c = employee(12, QStringLiteral("Autre"), QStringLiteral("Nom"));
    err = per.add(c);
    EXPECT_EQ(err, DuplicateKey);
    EXPECT_EQ(err.key, QStringLiteral("PER:K_CARTE"));
    // Employees without a staff number coexist; two with the same one do not.
    Personnel d = employee(14, QStringLiteral("Petit"), QStringLiteral("Léa"));
    EXPECT_EQ(per.add(d), NoError);
    Personnel e = employee(15, QStringLiteral("Roux"), QStringLiteral("Jean"), QStringLiteral("A1"));
    Personnel f = employee(16, QStringLiteral("Blanc"), QStringLiteral("Anne"), QStringLiteral("a1"));
    EXPECT_EQ(per.add(e), NoError);
    EXPECT_EQ(per.add(f), DuplicateKey);
    EXPECT_EQ(per.records().valueOr(-1), 3);

    RecordFile<PointVal> pov(db);
    ASSERT_EQ(pov.open(), NoError);
    PointVal l1 = dayLine(12, 74000);
    PointVal l2 = dayLine(12, 74000, QStringLiteral("AUTRE"));
    EXPECT_EQ(pov.add(l1), NoError);
    err = pov.add(l2);
    EXPECT_EQ(err, DuplicateKey);
    EXPECT_EQ(err.key, QStringLiteral("POV:K_CARTE_DATE"));
}

TEST_P(StoreTest, OrderedReadsByKeyPositionsAndBounds)
{
    Database db(dataDir());
    RecordFile<PointVal> pov(db);
    ASSERT_EQ(pov.open(), NoError);
    {
        Transaction t(db, {FileId::PointVal});
        for (qint16 carte : {3, 1, 2})
            for (qint32 date = 74005; date >= 74000; --date) {
                PointVal v = dayLine(carte, date, QStringLiteral("N%1").arg(carte));
                ASSERT_EQ(pov.add(v), NoError);
            }
        ASSERT_TRUE(t.commit().ok());
    }

    PointVal from = dayLine(2, 74003);
    PointVal to = dayLine(3, 74001);
    Cursor<PointVal> c = pov.read(POV_K_CARTE_DATE, from, Direction::Forward, &to);
    PointVal v;
    QList<QPair<int, int>> seen;
    FileError lu;
    while ((lu = c.next(v)).ok())
        seen << qMakePair(int(v.CARTE), int(v.DATE));
    EXPECT_EQ(lu.code, EndOfFile);
    const QList<QPair<int, int>> expected{{2, 74003}, {2, 74004}, {2, 74005}, {3, 74000}, {3, 74001}};
    EXPECT_EQ(seen, expected);

    Cursor<PointVal> back = pov.read(POV_K_DATE_CARTE, dayLine(2, 74000), Direction::Backward);
    ASSERT_EQ(back.next(v), NoError);
    EXPECT_EQ(v.DATE, 74000);
    EXPECT_EQ(v.CARTE, 2);
    ASSERT_EQ(back.next(v), NoError);
    EXPECT_EQ(v.CARTE, 1);
    EXPECT_EQ(back.next(v), EndOfFile);

    // Read again at a saved position; get by key; a missing key is NotFound.
    PointVal key = dayLine(1, 74002);
    ASSERT_EQ(pov.get(key, POV_K_CARTE_DATE), NoError);
    PointVal again;
    ASSERT_EQ(pov.fetch(again, key.rowid), NoError);
    EXPECT_EQ(again.CARTE, 1);
    EXPECT_EQ(again.DATE, 74002);
    EXPECT_EQ(again.NOM, QStringLiteral("N1"));
    PointVal none = dayLine(9, 74002);
    EXPECT_EQ(pov.get(none, POV_K_CARTE_DATE), NotFound);
}

TEST_P(StoreTest, SecondWriterOfAChangedRecordGetsError89)
{
    Database one(dataDir());
    Database two(dataDir());
    RecordFile<Personnel> a(one);
    RecordFile<Personnel> b(two);
    ASSERT_EQ(a.open(), NoError);
    ASSERT_EQ(b.open(), NoError);
    Personnel p = employee(12, QStringLiteral("Martin"), QStringLiteral("Paul"));
    ASSERT_EQ(a.add(p), NoError);
    Personnel first;
    Personnel second;
    first.CARTE = second.CARTE = 12;
    ASSERT_EQ(a.get(first, PER_K_CARTE), NoError);
    ASSERT_EQ(b.get(second, PER_K_CARTE), NoError);
    first.NOMBRE = 6;
    second.NOMBRE = 8;
    EXPECT_EQ(a.put(first), NoError);
    EXPECT_EQ(b.put(second), ChangedElsewhere);
    EXPECT_EQ(a.put(first), NoError); // the first writer still holds the current version
}

TEST_P(StoreTest, TransactionWaitsForAFileHeldByAnotherConnection)
{
    Database one(dataDir());
    Database two(dataDir());
    auto first = std::make_unique<Transaction>(one, std::initializer_list<FileId>{FileId::Personnel, FileId::PointVal});
    ASSERT_TRUE(first->ok());
    {
        Transaction blocked(two, {FileId::Personnel}, Transaction::Ecriture, 100);
        EXPECT_EQ(blocked.error().code, Locked);
        EXPECT_FALSE(two.inTransaction());
    }
    first.reset(); // rolled back: never committed
    EXPECT_FALSE(one.inTransaction());
    Transaction again(two, {FileId::Personnel}, Transaction::Ecriture, 100);
    EXPECT_TRUE(again.ok());
    EXPECT_TRUE(again.commit().ok());
}

TEST_F(RecordFileTest, FilesAreReadableByTheSqliteShellWithFieldColumns)
{
    {
        Database db(dataDir());
        RecordFile<Personnel> per(db);
        EXPECT_TRUE(per.open().ok());
        Personnel p = employee(42, QStringLiteral("Lefèvre"), QStringLiteral("Zoé"), QStringLiteral("M42"));
        ASSERT_EQ(per.add(p), NoError);
    }
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"), {paths().file(FileId::Personnel),
                                            QStringLiteral("SELECT CARTE, MATRICULE, NOM, PRENOM, length(AUTORISATION) "
                                                           "FROM PERSONNEL;")});
    ASSERT_TRUE(shell.waitForFinished(10000));
    EXPECT_EQ(QString::fromUtf8(shell.readAllStandardOutput()).trimmed(), QStringLiteral("42|M42|Lefèvre|Zoé|16"));

    // A row added by another client with the record's columns alone is a valid record.
    shell.start(QStringLiteral("sqlite3"),
                {paths().file(FileId::Personnel), QStringLiteral("INSERT INTO PERSONNEL (CARTE, NOM, PRENOM) VALUES "
                                                                 "(7, 'Roux', 'Jean');")});
    ASSERT_TRUE(shell.waitForFinished(10000));
    Database db(dataDir());
    RecordFile<Personnel> per(db);
    EXPECT_TRUE(per.open().ok());
    Personnel r;
    r.CARTE = 7;
    ASSERT_EQ(per.get(r, PER_K_CARTE), NoError);
    EXPECT_EQ(r.NOM, QStringLiteral("Roux"));
    EXPECT_EQ(r.PERIODE_INACTIVITE_DEBUT[3], 0);
    r.NOMBRE = 2;
    EXPECT_EQ(per.put(r), NoError);
}

TEST_P(StoreTest, ArraysOfTextsRoundTripThroughTheStore)
{
    commonOpen(FileId::Parametre);
    Database db(dataDir());
    RecordFile<Parametre> par(db);
    ASSERT_EQ(par.open(), NoError);
    Parametre p;
    p.IDENTIFICATION[0] = QStringLiteral("Atelier €");
    p.IDENTIFICATION[15] = QStringLiteral("Un nom bien plus long que vingt caractères");
    p.TERMINAL[3] = 1;
    ASSERT_EQ(par.add(p), NoError);
    Parametre back;
    ASSERT_EQ(par.first(back), NoError);
    EXPECT_EQ(back.IDENTIFICATION[0], QStringLiteral("Atelier €"));
    EXPECT_EQ(back.IDENTIFICATION[15], QStringLiteral("Un nom bien plus lon")); // a STRING(20) keeps 20
    EXPECT_TRUE(back.IDENTIFICATION[7].isEmpty());
    EXPECT_EQ(back.TERMINAL[3], 1);
}

// A text field holds what the record layout can hold, in the store as in the packed record: at most its length,
// characters outside Windows-1252 as "?", trailing spaces clipped. A key read with the text as typed finds it.
TEST_P(StoreTest, TextsOutsideTheCodePageAreStoredAsThePackerWritesThem)
{
    Database db(dataDir());
    RecordFile<Personnel> per(db);
    ASSERT_EQ(per.open(), NoError);
    Personnel typed = employee(7, QStringLiteral("Łukasz Ōmura 😀"), QStringLiteral("Zoë-Œuvre ‘bis’ longue"),
                               QStringLiteral("Ä\u0081\u0080 "));
    ASSERT_EQ(per.add(typed), NoError);
    Personnel stored;
    stored.CARTE = 7;
    ASSERT_EQ(per.get(stored, PER_K_CARTE), NoError);
    EXPECT_EQ(stored.NOM, QStringLiteral("?ukasz ?mura ??"));
    EXPECT_EQ(stored.PRENOM, QStringLiteral("Zoë-Œuvre ‘bis’")); // STRING(15), in the code page
    EXPECT_EQ(stored.MATRICULE, QStringLiteral("Ä\u0081?"));     // an undefined byte is kept, U+0080 is not
    // What was stored packs to the same bytes as what was typed.
    EXPECT_EQ(pack(stored).mid(2, 45), pack(typed).mid(2, 45));
    Personnel byName = employee(0, typed.NOM, typed.PRENOM);
    ASSERT_EQ(per.get(byName, PER_K_NOM_PRENOM), NoError);
    EXPECT_EQ(byName.CARTE, 7);
}

// Damage met while reading is error 46 and names the file, whatever the read.
TEST_F(RecordFileTest, DamagedPageMetWhileReadingIsError46)
{
    const QString path = paths().file(FileId::PointVal);
    Database db(dataDir());
    RecordFile<PointVal> pov(db);
    ASSERT_EQ(pov.open(), NoError);
    {
        Transaction t(db, {FileId::PointVal});
        for (qint32 d = 0; d < 2000; ++d) {
            PointVal v = dayLine(qint16(1 + d % 50), 70000 + d);
            ASSERT_EQ(pov.add(v), NoError);
        }
        ASSERT_EQ(t.commit(), NoError);
    }
    db.detachAll();
    storetest::damagePage(path, 2); // the root of the table
    ASSERT_EQ(pov.open(), NoError);
    Cursor<PointVal> all = pov.readAll();
    PointVal v;
    FileError err;
    while ((err = all.next(v)).ok()) {
    }
    EXPECT_EQ(err.code, KeysInvalid) << err.description().toStdString();
    EXPECT_EQ(err.label, QStringLiteral("POINTVAL"));
}

INSTANTIATE_TEST_SUITE_P(Moteurs, StoreTest, LesDeuxMoteurs);
