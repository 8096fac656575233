// The records on a server made ready by `kiptool serveur creer`: what the stations' role may and may not do, and
// an installation's files moved onto the server and back (`importer`, `exporter`). Each test has an empty database of
// its own on the private server of the run, and a stations' role of its own.
#include "InstallationTest.h"
#include "ServeurEssai.h"
#include "correction/FichierCorrection.h"
#include "data/Base.h"
#include "data/FileAdmin.h"
#include "data/FileWriter.h"
#include "data/Journal.h"
#include "data/ServerSetup.h"
#include "punch/TransfertPointages.h"
#include "reports/TotauxSemaines.h"
#include "shell/Sauvegarde.h"
#include "utilities/PassageServeur.h"
#include "utilities/Purge.h"
#include "utilities/Restauration.h"

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

    // A grid's save of the Monday of a card: a changed line with its journal entry.
    void corriger(qint16 carte, qint32 date, int debut, int fin)
    {
        kip::EcritureJour jour;
        jour.date = date;
        jour.utilisateur.fill(-1);
        jour.utilisateur[0] = qint16(debut);
        jour.utilisateur[1] = qint16(fin);
        jour.total = qint16(fin - debut);
        jour.modif = 1;
        if (!kip::enregistrerSemaine(*base, carte, {jour}).ok())
            panne(QStringLiteral("week of %1 not saved").arg(carte));
    }
    // The week totals report's numbers of the last three weeks, as text.
    QStringList totaux()
    {
        kip::ParametresEdition parametres;
        parametres.carteFin = 9999;
        parametres.dateDebut = lundi(2);
        parametres.dateFin = lundi() + 6;
        std::vector<kip::TotauxSemainesEmploye> t;
        if (kip::CalculerTotauxSemaines(*base, parametres, t).issue != kip::ResultatEdition::Issue::Complete)
            panne(QStringLiteral("week totals not read"));
        QStringList out;
        for (const kip::TotauxSemainesEmploye& e : t)
            for (const kip::TotalSemaine& s : e.semaines)
                out << QStringLiteral("%1 %2 %3 %4/%5")
                           .arg(e.CARTE)
                           .arg(s.NUM_SEMAINE)
                           .arg(s.totalNormal)
                           .arg(s.totalArrondi, e.total);
        return out;
    }
    // A small installation on the SQLite files: employees, day lines over three weeks, corrections journalled.
    void remplir()
    {
        fichiers.push_back(kip::FileId::Journal);
        ASSERT_TRUE(vider()) << pannes.join(u'\n').toStdString();
        for (qint16 carte = 1; carte <= 5; ++carte) {
            const kip::Personnel p = ajouter(carte, QStringLiteral("NOM'\\%1\t").arg(carte));
            for (int jour = 0; jour < 18; ++jour)
                ajouterJournee(p, lundi(2) + jour, {essai::h(8), essai::h(12) + carte, essai::h(13), essai::h(17)});
            corriger(carte, lundi(), essai::h(7), essai::h(15) + carte);
        }
    }
    struct Contenu
    {
        QMap<qint64, QByteArray> employes, journees, journal;
        bool operator==(const Contenu&) const = default;
    };
    Contenu contenus() { return {contenu<kip::Personnel>(), contenu<kip::PointVal>(), contenu<kip::Journal>()}; }

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

