// The reader's window: its title, the port and the state as they change, the last swipes.
#include "reader/windows/FenetreLecteur.h"

#include "data/TextFiles.h"
#include "reader/Sons.h"
#include "reader/Surveillance.h"

#include <QDir>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace kip;

namespace {
class Muets : public Sons
{
public:
    void jouer(const QString&) override {}
    void sonnerieTest() override {}
};
} // namespace

class FenetreLecteurTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void montreLePortLEtatEtLesDernieresLectures()
    {
        QTemporaryDir tmp;
        const Paths chemins = Paths::forInstallation(tmp.filePath(QStringLiteral("Kip")));
        QDir().mkpath(chemins.dataDir);
        QVERIFY((KipGuard{QStringLiteral("2"), {}, {}, QStringLiteral("Omron")}.write(chemins.kipGuard()).ok()));
        Muets sons;
        OptionsSurveillance options;
        options.peripheriques.insert(2, tmp.filePath(QStringLiteral("absent")));
        Surveillance surveillance(chemins, options, sons);
        QVERIFY(surveillance.demarrer());
        FenetreLecteur fenetre(surveillance);
        fenetre.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fenetre));
        QCOMPARE(fenetre.windowTitle(), QStringLiteral("Module de suveillance du lecteur magnétique"));
        QVERIFY2(fenetre.textePort().startsWith(QStringLiteral("Port 2 (")), qPrintable(fenetre.textePort()));
        QVERIFY(fenetre.textePort().contains(QStringLiteral("Omron")));
        QVERIFY(fenetre.textePort().contains(QStringLiteral("indisponible")));
        QCOMPARE(fenetre.texteEtat(), QStringLiteral("En marche"));

        surveillance.message(1024);
        surveillance.lecture(Lecture::carteLue(42), 2);
        QCOMPARE(fenetre.texteEtat(), QStringLiteral("En pause, 1 lecture(s) en attente"));
        surveillance.message(1025);
        QCOMPARE(fenetre.texteEtat(), QStringLiteral("En marche"));
        surveillance.lecture(Lecture::mauvaise(QStringLiteral("x")), 2);
        QCOMPARE(fenetre.liste()->model()->rowCount(), 2); // the reader's rows, whose texts its own test holds
    }
};

QTEST_MAIN(FenetreLecteurTest)
#include "FenetreLecteurTest.moc"
