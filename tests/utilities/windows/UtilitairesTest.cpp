// The utilities window inside Kip's frame, opened on 15 June 2004, wired to the utilities (whose values their
// own tests hold): the purge week, the purge refused while the punch list holds the day lines, the backup
// between pause and resume, the re-index, the restore, and the end of the window.
#include "utilities/windows/Utilitaires.h"

#include "../../shell/ListenerLecteur.h"
#include "InstallationFenetres.h"
#include "calendar/Clock.h"
#include "calendar/Dates.h"
#include "data/FileAdmin.h"
#include "data/Files.h"
#include "data/RecordFile.h"
#include "data/ScriptedPresenter.h"
#include "data/Transaction.h"
#include "shell/LecteurCartes.h"
#include "shell/Sauvegarde.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Evenements.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/FenetreSommaire.h"
#include "shell/windows/ImageActive.h"
#include "shell/windows/NomsFenetres.h"
#include "utilities/TextesUtilitaires.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

using namespace kip;

namespace {

constexpr int Attente = 10000;

QString affiche(const QString& texte)
{
    return QString(texte).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// Shown inside the utilities window (which itself shows once the posted show request is handled).
bool visible(QWidget* w)
{
    QWidget* fenetre = w;
    while (fenetre && !qobject_cast<Utilitaires*>(fenetre))
        fenetre = fenetre->parentWidget();
    return w->isVisibleTo(fenetre);
}

} // namespace

class UtilitairesTest : public QObject
{
    Q_OBJECT

private:
    InstallationFenetres m_inst;
    ScriptedPresenter& m_presenter = m_inst.presenter;
    std::unique_ptr<Cadre> m_cadre;
    QPointer<Utilitaires> m_fenetre;

    // Today 15 June 2004; card 12 with a day line of every day since 20 January and a manual backup on 1 June.
    void installation()
    {
        m_inst.today = dayNumber(2004, 6, 15);
        QVERIFY(m_inst.vider());
        Personnel e = m_inst.employe(12, QStringLiteral("MARTIN"));
        e.DATE_EMBAUCHE = e.DATE_DEBAUCHE = 0; // no dates of hire and leave: every day counts
        m_inst.ajouter(e);
        Transaction t(*m_inst.base, {FileId::PointVal, FileId::DateSave});
        QVERIFY(t.ok());
        RecordFile<PointVal> pov(*m_inst.base);
        for (qint32 d = dayNumber(2004, 1, 20); d < m_inst.today; ++d) {
            PointVal v = m_inst.journee(e, d);
            QVERIFY(pov.add(v).ok());
        }
        RecordFile<DateSave> dat(*m_inst.base);
        DateSave s;
        s.DATEMANU = dayNumber(2004, 6, 1);
        QVERIFY(dat.add(s).ok());
        QVERIFY(t.commit().ok());
    }

    // Read by a new connection: the purge and the restore replace the files under the old ones.
    bool ligne(qint32 date)
    {
        m_inst.rouvrir();
        return m_inst.lire(12, date).has_value();
    }

    void ouvrir()
    {
        m_cadre = std::make_unique<Cadre>(Program::Kip, 0, [] {});
        m_cadre->resize(1100, 760);
        m_cadre->show();
        m_fenetre = qobject_cast<Utilitaires*>(ouvrirFenetre(nom::Utilitaires, *m_cadre));
        QVERIFY(m_fenetre);
    }

    void attendreAction(QPushButton* bouton)
    {
        QSignalSpy fin(m_fenetre.data(), &Utilitaires::actionTerminee);
        bouton->click();
        QVERIFY(fin.count() == 1 || fin.wait(Attente));
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_inst.fichiers.insert(m_inst.fichiers.end(), {FileId::DateSave, FileId::OnOff});
        Utilitaires::setAttentePause(0);
        FenetreSommaire::setDelaiAppui(10);
        enregistrerUtilitaires();
    }
    void cleanupTestCase() { m_inst.terminer(); }
    void init() { installation(); }
    void cleanup()
    {
        m_inst.verifier();
        m_cadre.reset();
        Utilitaires::setAttentePause(0);
        m_presenter.clear();
    }

    void opensOnTheWeekOfSevenMarchAndQuitterCloses()
    {
        ouvrir();
        QCOMPARE(m_fenetre->texteSemaine()->text(), QStringLiteral("Sem.: 10/2004"));
        QVERIFY(m_fenetre->texteSauvegarde()->toPlainText().contains(QStringLiteral("date du: 01/06/2004.")));
        QVERIFY(!visible(m_fenetre->boutonConfirmer()));
        QCOMPARE(openCount(FileId::DateSave), 1);
        // The bar shows only Quitter, which closes the window.
        QTRY_COMPARE(m_cadre->sommaire()->emplacement(13)->nom(), QStringLiteral("Quitter"));
        QVERIFY(!m_cadre->sommaire()->emplacement(1)->isVisibleTo(m_cadre->zone()));
        evt::poster(m_fenetre, evt::Bouton13);
        QTRY_VERIFY_WITH_TIMEOUT(m_fenetre.isNull(), Attente);
        QCOMPARE(openCount(FileId::DateSave), 0);
    }

