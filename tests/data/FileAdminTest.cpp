// The key rebuild after an unclean end: keys made again from the records, and a file damaged beyond its keys
// still found out by the cheaper check that follows the rebuild.
#include "data/FileAdmin.h"

#include "InstallationTest.h"
#include "StoreTestTools.h"
#include "data/Database.h"
#include "data/RecordFile.h"
#include "data/Transaction.h"

#include <QFile>
#include <QtEndian>
#include <sqlite3.h>

using namespace kip;

namespace {

class FileAdminTest : public InstallationVide
{
protected:
    void SetUp() override
    {
        InstallationVide::SetUp();
        m_path = paths().file(FileId::PointVal);
        ASSERT_TRUE(createRecordFile(table(), m_path).ok());
        Database db = connexion();
        RecordFile<PointVal> pov(db);
        ASSERT_EQ(pov.open(), NoError);
        Transaction t(db, {FileId::PointVal});
        for (int i = 0; i < 3000; ++i) {
            PointVal v = journee(employe(qint16(1 + i % 30)), 80000 + i / 30, {480 + i % 7});
            ASSERT_EQ(pov.add(v), NoError);
        }
        ASSERT_EQ(t.commit(), NoError);
    }

    static const TableDecl& table() { return tableOf(FileId::PointVal); }

    // A copy of the intact file to damage.
    QString copy(const QString& name)
    {
        const QString to = dataDir() + QLatin1Char('/') + name;
        EXPECT_TRUE(QFile::copy(m_path, to));
        return to;
    }

    QString m_path;
};

} // namespace

