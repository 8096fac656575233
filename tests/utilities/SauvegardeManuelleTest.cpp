// The manual backup: paused card reader, copies in SaveManu that open as record files, DAT:DATEMANU, and a
// text that says which copy failed rather than claiming a backup that was not made.
#include "utilities/SauvegardeManuelle.h"

#include "../shell/ListenerLecteur.h"
#include "Utilitaires.h"
#include "shell/LecteurCartes.h"
#include "utilities/TextesUtilitaires.h"

#include <QFileInfo>
#include <csignal>
#include <sys/resource.h>

using namespace kip;

using SauvegardeManuelleTest = UtilitairesTest;

TEST_F(SauvegardeManuelleTest, CopiesEveryFileBetweenPauseAndResumeAndDatesTheBackup)
{
    ListenerLecteur lecteur;
    LecteurCartes::programme().chercher();
    employeActif(12);
    remplir(12, dayNumber(2004, 6, 1), dayNumber(2004, 6, 14));
    ecrire(p().origin(0), "0012 15/06/2004 08:00 01\r\n");
    ecrire(p().origin(10), "0012 01/06/2004 08:00 01\r\n");
    ecrire(p().kipGuard(), "1\r\nbip.wav\r\n\r\nMagtek\r\n");
    commonOpen(FileId::Journal);
    {
        Transaction t(*base, {FileId::Journal});
        Journal e;
        e.CARTE = 12;
        e.AVANT = QStringLiteral("NOM=MARTIN");
        ASSERT_TRUE(ajouterAuJournal(t, e).ok());
        ASSERT_TRUE(t.commit().ok());
    }
    const qint32 aujourdhui = dayNumber(2004, 6, 15);

    const ResultatSauvegardeManuelle r = SauvegarderManuellement(p(), aujourdhui, 0);
    ASSERT_TRUE(r.reussie()) << r.echecs.join(u',').toStdString();
    EXPECT_EQ(r.dateManu, aujourdhui);
    EXPECT_EQ(DateSauvegardeManuelle(p()), aujourdhui);
    EXPECT_TRUE(
        r.texte().endsWith(QStringLiteral("  La dernière sauvegarde manuelle date maintenant du: 15/06/2004.")));
    EXPECT_EQ(lecteur.numeros(), (QList<int>{1024, 1025}));

    for (FileId id : {FileId::Parametre, FileId::Personnel, FileId::PointVal, FileId::Journal}) {
        const QString copie = QDir(p().saveManuDir).filePath(tableOf(id).fileName);
        EXPECT_TRUE(checkRecordFile(tableOf(id), copie).ok()) << copie.toStdString();
    }
    EXPECT_EQ(contenu<PointVal>(p().saveManuDir), contenu<PointVal>());
    EXPECT_EQ(contenu<Journal>(p().saveManuDir).size(), 1);
    EXPECT_EQ(lireFichier(QDir(p().saveManuDir).filePath(QStringLiteral("Origin10.txt"))), lireFichier(p().origin(10)));
    EXPECT_EQ(lireFichier(QDir(p().saveManuDir).filePath(QStringLiteral("KipGuard.txt"))), lireFichier(p().kipGuard()));
    // The status files are not part of a backup.
    EXPECT_FALSE(QFile::exists(QDir(p().saveManuDir).filePath(QStringLiteral("OnOff.tps"))));
    EXPECT_FALSE(QFile::exists(QDir(p().saveManuDir).filePath(QStringLiteral("DateSave.tps"))));
}

namespace {

// Every file of SaveManu and its bytes, the directories of earlier restores aside.
QMap<QString, QByteArray> ensembleSaveManu(const QString& dir)
{
    QMap<QString, QByteArray> tout;
    for (const QString& nom : QDir(dir).entryList(QDir::Files)) {
        QFile f(QDir(dir).filePath(nom));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        tout.insert(nom, f.readAll());
    }
    return tout;
}

// Writes beyond a size fail as on a full disk: the write that crosses it is cut short.
class LimiteTaille
{
public:
    explicit LimiteTaille(rlim_t octets)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_avant);
        m_signal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit l = m_avant;
        l.rlim_cur = octets;
        ::setrlimit(RLIMIT_FSIZE, &l);
    }
    ~LimiteTaille()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_avant);
        std::signal(SIGXFSZ, m_signal);
    }

