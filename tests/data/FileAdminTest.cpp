// The key rebuild after an unclean end: keys made again from the records, and a file damaged beyond its keys
// still found out by the cheaper check that follows the rebuild.
#include "data/FileAdmin.h"

#include "DataFixture.h"
#include "StoreTestTools.h"
#include "data/Database.h"
#include "data/RecordFile.h"
#include "data/Transaction.h"

#include <QFile>
#include <QtEndian>
#include <sqlite3.h>

using namespace kip;

namespace {

class FileAdminTest : public DataFixture
{
protected:
    void SetUp() override
    {
        DataFixture::SetUp();
        m_path = paths().file(FileId::PointVal);
        ASSERT_TRUE(createRecordFile(table(), m_path).ok());
        Database db(dataDir());
        RecordFile<PointVal> pov(db);
        ASSERT_EQ(pov.open(), NoError);
        Transaction t(db, {FileId::PointVal});
        for (int i = 0; i < 3000; ++i) {
            PointVal v;
            v.clearPunches();
            v.CARTE = qint16(1 + i % 30);
            v.DATE = 80000 + i / 30;
            v.NOM = QStringLiteral("NOM%1").arg(v.CARTE);
            v.MATRICULE = QStringLiteral("M%1").arg(v.CARTE);
            v.POINTAGE_ORIGINE[0] = qint16(480 + i % 7);
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
