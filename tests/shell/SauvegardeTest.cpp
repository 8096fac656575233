// Backup copies: the new copy takes the former one's name by one rename, so that the name never stands empty.
// A copy that fails halfway, on every fault of the disk, is the crash suite's (PannesEcrivains).
#include "shell/Sauvegarde.h"

#include "InstallationTest.h"

#include <sys/inotify.h>
#include <unistd.h>

using namespace kip;

namespace {

class SauvegardeTest : public InstallationTest
{
protected:
    void ajouterJournees(int de, int nombre)
    {
        for (int i = de; i < de + nombre; ++i)
            ajouter(journee(employe(qint16(1 + i % 40)), 80000 + i));
    }
    qint64 journeesDans(const QString& dir)
    {
        Database db(dir);
        RecordFile<PointVal> file(db);
        EXPECT_EQ(file.open(), NoError);
        return file.records().valueOr(-1);
    }
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
    const QString sauve = dir() + QStringLiteral("/SaveAuto");
    const QString copie = sauve + QStringLiteral("/PointVal.tps");
    const QString origine = dataDir() + QStringLiteral("/Origin01.txt");
    const QString texte = sauve + QStringLiteral("/Origin01.txt");
    ajouterJournees(0, 50);
    ASSERT_TRUE(copyRecordFile(paths().file(FileId::PointVal), copie).ok());
    ajouterJournees(50, 50);
    ASSERT_TRUE(ecrire(origine, "0012 09/12/2026 08:00 01\r\n"));
    ASSERT_TRUE(copierFichierTexte(origine, texte).ok());
    ASSERT_TRUE(ecrire(origine, "0012 09/12/2026 08:00 01\r\n0012 09/12/2026 17:00 01\r\n"));

    DirectoryWatch watch(sauve);
    ASSERT_TRUE(copyRecordFile(paths().file(FileId::PointVal), copie).ok());
    ASSERT_TRUE(copierFichierTexte(origine, texte).ok());
    const QStringList events = watch.events();
    // The former copies were never removed: their names went straight from the old file to the new one.
    EXPECT_FALSE(events.contains(QStringLiteral("DELETE PointVal.tps"))) << events.join(u',').toStdString();
    EXPECT_FALSE(events.contains(QStringLiteral("DELETE Origin01.txt"))) << events.join(u',').toStdString();
    EXPECT_TRUE(events.contains(QStringLiteral("MOVED_TO PointVal.tps")));
    EXPECT_TRUE(events.contains(QStringLiteral("MOVED_TO Origin01.txt")));
    EXPECT_EQ(journeesDans(sauve), 100);
    EXPECT_EQ(lireFichier(texte), lireFichier(origine));
    // Nothing left behind by the copies (no part file).
    EXPECT_EQ(QDir(sauve).entryList({QStringLiteral("*.tps*"), QStringLiteral("*.txt*"), QStringLiteral("*.part*")},
                                    QDir::Files),
              QStringList({QStringLiteral("Origin01.txt"), QStringLiteral("PointVal.tps")}));
}
