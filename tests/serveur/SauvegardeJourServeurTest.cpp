// The daily backup on the server is the installation's: of two stations starting together one takes it into its
// SaveAuto and the other finds it taken; a station starting later that day takes none and says by whom and where.
#include "Installation.h"
#include "ServeurEssai.h"
#include "calendar/Clock.h"
#include "data/Postes.h"
#include "shell/Demarrage.h"
#include "shell/Processus.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace {

class SauvegardeJourServeurTest : public ::testing::Test, public essai::Installation
{
protected:
    void SetUp() override { KIP_CHOISIR_MOTEUR(m_choix, serveuressai::Moteur::Serveur); }
    void TearDown() override
    {
        kip::quitterPoste();
        fermer();
    }
    // The installation of a station at tmp/nom/Kip on the test's server, with an empty raw file.
    QString station(const QString& nom)
    {
        const QString dir = tmp.path() + QLatin1Char('/') + nom + QStringLiteral("/Kip");
        bool ok = QDir().mkpath(dir + QStringLiteral("/Data"));
        for (const auto& [fichier, octets] :
             {std::pair{QStringLiteral("Base.txt"), m_choix.base()->conninfo().toUtf8() + '\n'},
              std::pair{QStringLiteral("Poste.txt"), nom.toUtf8() + '\n'},
              std::pair{QStringLiteral("Origin00.txt"), QByteArray()}})
            ok = ok && ecrire(dir + QStringLiteral("/Data/") + fichier, octets);
        EXPECT_TRUE(ok) << dir.toStdString();
        return dir;
    }

    serveuressai::ChoixMoteur m_choix;
};

TEST_F(SauvegardeJourServeurTest, UnPosteLaPrendLesAutresDisentOuElleEst)
{
    ASSERT_TRUE(vider());
    ajouter(7, QStringLiteral("SEPT"));
    fermer();
    const QString copie = QStringLiteral("/SaveAuto/Personne.tps");
    std::vector<std::unique_ptr<QProcess>> kipempty;
    QStringList dirs;
    for (const QString& nom : {QStringLiteral("bureau"), QStringLiteral("atelier")}) {
        dirs << station(nom);
        kipempty.push_back(std::make_unique<QProcess>());
        kipempty.back()->setProcessEnvironment(environnementSansAffichage());
        kipempty.back()->setWorkingDirectory(dirs.back());
        kipempty.back()->start(QStringLiteral(KIP_KIPEMPTY), {});
    }
    for (const auto& p : kipempty) {
        ASSERT_TRUE(p->waitForFinished(60000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    }
    const bool bureau = QFile::exists(dirs[0] + copie);
    ASSERT_NE(bureau, QFile::exists(dirs[1] + copie)) << "one backup for the two stations";

    // Later that day (kipempty's today is the machine's), a third station.
    kip::Clock::setToday(kip::dayNumber(QDate::currentDate()));
    const QString troisieme = station(QStringLiteral("direction"));
    kip::Demarrage demarrage(kip::Program::KipOther);
    int code = 0;
    ASSERT_TRUE(demarrage.verifier(troisieme, &code));
    demarrage.ouvrir();
    EXPECT_EQ(demarrage.avisSauvegarde(),
              QStringLiteral("Sauvegarde du jour faite par %1 dans %2/SaveAuto")
                  .arg(bureau ? QStringLiteral("bureau") : QStringLiteral("atelier"), dirs[bureau ? 0 : 1]));
    EXPECT_EQ(demarrage.incidentSauvegarde(), QString());
    EXPECT_FALSE(QFile::exists(troisieme + copie));
    demarrage.fermer();
}

} // namespace
