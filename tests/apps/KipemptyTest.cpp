// kipempty as a scheduler runs it: a real process without a display, on a temporary installation.
#include "../shell/ListenerLecteur.h"
#include "../shell/MarqueurArret.h"
#include "../shell/Processus.h"
#include "InstallationTest.h"
#include "calendar/Clock.h"
#include "data/Database.h"
#include "data/FileAdmin.h"
#include "data/Files.h"
#include "data/RecordFile.h"
#include "data/TextFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace kip;

namespace {

// The raw file and the record files are made by kipempty itself: the installation starts with the staff alone.
class KipemptyTest : public InstallationTest
{
protected:
    KipemptyTest() { fichiers = {FileId::Personnel}; }
    void SetUp() override
    {
        InstallationTest::SetUp();
        ajouter(12, QStringLiteral("MARTIN"));
        m_dir = dir();
    }

    static QByteArray punch(int carte, const QDate& d, int h, int m) { return pointage(carte, dayNumber(d), h, m); }

    struct Run
    {
        int exitCode;
        QString err;
    };
    Run run(const QString& program, const QStringList& args = {})
    {
        const FinProcessus fin = lancerJusquaLaFin(program, args, m_dir);
        return {fin.code, fin.erreurs};
    }
    int lines() { return int(contenu<PointVal>().size()); }

    QString m_dir;
};

} // namespace

TEST_F(KipemptyTest, StoresArchivesAndTellsTheReaderToPauseThenResume)
{
    ListenerLecteur reader;
    const QDate jour = QDate::currentDate();
    const QByteArray raw = punch(12, jour, 8, 0) + punch(12, jour, 12, 0);
    ecrire(origine(), raw);
    const Run r = run(QStringLiteral(KIP_KIPEMPTY));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("2 ligne(s), 2 pointage(s) enregistré(s), 0 déjà présent(s), "
                                              "0 écarté(s), 0 ignorée(s), 0 non traité(s)")))
        << r.err.toStdString();
    EXPECT_EQ(lireFichier(paths().origin(1)), raw);
    EXPECT_EQ(lireFichier(paths().origin(0)), QByteArray());
    EXPECT_GT(lines(), 80); // the day initialisation ran: the period of lines of the employee
    const auto messages = reader.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0][0], 1024);
    EXPECT_EQ(messages[1][0], 1025);
}

TEST_F(KipemptyTest, UnknownCardKeepsTheRawFileAndTheNextRunDuplicatesNothing)
{
    const QDate jour = QDate::currentDate();
    const QByteArray raw = punch(12, jour, 8, 0) + punch(77, jour, 8, 1) + punch(12, jour, 17, 0);
    ecrire(origine(), raw);
    Run r = run(QStringLiteral(KIP_KIPEMPTY));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Numéro inconnu: 77"))) << r.err.toStdString();
    EXPECT_EQ(lireFichier(paths().origin(0)), raw);
    EXPECT_FALSE(QFile::exists(paths().origin(1)));
    const auto before = empreintes(m_dir + QStringLiteral("/Data"));
    r = run(QStringLiteral(KIP_KIPEMPTY));
    EXPECT_TRUE(r.err.contains(QStringLiteral("0 pointage(s) enregistré(s), 2 déjà présent(s)")))
        << r.err.toStdString();
    QMap<QString, QByteArray> after = empreintes(m_dir + QStringLiteral("/Data"));
    // Only the crash marker's file and the transaction file may differ; the data does not.
    for (const QString& name :
         {QStringLiteral("PointVal.tps"), QStringLiteral("Personne.tps"), QStringLiteral("Origin00.txt")}) {
        const QString path = m_dir + QStringLiteral("/Data/") + name;
        EXPECT_EQ(after.value(path), before.value(path)) << name.toStdString();
    }
}

TEST_F(KipemptyTest, WhileAnotherProgramHoldsTheDataItEndsSilentlyAndChangesNothing)
{
    ecrire(origine(), punch(12, QDate::currentDate(), 8, 0));
    QProcess holder;
    holder.setWorkingDirectory(m_dir);
    holder.start(QStringLiteral(KIP_STARTUP_PROBE), {QStringLiteral("Kip"), QStringLiteral("--hold")});
    ASSERT_TRUE(holder.waitForReadyRead(20000));
    const auto before = empreintes(m_dir);
    const Run r = run(QStringLiteral(KIP_KIPEMPTY));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    EXPECT_EQ(empreintes(m_dir), before);
    holder.closeWriteChannel();
    holder.waitForFinished(20000);
}

TEST_F(KipemptyTest, WorkstationsWithoutADisplaySaySo)
{
    const Run r = run(QStringLiteral(KIP_KIP));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("a besoin d'un affichage graphique"))) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(paths().file(FileId::OnOff)));
}

TEST_F(KipemptyTest, ARawFileThatIsNotARegularFileIsReportedEndsWith1AndIsLeftAsItIs)
{
    for (const char* sorte : {"répertoire", "fifo"}) {
        ListenerLecteur reader;
        QFile::remove(paths().origin(0));
        if (QByteArray(sorte) == "fifo")
            ASSERT_EQ(::mkfifo(QFile::encodeName(paths().origin(0)).constData(), 0644), 0);
        else
            ASSERT_TRUE(QDir().mkpath(paths().origin(0)));
        const Run r = run(QStringLiteral(KIP_KIPEMPTY));
        EXPECT_EQ(r.exitCode, 1) << sorte;
        EXPECT_TRUE(r.err.contains(
            QStringLiteral("Erreur accès fichier: Ouverture fichier (%1) impossible.").arg(paths().origin(0))))
            << r.err.toStdString();
        EXPECT_FALSE(QFileInfo(paths().origin(0)).isFile()) << sorte;
        EXPECT_FALSE(QFile::exists(paths().origin(1))) << sorte;
        EXPECT_EQ(marqueurArret(paths().dataDir), 0) << sorte; // a clean end all the same
        const auto messages = reader.messages();
        ASSERT_EQ(messages.size(), 2u) << sorte;
        EXPECT_EQ(messages[1][0], 1025);
        QDir().rmdir(paths().origin(0));
    }
}

TEST_F(KipemptyTest, ADayInitialisationThatCannotWriteItsLinesEndsWith1)
{
    // The disk is full for the empty lines of the preparation, not for the punches of the transfer.
    {
        ASSERT_TRUE(createRecordFile(tableOf(FileId::PointVal), paths().file(FileId::PointVal)).ok());
        Database db = connexion();
        RecordFile<PointVal> file(db);
        ASSERT_TRUE(file.open().ok());
        ASSERT_TRUE(db.exec(QStringLiteral("CREATE TRIGGER POINTVAL.plein BEFORE INSERT ON POINTVAL "
                                           "WHEN hex(substr(NEW.POINTAGE_ORIGINE, 1, 2)) = 'F1D8' "
                                           "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END"))
                        .ok());
    }
    const QDate jour = QDate::currentDate();
    ecrire(origine(), punch(12, jour, 8, 0));
    const Run r = run(QStringLiteral(KIP_KIPEMPTY));
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("Initialisation des journées interrompue:"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("1 pointage(s) enregistré(s)"))) << r.err.toStdString();
    EXPECT_EQ(lines(), 1);
    EXPECT_EQ(marqueurArret(paths().dataDir), 0);
}
