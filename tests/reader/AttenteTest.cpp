// The spool of the pause: lines held in order and handed over once, whatever step a kill stops it at.
#include "reader/Attente.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace kip;

namespace {

class AttenteTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_tmp.isValid()); }

    QString origine() const { return m_tmp.filePath(QStringLiteral("Origin00.txt")); }
    static QByteArray ligne(int carte)
    {
        return QStringLiteral("%1 05/11/2004 17:45 01").arg(carte, 4, 10, QLatin1Char('0')).toLatin1();
    }
    QByteArray lire(const QString& chemin) const
    {
        QFile f(chemin);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    void ecrire(const QString& chemin, const QByteArray& contenu)
    {
        QFile f(chemin);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contenu);
    }
    // The files of the directory besides the raw file: a finished hand-over leaves none but an empty spool.
    QStringList restes() const
    {
        QStringList noms = QDir(m_tmp.path()).entryList(QDir::Files);
        noms.removeAll(QStringLiteral("Origin00.txt"));
        if (QFileInfo(m_tmp.filePath(Attente::nomAttente())).size() == 0)
            noms.removeAll(Attente::nomAttente());
        return noms;
    }

    QTemporaryDir m_tmp;
};

} // namespace

TEST_F(AttenteTest, HeldLinesFollowTheRawFileInTheirOrder)
{
    ecrire(origine(), ligne(1) + "\r\n");
    ::chmod(QFile::encodeName(origine()).constData(), 0640);
    Attente a(m_tmp.path());
    ASSERT_TRUE(a.reparer().ok());
    EXPECT_TRUE(a.verser(origine()).ok()); // nothing held: nothing changes
    EXPECT_EQ(lire(origine()), ligne(1) + "\r\n");
    for (int carte : {2, 3, 4})
        ASSERT_TRUE(a.ajouter(ligne(carte)).ok());
    EXPECT_EQ(a.nombre(), 3);
    EXPECT_EQ(lire(origine()), ligne(1) + "\r\n"); // nothing written into the raw file while held
    ASSERT_TRUE(a.verser(origine()).ok());
    EXPECT_EQ(a.nombre(), 0);
    EXPECT_EQ(lire(origine()), ligne(1) + "\r\n" + ligne(2) + "\r\n" + ligne(3) + "\r\n" + ligne(4) + "\r\n");
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(origine()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u); // the raw file keeps the permissions that the programs gave it
    EXPECT_TRUE(restes().isEmpty()) << restes().join(' ').toStdString();

    // A raw file that does not exist (just archived) is made; one whose last line lacks its end gets it.
    QFile::remove(origine());
    ASSERT_TRUE(a.ajouter(ligne(5)).ok());
    ASSERT_TRUE(a.verser(origine()).ok());
    EXPECT_EQ(lire(origine()), ligne(5) + "\r\n");
    ecrire(origine(), ligne(6));
    ASSERT_TRUE(a.ajouter(ligne(7)).ok());
    ASSERT_TRUE(a.verser(origine()).ok());
    EXPECT_EQ(lire(origine()), ligne(6) + "\r\n" + ligne(7) + "\r\n");
}

TEST_F(AttenteTest, AHandOverStoppedAtAnyStepEndsWithEveryLineOnce)
{
    const QByteArray avant = ligne(1) + "\r\n";
    const QByteArray attendu = avant + ligne(2) + "\r\n" + ligne(3) + "\r\n" + ligne(4) + "\r\n";
    for (int etape = 1; etape <= 3; ++etape) {
        SCOPED_TRACE(etape);
        ecrire(origine(), avant);
        {
            Attente a(m_tmp.path());
            ASSERT_TRUE(a.reparer().ok());
            ASSERT_TRUE(a.ajouter(ligne(2)).ok());
            ASSERT_TRUE(a.ajouter(ligne(3)).ok());
            a.setArret([etape](int fait) { return fait < etape; });
            EXPECT_FALSE(a.verser(origine()).ok());
        }
        // The next run: its repair, then a swipe held before the hand-over (the reader was restarted paused).
        Attente suivante(m_tmp.path());
        ASSERT_TRUE(suivante.reparer().ok());
        EXPECT_EQ(suivante.nombre(), etape < 3 ? 2 : 0);
        ASSERT_TRUE(suivante.ajouter(ligne(4)).ok());
        ASSERT_TRUE(suivante.verser(origine()).ok());
        EXPECT_EQ(lire(origine()), attendu);
        EXPECT_TRUE(restes().isEmpty()) << restes().join(' ').toStdString();
        QFile::remove(m_tmp.filePath(Attente::nomAttente()));
    }
}

TEST_F(AttenteTest, ALineCutShortByACrashIsDropped)
{
    const QString attente = m_tmp.filePath(Attente::nomAttente());
    // Two whole lines, then a third torn: cut in the middle, or its end never written (zeros).
    for (const QByteArray& dechire : {ligne(3).left(10), ligne(3) + QByteArray(2, '\0')}) {
        ecrire(attente, ligne(1) + "\r\n" + ligne(2) + "\r\n" + dechire);
        Attente a(m_tmp.path());
        ASSERT_TRUE(a.reparer().ok());
        EXPECT_EQ(a.nombre(), 2);
        ASSERT_TRUE(a.ajouter(ligne(4)).ok());
        ASSERT_TRUE(a.verser(origine()).ok());
        EXPECT_EQ(lire(origine()), ligne(1) + "\r\n" + ligne(2) + "\r\n" + ligne(4) + "\r\n");
        QFile::remove(origine());
    }
}
