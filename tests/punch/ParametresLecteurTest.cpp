// The rules of the settings form: KipGuard.txt read back and rewritten, the sound lists, the port test, and the
// settings record in insert and change mode.
#include "InstallationTest.h"
#include "data/FileAdmin.h"
#include "data/Pack.h"
#include "data/Transaction.h"
#include "punch/ConfigurationLecteur.h"
#include "punch/EnregistrementParametre.h"

#include <algorithm>

using namespace kip;

class ParametresLecteurTest : public InstallationTest
{
protected:
    void SetUp() override
    {
        InstallationTest::SetUp();
        QDir().mkpath(paths().sonDir);
        commonOpen(FileId::Parametre);
    }
    std::vector<Parametre> parametres()
    {
        RecordFile<Parametre> f(*base);
        EXPECT_TRUE(f.open().ok());
        std::vector<Parametre> tous;
        Cursor<Parametre> c = f.readAll();
        Parametre p;
        while (c.next(p).ok())
            tous.push_back(p);
        return tous;
    }
};

TEST_F(ParametresLecteurTest, SoundListsHoldTheWavFilesOfSonSortedByName)
{
    EXPECT_TRUE(ListeSons(paths().sonDir).isEmpty());
    EXPECT_EQ(RangSon({}, QStringLiteral("bip.wav")), -1);
    for (const char* nom : {"erreur.wav", "Bip.WAV", "lisez-moi.txt", "alarme.wav"})
        ecrire(QDir(paths().sonDir).filePath(QLatin1String(nom)), "RIFF");
    QDir(paths().sonDir).mkdir(QStringLiteral("dossier.wav"));
    const QStringList sons = ListeSons(paths().sonDir);
    EXPECT_EQ(sons, (QStringList{"alarme.wav", "Bip.WAV", "erreur.wav"}));
    EXPECT_EQ(RangSon(sons, QStringLiteral("erreur.wav")), 2);
    // A saved sound that is gone, or none saved: row 1.
    EXPECT_EQ(RangSon(sons, QStringLiteral("disparu.wav")), 0);
    EXPECT_EQ(RangSon(sons, QString()), 0);
}

TEST_F(ParametresLecteurTest, KipGuardLinesAreReadUpToTheFirstMissingOne)
{
    const QString chemin = paths().kipGuard();
    ConfigurationLecteur absent = ConfigurationLecteur::lire(chemin);
    EXPECT_EQ(absent, ConfigurationLecteur{});
    EXPECT_EQ(absent.marque, QStringLiteral("Magtek"));

    ecrire(chemin, "3\r\nbip.wav\r\n");
    const ConfigurationLecteur deux = ConfigurationLecteur::lire(chemin);
    EXPECT_EQ(deux.port, 3);
    EXPECT_EQ(deux.sonCarteLue, QStringLiteral("bip.wav"));
    EXPECT_EQ(deux.sonMauvaiseCarte, QString());
    EXPECT_EQ(deux.marque, QStringLiteral("Magtek"));

    ecrire(chemin, "9\r\nbip.wav   \r\nerreur.wav\r\nOmron\r\n");
    const ConfigurationLecteur quatre = ConfigurationLecteur::lire(chemin);
    EXPECT_EQ(quatre.port, 0); // not a port from 1 to 8
    EXPECT_EQ(quatre.sonCarteLue, QStringLiteral("bip.wav"));
    EXPECT_EQ(quatre.sonMauvaiseCarte, QStringLiteral("erreur.wav"));
    EXPECT_EQ(quatre.marque, QStringLiteral("Omron"));
}

TEST_F(ParametresLecteurTest, KipGuardIsRewrittenWholeOrNotAtAll)
{
    const QString chemin = paths().kipGuard();
    ecrire(chemin, "2\r\na.wav\r\nb.wav\r\nOmron\r\nune cinquième ligne\r\n");
    ConfigurationLecteur c;
    ASSERT_TRUE(c.ecrire(chemin).ok());
    EXPECT_EQ(lireFichier(chemin), QByteArray("0\r\n\r\n\r\nMagtek\r\n"));
    c.port = 8;
    c.sonCarteLue = QStringLiteral("Sonnerie été.wav");
    c.marque = MarqueOmron();
    ASSERT_TRUE(c.ecrire(chemin).ok());
    EXPECT_EQ(lireFichier(chemin), QByteArray("8\r\nSonnerie \xe9t\xe9.wav\r\n\r\nOmron\r\n"));
    EXPECT_EQ(QDir(paths().dataDir).entryList({QStringLiteral("KipGuard*")}, QDir::Files),
              QStringList{QStringLiteral("KipGuard.txt")});
    // A file that cannot be written leaves the former one as it was.
    const QString bloque = paths().dataDir + QStringLiteral("/bloque");
    QDir().mkpath(bloque + QStringLiteral("/KipGuard.txt/dedans"));
    EXPECT_EQ(c.ecrire(bloque + QStringLiteral("/KipGuard.txt")).description(),
              QStringLiteral("Le nom désigne un répertoire (21)"));
}

