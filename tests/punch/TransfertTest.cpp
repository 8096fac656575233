// The transfer of raw punches into day lines and the archive of the raw file; the reading of the raw file: what
// makes a line, what is skipped and counted, what is left for later, and what is not a raw file at all.
#include "InstallationTest.h"
#include "QStringPrinter.h"
#include "calendar/Dates.h"
#include "data/Transaction.h"
#include "punch/FichierOrigine.h"
#include "punch/InitialiserJournees.h"
#include "punch/PassageSansSurveillance.h"
#include "punch/TransfertPointages.h"

#include <sys/stat.h>
#include <unistd.h>

using namespace kip;

namespace {

class TransfertTest : public InstallationTest
{
protected:
    ResultatSansSurveillance run() { return TransfertSansSurveillance(*base, dataDir(), today); }

    static void expectEveryLineCounted(const ResultatTransfert& r)
    {
        EXPECT_EQ(r.lignes, r.ignorees + int(r.rejets.size()) + r.doublons + r.stockes + r.ecartes)
            << r.lignes << " lines: " << r.ignorees << " skipped, " << r.rejets.size() << " rejected, " << r.doublons
            << " already there, " << r.stockes << " stored, " << r.ecartes << " left out";
    }
};

using TransfertSurLesDeuxMoteurs = serveuressai::SurLesDeuxMoteurs<TransfertTest>;

class LectureOrigineTest : public TransfertTest
{
protected:
    void SetUp() override
    {
        TransfertTest::SetUp();
        ajouter(12, QStringLiteral("MARTIN"));
    }
    // The punch of card 12 today, without its line end.
    QByteArray bare(int h, int m) { return pointage(12, today, h, m).chopped(2); }
};

} // namespace

TEST_P(TransfertSurLesDeuxMoteurs, MissingRawFileIsCreatedEmptyAndAnEmptyOneIsNotArchived)
{
    ajouter(12, QStringLiteral("MARTIN"));
    ResultatSansSurveillance r = run();
    EXPECT_TRUE(r.lecture.reussi());
    EXPECT_FALSE(r.archive);
    EXPECT_TRUE(QFileInfo(origine(0)).isFile());
    EXPECT_EQ(lireFichier(origine(0)), QByteArray());
    r = run();
    EXPECT_EQ(r.lecture.lignes, 0);
    EXPECT_FALSE(r.archive);
    EXPECT_FALSE(QFile::exists(origine(1)));
    EXPECT_TRUE(contenu<PointVal>().isEmpty());
}

TEST_P(TransfertSurLesDeuxMoteurs, LinesOutOfRangeAreSkippedSilentlyAndLostAtTheArchive)
{
    ajouter(12, QStringLiteral("MARTIN"));
    const QByteArray raw = pointage(12, today, 8, 0, 0) + pointage(12, today, 8, 10, 17) + pointage(12, today, 24, 0) +
                           pointage(0, today, 8, 20) + pointage(12, today - 2 * 366, 8, 30) +
                           QByteArray("0012 3l/12/2026 08:40 01\r\n") + pointage(12, today, 9, 0) +
                           QByteArray("0012 09/12/2026 10:75 01\r\n0012 09/12/2026 22:99 01\r\n0012 09/12/2026 00:60 "
                                      "01\r\n0012 31/11/2026 08:00 01\r\n0012 09/13/2026 08:00 01\r\n0012 09/12/2026 "
                                      "-1:00 01\r\n0012 09/12/2026 23:59 01\r\n0012 09/12/2026 00:00 01\r\n");
    ecrire(origine(), raw);
    const ResultatSansSurveillance r = run();
    EXPECT_EQ(r.lecture.lignes, 15);
    EXPECT_EQ(r.lecture.ignorees, 12);
    EXPECT_EQ(r.lecture.stockes, 3);
    EXPECT_TRUE(r.lecture.rejets.isEmpty());
    EXPECT_TRUE(r.archive);
    EXPECT_EQ(pointages(lire(12, today)->POINTAGE_ORIGINE), (std::vector<int>{0, 540, 1439}));
    EXPECT_FALSE(lire(12, today + 1).has_value()); // 10:75 is not 11:15, 00:60 not 01:00
    expectEveryLineCounted(r.lecture);
    EXPECT_EQ(lireFichier(origine(1)), raw);
    EXPECT_EQ(lireFichier(origine(0)), QByteArray());
}

