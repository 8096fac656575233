// Several stations on one server: a station joins with `kiptool serveur rejoindre`, and each program's session is
// listed while it runs and gone once it ended, whether or not it said goodbye.
#include "data/Postes.h"

#include "Installation.h"
#include "ServeurEssai.h"
#include "data/Journal.h"
#include "data/Transaction.h"
#include "shell/Processus.h"
#include "utilities/Purge.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <algorithm>

namespace {

class PostesTest : public ::testing::Test, public essai::Installation
{
protected:
    void SetUp() override { KIP_CHOISIR_MOTEUR(m_choix, serveuressai::Moteur::Serveur); }
    void TearDown() override
    {
        kip::quitterPoste();
        fermer();
    }
    FinProcessus kiptool(const QStringList& arguments)
    {
        return lancerJusquaLaFin(QStringLiteral(KIP_KIPTOOL), QStringList{QStringLiteral("serveur")} + arguments,
                                 dir());
    }
    // The stations listed once the list satisfies the condition, or the last list read after the bound.
    template <class C> std::vector<kip::PosteConnecte> attendrePostes(C condition)
    {
        kip::Result<std::vector<kip::PosteConnecte>> postes = kip::postesConnectes();
        for (QDeadlineTimer limite(20000); !(postes.ok() && condition(*postes)) && !limite.hasExpired();
             postes = kip::postesConnectes())
            QThread::msleep(10);
        return postes.ok() ? *postes : std::vector<kip::PosteConnecte>{};
    }
    // An installation of another station at tmp/nom/Kip, on the server of conninfo, holding the lines of its raw file.
    QString station(const QString& nom, const QString& conninfo, const QByteArray& brut)
    {
        const QString dir = tmp.path() + QLatin1Char('/') + nom + QStringLiteral("/Kip");
        bool ok = QDir().mkpath(dir + QStringLiteral("/Data"));
        for (const auto& [fichier, octets] : {std::pair{QStringLiteral("Base.txt"), conninfo.toUtf8() + '\n'},
                                              std::pair{QStringLiteral("Poste.txt"), nom.toUtf8() + '\n'},
                                              std::pair{QStringLiteral("Origin00.txt"), brut}})
            ok = ok && ecrire(dir + QStringLiteral("/Data/") + fichier, octets);
        EXPECT_TRUE(ok) << dir.toStdString();
        return dir;
    }
    // The day lines' fields, sorted (a line written by both stations has a later version: not compared).
    QList<QByteArray> lignes()
    {
        QList<QByteArray> l;
        for (const QByteArray& r : contenu<kip::PointVal>())
            l << r.left(kip::PointVal::Size);
        std::sort(l.begin(), l.end());
        return l;
    }
    QString baseTxt() const { return QDir(dataDir()).filePath(QStringLiteral("Base.txt")); }

