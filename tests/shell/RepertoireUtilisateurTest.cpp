// The user's installation directory of a start from the desktop's menu: asked once, created, remembered.
#include "shell/RepertoireUtilisateur.h"

#include "data/ScriptedPresenter.h"
#include "shell/Demarrage.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>

using namespace kip;

namespace {

// Answers the directory questions from a script (nothing once it runs out) and keeps what was asked.
class DemandeScriptee : public DemandeRepertoire
{
public:
    std::deque<std::optional<QString>> reponses;
    QStringList proposes;
    QStringList textes;

    std::optional<QString> demander(const QString& propose, const QString& texte) override
    {
        proposes << propose;
        textes << texte;
        if (reponses.empty())
            return std::nullopt;
        std::optional<QString> r = reponses.front();
        reponses.pop_front();
        return r;
    }
};

class RepertoireUtilisateurTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tmp.isValid());
        m_home = m_tmp.path() + QStringLiteral("/home/marie");
        QDir().mkpath(m_home);
        m_conf = m_tmp.path() + QStringLiteral("/config/Kip/Kip.conf");
        m_reglages = std::make_unique<QSettings>(m_conf, QSettings::IniFormat);
        setMessagePresenter(&presenter);
        m_courant = QDir::currentPath();
    }
    void TearDown() override
    {
        QDir::setCurrent(m_courant);
        setMessagePresenter(nullptr);
    }

    // What another start reads: the file as written, not this object's cache.
    QString memoriseSurDisque() const
    {
        return QSettings(m_conf, QSettings::IniFormat).value(QStringLiteral("Demarrage/Repertoire")).toString();
    }

    QTemporaryDir m_tmp;
    QString m_home;
    QString m_conf;
    QString m_courant;
    std::unique_ptr<QSettings> m_reglages;
    ScriptedPresenter presenter;
    DemandeScriptee demande;
};

} // namespace

TEST_F(RepertoireUtilisateurTest, AChoiceNotNamedKipGetsItsSubDirectoryKip)
{
    const QString h = QStringLiteral("/home/marie");
    auto pour = [&h](const char* choisi) {
        return RepertoireUtilisateur::installationPour(QString::fromUtf8(choisi), h);
    };
    EXPECT_EQ(pour("/srv/KIP/"), QStringLiteral("/srv/KIP"));
    EXPECT_EQ(pour("  /srv/partage/kip  "), QStringLiteral("/srv/partage/kip"));
    EXPECT_EQ(pour("/srv/MonKip"), QStringLiteral("/srv/MonKip/Kip"));
    EXPECT_EQ(pour("/srv/Kip/.."), QStringLiteral("/srv/Kip"));
    EXPECT_EQ(pour("~"), QStringLiteral("/home/marie/Kip"));
    EXPECT_EQ(pour("Travail/Kip"), QStringLiteral("/home/marie/Travail/Kip"));
}

TEST_F(RepertoireUtilisateurTest, FirstStartAsksOnceCreatesAndRemembers)
{
    RepertoireUtilisateur u(*m_reglages, m_home);
    const QString defaut = m_home + QStringLiteral("/Kip");
    EXPECT_EQ(u.parDefaut(), defaut);

    // Giving up creates and remembers nothing.
    EXPECT_TRUE(u.etablir(demande).isEmpty());
    EXPECT_EQ(demande.proposes, QStringList{defaut});
    EXPECT_TRUE(demande.textes[0].contains(QStringLiteral("nommé Kip")));
    EXPECT_FALSE(QFile::exists(defaut));
    EXPECT_TRUE(memoriseSurDisque().isEmpty());

    demande.reponses = {defaut};
    EXPECT_EQ(u.etablir(demande), defaut);
    EXPECT_TRUE(QFileInfo(defaut).isDir());
    EXPECT_EQ(memoriseSurDisque(), defaut);

    // The next starts ask nothing, Kip's and kipother's alike.
    RepertoireUtilisateur autre(*m_reglages, m_home);
    EXPECT_EQ(autre.etablir(demande), defaut);
    EXPECT_EQ(demande.proposes.size(), 2);
    EXPECT_TRUE(presenter.shown().isEmpty());
}