TEST_P(TransfertSurLesDeuxMoteurs, PunchesBecomeDayLinesWithRulesTotalsAndDates)
{
    ajouter(12, QStringLiteral("MARTIN"), [](Personnel& p) {
        p.ARRONDI_ENTREE = QStringLiteral("15");
        p.TOLERANCE_ENTREE = 5;
        p.ARRONDI_SORTIE = QStringLiteral("15");
        p.TOLERANCE_SORTIE = 3;
    });
    ecrire(origine(), pointage(12, today, 8, 4, 3) + pointage(12, today, 12, 1) + pointage(12, today, 13, 6) +
                          pointage(12, today, 16, 57, 2) + pointage(12, today - 1, 8, 6));
    const ResultatSansSurveillance r = run();
    EXPECT_EQ(r.lecture.stockes, 5);
    const PointVal v = *lire(12, today);
    EXPECT_EQ(pointages(v.POINTAGE_ORIGINE), (std::vector<int>{484, 721, 786, 1017}));
    EXPECT_EQ(pointages(v.POINTAGE_PROGRAMME), (std::vector<int>{480, 720, 795, 1020}));
    EXPECT_EQ(v.POINTAGE_UTILISATEUR, v.POINTAGE_PROGRAMME);
    EXPECT_EQ(v.TOTAL, 240 + 225);
    EXPECT_EQ(v.TERMINAL[0], 3);
    EXPECT_EQ(v.TERMINAL[3], 2);
    EXPECT_EQ(v.NOM, QStringLiteral("MARTIN"));
    EXPECT_EQ(v.MATRICULE, QStringLiteral("M0012"));
    EXPECT_EQ(v.NUM_SEMAINE, NumeroSemaine(today).numero);
    EXPECT_EQ(v.NUM_ANNEE, NumeroSemaine(today).annee);
    EXPECT_EQ(lire(12, today - 1)->TOTAL, 0); // an entry without its exit
    const Personnel p = *employeLu(12);
    EXPECT_EQ(p.PREMIER_POINTAGE, today - 1);
    EXPECT_EQ(p.DERNIER_POINTAGE, today);
}

TEST_P(TransfertSurLesDeuxMoteurs, MidnightShiftPutsThePunchOnThePreviousDate)
{
    ajouter(13, QStringLiteral("DURAND"), [](Personnel& p) { p.DECALAGE_MINUIT = 60; });
    ecrire(origine(), pointage(13, today, 0, 30));
    ASSERT_TRUE(run().lecture.reussi());
    EXPECT_EQ(pointages(lire(13, today - 1)->POINTAGE_ORIGINE), std::vector<int>{1470});
    EXPECT_FALSE(lire(13, today).has_value());
    EXPECT_EQ(employeLu(13)->DERNIER_POINTAGE, today); // the punch's own date
}

