// The reader's work in-process, with inputs and sounds of the test's own: what is written where, and
// what each sound finds on disk when it plays.
#include "reader/Surveillance.h"

#include "calendar/Clock.h"
#include "data/TextFiles.h"
#include "data/WriteFaults.h"
#include "reader/Sons.h"

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kip;

namespace {

class Application : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char nom[] = "test_reader";
        static char* argv[] = {nom, nullptr};
        m_app = std::make_unique<QCoreApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QCoreApplication> m_app;
};
const auto* const g_application = ::testing::AddGlobalTestEnvironment(new Application);

QByteArray lire(const QString& chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A reader the test swipes by hand.
class EntreeEssai : public Entree
{
public:
    FileError ouvrir() override { return {}; }
    QString description() const override { return QStringLiteral("essai"); }
    void glisser(const Lecture& l) { Q_EMIT lue(l); }
};

// Each sound with what the raw file and the spool held when it played.
class SonsEssai : public Sons
{
public:
    struct Son
    {
        QString fichier; // "test" for the test ring
        QByteArray origine;
        QByteArray attente;
    };
    SonsEssai(const Paths& chemins) : m_chemins(chemins) {}
    void jouer(const QString& fichier) override { noter(fichier); }
    void sonnerieTest() override { noter(QStringLiteral("test")); }
    std::vector<Son> sons;

private:
    void noter(const QString& fichier)
    {
        sons.push_back(
            {fichier, lire(m_chemins.origin(0)), lire(m_chemins.dataDir + QLatin1Char('/') + Attente::nomAttente())});
    }
    Paths m_chemins;
};

class SurveillanceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tmp.isValid());
        QDir().mkpath(m_chemins.dataDir);
        reglages(QStringLiteral("1"), QStringLiteral("Magtek"));
        // The swipes' date and time.
        Clock::setToday(dayNumber(2004, 11, 5));
        Clock::setTimeOfDay(QTime(17, 45, 30));
        m_surveillance.setFabriqueEntree([this](int port, const QString&, Marque marque) {
            auto e = std::make_unique<EntreeEssai>();
            m_entrees[port] = e.get();
            m_marques[port] = marque;
            QObject::connect(e.get(), &QObject::destroyed, [this, port] { m_entrees.remove(port); });
            return e;
        });
        QObject::connect(&m_surveillance, &Surveillance::journal, [this](const QString& t) { m_journal << t; });
    }
    void TearDown() override
    {
        Clock::setToday(0);
        Clock::setTimeOfDay(QTime());
    }
    void reglages(const QString& port, const QString& marque)
    {
        ASSERT_TRUE((KipGuard{port, QStringLiteral("bip.wav"), QStringLiteral("erreur.wav"), marque}
                         .write(m_chemins.kipGuard())
                         .ok()));
    }
    void glisser(int port, const Lecture& l)
    {
        ASSERT_TRUE(m_entrees.value(port)) << "no input on port " << port;
        m_entrees.value(port)->glisser(l);
        supprimer();
    }
    int message(int numero)
    {
        const int reponse = m_surveillance.message(numero);
        supprimer();
        return reponse;
    }
    // Inputs let go of are deleted once their signal is over.
    static void supprimer() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    QByteArray origine() const { return lire(m_chemins.origin(0)); }
    QString bip() const { return m_chemins.sonDir + QStringLiteral("/bip.wav"); }
    QString erreur() const { return m_chemins.sonDir + QStringLiteral("/erreur.wav"); }

    QTemporaryDir m_tmp;
    const Paths m_chemins = Paths::forInstallation(m_tmp.filePath(QStringLiteral("Kip")));
    // Before the reader, which deletes its inputs when it goes.
    QMap<int, EntreeEssai*> m_entrees;
    QMap<int, Marque> m_marques;
    QStringList m_journal;
    OptionsSurveillance m_options{{}, 3, false};
    SonsEssai m_sons{m_chemins};
    Surveillance m_surveillance{m_chemins, m_options, m_sons};
};

} // namespace

