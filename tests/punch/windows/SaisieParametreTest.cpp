// The settings form inside Kip's frame: the reader paused while it is open however it closes, KipGuard.txt
// read back and rewritten, the sound lists, the port test, PARAMETRE created with its defaults, and the bar
// moved at once.
#include "punch/windows/SaisieParametre.h"

#include "../../shell/ListenerLecteur.h"
#include "InstallationFenetres.h"
#include "data/FileAdmin.h"
#include "data/Files.h"
#include "data/Pack.h"
#include "data/RecordFile.h"
#include "data/ScriptedPresenter.h"
#include "data/WriteFaults.h"
#include "punch/windows/ModeleSons.h"
#include "reader/Sons.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Evenements.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/FenetreSommaire.h"
#include "shell/windows/NomsFenetres.h"
#include "shell/windows/Unites.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

using namespace kip;

namespace {

constexpr int Attente = 5000;

class SonsEssai : public Sons
{
public:
    QStringList joues;
    void jouer(const QString& fichier) override { joues << fichier; }
    void sonnerieTest() override {}
};

// A short silent .wav file.
QByteArray wav()
{
    QByteArray donnees(800, char(128));
    QByteArray w("RIFF");
    auto le = [&w](quint32 v, int n) {
        for (int i = 0; i < n; ++i)
            w += char((v >> (8 * i)) & 0xff);
    };
    le(36 + quint32(donnees.size()), 4);
    w += "WAVEfmt ";
    le(16, 4);
    le(1, 2);
    le(1, 2);
    le(8000, 4);
    le(8000, 4);
    le(1, 2);
    le(8, 2);
    w += "data";
    le(quint32(donnees.size()), 4);
    return w + donnees;
}

} // namespace

class SaisieParametreTest : public QObject
{
    Q_OBJECT

private:
    InstallationFenetres m_inst;
    ScriptedPresenter& m_presenter = m_inst.presenter;
    SonsEssai m_joueur;

    // An installation without record files (the window makes the settings), with those sounds and reader file.
    void installation(const QStringList& sons, const QByteArray* kipGuard)
    {
        QVERIFY(m_inst.vider());
        for (const QString& s : sons)
            QVERIFY(m_inst.ecrire(QDir(paths().sonDir).filePath(s), wav()));
        if (kipGuard)
            QVERIFY(m_inst.ecrire(paths().kipGuard(), *kipGuard));
    }
    QByteArray lire(const QString& chemin) { return m_inst.lireFichier(chemin); }

    SaisieParametre* ouvrir(Cadre& cadre)
    {
        auto* f = qobject_cast<SaisieParametre*>(ouvrirFenetre(nom::SaisieParametre, cadre));
        if (f && !f->pret())
            QSignalSpy(f, &SaisieParametre::pretAEditer).wait(Attente);
        return f;
    }

    std::vector<Parametre> parametres()
    {
        RecordFile<Parametre> f(*m_inst.base);
        std::vector<Parametre> tous;
        if (!f.open().ok())
            return tous;
        Cursor<Parametre> c = f.readAll();
        Parametre p;
        while (c.next(p).ok())
            tous.push_back(p);
        return tous;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_inst.fichiers.clear();
        SaisieParametre::setAttentePause(0);
        SaisieParametre::setSons(&m_joueur);
        enregistrerSaisieParametre();
    }
    void cleanupTestCase()
    {
        m_inst.terminer();
        SaisieParametre::setSons(nullptr);
    }
    void init()
    {
        m_presenter.clear();
        m_joueur.joues.clear();
    }

    void theReaderIsPausedWhileTheFormIsOpenHoweverItCloses()
    {
        installation({}, nullptr);
        ListenerLecteur lecteur;
        LecteurCartes::programme().chercher();
        Cadre cadre(Program::Kip, 0, [] {});
        cadre.show();
        // Annuler in the bar.
        QPointer<SaisieParametre> f = ouvrir(cadre);
        QVERIFY(f);
        QCOMPARE(lecteur.numeros(), QList<int>{1024});
        QCOMPARE(cadre.liste().NOMFENETREACTIVE, QStringLiteral("SaisieParametre"));
        f->port(5)->setChecked(true);
        f->tester()->click(); // the reader tests that port
        evt::poster(f, evt::Bouton13);
        QTRY_VERIFY_WITH_TIMEOUT(f.isNull(), Attente);
        QCOMPARE(lecteur.numeros(), (QList<int>{1024, 1030, 1025}));
        QVERIFY(!QFile::exists(paths().kipGuard())); // nothing saved
        QVERIFY(parametres().empty());
        // The frame closes with the form open.
        f = ouvrir(cadre);
        QVERIFY(f);
        m_presenter.answer(ButtonYes);
        cadre.close();
        QTRY_VERIFY_WITH_TIMEOUT(f.isNull(), Attente);
        QCOMPARE(lecteur.numeros(), (QList<int>{1024, 1030, 1025, 1024, 1025}));
    }