TEST_P(TransfertSurLesDeuxMoteurs, OutOfOrderNightShiftLandsOnceOnItsDay)
{
    // The exit after midnight reaches the file before the entry it closes.
    ajouter(12, QStringLiteral("MARTIN"), [](Personnel& p) { p.EXTENSION = 480; });
    const qint32 d = today - 3;
    ecrire(origine(),
           pointage(12, d + 1, 5, 0) + pointage(99, d, 21, 0) + pointage(12, d, 22, 0) + pointage(98, d, 21, 30));
    ResultatSansSurveillance r = run();
    EXPECT_EQ(pointages(lire(12, d)->POINTAGE_ORIGINE), (std::vector<int>{1320, 1740}));
    EXPECT_FALSE(lire(12, d + 1).has_value());
    // Rejections follow the chronological order, not the file's.
    ASSERT_EQ(r.lecture.rejets.size(), 2);
    EXPECT_TRUE(r.lecture.rejets[0].startsWith(QStringLiteral("Numéro inconnu: 99 le ")));
    EXPECT_TRUE(r.lecture.rejets[0].endsWith(QStringLiteral(" à 21.00")));
    EXPECT_TRUE(r.lecture.rejets[1].startsWith(QStringLiteral("Numéro inconnu: 98")));
    // Kept and read again: 05:00 is recognised on the day before as 1740 and stored nowhere else.
    const auto before = contenu<PointVal>();
    r = run();
    EXPECT_EQ(r.lecture.stockes, 0);
    EXPECT_EQ(contenu<PointVal>(), before);
}

TEST_P(TransfertSurLesDeuxMoteurs, RejectionsNameTheirCause)
{
    ajouter(12, QStringLiteral("MARTIN"), [](Personnel& p) {
        p.DATE_EMBAUCHE = dayNumber(2026, 12, 1);
        p.PERIODE_INACTIVITE_DEBUT[4] = dayNumber(2026, 11, 20);
        p.PERIODE_INACTIVITE_FIN[4] = dayNumber(2026, 11, 25);
    });
    const QByteArray raw = pointage(12, dayNumber(2026, 11, 20), 8, 5) + pointage(12, dayNumber(2026, 11, 27), 8, 0) +
                           pointage(7, today, 7, 0);
    ecrire(origine(), raw);
    const ResultatSansSurveillance r = run();
    EXPECT_EQ(r.lecture.rejets,
              (QStringList{
                  QStringLiteral("Pointage en période d'inactivité: 12 le 20/11/2026 à  8.05"),
                  QStringLiteral("Cet employé n'est pas considéré embauché: 12 le 27/11/2026 à  8.00"),
                  QStringLiteral("Numéro inconnu: 7 le 09/12/2026 à  7.00"),
              }));
    EXPECT_TRUE(contenu<PointVal>().isEmpty());
    EXPECT_EQ(employeLu(12)->PREMIER_POINTAGE, 0);
    EXPECT_FALSE(r.archive);
    EXPECT_EQ(lireFichier(origine(0)), raw); // rejections: kept byte for byte
}

TEST_P(TransfertSurLesDeuxMoteurs, ElevenArchivesKeepTheLastTen)
{
    for (int i = 1; i <= 11; ++i) {
        ecrire(origine(), QByteArray("lot ") + QByteArray::number(i) + "\r\n");
        ASSERT_TRUE(ArchiverOrigine(dataDir(), lireFichier(origine(0)).size()).ok());
    }
    EXPECT_EQ(lireFichier(origine(1)), QByteArray("lot 11\r\n"));
    EXPECT_EQ(lireFichier(origine(10)), QByteArray("lot 2\r\n"));
    EXPECT_FALSE(QFile::exists(origine(11)));
    EXPECT_EQ(lireFichier(origine(0)), QByteArray());
}

TEST_P(TransfertSurLesDeuxMoteurs, LinesAppendedAfterTheReadingAreNotLostByTheArchive)
{
    ajouter(12, QStringLiteral("MARTIN"));
    ecrire(origine(), pointage(12, today, 8, 0));
    const ResultatTransfert r = TransfererPointages(*base, origine(0), today);
    // The reader did not honour its pause and appended a line meanwhile.
    {
        QFile f(origine(0));
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write(pointage(12, today, 12, 0));
    }
    ASSERT_TRUE(ArchiverOrigine(dataDir(), r.octetsLus).ok());
    EXPECT_EQ(lireFichier(origine(1)), pointage(12, today, 8, 0));
    EXPECT_EQ(lireFichier(origine(0)), pointage(12, today, 12, 0));
}

