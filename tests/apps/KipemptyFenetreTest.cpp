// kipempty with its progress window, driven in-process: whether the pass ends by itself or the window is
// closed, the reader resumes once, the crash marker is cleared, and the run ends with its code.
#include "../shell/ListenerLecteur.h"
#include "../shell/MarqueurArret.h"
#include "ExecutionKipempty.h"
#include "Installation.h"
#include "calendar/Clock.h"
#include "data/Database.h"
#include "data/FileAdmin.h"
#include "data/Files.h"
#include "data/RecordFile.h"
#include "data/ScriptedPresenter.h"
#include "data/TextFiles.h"
#include "shell/Demarrage.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

using namespace kip;

class KipemptyFenetreTest : public QObject
{
    Q_OBJECT

private:
    essai::Installation m_inst;
    QByteArray m_raw;

    // Forty employees who punched at 08:00 on each of the last twenty days.
    void installation()
    {
        m_raw.clear();
        QVERIFY(m_inst.vider());
        for (int carte = 1; carte <= 40; ++carte) {
            m_inst.ajouter(qint16(carte), QStringLiteral("EMPLOYE%1").arg(carte));
            for (qint32 d = m_inst.today - 20; d <= m_inst.today; ++d)
                m_raw += m_inst.pointage(carte, d, 8, 0);
        }
        QVERIFY(m_inst.ecrire(m_inst.origine(), m_raw));
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_inst.fichiers = {FileId::Personnel};
        setRebuildRunner([](const std::function<void(const RebuildProgress&)>& work) { work({}); });
    }
    void cleanupTestCase()
    {
        QVERIFY(m_inst.pannes.isEmpty());
        m_inst.terminer();
        setRebuildRunner({});
    }

    void closingTheWindowEndsThePassInOrder()
    {
        for (bool fermer : {false, true}) {
            installation();
            ListenerLecteur reader;
            Demarrage demarrage(Program::KipEmpty);
            demarrage.setAttentePause(0);
            int exitCode = -1;
            QVERIFY(demarrage.verifier(paths().installDir, &exitCode));
            demarrage.ouvrir();
            QCOMPARE(marqueurArret(paths().dataDir), 1);
            {
                ExecutionKipempty execution(demarrage, true);
                QSignalSpy fin(&execution, &ExecutionKipempty::terminee);
                QVERIFY(execution.fenetre() && execution.fenetre()->isVisible());
                execution.demarrer();
                if (fermer)
                    execution.fenetre()->close(); // while the day initialisation runs
                QVERIFY(fin.wait(30000));
                QCOMPARE(fin.first().first().toInt(), 0);
                QVERIFY(!execution.fenetre()->isVisible());
            }
            QCOMPARE(marqueurArret(paths().dataDir), 0);
            QCOMPARE(reader.numeros(), (QList<int>{1024, 1025}));
            // Closed: the preparation was committed and the transfer never started; otherwise it ran.
            QFile f(paths().origin(0));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), fermer ? m_raw : QByteArray());
            QCOMPARE(QFile::exists(paths().origin(1)), !fermer);
        }
    }
};

QTEST_MAIN(KipemptyFenetreTest)
#include "KipemptyFenetreTest.moc"
