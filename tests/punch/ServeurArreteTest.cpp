// The server stopped in the middle of a transfer (pg_ctl stop -m immediate), on a private server of the test's
// own: a French message, nothing half written, the raw file kept; once the server is back, the next run stores
// every punch once.
#include "InstallationTest.h"
#include "data/ServerConnection.h"
#include "punch/TransfertPointages.h"

#include <QProcess>
#include <optional>

using namespace kip;

namespace {

// What scripts/serveur-essai printed, or nothing when it failed.
std::optional<QString> serveurEssai(const QStringList& arguments)
{
    QProcess p;
    p.start(QStringLiteral(KIP_SERVEUR_ESSAI), arguments);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

class ServeurArreteTest : public InstallationTest
{
protected:
    void SetUp() override
    {
        if (serveuressai::socketServeur().isEmpty())
            GTEST_SKIP() << "KIP_TEST_PGHOST absent: the server's tests are skipped (scripts/test starts one)";
        // A server of its own: the run's is shared by the tests running beside this one.
        m_socket = serveurEssai({QStringLiteral("start")}).value_or(QString());
        ASSERT_FALSE(m_socket.isEmpty());
        m_conninfo = QStringLiteral("host=%1 user=postgres dbname=postgres").arg(m_socket);
        setStoreServer(m_conninfo);
        InstallationTest::SetUp();
    }
    void TearDown() override
    {
        InstallationTest::TearDown();
        setStoreServer(QString());
        ServerConnection::closePool(m_conninfo);
        if (!m_socket.isEmpty())
            (void)serveurEssai({QStringLiteral("stop"), m_socket});
    }

    QString m_socket;
    QString m_conninfo;
};

} // namespace

TEST_F(ServeurArreteTest, StoppedInTheMiddleOfATransferLosesNothingAndStoresEveryPunchOnce)
{
    ajouter(12, QStringLiteral("MARTIN"));
    ajouter(13, QStringLiteral("DURAND"));
    QByteArray raw;
    for (qint32 d = today - 60; d <= today; ++d)
        raw += pointage(12, d, 8, 0) + pointage(13, d, 8, 30) + pointage(12, d, 17, 0) + pointage(13, d, 16, 30);
    ecrire(origine(), raw);
    bool arrete = false;
    ProgressionTransfert p;
    p.lignes = [&](int fait, int total) {
        if (!arrete && fait > total / 2) {
            arrete = true;
            (void)serveurEssai({QStringLiteral("stop-immediate"), m_socket});
        }
    };
    const ResultatSansSurveillance r = TransfertSansSurveillance(*base, dataDir(), today, p);
    ASSERT_TRUE(arrete);
    EXPECT_FALSE(r.lecture.reussi());
    EXPECT_FALSE(r.archive);
    EXPECT_TRUE(r.lecture.erreur.description().startsWith(QStringLiteral("Connexion au serveur %1 (base postgres) "
                                                                         "perdue")
                                                              .arg(m_socket)))
        << r.lecture.erreur.description().toStdString();
    EXPECT_EQ(lireFichier(origine(0)), raw);

    ASSERT_TRUE(serveurEssai({QStringLiteral("start-again"), m_socket}));
    // The connections of before the stop are gone with it.
    base.reset();
    ServerConnection::closePool(m_conninfo);
    base = std::make_unique<Database>(dataDir());
    EXPECT_TRUE(contenu<PointVal>().isEmpty());
    const ResultatSansSurveillance encore = TransfertSansSurveillance(*base, dataDir(), today);
    EXPECT_TRUE(encore.archive) << encore.lecture.rejets.join(QStringLiteral(" / ")).left(300).toStdString();
    EXPECT_EQ(encore.lecture.stockes, encore.lecture.lignes);
    EXPECT_EQ(contenu<PointVal>().size(), 2 * 61);
    for (qint32 d = today - 60; d <= today; ++d) {
        EXPECT_EQ(pointages(lire(12, d).value_or(PointVal{}).POINTAGE_ORIGINE), (std::vector<int>{480, 1020}));
        EXPECT_EQ(pointages(lire(13, d).value_or(PointVal{}).POINTAGE_ORIGINE), (std::vector<int>{510, 990}));
    }
}