TEST_P(TransfertSurLesDeuxMoteurs, FailedCommitStoresNothingAndKeepsTheRawFile)
{
    ajouter(12, QStringLiteral("MARTIN"));
    const QByteArray raw = pointage(12, today, 8, 0) + pointage(12, today, 17, 0);
    ecrire(origine(), raw);
    // Another connection holds POINTVAL for longer than the wait.
    Database holder(dataDir());
    auto held = std::make_unique<Transaction>(holder, std::initializer_list<FileId>{FileId::PointVal});
    ASSERT_TRUE(held->ok());
    const ResultatSansSurveillance r = run();
    held.reset();
    EXPECT_FALSE(r.lecture.reussi());
    EXPECT_FALSE(r.archive);
    EXPECT_EQ(lireFichier(origine(0)), raw);
    EXPECT_TRUE(contenu<PointVal>().isEmpty());
    EXPECT_EQ(run().lecture.stockes, 2);
}

TEST_P(TransfertSurLesDeuxMoteurs, KilledInTheMiddleLosesNothingAndDuplicatesNothing)
{
    ajouter(12, QStringLiteral("MARTIN"));
    ajouter(13, QStringLiteral("DURAND"), [](Personnel& p) { p.EXTENSION = 600; });
    QByteArray raw;
    for (qint32 d = today - 60; d <= today; ++d)
        raw += pointage(12, d, 8, 0) + pointage(12, d, 12, 0) + pointage(13, d, 21, 0) + pointage(13, d + 1, 6, 0);
    ecrire(origine(), raw);
    // The process ends abruptly halfway through the reading, before anything is committed.
    EXPECT_EXIT(
        {
            ProgressionTransfert p;
            p.lignes = [](int fait, int total) {
                if (fait > total / 2)
                    ::_exit(9);
            };
            Database own(dataDir());
            (void)TransfererPointages(own, origine(0), today, p); // the run is killed halfway: no result to see
        },
        ::testing::ExitedWithCode(9), "");
    EXPECT_EQ(lireFichier(origine(0)), raw);
    const ResultatSansSurveillance r = run();
    EXPECT_TRUE(r.archive);
    EXPECT_EQ(r.lecture.stockes, r.lecture.lignes);
    for (qint32 d = today - 60; d <= today; ++d) {
        EXPECT_EQ(pointages(lire(12, d)->POINTAGE_ORIGINE), (std::vector<int>{480, 720}));
        EXPECT_EQ(pointages(lire(13, d)->POINTAGE_ORIGINE), (std::vector<int>{1260, 1800}));
    }
}

TEST_P(TransfertSurLesDeuxMoteurs, HiringAndInactivityAreTestedOnTheDateThePunchGoesTo)
{
    const qint32 conge = today - 5;
    // A night worker whose leave starts the day after a shift: the exit after midnight closes the shift.
    ajouter(12, QStringLiteral("MARTIN"), [](Personnel& p) {
        p.EXTENSION = 480;
        p.PERIODE_INACTIVITE_DEBUT[0] = Clock::today() - 5;
        p.PERIODE_INACTIVITE_FIN[0] = Clock::today() - 3;
    });
    // Hired today, with a midnight shift: a 00:30 punch today belongs to yesterday, before hiring.
    ajouter(13, QStringLiteral("DURAND"), [](Personnel& p) {
        p.DECALAGE_MINUIT = 60;
        p.DATE_EMBAUCHE = Clock::today();
    });
    ecrire(origine(), pointage(12, conge - 1, 22, 0) + pointage(12, conge, 6, 0) + pointage(12, conge, 22, 0) +
                          pointage(13, today, 0, 30) + pointage(13, today, 8, 0));
    const ResultatSansSurveillance r = run();
    const PointVal nuit = *lire(12, conge - 1);
    EXPECT_EQ(pointages(nuit.POINTAGE_ORIGINE), (std::vector<int>{1320, 1800}));
    EXPECT_EQ(nuit.TOTAL, 480);
    EXPECT_FALSE(lire(12, conge).has_value());
    EXPECT_FALSE(lire(13, today - 1).has_value());
    EXPECT_EQ(pointages(lire(13, today)->POINTAGE_ORIGINE), std::vector<int>{480});
    // The rejection texts keep the punch's own date and time.
    EXPECT_EQ(r.lecture.rejets,
              (QStringList{
                  QStringLiteral("Pointage en période d'inactivité: 12 le %1 à 22.00").arg(DateTexte(conge)),
                  QStringLiteral("Cet employé n'est pas considéré embauché: 13 le %1 à  0.30").arg(DateTexte(today)),
              }));
    // Every punch stored is on an active day line, and stays there after the next start's preparation.
    ASSERT_TRUE(InitialiserJournees(*base, today).erreur.ok());
    for (const QByteArray& paquet : contenu<PointVal>()) {
        PointVal v;
        ASSERT_TRUE(unpack(paquet.left(PointVal::Size), v));
        if (v.POINTAGE_ORIGINE[0] >= 0) {
            EXPECT_EQ(v.INACTIF, 0) << v.CARTE << " " << v.DATE;
        }
    }
    // A second run over the same file changes nothing.
    const auto before = contenu<PointVal>();
    const ResultatSansSurveillance again = run();
    EXPECT_EQ(again.lecture.stockes, 0);
    EXPECT_EQ(again.lecture.rejets, r.lecture.rejets);
    EXPECT_EQ(contenu<PointVal>(), before);
}