TEST_F(ParametresLecteurTest, PortTestMessageIs1025PlusThePortAndNothingWithoutOne)
{
    EXPECT_EQ(MessageTestPort(0), 0);
    EXPECT_EQ(MessageTestPort(1), 1026);
    EXPECT_EQ(MessageTestPort(8), 1033);
    EXPECT_EQ(MessageTestPort(9), 0);
}

TEST_F(ParametresLecteurTest, FirstSaveOnAnEmptyFileStoresOneRecordWithEveryDefault)
{
    SaisieParametres s;
    ASSERT_TRUE(LireParametres(*base, s).ok());
    EXPECT_TRUE(s.insertion);
    s.enregistrement.POSITIONSOMMAIRE = 1;
    ASSERT_EQ(EnregistrerParametres(*base, s), ResultatParametres::Enregistre);
    const std::vector<Parametre> tous = parametres();
    ASSERT_EQ(tous.size(), size_t(1));
    // The defaults of a new installation: the local reader as terminal 1, every other terminal off.
    Parametre attendu = ParametreParDefaut();
    attendu.POSITIONSOMMAIRE = 1;
    EXPECT_EQ(pack(tous[0]), pack(attendu));
    EXPECT_EQ(std::count(attendu.TERMINAL.begin(), attendu.TERMINAL.end(), 0), 15);
    EXPECT_EQ(attendu.TERMINAL[0], 1);
    EXPECT_FALSE(s.insertion); // a second OK changes the record
}

TEST_F(ParametresLecteurTest, ChangeModeWritesOnlyWhatDiffersAndYieldsToAnotherStation)
{
    {
        SaisieParametres s;
        ASSERT_TRUE(LireParametres(*base, s).ok());
        s.enregistrement.TABPERSONNEL = 3; // a field this form keeps as it is
        ASSERT_EQ(EnregistrerParametres(*base, s), ResultatParametres::Enregistre);
    }
    SaisieParametres s;
    ASSERT_TRUE(LireParametres(*base, s).ok());
    EXPECT_FALSE(s.insertion);
    EXPECT_EQ(s.enregistrement.TABPERSONNEL, 3);
    // Nothing changed: nothing written.
    ASSERT_EQ(EnregistrerParametres(*base, s), ResultatParametres::Enregistre);
    EXPECT_EQ(parametres()[0].version, 0);
    s.enregistrement.POSITIONSOMMAIRE = 1;
    ASSERT_EQ(EnregistrerParametres(*base, s), ResultatParametres::Enregistre);
    EXPECT_EQ(parametres()[0].version, 1);
    EXPECT_EQ(parametres()[0].TABPERSONNEL, 3);

    // Another station writes between this form's reading and its save.
    SaisieParametres autre;
    ASSERT_TRUE(LireParametres(*base, autre).ok());
    autre.enregistrement.AFFICHAGELIGNE1 = QStringLiteral("X");
    ASSERT_EQ(EnregistrerParametres(*base, autre), ResultatParametres::Enregistre);
    s.enregistrement.POSITIONSOMMAIRE = 0;
    EXPECT_EQ(EnregistrerParametres(*base, s), ResultatParametres::ModifieAilleurs);
    ASSERT_EQ(presenter.shown().size(), 1);
    EXPECT_EQ(presenter.shown()[0].text, QStringLiteral("Cet enregistrement a été modifié par une autre station."));
    EXPECT_EQ(s.enregistrement.AFFICHAGELIGNE1, QStringLiteral("X"));
    EXPECT_EQ(s.enregistrement.POSITIONSOMMAIRE, 1); // the stored value is on the form
    EXPECT_EQ(parametres().size(), size_t(1));
}

TEST_F(ParametresLecteurTest, AnInsertThatComesSecondTakesTheOtherStationsRecord)
{
    SaisieParametres premier, second;
    ASSERT_TRUE(LireParametres(*base, premier).ok());
    ASSERT_TRUE(LireParametres(*base, second).ok());
    ASSERT_EQ(EnregistrerParametres(*base, premier), ResultatParametres::Enregistre);
    second.enregistrement.POSITIONSOMMAIRE = 1;
    EXPECT_EQ(EnregistrerParametres(*base, second), ResultatParametres::ModifieAilleurs);
    EXPECT_FALSE(second.insertion);
    EXPECT_EQ(parametres().size(), size_t(1));
}
