// The day initialisation and transfer windows inside the real frame of Kip: the order of the two, the
// decision after rejections, and the resume message whatever the outcome.
#include "../../shell/ListenerLecteur.h"
#include "Installation.h"
#include "calendar/Clock.h"
#include "data/Database.h"
#include "data/FileAdmin.h"
#include "data/Files.h"
#include "data/RecordFile.h"
#include "data/ScriptedPresenter.h"
#include "data/TextFiles.h"
#include "punch/windows/InitialiseJournee.h"
#include "punch/windows/TransfertOrigine.h"
#include "shell/LecteurCartes.h"
#include "shell/PauseLecteur.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Evenements.h"

#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

using namespace kip;

namespace {

QByteArray punch(int carte, qint32 date, int h, int m)
{
    return essai::Installation::pointage(carte, date, h, m);
}

TransfertOrigine* transfert(Cadre& cadre)
{
    return cadre.zone()->findChild<TransfertOrigine*>(QStringLiteral("TransfertOrigine"));
}

} // namespace

class FenetresPointageTest : public QObject
{
    Q_OBJECT

private:
    essai::Installation m_inst;
    qint32 m_today = m_inst.today;

    // The installation with one employee and that raw file; the record files are made by the windows.
    void installation(const QByteArray& raw)
    {
        QVERIFY(m_inst.vider());
        m_inst.ajouter(12, QStringLiteral("MARTIN"));
        QVERIFY(m_inst.ecrire(m_inst.origine(), raw));
    }

    // The number of raw punches of card 12 on that date; -1 without a line.
    int lines(qint32 date)
    {
        const std::optional<PointVal> v = m_inst.lire(12, date);
        return v ? int(m_inst.pointages(v->POINTAGE_ORIGINE).size()) : -1;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_inst.fichiers = {FileId::Personnel};
        enregistrerFenetresPointage(Program::Kip);
    }
    void cleanupTestCase()
    {
        QVERIFY(m_inst.pannes.isEmpty());
        m_inst.terminer();
    }

    void rejectionsWaitForGarderWhichKeepsTheRawFile()
    {
        ListenerLecteur reader;
        LecteurCartes::programme().chercher(); // as the start-up does
        const QByteArray raw = punch(12, m_today, 8, 0) + punch(77, m_today, 8, 5);
        installation(raw);
        Cadre cadre(Program::Kip, 0, [] {});
        cadre.confierPause(PauseLecteur::demander());
        cadre.show();
        QTRY_VERIFY_WITH_TIMEOUT(transfert(cadre) && transfert(cadre)->etat() == TransfertOrigine::Etat::Decision,
                                 15000);
        TransfertOrigine* t = transfert(cadre);
        QCOMPARE(t->rejets(), QStringList{QStringLiteral("Numéro inconnu: 77 le 09/12/2026 à  8.05")});
        QCOMPARE(cadre.liste().entrees().last().NOMFENETREACTIVE, QStringLiteral("TransfertOrigine"));
        QCOMPARE(lines(m_today), 1); // stored and committed before the question
        QPointer<TransfertOrigine> guard(t);
        evt::poster(t, evt::Bouton1Formulaire); // [GARDER]
        QTRY_VERIFY_WITH_TIMEOUT(guard.isNull(), 5000);
        QCOMPARE(m_inst.lireFichier(paths().origin(0)), raw);
        QVERIFY(!QFile::exists(paths().origin(1)));
        QCOMPARE(reader.numeros(), (QList<int>{1024, 1025}));
    }

    void supprimerArchivesAndNothingRejectedArchivesAtOnce()
    {
        installation(punch(12, m_today, 8, 0) + punch(77, m_today, 8, 5));
        {
            Cadre cadre(Program::Kip, 1, [] {});
            cadre.show();
            QTRY_VERIFY_WITH_TIMEOUT(transfert(cadre) && transfert(cadre)->etat() == TransfertOrigine::Etat::Decision,
                                     15000);
            QPointer<TransfertOrigine> guard(transfert(cadre));
            evt::poster(guard, evt::Bouton13); // [SUPPRIMER]
            QTRY_VERIFY_WITH_TIMEOUT(guard.isNull(), 5000);
            QVERIFY(QFile::exists(paths().origin(1)));
            QCOMPARE(m_inst.lireFichier(paths().origin(0)), QByteArray());
        }
        const QByteArray clean = punch(12, m_today, 12, 0);
        installation(clean);
        Cadre cadre(Program::Kip, 0, [] {});
        cadre.show();
        // The day initialisation, then the transfer, which archives by itself and closes.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(paths().origin(1)), 15000);
        QTRY_COMPARE_WITH_TIMEOUT(cadre.liste().entrees().last().NOMFENETREACTIVE, QStringLiteral("FenetrePrincipale"),
                                  5000);
        QCOMPARE(m_inst.lireFichier(paths().origin(1)), clean);
        QCOMPARE(lines(m_today), 1);
        QCOMPARE(lines(m_today - 1), 0); // an empty line from the day initialisation
    }

    // An empty raw file, or one holding only the line the reader is still writing, has nothing to decide: no
    // window waits for [GARDER], the file stays as it is, and the reader resumes.
    void nothingToTransferOpensNoTransferWindowButTheReaderResumes()
    {
        for (const QByteArray& raw : {QByteArray(), QByteArray("0012 09/12/2026 12:")}) {
            ListenerLecteur reader;
            LecteurCartes::programme().chercher();
            installation(raw);
            Cadre cadre(Program::Kip, 0, [] {});
            cadre.confierPause(PauseLecteur::demander());
            cadre.show();
            QTRY_COMPARE_WITH_TIMEOUT(reader.numeros(), (QList<int>{1024, 1025}), 15000);
            QVERIFY(!transfert(cadre));
            QCOMPARE(cadre.liste().entrees().last().NOMFENETREACTIVE, QStringLiteral("FenetrePrincipale"));
            QCOMPARE(m_inst.lireFichier(paths().origin(0)), raw);
            QVERIFY(!QFile::exists(paths().origin(1)));
        }
    }

    // Whatever ends the run, the reader is resumed exactly once: the frame closed before or during the day
    // initialisation (the transfer then never opens), or while the transfer waits for [GARDER].
    void frameClosedAtAnyStepResumesTheReaderOnce()
    {
        for (int etape = 0; etape < 3; ++etape) {
            ListenerLecteur reader;
            LecteurCartes::programme().chercher();
            installation(punch(12, m_today, 8, 0) + punch(77, m_today, 8, 5));
            {
                Cadre cadre(Program::Kip, 0, [] {});
                cadre.confierPause(PauseLecteur::demander());
                cadre.show();
                if (etape == 1)
                    QTRY_VERIFY_WITH_TIMEOUT(
                        cadre.liste().entrees().last().NOMFENETREACTIVE == QStringLiteral("InitialiseJournee"), 15000);
                if (etape == 2)
                    QTRY_VERIFY_WITH_TIMEOUT(
                        transfert(cadre) && transfert(cadre)->etat() == TransfertOrigine::Etat::Decision, 15000);
                cadre.close();
                QCOMPARE(reader.numeros(), QList<int>{1024}); // still paused while a window may be at work
            }
            QCOMPARE(reader.numeros(), (QList<int>{1024, 1025}));
            QCOMPARE(m_inst.lireFichier(paths().origin(0)), punch(12, m_today, 8, 0) + punch(77, m_today, 8, 5));
        }
    }
};

QTEST_MAIN(FenetresPointageTest)
#include "FenetresPointageTest.moc"