TEST_P(TransfertSurLesDeuxMoteurs, TheSummaryCountsWhatWasStoredAndWhatTheMergeLeftOut)
{
    ajouter(12, QStringLiteral("MARTIN"));
    // 08:01 is within 3 minutes of 08:00; the fifteenth punch of the day has no slot.
    QByteArray raw = pointage(12, today, 8, 0) + pointage(12, today, 8, 1);
    for (int i = 1; i <= 14; ++i)
        raw += pointage(12, today, 9, 3 * i);
    raw += pointage(12, today, 8, 0) + pointage(77, today, 9, 0) + QByteArray("garbage\r\n");
    ecrire(origine(), raw);
    ResultatSansSurveillance r = run();
    EXPECT_EQ(r.lecture.lignes, 19);
    EXPECT_EQ(r.lecture.stockes, 14);
    EXPECT_EQ(r.lecture.ecartes, 2);
    EXPECT_EQ(r.lecture.doublons, 1);
    EXPECT_EQ(r.lecture.rejets.size(), 1);
    EXPECT_EQ(r.lecture.ignorees, 1);
    expectEveryLineCounted(r.lecture);
    EXPECT_EQ(pointages(lire(12, today)->POINTAGE_ORIGINE).size(), 14u);
    // Read again: nothing stored, and the line does not move.
    const auto before = contenu<PointVal>();
    r = run();
    EXPECT_EQ(r.lecture.stockes, 0);
    expectEveryLineCounted(r.lecture);
    EXPECT_EQ(contenu<PointVal>(), before);
}