    void firstOkStoresTheDefaultsRewritesKipGuardAndMovesTheBar()
    {
        const QByteArray deuxLignes("3\r\nerreur.wav\r\n");
        installation({"erreur.wav", "bip.wav"}, &deuxLignes);
        Cadre cadre(Program::Kip, 0, [] {});
        cadre.resize(1000, 700);
        cadre.show();
        QPointer<SaisieParametre> f = ouvrir(cadre);
        QVERIFY(f && f->pret());
        QVERIFY(f->insertion());
        QVERIFY(!f->caseSommaire()->isChecked());
        // The port and the first sound are read; the second sound is blank and selects row 1; Magtek.
        QVERIFY(f->port(3)->isChecked());
        QCOMPARE(f->modeleCarteLue()->sons(), (QStringList{"bip.wav", "erreur.wav"}));
        QCOMPARE(f->listeCarteLue()->selectionModel()->selectedRows().value(0).row(), 1);
        QCOMPARE(f->listeMauvaiseCarte()->selectionModel()->selectedRows().value(0).row(), 0);
        QVERIFY(f->magtek()->isChecked());
        QAbstractItemModelTester testeur(f->modeleCarteLue(), QAbstractItemModelTester::FailureReportingMode::QtTest);

        f->ecouterCarteLue()->click(); // plays the chosen file of Son
        QCOMPARE(m_joueur.joues, QStringList{QDir(paths().sonDir).filePath(QStringLiteral("erreur.wav"))});
        f->caseSommaire()->setChecked(true);
        f->omron()->setChecked(true);
        evt::poster(f, evt::Bouton1Formulaire); // Accepter
        QTRY_VERIFY_WITH_TIMEOUT(f.isNull(), Attente);
        QCOMPARE(lire(paths().kipGuard()), QByteArray("3\r\nerreur.wav\r\nbip.wav\r\nOmron\r\n"));
        const std::vector<Parametre> tous = parametres();
        QCOMPARE(tous.size(), size_t(1));
        Parametre attendu = ParametreParDefaut();
        attendu.POSITIONSOMMAIRE = 1;
        QCOMPARE(pack(tous[0]), pack(attendu));
        // The bar is on the right at once, without a restart.
        QVERIFY(cadre.sommaireADroite());
        QTRY_COMPARE_WITH_TIMEOUT(cadre.sommaire()->x(), cadre.tailleCadre().width() - ui::px(ui::LargeurSommaire + 2),
                                  Attente);
        QVERIFY(m_presenter.shown().isEmpty());
    }

    void aFullDiskKeepsKipGuardAndTheFormAndSaysWhy()
    {
        const QByteArray kipGuard("2\r\nbip.wav\r\n\r\nOmron\r\n");
        installation({"bip.wav"}, &kipGuard);
        Cadre cadre(Program::Kip, 0, [] {});
        cadre.show();
        QPointer<SaisieParametre> f = ouvrir(cadre);
        QVERIFY(f);
        f->port(4)->setChecked(true);
        {
            const ScopedWriteFault panne({WriteFaultKind::ShortWrite, 1, 0});
            f->ok()->click();
        }
        QCoreApplication::processEvents();
        QVERIFY(f);
        QCOMPARE(lire(paths().kipGuard()), kipGuard);
        QCOMPARE(m_presenter.shown().size(), 1);
        QCOMPARE(m_presenter.shown()[0].number, 15);
        QVERIFY2(m_presenter.shown()[0].text.contains("Plus de place sur le disque (28)"),
                 qPrintable(m_presenter.shown()[0].text));
        QVERIFY(parametres().empty());
        f->ok()->click(); // the space is back
        QTRY_VERIFY_WITH_TIMEOUT(f.isNull(), Attente);
        QCOMPARE(lire(paths().kipGuard()), QByteArray("4\r\nbip.wav\r\nbip.wav\r\nOmron\r\n"));
    }

    void okBeforeKipGuardIsReadSavesNothing()
    {
        const QByteArray kipGuard("2\r\nbip.wav\r\n\r\nOmron\r\n");
        installation({"bip.wav"}, &kipGuard);
        SaisieParametre::setAttentePause(60000);
        Cadre cadre(Program::Kip, 0, [] {});
        cadre.show();
        QPointer<SaisieParametre> f = qobject_cast<SaisieParametre*>(ouvrirFenetre(nom::SaisieParametre, cadre));
        SaisieParametre::setAttentePause(0);
        QVERIFY(f && !f->pret());
        f->ok()->click();
        QCoreApplication::processEvents();
        QVERIFY(f);
        QCOMPARE(lire(paths().kipGuard()), kipGuard);
        f->annuler()->click();
        QTRY_VERIFY_WITH_TIMEOUT(f.isNull(), Attente);
    }

    void theProgramsPlayerNeverHoldsTheFormUp()
    {
        // The card reader's player, on a machine without a sound device: a player that blocked or failed there
        // would hang or crash this test.
        installation({"bip.wav"}, nullptr);
        SaisieParametre::setSons(nullptr);
        {
            Cadre cadre(Program::Kip, 0, [] {});
            cadre.show();
            QPointer<SaisieParametre> f = ouvrir(cadre);
            QVERIFY(f);
            f->ecouterCarteLue()->click();
            f->ecouterCarteLue()->click();
            f->annuler()->click();
            QTRY_VERIFY_WITH_TIMEOUT(f.isNull(), Attente);
        }
        SaisieParametre::setSons(&m_joueur);
    }
};

QTEST_MAIN(SaisieParametreTest)
#include "SaisieParametreTest.moc"
