// The server stopped (pg_ctl stop -m immediate) and started again under a station at work, on a private server of
// the test's own (the run's server is shared by the tests beside this one): the action meanwhile fails with the
// French message naming the server, nothing committed is lost, the grid keeps its edits as its draft and says so,
// and the next action once the server is back works on the same Database, without a restart.
#include "ServeurEssai.h"
#include "correction/BrouillonCorrection.h"
#include "correction/windows/CorrectionEssai.h"
#include "data/Journal.h"
#include "data/Postes.h"
#include "punch/TransfertPointages.h"

#include <QLineEdit>
#include <QProcess>
#include <QStatusBar>
#include <functional>
#include <optional>

using namespace kip;

class RepriseTest : public QObject
{
    Q_OBJECT

private:
    InstallationCorrection m_inst;
    QString m_socket;
    QString m_conninfo;

    // What scripts/serveur-essai printed, or nothing when it failed.
    static std::optional<QString> serveurEssai(const QStringList& arguments)
    {
        QProcess p;
        p.start(QStringLiteral(KIP_SERVEUR_ESSAI), arguments);
        if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            return std::nullopt;
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
    static void taper(CorrectionPointage* g, int jour, int colonne, const QString& texte)
    {
        QLineEdit* e = g->cellule(jour, colonne);
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClicks(e, texte);
        QTest::keyClick(e, Qt::Key_Right);
    }
    // The loss said in French, naming the server, with the code of a lost connection.
    bool perteDite(const FileError& e) const
    {
        return isConnectionError(e) && e.description().contains(serverName(m_conninfo)) &&
               (e.description().contains(QStringLiteral("injoignable")) ||
                e.description().contains(QStringLiteral("perdue")));
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (serveuressai::socketServeur().isEmpty())
            QSKIP("KIP_TEST_PGHOST absent: the server's tests are skipped (scripts/test starts one)");
        m_socket = serveurEssai({QStringLiteral("start")}).value_or(QString());
        QVERIFY(!m_socket.isEmpty());
        m_conninfo = QStringLiteral("host=%1 user=postgres dbname=postgres").arg(m_socket);
        setStoreServer(m_conninfo);
        setNomPoste(QStringLiteral("reprise"));
        QVERIFY(enregistrerPoste().ok());
        m_inst.preparer();
        CorrectionPointage::setPeriodeVidage(3600 * 1000);
    }
    void cleanupTestCase()
    {
        quitterPoste();
        m_inst.terminer();
        setStoreServer(QString());
        ServerConnection::closePool(m_conninfo);
        if (!m_socket.isEmpty())
            (void)serveurEssai({QStringLiteral("stop"), m_socket});
    }

    void theActionAfterTheServersReturnWorksWithoutARestart()
    {
        std::unique_ptr<CadreEssai> cadre;
        CorrectionPointage* g = nullptr;
        Database liste(m_inst.dataDir()); // a list's connection, kept while the server goes and comes back
        std::unique_ptr<TourJournees> tour;
        const auto employes = [&liste](int* n) {
            RecordFile<Personnel> f(liste);
            FileError e = f.open();
            Cursor<Personnel> c = f.readAll();
            Personnel p;
            for (*n = 0; e.ok() && (e = c.next(p)).ok();)
                ++*n;
            return e.code == EndOfFile ? FileError{} : e;
        };
        QByteArray brut;
        for (qint32 d = m_inst.today - 60; d <= m_inst.today; ++d)
            brut += essai::Installation::pointage(12, d, 8, 0) + essai::Installation::pointage(13, d, 8, 30) +
                    essai::Installation::pointage(12, d, 17, 0) + essai::Installation::pointage(13, d, 16, 30);

        struct Cas
        {
            const char* nom;
            std::function<void()> preparer;
            std::function<void(const std::function<void()>& arreter)> pendant; // stops the server at its moment
            std::function<void()> apres;
        };
        const Cas cas[] = {
            {"a grid's save",
             [&] {
                 m_inst.ajouter(InstallationCorrection::employe(1, QStringLiteral("ARNAUD")));
                 cadre = std::make_unique<CadreEssai>();
                 g = m_inst.ouvrirGrille(*cadre, 1, m_inst.lundi());
                 QVERIFY(g);
                 taper(g, 0, 0, QStringLiteral("8"));
                 taper(g, 0, 1, QStringLiteral("12"));
             },
             [&](const std::function<void()>& arreter) {
                 arreter();
                 QTest::keyClick(g->cellule(0, 2), Qt::Key_F2);
                 const QList<MessageSpec> vus = m_inst.presenter.shown();
                 QCOMPARE(vus.size(), 1);
                 QCOMPARE(vus[0].number, 15);
                 QVERIFY2(vus[0].text.contains(serverName(m_conninfo)), qPrintable(vus[0].text));
                 QCOMPARE(g->cellule(0, 0)->text().trimmed(), QStringLiteral("8.00"));
                 const std::optional<Brouillon> brouillon = lireBrouillon(cheminBrouillon());
                 QVERIFY(brouillon && brouillon->jours[0]);
                 QVERIFY2(cadre->statusBar()->currentMessage().contains(QStringLiteral("brouillon")),
                          qPrintable(cadre->statusBar()->currentMessage()));
             },
             [&] {
                 QTest::keyClick(g->cellule(0, 2), Qt::Key_F2);
                 QCOMPARE(m_inst.presenter.shown().size(), 1);
                 const std::optional<PointVal> ligne = m_inst.lire(1, m_inst.lundi());
                 QVERIFY(ligne);
                 QCOMPARE(essai::Installation::pointages(ligne->POINTAGE_UTILISATEUR),
                          (std::vector<int>{essai::h(8), essai::h(12)}));
                 std::vector<Journal> entrees;
                 QVERIFY(lireJournalJournee(*m_inst.base, 1, m_inst.lundi(), entrees).ok());
                 QCOMPARE(entrees.size(), size_t(1));
                 QVERIFY(!QFile::exists(cheminBrouillon()));
                 cadre.reset();
             }},
            {"a transfer",
             [&] {
                 m_inst.ajouter(12, QStringLiteral("MARTIN"));
                 m_inst.ajouter(13, QStringLiteral("DURAND"));
                 QVERIFY(m_inst.ecrire(m_inst.origine(), brut));
             },
             [&](const std::function<void()>& arreter) {
                 ProgressionTransfert p;
                 bool arrete = false;
                 p.lignes = [&](int fait, int total) {
                     if (!arrete && fait > total / 2) {
                         arrete = true;
                         arreter();
                     }
                 };
                 const ResultatSansSurveillance r =
                     TransfertSansSurveillance(*m_inst.base, m_inst.dataDir(), m_inst.today, p);
                 QVERIFY(!r.lecture.reussi());
                 QVERIFY(!r.archive);
                 QVERIFY2(perteDite(r.lecture.erreur), qPrintable(r.lecture.erreur.description()));
                 QCOMPARE(m_inst.lireFichier(m_inst.origine(0)), brut);
             },
             [&] {
                 const ResultatSansSurveillance r =
                     TransfertSansSurveillance(*m_inst.base, m_inst.dataDir(), m_inst.today);
                 QVERIFY(r.archive);
                 QCOMPARE(r.lecture.stockes, r.lecture.lignes);
                 for (qint32 d = m_inst.today - 60; d <= m_inst.today; ++d) {
                     QCOMPARE(essai::Installation::pointages(m_inst.lire(12, d)->POINTAGE_ORIGINE),
                              (std::vector<int>{essai::h(8), essai::h(17)}));
                     QCOMPARE(essai::Installation::pointages(m_inst.lire(13, d)->POINTAGE_ORIGINE),
                              (std::vector<int>{essai::h(8, 30), essai::h(16, 30)}));
                 }
             }},
            {"two reads of a list",
             [&] {
                 int n = 0;
                 QVERIFY(employes(&n).ok());
                 QCOMPARE(n, 3);
             },
             [&](const std::function<void()>& arreter) {
                 arreter();
                 int n = 0;
                 const FileError e = employes(&n);
                 QVERIFY2(perteDite(e), qPrintable(e.description()));
             },
             [&] {
                 int n = 0;
                 QVERIFY(employes(&n).ok());
                 QCOMPARE(n, 3);
                 // The registration made again with the connection: the station is listed, alone.
                 const Result<std::vector<PosteConnecte>> postes = postesConnectes();
                 QVERIFY(postes.ok());
                 QCOMPARE(postes->size(), size_t(1));
                 QVERIFY(postes->front().ceProgramme);
                 QVERIFY(seulSurLeServeur().ok());
             }},
            {"the day lines' turn held",
             [&] {
                 tour = std::make_unique<TourJournees>(*m_inst.base);
                 QVERIFY(tour->ok());
             },
             [&](const std::function<void()>& arreter) { arreter(); },
             [&] {
                 // The server is back, but the turn went with the session: the work under it fails.
                 const FileError e = m_inst.base->run(QStringLiteral("SELECT 1"));
                 QVERIFY2(perteDite(e), qPrintable(e.description()));
                 tour.reset();
                 QVERIFY(m_inst.base->run(QStringLiteral("SELECT 1")).ok());
             }},
        };
        for (const Cas& c : cas) {
            m_inst.presenter.clear();
            c.preparer();
            if (QTest::currentTestFailed())
                QFAIL(c.nom);
            bool arrete = false;
            c.pendant([&] { arrete = serveurEssai({QStringLiteral("stop-immediate"), m_socket}).has_value(); });
            QVERIFY2(arrete, c.nom);
            QVERIFY2(serveurEssai({QStringLiteral("start-again"), m_socket}), c.nom);
            c.apres();
            if (QTest::currentTestFailed())
                QFAIL(c.nom);
        }
    }
};

QTEST_MAIN(RepriseTest)
#include "RepriseTest.moc"