// An archive that cannot be made is told with the file and the cause, makes the run fail, and keeps the raw file.
TEST_P(TransfertSurLesDeuxMoteurs, AFailedArchiveNamesItsFileAndFailsTheRun)
{
    ajouter(12, QStringLiteral("MARTIN"));
    const QByteArray raw = pointage(12, today, 8, 0);
    ecrire(origine(), raw);
    // Origin09.txt cannot move up onto Origin10.txt, a directory that holds a file.
    ASSERT_TRUE(QDir(dataDir()).mkpath(QStringLiteral("Origin10.txt/x")));
    {
        QFile f(origine(9));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    struct Suivi : SuiviPassage
    {
        void etape(const QString&, int, int) override {}
        void rejet(const QString&) override {}
        void rapport(const QString& ligne) override { lignes << ligne; }
        QStringList lignes;
    } suivi;
    const ResultatPassage r = PassageSansSurveillance(*base, dataDir(), today, suivi);
    EXPECT_FALSE(r.transfert.archive);
    EXPECT_EQ(r.transfert.erreurArchive.path, origine(9));
    EXPECT_EQ(r.codeSortie(), 1);
    ASSERT_FALSE(suivi.lignes.isEmpty());
    EXPECT_TRUE(suivi.lignes.last().startsWith(QStringLiteral("Archivage des pointages impossible: Impossible de "
                                                              "renommer ") +
                                               origine(9) + QStringLiteral(": ")))
        << suivi.lignes.last().toStdString();
    EXPECT_EQ(lireFichier(origine(0)), raw);
}

TEST_F(LectureOrigineTest, EveryLineEndEndsALineAndNoPunchIsLostBetweenThem)
{
    // Lone CR lines, LF lines, CR LF lines, and a CR LF split as CR then CR LF (an empty line between).
    const QByteArray raw = bare(7, 0) + "\r" + bare(7, 10) + "\r" + bare(7, 20) + "\r" + bare(7, 30) + "\n" +
                           bare(7, 40) + "\r\n" + bare(7, 50) + "\r\r\n" + bare(8, 0) + "\n\n\r\n" + bare(8, 10) + "\r";
    ecrire(origine(), raw);
    const ResultatSansSurveillance r = run();
    EXPECT_EQ(r.lecture.lignes, 8);
    EXPECT_EQ(r.lecture.stockes, 8);
    EXPECT_EQ(r.lecture.ignorees, 0);
    EXPECT_EQ(r.lecture.octetsLus, raw.size());
    EXPECT_EQ(pointages(lire(12, today)->POINTAGE_ORIGINE), (std::vector<int>{420, 430, 440, 450, 460, 470, 480, 490}));
    EXPECT_TRUE(r.archive);
    EXPECT_EQ(lireFichier(origine(1)), raw);
}

TEST_F(LectureOrigineTest, ALineIsEverythingUpToItsLineEndHoweverLong)
{
    // A valid punch hidden 511 bytes into a long garbage line, and another after 100,000 bytes: one line each,
    // skipped and counted, never read as punches.
    const QByteArray longue = QByteArray(511, 'x') + bare(9, 0);
    const QByteArray tresLongue = QByteArray(100000, '7') + bare(9, 30) + QByteArray(1000, ' ');
    // Lines one character off the layout are skipped too.
    ecrire(origine(), longue + "\r\n" + tresLongue + "\r\n" + bare(10, 0) + " \r\n" + bare(10, 15).chopped(1) + "\r\n" +
                          pointage(12, today, 11, 0));
    const ResultatSansSurveillance r = run();
    EXPECT_EQ(r.lecture.lignes, 5);
    EXPECT_EQ(r.lecture.ignorees, 4);
    EXPECT_EQ(r.lecture.stockes, 1);
    EXPECT_EQ(pointages(lire(12, today)->POINTAGE_ORIGINE), std::vector<int>{660});
    expectEveryLineCounted(r.lecture);
}

TEST_F(LectureOrigineTest, ALastLineStillBeingWrittenIsLeftForTheNextReading)
{
    // Only a partial line: nothing read, nothing counted, nothing archived, the file as it was.
    const QByteArray partielle = QByteArray("0012 09/12/2026 12:");
    ecrire(origine(), partielle);
    EXPECT_EQ(compterLignesOrigine(origine(0)), 0);
    ResultatSansSurveillance r = run();
    EXPECT_EQ(r.lecture.lignes, 0);
    EXPECT_EQ(r.lecture.octetsLus, 0);
    EXPECT_FALSE(r.archive);
    EXPECT_EQ(lireFichier(origine(0)), partielle);
    EXPECT_TRUE(contenu<kip::PointVal>().isEmpty());

    // Complete lines before it: they are read and archived; the partial line becomes the new raw file, where
    // the reader finishes it.
    const QByteArray complet = pointage(12, today, 8, 0) + pointage(12, today, 9, 0);
    ecrire(origine(), complet + partielle);
    EXPECT_EQ(compterLignesOrigine(origine(0)), 2);
    r = run();
    EXPECT_EQ(r.lecture.lignes, 2);
    EXPECT_EQ(r.lecture.octetsLus, complet.size());
    EXPECT_TRUE(r.archive);
    EXPECT_EQ(lireFichier(origine(1)), complet);
    EXPECT_EQ(lireFichier(origine(0)), partielle);
    {
        QFile f(origine(0));
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("00 01\r\n");
    }
    r = run();
    EXPECT_EQ(r.lecture.lignes, 1);
    EXPECT_EQ(r.lecture.stockes, 1);
    EXPECT_EQ(pointages(lire(12, today)->POINTAGE_ORIGINE), (std::vector<int>{480, 540, 720}));
    EXPECT_EQ(lireFichier(origine(1)), partielle + "00 01\r\n");
}

TEST_F(LectureOrigineTest, OnlyARegularFileIsReadAnythingElseIsAnErrorAndLeftAsItIs)
{
    const QString raw = origine(0);
    // A directory.
    ASSERT_TRUE(QDir().mkdir(raw));
    ResultatSansSurveillance r = run();
    EXPECT_FALSE(r.lecture.erreurOrigine.ok());
    EXPECT_FALSE(r.lecture.reussi());
    EXPECT_FALSE(r.archive);
    EXPECT_TRUE(QFileInfo(raw).isDir());
    EXPECT_FALSE(QFile::exists(origine(1)));
    ASSERT_TRUE(QDir().rmdir(raw));
    // A FIFO with nobody writing: refused at once, not waited on.
    ASSERT_EQ(::mkfifo(QFile::encodeName(raw).constData(), 0644), 0);
    r = run();
    EXPECT_FALSE(r.lecture.erreurOrigine.ok());
    EXPECT_EQ(compterLignesOrigine(raw), 0);
    ASSERT_TRUE(QFile::remove(raw));
    // A link to a device that never ends.
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), raw));
    r = run();
    EXPECT_FALSE(r.lecture.erreurOrigine.ok());
    EXPECT_TRUE(QFileInfo(raw).isSymLink());
    ASSERT_TRUE(QFile::remove(raw));
    // A link to a regular file is read as that file.
    ecrire(origine(5), pointage(12, today, 8, 0));
    ASSERT_TRUE(QFile::link(origine(5), raw));
    r = run();
    EXPECT_TRUE(r.lecture.reussi());
    EXPECT_EQ(r.lecture.stockes, 1);
    EXPECT_TRUE(contenu<kip::PointVal>().size() == 1);
}

