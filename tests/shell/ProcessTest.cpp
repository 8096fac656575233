// The one-program rule and the repair after a killed run, with real processes.
#include "ListenerLecteur.h"
#include "Processus.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

QString probe()
{
    return QStringLiteral(KIP_STARTUP_PROBE);
}

class ProcessTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tmp.isValid());
        m_dir = m_tmp.path() + QStringLiteral("/Kip");
        QDir().mkpath(m_dir);
    }

    // Starts a program that holds the data until its standard input closes.
    void startHolder(QProcess& p, const QString& program)
    {
        p.setWorkingDirectory(m_dir);
        p.start(probe(), {program, QStringLiteral("--hold")});
        ASSERT_TRUE(p.waitForStarted());
        ASSERT_TRUE(p.waitForReadyRead(20000));
        ASSERT_EQ(p.readLine().trimmed(), QByteArray("pret"));
    }

    struct Run
    {
        int exitCode;
        QString err;
    };
    Run run(const QString& program)
    {
        const FinProcessus fin =
            lancerJusquaLaFin(probe(), {program}, m_dir, QProcessEnvironment::systemEnvironment(), 30000);
        return {fin.code, fin.erreurs};
    }

    QTemporaryDir m_tmp;
    QString m_dir;
};

} // namespace

TEST_F(ProcessTest, SecondProgramIsRefusedAndChangesNoFile)
{
    QProcess holder;
    startHolder(holder, QStringLiteral("Kip"));
    const auto before = empreintes(m_dir);

    const Run kip = run(QStringLiteral("Kip"));
    EXPECT_EQ(kip.exitCode, 1);
    EXPECT_TRUE(kip.err.contains(QStringLiteral("Kip ou l'un de ses modules est déja en cours d'utilisation")));
    const Run other = run(QStringLiteral("kipother"));
    EXPECT_EQ(other.exitCode, 1);
    const Run empty = run(QStringLiteral("kipempty"));
    EXPECT_EQ(empty.exitCode, 0);
    EXPECT_TRUE(empty.err.isEmpty()) << empty.err.toStdString();
    EXPECT_EQ(empreintes(m_dir), before);

    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(20000));
    EXPECT_EQ(holder.exitCode(), 0);
    EXPECT_EQ(run(QStringLiteral("kipempty")).exitCode, 0); // free again
}

TEST_F(ProcessTest, KilledRunIsRepairedAtTheNextStartInFileOrder)
{
    {
        QProcess first;
        startHolder(first, QStringLiteral("Kip"));
        first.closeWriteChannel();
        ASSERT_TRUE(first.waitForFinished(20000));
    }
    EXPECT_FALSE(run(QStringLiteral("Kip")).err.contains(QStringLiteral("Reconstruction"))); // ended in order

    QProcess killed;
    startHolder(killed, QStringLiteral("Kip"));
    ::kill(pid_t(killed.processId()), SIGKILL);
    ASSERT_TRUE(killed.waitForFinished(20000));

    const Run next = run(QStringLiteral("kipempty"));
    EXPECT_EQ(next.exitCode, 0);
    const QStringList steps = next.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QStringList labels;
    for (const QString& s : steps)
        if (s.startsWith(QStringLiteral("Reconstruction des index sur les fichiers")))
            labels << s.section(QLatin1Char(' '), -1);
    EXPECT_EQ(labels, (QStringList{"POINTVAL", "PERSONNEL", "ONOFF", "DATESAVE", "PARAMETRE"}));
}

TEST_F(ProcessTest, AProgramStoppedByAStoppingMessageResumesTheReaderItPaused)
{
    ListenerLecteur reader;
    const FinProcessus fin = lancerJusquaLaFin(probe(), {QStringLiteral("Kip"), QStringLiteral("--arret")}, m_dir,
                                               QProcessEnvironment::systemEnvironment(), 30000);
    EXPECT_EQ(fin.code, 1);
    EXPECT_TRUE(fin.erreurs.contains(QStringLiteral("Erreur disque"))) << fin.erreurs.toStdString();
    EXPECT_EQ(reader.numeros(), (QList<int>{1024, 1025}));
}

TEST(Processus, AProgramThatDoesNotEndInTimeOrCrashesFailsTheTest)
{
    EXPECT_NONFATAL_FAILURE(lancerJusquaLaFin(QStringLiteral("sleep"), {QStringLiteral("30")}, QDir::tempPath(),
                                              environnementSansAffichage(), 300),
                            "did not end within 300 ms");
    EXPECT_NONFATAL_FAILURE(lancerJusquaLaFin(QStringLiteral("sh"),
                                              {QStringLiteral("-c"), QStringLiteral("kill -SEGV $$")},
                                              QDir::tempPath()),
                            "crashed");
    const FinProcessus fin =
        lancerJusquaLaFin(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("exit 3")}, QDir::tempPath());
    EXPECT_TRUE(fin.fini);
    EXPECT_EQ(fin.code, 3);
}