TEST_F(ServeurTest, ImporteeSurLeServeurPuisExporteeALIdentique)
{
    remplir();
    const Contenu avant = contenus();
    const QStringList totauxAvant = totaux();
    ASSERT_EQ(avant.journal.size(), 5);
    fermer();
    kip::setStoreServer(admin());
    ASSERT_TRUE(kip::creerBaseServeur(m_role).erreur.ok());
    kip::setStoreServer(QString());

    const kip::ResultatPassage r = kip::ImporterSurServeur(kip::paths(), admin(), false);
    ASSERT_TRUE(r.fait) << r.textes.join(u'\n').toStdString();
    EXPECT_EQ(kip::readBaseFile(dataDir()).value(), admin());
    EXPECT_FALSE(QFile::exists(kip::paths().file(kip::FileId::PointVal)));
    EXPECT_TRUE(QFile::exists(kip::paths().file(kip::FileId::PointVal) + QStringLiteral(".avant-serveur")));

    // Every program now works on the server, under the stations' role too: the same records, the same totals.
    for (const QString& connexion : {admin(), poste()}) {
        kip::setStoreServer(connexion);
        rouvrir();
        EXPECT_TRUE(contenus() == avant);
        EXPECT_EQ(totaux(), totauxAvant);
        fermer();
    }
    // New records take positions after the ones copied.
    kip::setStoreServer(poste());
    rouvrir();
    corriger(1, lundi(1), essai::h(6), essai::h(7));
    EXPECT_EQ(contenu<kip::Journal>().size(), 6);
    EXPECT_GT(contenu<kip::Journal>().lastKey(), avant.journal.lastKey());
    fermer();

    // Not twice: the server holds records now (Base.txt removed, as if the import were run again).
    ASSERT_TRUE(QFile::remove(QDir(dataDir()).filePath(QStringLiteral("Base.txt"))));
    const kip::ResultatPassage encore = kip::ImporterSurServeur(kip::paths(), admin(), false);
    EXPECT_FALSE(encore.fait);
    EXPECT_TRUE(encore.textes.join(u' ').contains(QStringLiteral("contiennent déjà des enregistrements")));

    // Back as SQLite files, equal to the server's (the correction made on the server included).
    ASSERT_TRUE(kip::writeFileAtomically(QDir(dataDir()).filePath(QStringLiteral("Base.txt")), admin().toUtf8()).ok());
    kip::setStoreServer(admin());
    rouvrir();
    const Contenu surServeur = contenus();
    fermer();
    const QString retour = tmp.path() + QStringLiteral("/retour");
    const kip::ResultatPassage exporte = kip::ExporterDuServeur(kip::paths(), retour);
    ASSERT_TRUE(exporte.fait) << exporte.textes.join(u'\n').toStdString();
    kip::setStoreServer(QString());
    const Contenu exportes{contenu<kip::Personnel>(retour), contenu<kip::PointVal>(retour),
                           contenu<kip::Journal>(retour)};
    EXPECT_TRUE(exportes == surServeur);
    for (const kip::TableDecl* table : kip::allTables()) // each with its keys, as the common open checks them
        EXPECT_TRUE(kip::checkRecordFile(*table, QDir(retour).filePath(table->fileName)).ok())
            << table->fileName.toStdString();
    EXPECT_EQ(exportes.employes, avant.employes);
    EXPECT_FALSE(kip::ExporterDuServeur(kip::paths(), retour).fait); // nothing written over
}

TEST_F(ServeurTest, UneImportationQuiEchoueLaisseLeServeurVideEtLesFichiers)
{
    remplir();
    fermer();
    kip::setStoreServer(admin());
    ASSERT_TRUE(kip::creerBaseServeur(m_role).erreur.ok());
    kip::setStoreServer(QString());
    // DATESAVE comes after PARAMETRE, PERSONNEL and POINTVAL: the copy fails midway.
    ASSERT_TRUE(ecrire(kip::paths().file(kip::FileId::DateSave), QByteArray(4096, 'x')));
    const kip::ResultatPassage r = kip::ImporterSurServeur(kip::paths(), admin(), false);
    EXPECT_FALSE(r.fait);
    EXPECT_TRUE(r.textes.join(u' ').contains(QStringLiteral("rien n'a été copié")))
        << r.textes.join(u' ').toStdString();
    EXPECT_FALSE(QFile::exists(QDir(dataDir()).filePath(QStringLiteral("Base.txt"))));
    EXPECT_TRUE(QFile::exists(kip::paths().file(kip::FileId::PointVal)));
    kip::setStoreServer(admin());
    kip::Database serveur(QString{});
    for (const kip::TableDecl* table : kip::allTables()) {
        qint64 n = -1;
        ASSERT_TRUE(serveur.run(QStringLiteral("SELECT count(*) FROM %1.%1").arg(table->label), {}, &n).ok());
        EXPECT_EQ(n, 0) << table->label.toStdString();
    }
}