    serveuressai::ChoixMoteur m_choix;
};

TEST_F(PostesTest, RejoindreVerifieLeServeurEtLesFichiersPuisLesPostesSontListes)
{
    const QString serveur = m_choix.base()->conninfo();
    // The fixture's installation, on the SQLite files, holding an employee.
    kip::setStoreServer(QString());
    ASSERT_TRUE(vider());
    ajouter(7, QStringLiteral("SEPT"));
    fermer();
    struct Cas
    {
        const char* quoi;
        QString connexion;
        bool fichiersDeCote;
        int code;
        QString texte;
    };
    const Cas cas[] = {
        {"records left in Data", serveur, false, 1, QStringLiteral("Personne.tps (1 enregistrement(s))")},
        {"a database without Kip's tables", serveuressai::conninfo(QStringLiteral("postgres")), true, 1,
         QStringLiteral("ne contient pas les tables de Kip")},
        {"a password in the string", serveur + QStringLiteral(" password=x"), true, 1, QStringLiteral("mot de passe")},
        {"joined", serveur, true, 0, QStringLiteral("désigne désormais le serveur")},
    };
    for (const Cas& c : cas) {
        if (c.fichiersDeCote)
            for (const kip::TableDecl* table : kip::allTables())
                QFile::remove(QDir(dataDir()).filePath(table->fileName));
        const FinProcessus fin = kiptool({QStringLiteral("rejoindre"), c.connexion});
        EXPECT_EQ(fin.code, c.code) << c.quoi;
        EXPECT_TRUE(fin.sortie.contains(c.texte) || fin.erreurs.contains(c.texte))
            << c.quoi << ": " << (fin.sortie + fin.erreurs).toStdString();
        EXPECT_EQ(QFile::exists(baseTxt()), c.code == 0) << c.quoi;
    }
    ASSERT_EQ(kip::readBaseFile(dataDir()).value(), serveur);

    // Station A is this test's process; station B is kiptool, named by the installation's Poste.txt.
    QCoreApplication::setApplicationName(QStringLiteral("essai"));
    kip::setNomPoste(QStringLiteral("poste-a"));
    kip::setStoreServer(serveur);
    ASSERT_TRUE(kip::enregistrerPoste().ok());
    QFile nom(QDir(dataDir()).filePath(QLatin1String(kip::PosteFileName)));
    ASSERT_TRUE(nom.open(QIODevice::WriteOnly) && nom.write("Poste B\n") == 8);
    nom.close();
    // The journal names the station of each change.
    rouvrir();
    {
        kip::Transaction t(*base, {kip::FileId::Journal});
        kip::Journal entree;
        ASSERT_TRUE(kip::ajouterAuJournal(t, entree).ok());
        ASSERT_TRUE(t.commit().ok());
    }
    std::vector<kip::Journal> journal;
    ASSERT_TRUE(kip::lireJournal(*base, {}, journal).ok());
    ASSERT_EQ(journal.size(), 1u);
    EXPECT_EQ(journal[0].UTILISATEUR, kip::utilisateurSysteme() + QStringLiteral("@poste-a"));
    fermer();
    const FinProcessus b = kiptool({QStringLiteral("postes")});
    EXPECT_EQ(b.code, 0) << b.erreurs.toStdString();
    const QStringList lignes = b.sortie.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lignes.size(), 2) << b.sortie.toStdString();
    EXPECT_TRUE(lignes[0].startsWith(QStringLiteral("essai sur poste-a (postgres) depuis"))) << lignes[0].toStdString();
    EXPECT_TRUE(lignes[1].startsWith(QStringLiteral("kiptool sur Poste_B (postgres)")) &&
                lignes[1].endsWith(QStringLiteral("(cette commande)")))
        << lignes[1].toStdString();

    // kiptool ended without a word to the server: its session is gone all the same, once the server saw it end.
    kip::Result<std::vector<kip::PosteConnecte>> restent = kip::postesConnectes();
    for (QDeadlineTimer limite(10000); restent.ok() && restent->size() > 1 && !limite.hasExpired();
         restent = kip::postesConnectes())
        QThread::msleep(10);
    ASSERT_TRUE(restent.ok());
    ASSERT_EQ(restent->size(), 1u);
    EXPECT_TRUE(restent->front().ceProgramme);
    EXPECT_EQ(kip::nommerPostes(*restent), QStringLiteral("essai sur poste-a"));
    kip::quitterPoste();
    EXPECT_TRUE(kip::postesConnectes()->empty());
}

