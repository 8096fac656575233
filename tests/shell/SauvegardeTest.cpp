// Backup copies: the new copy takes the former one's name by one rename, so that the name never stands empty.
// A copy that fails halfway, on every fault of the disk, is the crash suite's (PannesEcrivains).
#include "shell/Sauvegarde.h"

#include "data/Database.h"
#include "data/FileAdmin.h"
#include "data/RecordFile.h"
#include "data/Transaction.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

using namespace kip;

namespace {

class SauvegardeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tmp.isValid());
        m_data = m_tmp.filePath(QStringLiteral("Data"));
        m_save = m_tmp.filePath(QStringLiteral("SaveAuto"));
        ASSERT_TRUE(QDir().mkpath(m_data) && QDir().mkpath(m_save));
        m_source = m_data + QStringLiteral("/PointVal.tps");
        ASSERT_TRUE(createRecordFile(tableOf(FileId::PointVal), m_source).ok());
        addDayLines(0, 50);
    }

    void addDayLines(int from, int count)
    {
        Database db(m_data);
        RecordFile<PointVal> file(db);
        ASSERT_EQ(file.open(), NoError);
        Transaction t(db, {FileId::PointVal});
        for (int i = from; i < from + count; ++i) {
            PointVal v;
            v.clearPunches();
            v.CARTE = qint16(1 + i % 40);
            v.DATE = 80000 + i;
            v.NOM = QStringLiteral("NOM%1").arg(i % 40);
            ASSERT_EQ(file.add(v), NoError);
        }
        ASSERT_EQ(t.commit(), NoError);
    }

    qint64 dayLinesIn(const QString& dir)
    {
        Database db(dir);
        RecordFile<PointVal> file(db);
        EXPECT_EQ(file.open(), NoError);
        return file.records().valueOr(-1);
    }

    // The copies and whatever a copy left behind (the connection's own Topspeed.tcf aside).
    static QStringList copiesIn(const QString& dir)
    {
        return QDir(dir).entryList({QStringLiteral("*.tps*"), QStringLiteral("*.txt*"), QStringLiteral("*.part*")},
                                   QDir::Files);
    }

    static QByteArray contents(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir m_tmp;
    QString m_data, m_save, m_source;
};

// The events of a directory, as "DELETE name" and "MOVED_TO name".
class DirectoryWatch
{
public:
    explicit DirectoryWatch(const QString& dir) : m_fd(inotify_init1(IN_NONBLOCK))
    {
        EXPECT_GE(m_fd, 0);
        EXPECT_GE(inotify_add_watch(m_fd, QFile::encodeName(dir).constData(), IN_DELETE | IN_MOVED_TO), 0);
    }
    ~DirectoryWatch() { ::close(m_fd); }
    QStringList events()
    {
        QStringList out;
        alignas(inotify_event) char buf[8192];
        ssize_t n;
        while ((n = ::read(m_fd, buf, sizeof buf)) > 0) {
            for (char* p = buf; p < buf + n;) {
                const auto* e = reinterpret_cast<const inotify_event*>(p);
                out << QStringLiteral("%1 %2").arg(e->mask & IN_DELETE ? QStringLiteral("DELETE")
                                                                       : QStringLiteral("MOVED_TO"),
                                                   QString::fromLocal8Bit(e->name));
                p += sizeof(inotify_event) + e->len;
            }
        }
        return out;
    }

private:
    int m_fd;
};

} // namespace

TEST_F(SauvegardeTest, NewCopyReplacesTheFormerOneByOneRename)
{
    const QString copy = m_save + QStringLiteral("/PointVal.tps");
    ASSERT_TRUE(copyRecordFile(m_source, copy).ok());
    addDayLines(50, 50);
    const QString text = m_save + QStringLiteral("/Origin01.txt");
    QFile::remove(m_data + QStringLiteral("/Origin01.txt"));
    {
        QFile f(m_data + QStringLiteral("/Origin01.txt"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("0012 09/12/2026 08:00 01\r\n");
    }
    ASSERT_TRUE(copierFichierTexte(m_data + QStringLiteral("/Origin01.txt"), text).ok());
    {
        QFile f(m_data + QStringLiteral("/Origin01.txt"));
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("0012 09/12/2026 17:00 01\r\n");
    }

    DirectoryWatch watch(m_save);
    ASSERT_TRUE(copyRecordFile(m_source, copy).ok());
    ASSERT_TRUE(copierFichierTexte(m_data + QStringLiteral("/Origin01.txt"), text).ok());
    const QStringList events = watch.events();
    // The former copies were never removed: their names went straight from the old file to the new one.
    EXPECT_FALSE(events.contains(QStringLiteral("DELETE PointVal.tps"))) << events.join(u',').toStdString();
    EXPECT_FALSE(events.contains(QStringLiteral("DELETE Origin01.txt"))) << events.join(u',').toStdString();
    EXPECT_TRUE(events.contains(QStringLiteral("MOVED_TO PointVal.tps")));
    EXPECT_TRUE(events.contains(QStringLiteral("MOVED_TO Origin01.txt")));
    EXPECT_EQ(dayLinesIn(m_save), 100);
    EXPECT_EQ(contents(text), contents(m_data + QStringLiteral("/Origin01.txt")));
    EXPECT_EQ(copiesIn(m_save), QStringList({QStringLiteral("Origin01.txt"), QStringLiteral("PointVal.tps")}));
}
