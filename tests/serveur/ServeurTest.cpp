// The records on a server made ready by `kiptool serveur creer`: what the stations' role may and may not do.
// Each test has an empty database of its own on the private server of the run, and a stations' role of its own.
#include "InstallationTest.h"
#include "ServeurEssai.h"
#include "correction/FichierCorrection.h"
#include "data/Journal.h"
#include "data/ServerSetup.h"
#include "punch/TransfertPointages.h"
#include "reports/TotauxSemaines.h"

#include <atomic>

namespace {

class ServeurTest : public ::testing::Test, public essai::Installation
{
protected:
    void SetUp() override
    {
        if (serveuressai::socketServeur().isEmpty())
            GTEST_SKIP() << "KIP_TEST_PGHOST absent: the server's tests are skipped (scripts/test starts one)";
        static std::atomic<int> compteur{0};
        const int n = ++compteur;
        m_base = QStringLiteral("kip_vide_%1_%2").arg(::getpid()).arg(n);
        m_role = QStringLiteral("kip_poste_%1_%2").arg(::getpid()).arg(n);
        ASSERT_EQ(
            serveuressai::administrer(QStringLiteral("postgres"), QStringLiteral("CREATE DATABASE %1").arg(m_base)),
            QString());
        m_creee = true;
    }
    void TearDown() override
    {
        EXPECT_TRUE(pannes.isEmpty()) << pannes.join(u'\n').toStdString();
        terminer();
        kip::setStoreServer(QString());
        kip::ServerConnection::closePool(admin());
        kip::ServerConnection::closePool(poste());
        if (m_creee) {
            (void)serveuressai::administrer(QStringLiteral("postgres"),
                                            QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(m_base));
            (void)serveuressai::administrer(QStringLiteral("postgres"),
                                            QStringLiteral("DROP ROLE IF EXISTS %1").arg(m_role));
        }
    }
    QString admin() const { return serveuressai::conninfo(m_base); }
    QString poste() const
    {
        return QStringLiteral("host=%1 user=%2 dbname=%3").arg(serveuressai::socketServeur(), m_role, m_base);
    }
    // The database made ready by the administrator, then the installation opened on it under the stations' role.
    void creerPuisOuvrirEnPoste()
    {
        kip::setStoreServer(admin());
        const kip::ResultatCreation r = kip::creerBaseServeur(m_role);
        ASSERT_TRUE(r.erreur.ok()) << r.erreur.description().toStdString();
        EXPECT_EQ(r.tablesCreees, int(kip::allTables().size()));
        EXPECT_TRUE(r.roleCree);
        kip::setStoreServer(poste());
        ASSERT_TRUE(vider()) << pannes.join(u'\n').toStdString();
    }

    QString m_base, m_role;
    bool m_creee = false;
};

TEST_F(ServeurTest, LeRolePosteEcritSansChangerLesTablesNiLeJournal)
{
    creerPuisOuvrirEnPoste();
    // Made again: nothing made twice, the role kept.
    kip::setStoreServer(admin());
    const kip::ResultatCreation encore = kip::creerBaseServeur(m_role);
    EXPECT_TRUE(encore.erreur.ok() && !encore.roleCree);
    EXPECT_EQ(encore.tablesPresentes, int(kip::allTables().size()));
    kip::setStoreServer(poste());

    // A transfer, a save of the grid (with its journal entry) and a report's reading, under the stations' role.
    const kip::Personnel p = ajouter(7, QStringLiteral("MARTIN"));
    ASSERT_TRUE(ecrire(origine(), pointage(7, lundi(), 8, 0) + pointage(7, lundi(), 12, 0)));
    const kip::ResultatTransfert t = kip::TransfererPointages(*base, origine(), today);
    ASSERT_TRUE(t.reussi()) << t.erreur.description().toStdString();
    ASSERT_EQ(pointages(lire(7, lundi())->POINTAGE_UTILISATEUR), (std::vector<int>{essai::h(8), essai::h(12)}));
    kip::EcritureJour jour;
    jour.date = lundi();
    jour.utilisateur.fill(-1);
    jour.utilisateur[0] = essai::h(8);
    jour.utilisateur[1] = essai::h(13);
    jour.total = essai::h(5);
    jour.modif = 1;
    ASSERT_TRUE(kip::enregistrerSemaine(*base, p.CARTE, {jour}).ok());
    std::vector<kip::Journal> entrees;
    ASSERT_TRUE(kip::lireJournal(*base, {}, entrees).ok());
    EXPECT_EQ(entrees.size(), 1u);
    kip::ParametresEdition parametres;
    parametres.carteFin = 9999;
    parametres.dateDebut = lundi();
    parametres.dateFin = lundi() + 6;
    std::vector<kip::TotauxSemainesEmploye> totaux;
    ASSERT_EQ(kip::CalculerTotauxSemaines(*base, parametres, totaux).issue, kip::ResultatEdition::Issue::Complete);
    ASSERT_EQ(totaux.size(), 1u);
    EXPECT_EQ(totaux[0].total, essai::h(5));

    // What the role may not do: rewrite the journal, change a table.
    for (const QString& sql :
         {QStringLiteral("DELETE FROM JOURNAL.JOURNAL"), QStringLiteral("UPDATE JOURNAL.JOURNAL SET CAUSE = ''"),
          QStringLiteral("ALTER TABLE POINTVAL.POINTVAL ADD COLUMN X integer")}) {
        const kip::FileError e = base->exec(sql);
        EXPECT_EQ(e.text, QStringLiteral("Opération non permise au rôle de connexion")) << sql.toStdString();
        EXPECT_TRUE(e.description().startsWith(QStringLiteral("Droit refusé par le serveur"))) << sql.toStdString();
    }
    ASSERT_TRUE(kip::lireJournal(*base, {}, entrees).ok());
    EXPECT_EQ(entrees.size(), 1u);
}

TEST(AvertissementTexteClair, SeulementVersUneAutreMachineSansCertificatVerifie)
{
    using Options = QMap<QString, QString>;
    const struct
    {
        Options options;
        bool avertit;
    } cas[] = {
        {{}, false}, // the default socket
        {{{"host", "/var/run/postgresql"}}, false},
        {{{"host", "localhost"}, {"sslmode", "disable"}}, false},
        {{{"host", "127.0.0.1"}}, false},
        {{{"host", "serveur"}}, true},
        {{{"host", "serveur"}, {"sslmode", "require"}}, true},
        {{{"host", "serveur"}, {"sslmode", "verify-ca"}}, false},
        {{{"host", "serveur"}, {"sslmode", "verify-full"}}, false},
        {{{"host", "localhost,serveur"}}, true},
        {{{"host", "localhost"}, {"hostaddr", "10.0.0.5"}}, true},
    };
    for (const auto& c : cas)
        EXPECT_EQ(!kip::avertissementTexteClair(c.options).isEmpty(), c.avertit)
            << c.options.value("host").toStdString();
}

} // namespace