TEST_F(SurveillanceTest, AGoodReadIsOnDiskBeforeItsSoundAndABadReadWritesNothing)
{
    QAbstractItemModelTester tester(m_surveillance.dernieres(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_TRUE(m_surveillance.demarrer());
    ASSERT_TRUE(m_entrees.contains(1));
    glisser(1, Lecture::carteLue(123));
    const QByteArray ligne = "0123 05/11/2004 17:45 03\r\n";
    EXPECT_EQ(origine(), ligne);
    ASSERT_EQ(m_sons.sons.size(), 1u);
    EXPECT_EQ(m_sons.sons[0].fichier, bip());
    EXPECT_EQ(m_sons.sons[0].origine, ligne);

    glisser(1, Lecture::mauvaise(QStringLiteral("piste 2 absente")));
    EXPECT_EQ(origine(), ligne);
    ASSERT_EQ(m_sons.sons.size(), 2u);
    EXPECT_EQ(m_sons.sons[1].fichier, erreur());
    EXPECT_FALSE(QFile::exists(m_chemins.dataDir + QLatin1Char('/') + Attente::nomAttente()));

    EXPECT_EQ(m_surveillance.dernieres()->rowCount(), 2);
    EXPECT_EQ(m_surveillance.dernieres()->index(0, DernieresLectures::Resultat).data().toString(),
              QStringLiteral("Mauvaise lecture (piste 2 absente)"));
    EXPECT_EQ(m_surveillance.dernieres()->index(1, DernieresLectures::Carte).data().toString(), QStringLiteral("0123"));
    for (int i = 0; i < DernieresLectures::Garde + 5; ++i)
        glisser(1, Lecture::mauvaise(QStringLiteral("x")));
    EXPECT_EQ(m_surveillance.dernieres()->rowCount(), DernieresLectures::Garde);
}

TEST_F(SurveillanceTest, PausedSwipesAreHeldThenHandedOverInOrderWithTheSettingsReadAgain)
{
    ASSERT_TRUE(m_surveillance.demarrer());
    glisser(1, Lecture::carteLue(1));
    EXPECT_EQ(message(1024), 1);
    EXPECT_TRUE(m_surveillance.enPause());
    for (int carte : {2, 3}) {
        Clock::setTimeOfDay(Clock::timeOfDay().addSecs(60));
        glisser(1, Lecture::carteLue(carte));
    }
    EXPECT_EQ(origine(), "0001 05/11/2004 17:45 03\r\n");
    EXPECT_EQ(m_surveillance.enAttente(), 2);
    auto resultats = [this] {
        QStringList r;
        for (int i = 0; i < m_surveillance.dernieres()->rowCount(); ++i)
            r << m_surveillance.dernieres()->index(i, DernieresLectures::Resultat).data().toString();
        return r;
    };
    EXPECT_EQ(resultats(), (QStringList{"En attente", "En attente", "Enregistrée"}));
    // Each held swipe was in the spool when its sound played.
    ASSERT_EQ(m_sons.sons.size(), 3u);
    EXPECT_EQ(m_sons.sons[2].fichier, bip());
    EXPECT_TRUE(m_sons.sons[2].attente.endsWith("0003 05/11/2004 17:47 03\r\n"));

    // The settings form changed the port and the make while the reader was paused.
    reglages(QStringLiteral("4"), QStringLiteral("Omron"));
    EXPECT_EQ(message(1025), 1);
    EXPECT_FALSE(m_surveillance.enPause());
    EXPECT_EQ(origine(), "0001 05/11/2004 17:45 03\r\n0002 05/11/2004 17:46 03\r\n0003 05/11/2004 17:47 03\r\n");
    EXPECT_EQ(m_surveillance.enAttente(), 0);
    // The window's rows follow: those swipes are written now.
    EXPECT_EQ(resultats(), (QStringList{"Enregistrée", "Enregistrée", "Enregistrée"}));
    EXPECT_FALSE(m_entrees.contains(1));
    ASSERT_TRUE(m_entrees.contains(4));
    EXPECT_EQ(m_marques.value(4), Marque::Omron);
    glisser(4, Lecture::carteLue(5));
    EXPECT_TRUE(origine().endsWith("0005 05/11/2004 17:47 03\r\n"));
    EXPECT_EQ(message(1034), 0);
    EXPECT_EQ(message(1), 0);
}

TEST_F(SurveillanceTest, ThePortTestRingsAtTheNextReadOfThatPortAndWritesNothing)
{
    ASSERT_TRUE(m_surveillance.demarrer());
    message(1024);               // the settings form is open
    EXPECT_EQ(message(1027), 1); // port 2, not the port of KipGuard.txt
    ASSERT_TRUE(m_entrees.contains(2));
    glisser(1, Lecture::carteLue(7)); // a swipe at the reader in use is still a punch
    EXPECT_EQ(m_surveillance.enAttente(), 1);
    glisser(2, Lecture::mauvaise(QStringLiteral("x"))); // any read rings, a bad one too
    ASSERT_EQ(m_sons.sons.size(), 2u);
    EXPECT_EQ(m_sons.sons[1].fichier, QStringLiteral("test"));
    EXPECT_FALSE(m_entrees.contains(2)); // the port under test is let go
    EXPECT_EQ(m_surveillance.portEnTest(), 0);

    message(1026); // port 1, the reader in use
    glisser(1, Lecture::carteLue(8));
    EXPECT_EQ(m_sons.sons.back().fichier, QStringLiteral("test"));
    glisser(1, Lecture::carteLue(9));
    EXPECT_EQ(m_sons.sons.back().fichier, bip());
    // A test not carried out ends with the pause.
    message(1026);
    message(1025);
    EXPECT_EQ(m_surveillance.portEnTest(), 0);
    glisser(1, Lecture::carteLue(10));
    EXPECT_EQ(origine(), "0007 05/11/2004 17:45 03\r\n0009 05/11/2004 17:45 03\r\n0010 05/11/2004 17:45 03\r\n");
}

TEST_F(SurveillanceTest, ARawFileThatCannotBeWrittenLosesNoSwipe)
{
    ASSERT_TRUE(m_surveillance.demarrer());
    // A directory in the place of the raw file: neither an append nor a rename over it can succeed.
    ASSERT_TRUE(QDir().mkpath(m_chemins.origin(0)));
    glisser(1, Lecture::carteLue(1));
    glisser(1, Lecture::carteLue(2));
    EXPECT_EQ(m_surveillance.enAttente(), 2);
    ASSERT_EQ(m_sons.sons.size(), 2u);
    EXPECT_EQ(m_sons.sons[1].fichier, bip()); // held on disk: acknowledged
    EXPECT_TRUE(m_journal.filter(QStringLiteral("non versées")).size() == 1) << m_journal.join('\n').toStdString();
    ASSERT_TRUE(QDir().rmdir(m_chemins.origin(0)));
    message(1025);
    EXPECT_EQ(origine(), "0001 05/11/2004 17:45 03\r\n0002 05/11/2004 17:45 03\r\n");
    EXPECT_EQ(m_surveillance.enAttente(), 0);
}

TEST_F(SurveillanceTest, ASwipeIsAcknowledgedOnlyAsAWholeLineAndAFailedOneLeavesNoFragment)
{
    ASSERT_TRUE(m_surveillance.demarrer());
    // Each case: one swipe with the disk failing at its n-th write or sync (for good, or for that operation
    // alone, when the spool then takes it), then one swipe once the space is back.
    QSet<int> acquittees;
    int carte = 100;
    auto glisserEtNoter = [&](int c) {
        glisser(1, Lecture::carteLue(c));
        if (!m_sons.sons.empty() && m_sons.sons.back().fichier == bip())
            acquittees.insert(c);
    };
    for (auto genre : {WriteFaultKind::ShortWrite, WriteFaultKind::NoSpace, WriteFaultKind::IoError}) {
        for (int n = 1; n <= 4; ++n) {
            for (int nombre : {0, 1}) {
                {
                    const ScopedWriteFault panne({genre, n, nombre});
                    glisserEtNoter(++carte);
                }
                glisserEtNoter(++carte);
            }
        }
    }
    ASSERT_EQ(m_surveillance.enAttente(), 0);
    // Only whole lines, each of a swipe acknowledged with the good-read sound, once.
    const QByteArray contenu = origine();
    ASSERT_EQ(contenu.size() % Attente::TailleLigne, 0) << contenu.toStdString();
    QSet<int> ecrites;
    for (qsizetype at = 0; at < contenu.size(); at += Attente::TailleLigne) {
        const QByteArray ligne = contenu.mid(at, Attente::TailleLigne);
        ASSERT_TRUE(ligne.endsWith(" 05/11/2004 17:45 03\r\n")) << ligne.toStdString();
        const int c = ligne.left(4).toInt();
        EXPECT_FALSE(ecrites.contains(c)) << "doubled: " << c;
        ecrites.insert(c);
    }
    EXPECT_EQ(ecrites, acquittees);
    // The swipes under a lasting fault were refused, those after it all taken.
    EXPECT_LT(acquittees.size(), carte - 100);
    for (int c = 102; c <= carte; c += 2)
        EXPECT_TRUE(acquittees.contains(c)) << c;
}