TEST_F(LectureOrigineTest, AFileThatCannotBeOpenedIsReportedAndKept)
{
    // A link to itself cannot be opened by anyone; it is neither replaced nor archived.
    ASSERT_TRUE(QFile::link(QStringLiteral("Origin00.txt"), origine(0)));
    ResultatSansSurveillance r = run();
    EXPECT_FALSE(r.lecture.erreurOrigine.ok());
    EXPECT_FALSE(r.archive);
    EXPECT_EQ(QFileInfo(origine(0)).symLinkTarget(), origine(0));
    ASSERT_TRUE(QFile::remove(origine(0)));
    if (::geteuid() == 0)
        return; // the superuser reads a file whatever its permissions
    const QByteArray raw = pointage(12, today, 8, 0);
    ecrire(origine(), raw);
    ASSERT_TRUE(QFile::setPermissions(origine(0), QFileDevice::WriteOwner));
    r = run();
    EXPECT_FALSE(r.lecture.erreurOrigine.ok());
    EXPECT_FALSE(r.archive);
    ASSERT_TRUE(QFile::setPermissions(origine(0), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_EQ(lireFichier(origine(0)), raw);
    EXPECT_TRUE(contenu<kip::PointVal>().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Moteurs, TransfertSurLesDeuxMoteurs, LesDeuxMoteurs);