// The restore onto the server, and the work that changes the tables as a whole refused to the stations' role.
TEST_F(ServeurTest, RestaurationSurLeServeurParLAdministrateurSeulement)
{
    remplir();
    fermer();
    kip::setStoreServer(admin());
    ASSERT_TRUE(kip::creerBaseServeur(m_role).erreur.ok());
    kip::setStoreServer(QString());
    ASSERT_TRUE(kip::ImporterSurServeur(kip::paths(), admin(), false).fait);
    ASSERT_TRUE(kip::chooseStore(dataDir()).ok());
    // At the backup: an archive already read, and a punch of the morning not yet transferred.
    const qint32 jour = lundi(2) - 1; // a day without a line yet
    const QByteArray ancienne = pointage(1, jour - 7, 8, 0), matin = pointage(1, jour, 8, 0);
    ASSERT_TRUE(ecrire(origine(1), ancienne) && ecrire(origine(0), matin));
    ASSERT_TRUE(kip::SauvegardeAuto(kip::paths()).reussie());
    rouvrir();
    const Contenu sauve = contenus();
    ajouter(9);
    corriger(2, lundi(1), essai::h(6), essai::h(9));
    // Since the backup: the morning's punches transferred and archived, and one more come.
    const QByteArray transferes = matin + pointage(1, jour, 12, 0), apres = pointage(1, jour, 13, 30);
    ASSERT_TRUE(ecrire(origine(0), transferes));
    ASSERT_TRUE(kip::TransfererPointages(*base, origine(0), today).reussi());
    ASSERT_TRUE(ecrire(origine(2), ancienne) && ecrire(origine(1), transferes) && ecrire(origine(0), apres));
    const Contenu modifie = contenus();
    ASSERT_FALSE(modifie == sauve);
    fermer();

    kip::setStoreServer(poste());
    const kip::ResultatRestauration refusee = kip::Restaurer(kip::paths(), kip::SourceRestauration::SaveAuto, {}, 0);
    EXPECT_EQ(refusee.etat, kip::ResultatRestauration::Etat::Refusee);
    EXPECT_TRUE(refusee.texte.contains(QStringLiteral("le rôle %1 n'a pas les droits de l'administrateur").arg(m_role)))
        << refusee.texte.toStdString();
    const kip::ResultatPurge purge = kip::Purger(dataDir(), lundi());
    EXPECT_EQ(purge.etat, kip::ResultatPurge::Etat::Echec);
    EXPECT_TRUE(purge.erreur.description().contains(QStringLiteral("rôle de l'administrateur")));
    EXPECT_FALSE(kip::DroitsAdministrateur(dataDir()).ok());
    rouvrir();
    EXPECT_TRUE(contenus() == modifie);
    fermer();

    kip::setStoreServer(admin());
    EXPECT_TRUE(kip::DroitsAdministrateur(dataDir()).ok());
    const kip::ResultatRestauration r = kip::Restaurer(kip::paths(), kip::SourceRestauration::SaveAuto, {}, 0);
    ASSERT_TRUE(r.faite()) << r.texte.toStdString();
    // The punches archived since the copy go back ahead of the raw file, for the next transfer.
    EXPECT_EQ(r.pointagesRepris, 2);
    EXPECT_EQ(lireFichier(origine(0)), transferes + apres);
    rouvrir();
    const Contenu restaure = contenus();
    EXPECT_EQ(restaure.employes, sauve.employes);
    EXPECT_EQ(restaure.journees, sauve.journees);
    // The journal is kept, with the restore's own entry.
    ASSERT_EQ(restaure.journal.size(), modifie.journal.size() + 1);
    EXPECT_TRUE(restaure.journal.last().contains(QByteArray(kip::CauseJournal::Restauration)));
    // The next transfer stores each punch once, also when it reads the file a second time.
    for (int fois = 0; fois < 2; ++fois)
        ASSERT_TRUE(kip::TransfererPointages(*base, origine(0), today).reussi());
    EXPECT_EQ(pointages(lire(1, jour)->POINTAGE_ORIGINE),
              (std::vector<int>{essai::h(8), essai::h(12), essai::h(13, 30)}));
    fermer();
    // The records as they were before it, as SQLite copies; no work file left beside the data.
    kip::setStoreServer(QString());
    EXPECT_EQ(contenu<kip::PointVal>(r.copieAvant), modifie.journees);
    EXPECT_EQ(QDir(dataDir()).entryList(
                  {QStringLiteral("*.restauration*"), QStringLiteral("*.ensemble"), QStringLiteral("*.tps")}),
              QStringList());
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
