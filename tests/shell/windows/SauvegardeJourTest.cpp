// The first start of a day: the daily backup shows its progress window at once and copies on a worker, so
// that the screen is never left empty while a large PointVal.tps is copied.
#include "calendar/Clock.h"
#include "data/Database.h"
#include "data/FileAdmin.h"
#include "data/RecordFile.h"
#include "data/ScriptedPresenter.h"
#include "data/windows/MessageBoxPresenter.h"
#include "shell/Demarrage.h"

#include <QApplication>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <sqlite3.h>

using namespace kip;

class SauvegardeJourTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theBackupShowsItsWindowAtOnceAndCopiesOnAWorker()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString dir = tmp.filePath(QStringLiteral("Kip"));
        installerPresentationFenetres();
        ScriptedPresenter presenter;
        setMessagePresenter(&presenter);
        setRebuildRunner({});
        // A first day sets the installation up and ends in order.
        Clock::setToday(dayNumber(2026, 12, 7));
        {
            Demarrage d(Program::KipOther);
            int code = -1;
            QVERIFY(d.verifier(dir, &code));
            d.ouvrir();
            d.fermer();
        }
        QVERIFY(createRecordFile(tableOf(FileId::PointVal), paths().file(FileId::PointVal)).ok());
        {
            Database db(paths().dataDir);
            RecordFile<PointVal> file(db);
            QVERIFY(file.open().ok());
            PointVal v;
            v.clearPunches();
            v.CARTE = 7;
            v.DATE = Clock::today();
            QVERIFY(file.add(v).ok());
        }

        // The next day, a writer holds PointVal.tps while the backup starts: the copy waits for it, and the
        // window is on screen meanwhile, its event loop alive.
        Clock::setToday(dayNumber(2026, 12, 8));
        sqlite3* ecrivain = nullptr;
        QCOMPARE(sqlite3_open(paths().file(FileId::PointVal).toUtf8().constData(), &ecrivain), SQLITE_OK);
        QCOMPARE(sqlite3_exec(ecrivain, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        QString vue;
        QTimer::singleShot(0, this, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (qobject_cast<QProgressDialog*>(w) && w->isVisible())
                    vue = w->windowTitle();
            sqlite3_exec(ecrivain, "COMMIT", nullptr, nullptr, nullptr);
        });
        Demarrage d(Program::KipOther);
        int code = -1;
        QVERIFY(d.verifier(dir, &code));
        d.ouvrir();
        sqlite3_close(ecrivain);
        QCOMPARE(vue, QStringLiteral("Sauvegarde automatique"));
        QCOMPARE(d.incidentSauvegarde(), QString());
        Database db(paths().saveAutoDir);
        RecordFile<PointVal> copie(db);
        QVERIFY(copie.open().ok());
        QCOMPARE(copie.records().valueOr(-1), qint64(1));
        d.fermer();
        setMessagePresenter(nullptr);
        Clock::setToday(0);
    }
};

QTEST_MAIN(SauvegardeJourTest)
#include "SauvegardeJourTest.moc"