TEST_F(RepertoireUtilisateurTest, ChoiceElsewhereAndAnswersThatCannotBeCreated)
{
    RepertoireUtilisateur u(*m_reglages, m_home);
    QFile fichier(m_tmp.path() + QStringLiteral("/fichier"));
    ASSERT_TRUE(fichier.open(QIODevice::WriteOnly));
    fichier.close();
    const QString partage = m_tmp.path() + QStringLiteral("/partage");
    // Under a plain file nothing can be made: said, then asked again from there.
    demande.reponses = {fichier.fileName(), partage};
    EXPECT_EQ(u.etablir(demande), partage + QStringLiteral("/Kip"));
    ASSERT_EQ(presenter.shown().size(), 1);
    EXPECT_EQ(presenter.shown()[0].text,
              QStringLiteral("Impossible d'accéder à:\r\n") + fichier.fileName() + QStringLiteral("/Kip"));
    EXPECT_EQ(demande.proposes.value(1), fichier.fileName() + QStringLiteral("/Kip"));
    EXPECT_EQ(memoriseSurDisque(), partage + QStringLiteral("/Kip"));
    EXPECT_TRUE(QFileInfo(partage + QStringLiteral("/Kip")).isDir());
}

TEST_F(RepertoireUtilisateurTest, ARememberedDirectoryThatHasGoneIsAskedForNotMadeAgainUnasked)
{
    const QString partage = m_tmp.path() + QStringLiteral("/mnt/partage/Kip");
    m_reglages->setValue(QStringLiteral("Demarrage/Repertoire"), partage);
    RepertoireUtilisateur u(*m_reglages, m_home);
    EXPECT_EQ(u.memorise(), partage);

    EXPECT_TRUE(u.etablir(demande).isEmpty());
    EXPECT_EQ(demande.proposes, QStringList{partage});
    EXPECT_TRUE(demande.textes[0].contains(QStringLiteral("introuvable:\n") + partage));
    EXPECT_FALSE(QFile::exists(partage));

    // Confirmed: made again, empty.
    demande.reponses = {partage};
    EXPECT_EQ(u.etablir(demande), partage);
    EXPECT_TRUE(QFileInfo(partage).isDir());

    // A value edited by hand is held to the rule of the name.
    m_reglages->setValue(QStringLiteral("Demarrage/Repertoire"), QStringLiteral("~/Documents"));
    EXPECT_EQ(u.memorise(), m_home + QStringLiteral("/Documents/Kip"));
}

TEST_F(RepertoireUtilisateurTest, TheOptionGoesToTheUserDirectoryWhoseStartUpMakesTheSubDirectories)
{
    // From a terminal: the current directory, nothing asked, nothing created.
    ASSERT_TRUE(QDir::setCurrent(m_tmp.path()));
    EXPECT_EQ(repertoireDeDepart({QStringLiteral("Kip")}, *m_reglages, m_home, demande), QDir::currentPath());
    EXPECT_TRUE(demande.proposes.isEmpty());

    // From the menu, the first time: the question, given up, ends the program.
    const QStringList menu{QStringLiteral("Kip"), QString::fromLatin1(OptionRepertoireUtilisateur)};
    EXPECT_FALSE(repertoireDeDepart(menu, *m_reglages, m_home, demande));

    const QString defaut = m_home + QStringLiteral("/Kip");
    demande.reponses = {defaut};
    const std::optional<QString> repertoire = repertoireDeDepart(menu, *m_reglages, m_home, demande);
    ASSERT_EQ(repertoire, defaut);
    EXPECT_EQ(QDir::currentPath(), QDir(defaut).canonicalPath());
    Demarrage d(Program::KipOther);
    int exitCode = -1;
    ASSERT_TRUE(d.verifier(*repertoire, &exitCode));
    for (const char* sub : {"/Data", "/SaveAuto", "/SaveManu", "/Son"})
        EXPECT_TRUE(QFileInfo(defaut + QLatin1String(sub)).isDir()) << sub;

    // Asked again on demand, proposing the one in use.
    const QStringList choisir{QStringLiteral("Kip"), QString::fromLatin1(OptionRepertoireUtilisateur),
                              QString::fromLatin1(OptionChoisirRepertoire)};
    EXPECT_FALSE(repertoireDeDepart(choisir, *m_reglages, m_home, demande));
    EXPECT_EQ(demande.proposes.last(), defaut);
    EXPECT_EQ(memoriseSurDisque(), defaut);
}
