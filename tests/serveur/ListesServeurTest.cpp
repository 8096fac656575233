// The lists stay current: the employee list and the punch list of this process show what another process wrote on
// the server without being reopened (its notification), around their current row, once per burst; on the files
// they read their page again when their window becomes active again. The other process is this program started
// again as a writer (--ecrire). The listener listens again after its connection was cut.
#include "../correction/windows/CorrectionEssai.h"
#include "ServeurEssai.h"
#include "data/Notifications.h"
#include "data/Postes.h"
#include "data/Transaction.h"
#include "employees/windows/FenetresPersonnel.h"
#include "employees/windows/ModelePersonnel.h"
#include "employees/windows/TablePersonnel.h"

#include <QApplication>
#include <QDebug>
#include <QProcess>
#include <QSignalSpy>
#include <QTableView>
#include <algorithm>
#include <optional>

using namespace kip;

namespace {

// The rows of a card from carte on: an employee NOM<carte>, or the day line of that card on date.
int ecrire(const QString& conninfo, const QString& table, qint16 carte, int nombre, qint32 date)
{
    QCoreApplication::setApplicationName(QStringLiteral("Kip"));
    setNomPoste(QStringLiteral("atelier"));
    setStoreServer(conninfo);
    Database db(QString{});
    // The employees each their own write, so that the list's program gets a burst of notifications; the day lines
    // in one transaction, notified with its commit.
    const bool employes = table == QLatin1String("PERSONNEL");
    std::optional<Transaction> t;
    if (!employes)
        t.emplace(db, std::initializer_list<FileId>{FileId::PointVal});
    for (int i = 0; i < nombre; ++i) {
        const Personnel p = essai::Installation::employe(qint16(carte + i));
        FileError e;
        if (employes) {
            RecordFile<Personnel> f(db);
            Personnel copie = p;
            e = f.open();
            if (e.ok())
                e = f.add(copie);
        } else {
            RecordFile<PointVal> f(db);
            PointVal v = essai::Installation::journee(p, date, {480, 720});
            e = f.open();
            if (e.ok())
                e = f.add(v);
        }
        if (!e.ok()) {
            qWarning("%s", qPrintable(e.description()));
            return 1;
        }
    }
    if (t && !t->commit().ok())
        return 1;
    return 0;
}

} // namespace

class ListesServeurTest : public QObject
{
    Q_OBJECT

private:
    InstallationCorrection m_inst;
    qint32 m_date = 0;

    // Employees NOM10 ... NOM90 (cards 10 ... 90), each with a day line on Monday.
    void remplir()
    {
        m_date = m_inst.lundi();
        for (qint16 c = 10; c <= 90; c += 10)
            m_inst.ajouterJournee(m_inst.ajouter(essai::Installation::employe(c)), m_date, {480, 720});
    }
    // The list of the table on the frame, its current row moved to card 50; the cards of its page.
    static FenetreListe* ouvrirListe(const QString& table, Cadre& cadre)
    {
        FenetreListe* l =
            table == QLatin1String("PERSONNEL")
                ? static_cast<FenetreListe*>(InstallationFenetres::ouvrir<TablePersonnel>(nom::TablePersonnel, cadre))
                : InstallationFenetres::ouvrir<TablePointage>(nom::TablePointage, cadre);
        if (l)
            for (int i = 0; i < 4; ++i)
                QTest::keyClick(l->vue(), Qt::Key_Down);
        return l;
    }
    template <class L> static QList<int> cartes(const std::vector<L>& lignes)
    {
        QList<int> c;
        for (const L& l : lignes)
            c << l.CARTE;
        return c;
    }
    static QList<int> cartes(FenetreListe* l)
    {
        if (auto* p = qobject_cast<TablePersonnel*>(l))
            return cartes(p->page().lignes());
        return cartes(qobject_cast<TablePointage*>(l)->page().lignes());
    }
    static int carteCourante(FenetreListe* l)
    {
        if (auto* p = qobject_cast<TablePersonnel*>(l))
            return p->page().employeCourant()->CARTE;
        return qobject_cast<TablePointage*>(l)->page().ligneCourante()->CARTE;
    }

    // The page holds the new cards in order, card 50 still the current row, the view's current row its own.
    static bool montre(FenetreListe* l, std::initializer_list<int> nouvelles)
    {
        const QList<int> c = cartes(l);
        bool ok = std::is_sorted(c.begin(), c.end()) && c.contains(50) && carteCourante(l) == 50 &&
                  l->vue()->currentIndex().row() == c.indexOf(50);
        for (int n : nouvelles)
            ok = ok && c.contains(n);
        if (!ok)
            qWarning() << "page" << c << "current" << carteCourante(l) << "at" << l->vue()->currentIndex().row();
        return ok;
    }

private Q_SLOTS:
    void initTestCase()
    {
        enregistrerFenetresPersonnel();
        m_inst.preparer();
    }
    void init() { QVERIFY(m_inst.vider()); }
    void cleanup() { m_inst.verifier(); }
    void cleanupTestCase() { m_inst.terminer(); }

