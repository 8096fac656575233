// Reading the raw file: what makes a line, what is skipped and counted, what is left for later, and what is
// not a raw file at all.
#include "InstallationTest.h"
#include "punch/FichierOrigine.h"
#include "punch/TransfertPointages.h"

#include <QFileInfo>
#include <sys/stat.h>
#include <unistd.h>

using namespace kip;

namespace {

class LectureOrigineTest : public InstallationTest
{
protected:
    void SetUp() override
    {
        InstallationTest::SetUp();
        ajouter(12, QStringLiteral("MARTIN"));
    }
    ResultatSansSurveillance run() { return TransfertSansSurveillance(*base, dataDir(), today); }
    // The punch of card 12 today, without its line end.
    QByteArray bare(int h, int m) { return pointage(12, today, h, m).chopped(2); }
    static void expectEveryLineCounted(const ResultatTransfert& r)
    {
        EXPECT_EQ(r.lignes, r.ignorees + int(r.rejets.size()) + r.doublons + r.stockes + r.ecartes);
    }
};

} // namespace

TEST_F(LectureOrigineTest, EveryLineEndEndsALineAndNoPunchIsLostBetweenThem)
{
    // Lone CR lines, LF lines, CR LF lines, and a CR LF split as CR then CR LF (an empty line between).
    const QByteArray raw = bare(7, 0) + "\r" + bare(7, 10) + "\r" + bare(7, 20) + "\r" + bare(7, 30) + "\n" +
                           bare(7, 40) + "\r\n" + bare(7, 50) + "\r\r\n" + bare(8, 0) + "\n\n\r\n" + bare(8, 10) + "\r";
    ecrire(origine(), raw);
    const ResultatSansSurveillance r = run();
    EXPECT_EQ(r.lecture.lignes, 8);
    EXPECT_EQ(r.lecture.stockes, 8);
    EXPECT_EQ(r.lecture.ignorees, 0);
    EXPECT_EQ(r.lecture.octetsLus, raw.size());
    EXPECT_EQ(pointages(lire(12, today)->POINTAGE_ORIGINE), (std::vector<int>{420, 430, 440, 450, 460, 470, 480, 490}));
    EXPECT_TRUE(r.archive);
    EXPECT_EQ(lireFichier(origine(1)), raw);
}

TEST_F(LectureOrigineTest, ALineIsEverythingUpToItsLineEndHoweverLong)
{
    // A valid punch hidden 511 bytes into a long garbage line, and another after 100,000 bytes: one line each,
    // skipped and counted, never read as punches.
    const QByteArray longue = QByteArray(511, 'x') + bare(9, 0);
    const QByteArray tresLongue = QByteArray(100000, '7') + bare(9, 30) + QByteArray(1000, ' ');
    // Lines one character off the layout are skipped too.
    ecrire(origine(), longue + "\r\n" + tresLongue + "\r\n" + bare(10, 0) + " \r\n" + bare(10, 15).chopped(1) + "\r\n" +
                          pointage(12, today, 11, 0));
    const ResultatSansSurveillance r = run();
    EXPECT_EQ(r.lecture.lignes, 5);
    EXPECT_EQ(r.lecture.ignorees, 4);
    EXPECT_EQ(r.lecture.stockes, 1);
    EXPECT_EQ(pointages(lire(12, today)->POINTAGE_ORIGINE), std::vector<int>{660});
    expectEveryLineCounted(r.lecture);
}