private:
    rlimit m_avant{};
    void (*m_signal)(int) = nullptr;
};

} // namespace

TEST_F(SauvegardeManuelleTest, ACopyCutShortFailsNamedAndLeavesTheFormerSetWhole)
{
    const qint32 premiere = dayNumber(2004, 6, 1);
    employeActif(12);
    ecrire(p().origin(0), "0012 01/06/2004 08:00 01\r\n");
    ecrire(p().origin(4), "0012 01/05/2004 08:00 01\r\n");
    ASSERT_TRUE(SauvegarderManuellement(p(), premiere, 0).reussie());
    const QMap<QString, QByteArray> avant = ensembleSaveManu(p().saveManuDir);
    ASSERT_TRUE(avant.contains(QStringLiteral("Origin04.txt")));
    // Since then: more employees and day lines, a raw file larger than the disk has room for, no Origin04.txt.
    employeActif(15);
    remplir(15, premiere, premiere + 6);
    QByteArray gros;
    for (int i = 0; i < 20000; ++i)
        gros += "0015 02/06/2004 08:00 01\r\n";
    ecrire(p().origin(0), gros);
    ASSERT_TRUE(QFile::remove(p().origin(4)));

    ResultatSauvegardeManuelle r;
    {
        const LimiteTaille limite(256 * 1024);
        r = SauvegarderManuellement(p(), dayNumber(2004, 6, 15), 0);
    }
    EXPECT_FALSE(r.reussie());
    EXPECT_EQ(r.echecs, QStringList{QStringLiteral("Origin00.txt")});
    EXPECT_EQ(ensembleSaveManu(p().saveManuDir), avant) << "the former set is not whole";
    EXPECT_EQ(r.dateManu, premiere);
    EXPECT_EQ(DateSauvegardeManuelle(p()), premiere);
    EXPECT_TRUE(r.texte().contains(QStringLiteral("Origin00.txt n'a pas pu être copié dans \\Kip\\SaveManu. La copie "
                                                  "précédente est restée entière.")))
        << r.texte().toStdString();
    EXPECT_TRUE(r.texte().endsWith(QStringLiteral("La dernière sauvegarde manuelle date du: 01/06/2004.")));
    EXPECT_FALSE(QFileInfo::exists(RepertoireSauvegardeEnCours(p())));

    // Room again: the same backup goes through, and the set is the new one, a file the data lost included.
    r = SauvegarderManuellement(p(), dayNumber(2004, 6, 15), 0);
    ASSERT_TRUE(r.reussie()) << r.texte().toStdString();
    EXPECT_EQ(lireFichier(QDir(p().saveManuDir).filePath(QStringLiteral("Origin00.txt"))), gros);
    EXPECT_FALSE(QFileInfo::exists(QDir(p().saveManuDir).filePath(QStringLiteral("Origin04.txt"))));
    EXPECT_EQ(contenu<Personnel>(p().saveManuDir).size(), 2);
}

TEST(TextesSauvegardeTest, WithoutAnyBackupTheTextsSaySoRatherThanGiveAnEmptyDate)
{
    const QString aucune = QStringLiteral(" Aucune sauvegarde manuelle n'a encore été faite.");
    // The section as the window opens on it, and after a first backup that failed.
    for (const QString& texte :
         {TexteExplicationSauvegarde(0), TexteSauvegardeIncomplete({QStringLiteral("PointVal.tps")}, 0)}) {
        EXPECT_TRUE(texte.contains(aucune)) << texte.toStdString();
        EXPECT_FALSE(texte.contains(QStringLiteral("date du"))) << texte.toStdString();
    }
    EXPECT_TRUE(TexteExplicationSauvegarde(dayNumber(2004, 6, 1)).contains(QStringLiteral("date du: 01/06/2004.")));
}