// The purge needs the records alone: refused, naming the station, while a Kip of another station runs on the server;
// done once that program ended.
TEST_F(PostesTest, PurgeRefuseeTantQuUnAutrePosteEstConnecte)
{
    ASSERT_TRUE(vider());
    ajouterJournee(ajouter(3), lundi(3), {essai::h(8), essai::h(12)});
    const QString autre = tmp.path() + QStringLiteral("/b/Kip");
    ASSERT_TRUE(QDir().mkpath(autre + QStringLiteral("/Data")));
    for (const auto& [fichier, ligne] : {std::pair{QStringLiteral("Base.txt"), m_choix.base()->conninfo()},
                                         std::pair{QStringLiteral("Poste.txt"), QStringLiteral("atelier")}}) {
        QFile f(autre + QStringLiteral("/Data/") + fichier);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(ligne.toUtf8() + '\n') == ligne.toUtf8().size() + 1);
    }
    QProcess kip;
    QProcessEnvironment env = environnementSansAffichage();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    kip.setProcessEnvironment(env);
    kip.setWorkingDirectory(autre);
    kip.start(QStringLiteral(KIP_KIP), {});
    ASSERT_TRUE(kip.waitForStarted(20000));
    const auto atelier = [](const std::vector<kip::PosteConnecte>& p) {
        return p.size() == 1 && p[0].programme == QLatin1String("Kip") && p[0].poste == QLatin1String("atelier");
    };
    EXPECT_TRUE(atelier(attendrePostes(atelier)));

    const kip::ResultatPurge refusee = kip::Purger(dataDir(), lundi(1));
    EXPECT_EQ(refusee.etat, kip::ResultatPurge::Etat::Refusee);
    EXPECT_EQ(
        refusee.erreur.description(),
        QStringLiteral("d'autres postes sont connectés au serveur (Kip sur atelier); fermez leurs programmes puis "
                       "recommencez"));
    EXPECT_EQ(contenu<kip::PointVal>().size(), 1);

    kip.kill(); // as a crash would end it
    kip.waitForFinished(20000);
    EXPECT_TRUE(attendrePostes([](const auto& p) { return p.empty(); }).empty());
    const kip::ResultatPurge faite = kip::Purger(dataDir(), lundi(1));
    EXPECT_EQ(faite.etat, kip::ResultatPurge::Etat::Faite) << faite.erreur.description().toStdString();
    EXPECT_EQ(contenu<kip::PointVal>().size(), 0);
}

// Two stations transferring at once raw files with punches of the same cards and days (one punch read on both):
// the day lines equal those of one transfer of both files, each punch stored once.
TEST_F(PostesTest, DeuxTransfertsSimultanesEgalentUnTransfertDesDeux)
{
    ASSERT_TRUE(vider());
    for (qint16 carte = 1; carte <= 6; ++carte)
        ajouter(carte);
    QByteArray a, b;
    const qint32 jour = kip::dayNumber(QDate::currentDate()); // kipempty's today is the machine's
    for (qint32 d = jour - 2; d <= jour; ++d)
        for (int carte = 1; carte <= 6; ++carte) {
            a += pointage(carte, d, 8, carte) + pointage(carte, d, 12, 0);
            b += pointage(carte, d, 12, 0) + pointage(carte, d, 13, 30) + pointage(carte, d, 17, carte);
        }
    fermer();
    serveuressai::BaseEssai seul; // the reference: one station, both files
    ASSERT_EQ(seul.erreur(), QString());
    kip::setStoreServer(seul.conninfo());
    ASSERT_TRUE(vider());
    for (qint16 carte = 1; carte <= 6; ++carte)
        ajouter(carte);
    fermer();
    const FinProcessus reference =
        lancerJusquaLaFin(QStringLiteral(KIP_KIPEMPTY), {}, station(QStringLiteral("seul"), seul.conninfo(), a + b));
    ASSERT_EQ(reference.code, 0) << reference.erreurs.toStdString();
    rouvrir();
    QList<QByteArray> attendues = lignes();
    fermer();

    std::vector<std::unique_ptr<QProcess>> kipempty;
    for (const auto& [nom, brut] : {std::pair{QStringLiteral("bureau"), a}, std::pair{QStringLiteral("atelier"), b}}) {
        kipempty.push_back(std::make_unique<QProcess>());
        kipempty.back()->setProcessEnvironment(environnementSansAffichage());
        kipempty.back()->setWorkingDirectory(station(nom, m_choix.base()->conninfo(), brut));
        kipempty.back()->start(QStringLiteral(KIP_KIPEMPTY), {});
    }
    for (const auto& p : kipempty) {
        ASSERT_TRUE(p->waitForFinished(60000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    }
    kip::setStoreServer(m_choix.base()->conninfo());
    rouvrir();
    const QList<QByteArray> ensemble = lignes();
    EXPECT_GT(attendues.size(), 6 * 80); // the day initialisation's lines and the punches' ones
    EXPECT_EQ(ensemble, attendues);
}

} // namespace