TEST_F(LectureOrigineTest, ALastLineStillBeingWrittenIsLeftForTheNextReading)
{
    // Only a partial line: nothing read, nothing counted, nothing archived, the file as it was.
    const QByteArray partielle = QByteArray("0012 09/12/2026 12:");
    ecrire(origine(), partielle);
    EXPECT_EQ(compterLignesOrigine(origine(0)), 0);
    ResultatSansSurveillance r = run();
    EXPECT_EQ(r.lecture.lignes, 0);
    EXPECT_EQ(r.lecture.octetsLus, 0);
    EXPECT_FALSE(r.archive);
    EXPECT_EQ(lireFichier(origine(0)), partielle);
    EXPECT_TRUE(contenu<kip::PointVal>().isEmpty());

    // Complete lines before it: they are read and archived; the partial line becomes the new raw file, where
    // the reader finishes it.
    const QByteArray complet = pointage(12, today, 8, 0) + pointage(12, today, 9, 0);
    ecrire(origine(), complet + partielle);
    EXPECT_EQ(compterLignesOrigine(origine(0)), 2);
    r = run();
    EXPECT_EQ(r.lecture.lignes, 2);
    EXPECT_EQ(r.lecture.octetsLus, complet.size());
    EXPECT_TRUE(r.archive);
    EXPECT_EQ(lireFichier(origine(1)), complet);
    EXPECT_EQ(lireFichier(origine(0)), partielle);
    {
        QFile f(origine(0));
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("00 01\r\n");
    }
    r = run();
    EXPECT_EQ(r.lecture.lignes, 1);
    EXPECT_EQ(r.lecture.stockes, 1);
    EXPECT_EQ(pointages(lire(12, today)->POINTAGE_ORIGINE), (std::vector<int>{480, 540, 720}));
    EXPECT_EQ(lireFichier(origine(1)), partielle + "00 01\r\n");
}

TEST_F(LectureOrigineTest, OnlyARegularFileIsReadAnythingElseIsAnErrorAndLeftAsItIs)
{
    const QString raw = origine(0);
    // A directory.
    ASSERT_TRUE(QDir().mkdir(raw));
    ResultatSansSurveillance r = run();
    EXPECT_FALSE(r.lecture.erreurOrigine.ok());
    EXPECT_FALSE(r.lecture.reussi());
    EXPECT_FALSE(r.archive);
    EXPECT_TRUE(QFileInfo(raw).isDir());
    EXPECT_FALSE(QFile::exists(origine(1)));
    ASSERT_TRUE(QDir().rmdir(raw));
    // A FIFO with nobody writing: refused at once, not waited on.
    ASSERT_EQ(::mkfifo(QFile::encodeName(raw).constData(), 0644), 0);
    r = run();
    EXPECT_FALSE(r.lecture.erreurOrigine.ok());
    EXPECT_EQ(compterLignesOrigine(raw), 0);
    ASSERT_TRUE(QFile::remove(raw));
    // A link to a device that never ends.
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), raw));
    r = run();
    EXPECT_FALSE(r.lecture.erreurOrigine.ok());
    EXPECT_TRUE(QFileInfo(raw).isSymLink());
    ASSERT_TRUE(QFile::remove(raw));
    // A link to a regular file is read as that file.
    ecrire(origine(5), pointage(12, today, 8, 0));
    ASSERT_TRUE(QFile::link(origine(5), raw));
    r = run();
    EXPECT_TRUE(r.lecture.reussi());
    EXPECT_EQ(r.lecture.stockes, 1);
    EXPECT_TRUE(contenu<kip::PointVal>().size() == 1);
}

TEST_F(LectureOrigineTest, AFileThatCannotBeOpenedIsReportedAndKept)
{
    // A link to itself cannot be opened by anyone; it is neither replaced nor archived.
    ASSERT_TRUE(QFile::link(QStringLiteral("Origin00.txt"), origine(0)));
    ResultatSansSurveillance r = run();
    EXPECT_FALSE(r.lecture.erreurOrigine.ok());
    EXPECT_FALSE(r.archive);
    EXPECT_EQ(QFileInfo(origine(0)).symLinkTarget(), origine(0));
    ASSERT_TRUE(QFile::remove(origine(0)));
    if (::geteuid() == 0)
        return; // the superuser reads a file whatever its permissions
    const QByteArray raw = pointage(12, today, 8, 0);
    ecrire(origine(), raw);
    ASSERT_TRUE(QFile::setPermissions(origine(0), QFileDevice::WriteOwner));
    r = run();
    EXPECT_FALSE(r.lecture.erreurOrigine.ok());
    EXPECT_FALSE(r.archive);
    ASSERT_TRUE(QFile::setPermissions(origine(0), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_EQ(lireFichier(origine(0)), raw);
    EXPECT_TRUE(contenu<kip::PointVal>().isEmpty());
}