    void listesSuiventLAutreProcessus_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("employes") << QStringLiteral("PERSONNEL");
        QTest::newRow("pointages") << QStringLiteral("POINTVAL");
    }
    void listesSuiventLAutreProcessus()
    {
        QFETCH(QString, table);
        if (serveuressai::socketServeur().isEmpty())
            QSKIP("KIP_TEST_PGHOST absent: the server's tests are skipped (scripts/test starts one)");
        serveuressai::ChoixMoteur choix;
        QCOMPARE(choix.choisir(serveuressai::Moteur::Serveur), QString());
        QVERIFY(m_inst.vider());
        remplir();
        {
            CadreEssai cadre;
            FenetreListe* l = ouvrirListe(table, cadre);
            QVERIFY(l);
            QCOMPARE(carteCourante(l), 50);
            EcouteServeur* ecoute = EcouteServeur::programme();
            QVERIFY(ecoute && ecoute->ecoute());
            // A wide burst: the writer's three notifications surely fall in it.
            ecoute->setDelais(1500, 2000);
            QSignalSpy signaux(ecoute, &EcouteServeur::tableModifiee);
            // The other process's three writes, notified as one.
            QProcess ecrivain;
            ecrivain.start(QCoreApplication::applicationFilePath(),
                           {QStringLiteral("--ecrire"), choix.base()->conninfo(), table, QStringLiteral("35"),
                            QString::number(m_date)});
            QVERIFY(ecrivain.waitForFinished(30000));
            QCOMPARE(ecrivain.exitCode(), 0);
            QTRY_VERIFY_WITH_TIMEOUT(cartes(l).contains(36), 10000);
            QCOMPARE(signaux.count(), 1);
            QCOMPARE(signaux[0][0].toString(), table);
            QVERIFY(montre(l, {35, 36, 37}));
        }
        delete EcouteServeur::programme(); // before its database goes
    }

    // The listener's connection cut by the server (its session ended): it listens again and says that everything
    // may have changed meanwhile, then hears the other process again.
    void ecouteReprendApresUneCoupure()
    {
        if (serveuressai::socketServeur().isEmpty())
            QSKIP("KIP_TEST_PGHOST absent: the server's tests are skipped (scripts/test starts one)");
        serveuressai::ChoixMoteur choix;
        QCOMPARE(choix.choisir(serveuressai::Moteur::Serveur), QString());
        EcouteServeur ecoute(choix.base()->conninfo());
        ecoute.setDelais(10, 50);
        QVERIFY(ecoute.ecoute());
        QSignalSpy signaux(&ecoute, &EcouteServeur::tableModifiee);
        QCOMPARE(serveuressai::administrer(
                     choix.base()->nom(),
                     QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                                    "WHERE query = 'LISTEN kip_modifications' AND datname = current_database()")),
                 QString());
        QTRY_COMPARE_WITH_TIMEOUT(signaux.count(), 2, 10000);
        QVERIFY(ecoute.ecoute());
        signaux.clear();
        QProcess ecrivain;
        ecrivain.start(QCoreApplication::applicationFilePath(),
                       {QStringLiteral("--ecrire"), choix.base()->conninfo(), QStringLiteral("PERSONNEL"),
                        QStringLiteral("35"), QStringLiteral("0")});
        QVERIFY(ecrivain.waitForFinished(30000));
        QCOMPARE(ecrivain.exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!signaux.isEmpty(), 10000);
        QCOMPARE(signaux[0][0].toString(), QStringLiteral("PERSONNEL"));
    }

    void listesRelisentALActivation_data() { listesSuiventLAutreProcessus_data(); }
    void listesRelisentALActivation()
    {
        QFETCH(QString, table);
        remplir();
        CadreEssai cadre;
        FenetreListe* l = ouvrirListe(table, cadre);
        QVERIFY(l);
        // Another program's write on the files: nothing tells the list until its window is active again.
        m_inst.ajouterJournee(m_inst.ajouter(essai::Installation::employe(35)), m_date, {480, 720});
        QVERIFY(!cartes(l).contains(35));
        for (QEvent::Type t : {QEvent::WindowDeactivate, QEvent::WindowActivate}) {
            QEvent e(t);
            QApplication::sendEvent(l, &e);
        }
        QVERIFY(montre(l, {35}));
    }
};

int main(int argc, char** argv)
{
    if (argc == 6 && qstrcmp(argv[1], "--ecrire") == 0) {
        QCoreApplication app(argc, argv);
        return ecrire(QString::fromUtf8(argv[2]), QString::fromUtf8(argv[3]), qint16(atoi(argv[4])), 3, atoi(argv[5]));
    }
    QApplication app(argc, argv);
    ListesServeurTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ListesServeurTest.moc"