TEST_F(FileAdminTest, RebuildMakesMissingOrChangedKeysAgain)
{
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(m_path.toUtf8().constData(), &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw,
                           "DROP INDEX K_DATE_NOM; DROP INDEX K_MAT_DATE; CREATE INDEX K_MAT_DATE ON POINTVAL (DATE)",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(raw);
    EXPECT_EQ(checkRecordFile(table(), m_path).code, KeysInvalid);
    ASSERT_TRUE(rebuildRecordFileKeys(table(), m_path, true).ok());
    EXPECT_TRUE(checkRecordFile(table(), m_path, FileCheck::Pages).ok());
}

// Garbage over a page of the records or of a key, wherever it falls, makes the rebuild fail with 46.
TEST_F(FileAdminTest, RebuildRefusesAFileWithADamagedPage)
{
    const int pages = storetest::pagesOf(m_path);
    ASSERT_GT(pages, 20);
    for (int page : {2, 5, pages / 3, pages / 2, pages - 1, pages}) {
        const QString damaged = copy(QStringLiteral("Damaged%1.tps").arg(page));
        storetest::damagePage(damaged, page);
        const FileError err = rebuildRecordFileKeys(table(), damaged, true);
        EXPECT_EQ(err.code, KeysInvalid) << "page " << page << ": " << err.description().toStdString();
    }
}

// A page that belongs to nothing is no damage to any record or key, so building the keys does not meet it;
// the check that follows the rebuild does.
TEST_F(FileAdminTest, RebuildFindsAPageThatBelongsToNothing)
{
    const QString damaged = copy(QStringLiteral("Orphan.tps"));
    QFile f(damaged);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const int pages = int(f.size() / storetest::PageSize);
    ASSERT_TRUE(f.seek(f.size()));
    f.write(QByteArray(storetest::PageSize, '\0'));
    ASSERT_TRUE(f.seek(28)); // the header's page count
    quint32 count = qToBigEndian(quint32(pages + 1));
    f.write(reinterpret_cast<const char*>(&count), 4);
    f.close();
    EXPECT_TRUE(checkRecordFile(table(), damaged).ok());
    const FileError err = rebuildRecordFileKeys(table(), damaged, true);
    EXPECT_EQ(err.code, KeysInvalid);
    EXPECT_TRUE(err.fileText.contains(QStringLiteral("never used"))) << err.fileText.toStdString();
}

// A leaf page of a key written over: REINDEX cannot free it, so the repair makes the file anew from its records
// (every one of them, with its position and row version), says how many it kept, and keeps the damaged bytes.
// A file whose records are damaged too keeps every record a scan can still read.
TEST_F(FileAdminTest, ARebuildThatCannotFreeADamagedKeyPageMakesTheFileAnewFromItsRecords)
{
    auto lignes = [](const QString& path) {
        sqlite3* raw = nullptr;
        EXPECT_EQ(sqlite3_open(path.toUtf8().constData(), &raw), SQLITE_OK);
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(raw, "SELECT rowid, * FROM POINTVAL NOT INDEXED", -1, &st, nullptr), SQLITE_OK);
        QMap<qint64, QByteArray> tout;
        while (sqlite3_step(st) == SQLITE_ROW) {
            QByteArray ligne;
            for (int c = 1; c < sqlite3_column_count(st); ++c)
                ligne +=
                    QByteArray(reinterpret_cast<const char*>(sqlite3_column_blob(st, c)), sqlite3_column_bytes(st, c)) +
                    '|';
            tout.insert(sqlite3_column_int64(st, 0), ligne);
        }
        sqlite3_finalize(st);
        sqlite3_close(raw);
        return tout;
    };
    auto page = [](const QString& path, const char* objet, const char* genre, int rang) {
        sqlite3* raw = nullptr;
        EXPECT_EQ(sqlite3_open(path.toUtf8().constData(), &raw), SQLITE_OK);
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(raw, "SELECT pageno FROM dbstat WHERE name = ?1 AND pagetype = ?2 ORDER BY pageno",
                                     -1, &st, nullptr),
                  SQLITE_OK)
            << "dbstat: " << sqlite3_errmsg(raw);
        sqlite3_bind_text(st, 1, objet, -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 2, genre, -1, SQLITE_STATIC);
        int n = 0;
        for (int i = 0; i <= rang && sqlite3_step(st) == SQLITE_ROW; ++i)
            n = sqlite3_column_int(st, 0);
        sqlite3_finalize(st);
        sqlite3_close(raw);
        return n;
    };
    const QMap<qint64, QByteArray> avant = lignes(m_path);
    ASSERT_EQ(avant.size(), 3000);
    const int cle = page(m_path, "K_DATE_CARTE", "leaf", 3);
    ASSERT_GT(cle, 1);
    QFile f(m_path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.seek(qint64(cle - 1) * storetest::PageSize));
    f.write(QByteArray(3000, '\x5a'));
    f.close();
    ASSERT_EQ(lignes(m_path), avant) << "the damage must leave the records readable";

    EXPECT_EQ(rebuildRecordFileKeys(table(), m_path, true).code, KeysInvalid); // REINDEX alone cannot
    rebuildAllKeys();
    EXPECT_TRUE(checkRecordFile(table(), m_path, FileCheck::Pages).ok());
    EXPECT_EQ(lignes(m_path), avant);
    ASSERT_EQ(presenter.shown().size(), 1);
    EXPECT_EQ(presenter.shown()[0].number, 41);
    EXPECT_TRUE(presenter.shown()[0].text.contains(QStringLiteral("3000 enregistrement(s) gardé(s)")))
        << presenter.shown()[0].text.toStdString();
    EXPECT_TRUE(QFile::exists(m_path + QStringLiteral(".endommage")));

    // A page of records lost as well: every other record is kept.
    const QString copie = copy(QStringLiteral("Records.tps"));
    const int donnees = page(copie, "POINTVAL", "leaf", 10);
    ASSERT_GT(donnees, 1);
    storetest::damagePage(copie, donnees);
    RebuildAnew refait;
    ASSERT_TRUE(rebuildRecordFileKeys(table(), copie, true, 2000, &refait).ok());
    ASSERT_TRUE(refait.done);
    const QMap<qint64, QByteArray> gardees = lignes(copie);
    EXPECT_EQ(refait.kept, gardees.size());
    EXPECT_GT(gardees.size(), 2900);
    EXPECT_LT(gardees.size(), 3000);
    for (auto it = gardees.cbegin(); it != gardees.cend(); ++it)
        EXPECT_EQ(it.value(), avant.value(it.key())) << "position " << it.key();
}
