// The end of a workstation run: the exit question decides whether the crash marker is cleared.
#include "../shell/MarqueurArret.h"
#include "calendar/Clock.h"
#include "data/Database.h"
#include "data/RecordFile.h"
#include "data/ScriptedPresenter.h"
#include "punch/windows/InitialiseJournee.h"
#include "shell/Demarrage.h"
#include "shell/windows/Cadre.h"

#include <QTemporaryDir>
#include <QTest>

using namespace kip;

class SortieTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void noKeepsTheMarkerYesClearsIt()
    {
        QTemporaryDir tmp;
        ScriptedPresenter presenter;
        setMessagePresenter(&presenter);
        setRebuildRunner([](const std::function<void(const RebuildProgress&)>& work) { work({}); });
        const QString dir = tmp.path() + QStringLiteral("/Kip");
        QDir().mkpath(dir);
        Demarrage demarrage(Program::KipOther);
        int exitCode = 0;
        QVERIFY(demarrage.verifier(dir, &exitCode));
        demarrage.ouvrir();
        enregistrerFenetresPointage(Program::KipOther);
        Cadre cadre(Program::KipOther, 0, [&demarrage] { demarrage.fermer(); });
        cadre.show();
        QTRY_COMPARE_WITH_TIMEOUT(cadre.liste().entrees().size(), qsizetype(2), 15000); // the day initialisation ended

        presenter.answer(ButtonNo);
        cadre.close();
        QCOMPARE(presenter.shown().size(), 1);
        QCOMPARE(presenter.shown()[0].text, QStringLiteral("Confirmez la sortie !"));
        QVERIFY(cadre.isVisible());
        QCOMPARE(marqueurArret(paths().dataDir), 1);

        presenter.answer(ButtonYes);
        cadre.close();
        QCOMPARE(presenter.shown().size(), 2);
        QVERIFY(!cadre.isVisible());
        QCOMPARE(marqueurArret(paths().dataDir), 0);
        setMessagePresenter(nullptr);
        setRebuildRunner({});
    }
};

QTEST_MAIN(SortieTest)
#include "SortieTest.moc"
