// The start-up shared by the three programs, on temporary installation directories.
#include "shell/Demarrage.h"

#include "ListenerLecteur.h"
#include "calendar/Clock.h"
#include "data/Database.h"
#include "data/FileAdmin.h"
#include "data/RecordFile.h"
#include "data/ScriptedPresenter.h"
#include "data/Transaction.h"
#include "shell/Sauvegarde.h"

#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace kip;

namespace {

class DemarrageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tmp.isValid());
        setMessagePresenter(&presenter);
        Clock::setToday(dayNumber(2026, 12, 7));
        setRebuildRunner([this](const std::function<void(const RebuildProgress&)>& work) {
            work([this](int, int, const QString& label) { rebuilt << label; });
        });
    }
    void TearDown() override
    {
        setMessagePresenter(nullptr);
        setRebuildRunner({});
        Clock::setToday(0);
    }

    QString installation(const QString& relative)
    {
        const QString dir = m_tmp.path() + QLatin1Char('/') + relative;
        QDir().mkpath(dir);
        return dir;
    }

    QStringList entries(const QString& dir)
    {
        QStringList names;
        QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext())
            names << it.next().mid(dir.size());
        names.sort();
        return names;
    }

    template <class R> R firstRecord()
    {
        Database db(paths().dataDir);
        RecordFile<R> file(db);
        EXPECT_TRUE(file.open().ok());
        R r;
        EXPECT_EQ(file.first(r), NoError);
        return r;
    }

    QTemporaryDir m_tmp;
    ScriptedPresenter presenter;
    QStringList rebuilt;
};

} // namespace

TEST_F(DemarrageTest, InstallationDirectoryTest)
{
    EXPECT_TRUE(Demarrage::estRepertoireInstallation(QStringLiteral("/d/APPLI/KIP")));
    EXPECT_TRUE(Demarrage::estRepertoireInstallation(QStringLiteral("/d/appli/kip")));
    EXPECT_TRUE(Demarrage::estRepertoireInstallation(QStringLiteral("D:\\APPLI\\Kip")));
    EXPECT_FALSE(Demarrage::estRepertoireInstallation(QStringLiteral("/d/APPLI/KIP2")));
    EXPECT_FALSE(Demarrage::estRepertoireInstallation(QStringLiteral("/d/KIPX")));
    EXPECT_FALSE(Demarrage::estRepertoireInstallation(QStringLiteral("/d/SKIP")));

    for (const QString& wrong : {QStringLiteral("APPLI/KIP2"), QStringLiteral("KIPX")}) {
        const QString dir = installation(wrong);
        Demarrage d(Program::Kip);
        int exitCode = -1;
        EXPECT_FALSE(d.verifier(dir, &exitCode));
        EXPECT_EQ(exitCode, 1);
        EXPECT_TRUE(entries(dir).isEmpty()) << wrong.toStdString();
    }
    ASSERT_EQ(presenter.shown().size(), 2);
    EXPECT_EQ(presenter.shown()[0].title, QStringLiteral("Installation ou raccourci défectueux"));
    EXPECT_EQ(presenter.shown()[0].icon, MessageIcon::Stop);
    EXPECT_TRUE(presenter.shown()[0].text.startsWith(
        QStringLiteral("Le répertoire ou sous répertoire dans lequel est installé Kip.exe doit être \\Kip.\r\n")));
}

TEST_F(DemarrageTest, FirstRunCreatesRebuildsAndBacksUpThenNotAgainTheSameDay)
{
    const QString dir = installation(QStringLiteral("APPLI/kip"));
    {
        Demarrage d(Program::Kip);
        d.setAttentePause(0);
        int exitCode = -1;
        ASSERT_TRUE(d.verifier(dir, &exitCode));
        d.ouvrir();
        for (const char* sub : {"/Data", "/SaveAuto", "/SaveManu", "/Son"})
            EXPECT_TRUE(QFileInfo(dir + QLatin1String(sub)).isDir()) << sub;
        for (FileId id : {FileId::DateSave, FileId::OnOff, FileId::Parametre})
            EXPECT_TRUE(checkRecordFile(tableOf(id), paths().file(id)).ok());
        EXPECT_FALSE(QFile::exists(paths().file(FileId::PointVal))); // made by the first window that needs it
        EXPECT_TRUE(d.cleReconstruite());
        EXPECT_EQ(rebuilt, (QStringList{"POINTVAL", "PERSONNEL", "ONOFF", "DATESAVE", "PARAMETRE"}));
        EXPECT_EQ(firstRecord<OnOff>().TEST, 1);
        EXPECT_EQ(firstRecord<DateSave>().DATEAUTO, Clock::today());
        EXPECT_TRUE(QFile::exists(dir + QStringLiteral("/SaveAuto/Parametr.tps")));
        EXPECT_FALSE(QFile::exists(dir + QStringLiteral("/SaveAuto/OnOff.tps")));
        EXPECT_TRUE(presenter.shown().isEmpty());
        d.fermer();
        EXPECT_EQ(firstRecord<OnOff>().TEST, 0);
    }
    rebuilt.clear();
    QFile::remove(dir + QStringLiteral("/SaveAuto/Parametr.tps"));
    {
        Demarrage d(Program::KipOther);
        int exitCode = -1;
        ASSERT_TRUE(d.verifier(dir, &exitCode));
        d.ouvrir();
        EXPECT_FALSE(d.cleReconstruite());
        EXPECT_TRUE(rebuilt.isEmpty());
        EXPECT_FALSE(QFile::exists(dir + QStringLiteral("/SaveAuto/Parametr.tps"))); // no second backup today
        // Ended without its shutdown: the marker stays set and the next start rebuilds.
    }
    Clock::setToday(Clock::today() + 1);
    {
        Demarrage d(Program::KipOther);
        int exitCode = -1;
        ASSERT_TRUE(d.verifier(dir, &exitCode));
        d.ouvrir();
        EXPECT_TRUE(d.cleReconstruite());
        EXPECT_TRUE(QFile::exists(dir + QStringLiteral("/SaveAuto/Parametr.tps")));
        EXPECT_EQ(firstRecord<DateSave>().DATEAUTO, Clock::today());
        d.fermer();
    }
}

