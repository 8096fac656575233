// The record files shared by the GUI thread and the jobs' workers: a worker that asks the user while opening a
// file does not keep the GUI thread from using the files, and a failed transfer names the file that failed.
#include "../data/StoreTestTools.h"
#include "InstallationTest.h"
#include "data/Employees.h"
#include "data/FileAdmin.h"
#include "data/Files.h"
#include "punch/TransfertPointages.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QThread>
#include <QTimer>
#include <QtConcurrent>

using namespace kip;

namespace {

// Answers on the GUI thread, as the message boxes do: a worker's question waits for the GUI thread. While a
// worker's question is pending, the GUI thread first does what the test asks of it (a user at work in
// another window), then answers.
class GuiThreadPresenter : public ScriptedPresenter
{
public:
    std::function<void()> meanwhile;
    int show(const MessageSpec& spec) override
    {
        QCoreApplication* app = QCoreApplication::instance();
        if (QThread::currentThread() == app->thread())
            return ScriptedPresenter::show(spec);
        int button = 0;
        QMetaObject::invokeMethod(
            app,
            [&] {
                if (meanwhile)
                    std::exchange(meanwhile, {})();
                button = ScriptedPresenter::show(spec);
            },
            Qt::BlockingQueuedConnection);
        return button;
    }
};

class FichiersPartagesTest : public InstallationTest
{
};

} // namespace

TEST_F(FichiersPartagesTest, EmployeeUpdateOnTheGuiThreadAndTransferOnAWorkerBothSucceed)
{
    int argc = 1;
    char name[] = "test_punch_shared";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    GuiThreadPresenter gui;
    setMessagePresenter(&gui);
    ajouter(12, QStringLiteral("MARTIN"));
    ajouter(13, QStringLiteral("DURAND"));
    ecrire(origine(), pointage(13, today, 8, 0) + pointage(13, today, 12, 0));
    ASSERT_TRUE(sql(FileId::PointVal, storetest::ClesFaussees));

    // The worker's first use of POINTVAL asks whether to rebuild its keys; meanwhile the user saves an employee.
    FileError saved = makeError(NotFound);
    gui.meanwhile = [&] {
        Database guiDb = connexion();
        RecordFile<Personnel> file(guiDb);
        ASSERT_EQ(file.open(), NoError);
        Personnel p;
        p.CARTE = 12;
        ASSERT_EQ(file.get(p, PER_K_CARTE), NoError);
        const LinkValues before = LinkValues::of(p);
        p.NOM = QStringLiteral("MARTINEZ");
        saved = updateEmployee(guiDb, p, before);
    };
    gui.answer(ButtonYes);
    gui.answer(ButtonYes);
    const QString dir = dataDir();
    const QString raw = origine();
    const qint32 day = today;
    QFutureWatcher<ResultatTransfert> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcher<ResultatTransfert>::finished, &loop, &QEventLoop::quit);
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    watcher.setFuture(QtConcurrent::run([dir, raw, day] {
        FileUse employes(FileId::Personnel);
        FileUse journees(FileId::PointVal);
        Database worker(dir);
        return TransfererPointages(worker, raw, day);
    }));
    limit.start(60000);
    if (!watcher.isFinished())
        loop.exec();
    ASSERT_TRUE(watcher.isFinished()) << "the transfer did not end within a minute";
    const ResultatTransfert r = watcher.result();
    setMessagePresenter(&presenter);

    EXPECT_EQ(saved, NoError);
    EXPECT_TRUE(r.reussi()) << r.erreur.description().toStdString();
    EXPECT_EQ(r.stockes, 2);
    EXPECT_EQ(employeLu(12)->NOM, QStringLiteral("MARTINEZ"));
    ASSERT_TRUE(lire(13, today).has_value());
    EXPECT_EQ(pointages(lire(13, today)->POINTAGE_ORIGINE), (std::vector<int>{480, 720}));
    // Each thread asked once; the keys were rebuilt once and nothing else was said.
    const QList<MessageSpec> shown = gui.shown();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0].number, 2);
    EXPECT_EQ(shown[1].number, 2);
    EXPECT_TRUE(checkRecordFile(tableOf(FileId::PointVal), paths().file(FileId::PointVal)).ok());
    EXPECT_EQ(openCount(FileId::PointVal), 0);
}

// With the employee file read-only the transfer stores nothing, and its message names the employee file.
TEST_F(FichiersPartagesTest, ReadOnlyEmployeeFileIsTheFileNamed)
{
    ajouter(13, QStringLiteral("DURAND"));
    ecrire(origine(), pointage(13, today, 8, 0));
    ResultatTransfert r;
    {
        storetest::ReadOnlyFile readOnly(paths().file(FileId::Personnel));
        if (!readOnly.ok())
            GTEST_SKIP() << "this file system cannot make a file read-only for this user";
        Database worker = connexion();
        r = TransfererPointages(worker, origine(), today);
    }
    EXPECT_FALSE(r.reussi());
    EXPECT_EQ(r.stockes, 0);
    EXPECT_EQ(r.erreur.label, QStringLiteral("PERSONNEL"));
    EXPECT_FALSE(lire(13, today).has_value());
    // What the transfer window and kipempty show.
    reportFileError(15, r.erreur, QStringLiteral("POINTVAL"));
    ASSERT_EQ(presenter.shown().size(), 1);
    EXPECT_EQ(presenter.shown()[0].number, 15);
    EXPECT_TRUE(presenter.shown()[0].text.endsWith(QStringLiteral("Cause probable : PERSONNEL.")))
        << presenter.shown()[0].text.toStdString();
}