    void thePurgeWaitsForThePunchListThenDeletesUpToTheSunday()
    {
        ouvrir();
        m_presenter.answerWeek(Semaine{5, 2004});
        m_fenetre->boutonSemaine()->click();
        m_fenetre->boutonLancerPurge()->click();
        QVERIFY(visible(m_fenetre->boutonConfirmer()));
        QVERIFY(!visible(m_fenetre->boutonLancerPurge()));
        QVERIFY(!visible(m_fenetre->boutonSemaine()));
        QVERIFY(!visible(m_fenetre->texteSemaine()));
        {
            FileUse listeDesPointages(FileId::PointVal);
            attendreAction(m_fenetre->boutonConfirmer());
            QVERIFY(ligne(dayNumber(2004, 1, 20)));
            QCOMPARE(m_fenetre->textePurge()->toPlainText(), affiche(TexteExplicationPurge() + TextePurgeRefusee()));
            QVERIFY(m_fenetre->boutonConfirmer()->isEnabled());
        }
        attendreAction(m_fenetre->boutonConfirmer());
        QCOMPARE(m_fenetre->textePurge()->toPlainText(),
                 affiche(TexteExplicationPurge()) +
                     QStringLiteral("\n\n  La purge a été réalisée jusqu'au: 01/02/2004."));
        QVERIFY(!m_fenetre->boutonConfirmer()->isEnabled());
        QVERIFY(!ligne(dayNumber(2004, 1, 20)));
        QVERIFY(!ligne(dayNumber(2004, 2, 1)));
        QVERIFY(ligne(dayNumber(2004, 2, 2)));
        QVERIFY(!m_fenetre->occupe());
    }

    void theBackupRunsBetweenPauseAndResumeAndSaysItsDate()
    {
        ListenerLecteur lecteur;
        LecteurCartes::programme().chercher();
        ouvrir();
        attendreAction(m_fenetre->boutonSauvegarder());
        QVERIFY(m_fenetre->texteSauvegarde()->toPlainText().endsWith(
            QStringLiteral("\n\n  La dernière sauvegarde manuelle date maintenant du: 15/06/2004.")));
        QVERIFY(!m_fenetre->boutonSauvegarder()->isEnabled());
        QCOMPARE(lecteur.numeros(), (QList<int>{1024, 1025}));

        attendreAction(m_fenetre->boutonIndexer());
        QCOMPARE(m_fenetre->texteIndexage()->toPlainText(),
                 affiche(TexteExplicationIndexage()) + QStringLiteral("\n\n  L'indexage a été réalisé."));
        QVERIFY(!m_fenetre->boutonIndexer()->isEnabled());
    }

    void quitterDuringABackupClosesOnceItIsOver()
    {
        Utilitaires::setAttentePause(300);
        ouvrir();
        m_fenetre->boutonSauvegarder()->click();
        QVERIFY(m_fenetre->occupe());
        evt::poster(m_fenetre, evt::Bouton13);
        QCoreApplication::processEvents();
        QVERIFY(m_fenetre);
        QTRY_VERIFY_WITH_TIMEOUT(m_fenetre.isNull(), Attente);
        Database db(paths().dataDir);
        RecordFile<DateSave> f(db);
        DateSave s;
        QVERIFY(f.open().ok() && f.first(s).ok());
        QCOMPARE(s.DATEMANU, m_inst.today);
    }

    void theRestoreShowsTheCopyThenRestoresAndPlacesTheBar()
    {
        {
            Database db(paths().dataDir);
            RecordFile<Parametre> f(db);
            Parametre par;
            par.POSITIONSOMMAIRE = 1;
            QVERIFY(f.open().ok() && f.add(par).ok());
        }
        QVERIFY(SauvegardeAuto(paths()).reussie());
        ouvrir();
        m_fenetre->choixSaveAuto()->setChecked(true);
        m_fenetre->boutonRestaurer()->click();
        QVERIFY(m_fenetre->texteRestauration()->toPlainText().contains(
            QStringLiteral(": 1 employé(s), 147 ligne(s) de jour, aucun pointage.")));
        QVERIFY(visible(m_fenetre->boutonConfirmerRestauration()));
        QVERIFY(!m_cadre->sommaireADroite());
        attendreAction(m_fenetre->boutonConfirmerRestauration());
        QVERIFY(m_fenetre->texteRestauration()->toPlainText().contains(
            QStringLiteral("  La restauration a été réalisée depuis \\Kip\\SaveAuto")));
        QVERIFY(!m_fenetre->boutonConfirmerRestauration()->isEnabled());
        QVERIFY(m_cadre->sommaireADroite());
        // The files before the restore are one more copy to choose from.
        QCOMPARE(m_fenetre->copiesAvantRestauration()->count(), 1);
        QVERIFY(
            m_fenetre->copiesAvantRestauration()->itemText(0).startsWith(QStringLiteral("Avant la restauration du ")));
    }
};

QTEST_MAIN(UtilitairesTest)
#include "UtilitairesTest.moc"