TEST_F(DemarrageTest, BackupThatCannotBeWrittenIsNotReportedAsTaken)
{
    const QString dir = installation(QStringLiteral("Kip"));
    QDir().mkpath(dir + QStringLiteral("/SaveAuto/Parametr.tps")); // a directory stands where the copy goes
    Demarrage d(Program::KipEmpty);
    d.setAttentePause(0);
    int exitCode = -1;
    ASSERT_TRUE(d.verifier(dir, &exitCode));
    d.ouvrir();
    EXPECT_TRUE(d.incidentSauvegarde().contains(QStringLiteral("Parametr.tps")));
    EXPECT_EQ(firstRecord<DateSave>().DATEAUTO, 0); // the next start tries again
    EXPECT_TRUE(presenter.shown().isEmpty());       // the start-up is not interrupted by a box
    d.fermer();
}

TEST_F(DemarrageTest, CardReaderIsPausedByKipButNotByKipother)
{
    ListenerLecteur listener;
    const QString dir = installation(QStringLiteral("Kip"));
    for (Program p : {Program::KipOther, Program::Kip}) {
        Demarrage d(p);
        d.setAttentePause(0);
        int exitCode = -1;
        ASSERT_TRUE(d.verifier(dir, &exitCode));
        d.ouvrir();
        d.fermer();
    }
    // Kip's pause, not taken over by a transfer, ends with the run.
    const auto messages = listener.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], (std::array<qint32, 3>{1024, 0, 0}));
    EXPECT_EQ(messages[1], (std::array<qint32, 3>{1025, 0, 0}));
}

TEST_F(DemarrageTest, SecondProgramInTheSameProcessIsRefusedToo)
{
    const QString dir = installation(QStringLiteral("Kip"));
    Demarrage first(Program::Kip);
    first.setAttentePause(0);
    int exitCode = -1;
    ASSERT_TRUE(first.verifier(dir, &exitCode));
    Demarrage second(Program::KipEmpty);
    EXPECT_FALSE(second.verifier(dir, &exitCode));
    EXPECT_TRUE(presenter.shown().isEmpty());
    Demarrage third(Program::KipOther);
    EXPECT_FALSE(third.verifier(dir, &exitCode));
    ASSERT_EQ(presenter.shown().size(), 1);
    EXPECT_EQ(presenter.shown()[0].title, QStringLiteral("Erreur"));
    EXPECT_EQ(presenter.shown()[0].text, QStringLiteral("Kip ou l'un de ses modules est déja en cours d'utilisation"));
}

TEST_F(DemarrageTest, BackupCopyTakenWhileAnotherConnectionWritesHoldsACommittedState)
{
    const QString dir = installation(QStringLiteral("Kip"));
    QDir().mkpath(dir + QStringLiteral("/Data"));
    setPaths(Paths::forInstallation(dir));
    ASSERT_TRUE(createRecordFile(tableOf(FileId::PointVal), paths().file(FileId::PointVal)).ok());
    constexpr int Batch = 50;
    std::atomic<bool> stop{false};
    std::atomic<int> batches{0};
    std::thread writer([&] {
        Database db(paths().dataDir);
        RecordFile<PointVal> file(db);
        EXPECT_TRUE(file.open().ok());
        for (int b = 0; !stop && b < 400; ++b) {
            Transaction t(db, {FileId::PointVal});
            for (int i = 0; i < Batch; ++i) {
                PointVal v;
                v.clearPunches();
                v.CARTE = qint16(1 + b % 1000);
                v.DATE = 70000 + b * Batch + i;
                EXPECT_TRUE(file.add(v).ok());
            }
            EXPECT_TRUE(t.commit().ok());
            ++batches;
        }
    });
    while (batches < 3)
        std::this_thread::yield();
    const QString copy = dir + QStringLiteral("/SaveAuto/PointVal.tps");
    QDir().mkpath(dir + QStringLiteral("/SaveAuto"));
    const FileError err = copyRecordFile(paths().file(FileId::PointVal), copy);
    stop = true;
    writer.join();
    ASSERT_TRUE(err.ok()) << err.description().toStdString();
    EXPECT_TRUE(checkRecordFile(tableOf(FileId::PointVal), copy).ok());
    EXPECT_TRUE(rebuildRecordFileKeys(tableOf(FileId::PointVal), copy, true).ok()); // passes its integrity check
    Database db(dir + QStringLiteral("/SaveAuto"));
    RecordFile<PointVal> file(db);
    ASSERT_EQ(file.open(), NoError);
    const qint64 rows = file.records().valueOr(-1);
    EXPECT_GT(rows, 0);
    EXPECT_EQ(rows % Batch, 0); // whole transactions only
}
