// The frame of Kip and kipother: the window stack and its bar, placement on moves and resizes, the exit,
// the about window's links and the pictures of the bar's table.
#include "shell/windows/Cadre.h"

#include "FenetreEssai.h"
#include "data/ScriptedPresenter.h"
#include "resources/Pictures.h"
#include "shell/windows/Evenements.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/FenetreAPropos.h"
#include "shell/windows/FenetreSommaire.h"
#include "shell/windows/ImageActive.h"
#include "shell/windows/TableSommaire.h"
#include "shell/windows/Unites.h"

#include <QDesktopServices>
#include <QImage>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

using namespace kip;
using ui::px;

namespace {

constexpr int Attente = 3000; // upper bound for the bar's 0.4-second press and the posted events

// Receives the addresses that the about window asks the desktop to open.
class Navigateur : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> ouvertes;

public Q_SLOTS:
    void ouvrir(const QUrl& adresse) { ouvertes << adresse; }
};

QStringList noms(const ListeFenetres& liste)
{
    QStringList n;
    for (const EntreeFenetre& e : liste.entrees())
        n << e.NOMFENETREACTIVE;
    return n;
}

// Names of the pictures shown in the bar, by slot ("" for a hidden slot), then "quit" if the quit picture is.
QStringList barre(const FenetreSommaire& s)
{
    QStringList b;
    for (int n = 1; n <= 13; ++n)
        b << (s.emplacement(n)->isVisibleTo(s.parentWidget()) ? s.emplacement(n)->nom() : QString());
    if (s.quitter()->isVisibleTo(s.parentWidget()))
        b << QStringLiteral("quit");
    return b;
}

QStringList rangeeAttendue(std::initializer_list<std::pair<int, const char*>> slots, bool quitter = false)
{
    QStringList b(13);
    for (auto [n, nom] : slots)
        b[n - 1] = QString::fromLatin1(nom);
    if (quitter)
        b << QStringLiteral("quit");
    return b;
}

bool visible(QWidget* w)
{
    return w && w->isVisibleTo(w->parentWidget());
}

void appuyer(ImageActive* image)
{
    QTest::mouseClick(image, Qt::LeftButton, {}, QPoint(10, 5));
}

FenetreEssai* essai(Cadre& cadre, const QString& nom)
{
    return new FenetreEssai(cadre, nom);
}

} // namespace

class CadreTest : public QObject
{
    Q_OBJECT

private:
    ScriptedPresenter m_presenter;
    QPointer<FenetreEssai> m_jour; // the day initialisation of the last frame started

    // A shown frame whose day initialisation is a test window that stays open.
    std::unique_ptr<Cadre> demarrer(Program programme, int position, std::function<void()> arret = {})
    {
        enregistrerFabrique(QStringLiteral("InitialiseJournee"), [this](Cadre& c) {
            m_jour = essai(c, QStringLiteral("InitialiseJournee"));
            return m_jour.data();
        });
        auto cadre = std::make_unique<Cadre>(programme, position, std::move(arret));
        cadre->resize(1000, 700);
        cadre->show();
        QCoreApplication::processEvents();
        return cadre;
    }

private Q_SLOTS:
    void initTestCase() { FenetreSommaire::setDelaiAppui(50); }

    void init()
    {
        m_presenter.clear();
        setMessagePresenter(&m_presenter);
        enregistrerFabrique(QStringLiteral("TablePersonnel"),
                            [](Cadre& c) { return essai(c, QStringLiteral("TablePersonnel")); });
    }

    void cleanup()
    {
        setMessagePresenter(nullptr);
        retirerFabrique(QStringLiteral("InitialiseJournee"));
        retirerFabrique(QStringLiteral("TablePersonnel"));
    }

    void pileDesFenetres()
    {
        auto cadre = demarrer(Program::Kip, 0);
        FenetreSommaire& s = *cadre->sommaire();
        QCOMPARE(noms(cadre->liste()), QStringList({"FenetreSommaire", "FenetrePrincipale", "InitialiseJournee"}));
        QTRY_VERIFY(visible(m_jour));
        QCOMPARE(barre(s), rangeeAttendue({{13, "Quitter"}}));

        // The day initialisation ends: the home window and its row come back.
        m_jour->close();
        QTRY_COMPARE(barre(s), rangeeAttendue({{1, "Corriger"},
                                               {2, "Imprimer"},
                                               {3, "Personnel"},
                                               {4, "Parametres"},
                                               {5, "Utilitaires"},
                                               {6, "Absences"}},
                                              true));
        QWidget* accueil = cadre->liste().entrees().at(1).fenetre;
        QVERIFY(visible(accueil));
        QVERIFY(m_jour.isNull());

        // Slot 3 of the home window starts the employee list; a form over it hides it.
        appuyer(s.emplacement(3));
        QTRY_COMPARE(cadre->liste().taille(), 3);
        QPointer<FenetreEssai> liste = qobject_cast<FenetreEssai*>(cadre->liste().entrees().at(2).fenetre.data());
        QVERIFY(liste);
        QPointer<FenetreEssai> formulaire = essai(*cadre, QStringLiteral("SaisiePersonnel"));
        QTRY_VERIFY(visible(formulaire));
        QVERIFY(!visible(liste));
        QVERIFY(!visible(accueil));
        QCOMPARE(barre(s), rangeeAttendue({{1, "Accepter"}, {13, "Annuler"}}));
        QCOMPARE(cadre->liste().NOMFENETREACTIVE, QStringLiteral("SaisiePersonnel"));

        // The bar's buttons go to the window in front only.
        appuyer(s.emplacement(1));
        QTRY_COMPARE(formulaire->evenements, QList<int>{evt::Bouton1Formulaire});
        appuyer(s.emplacement(13));
        QTRY_COMPARE(formulaire->evenements, QList<int>({evt::Bouton1Formulaire, evt::Bouton13}));
        QVERIFY(liste->evenements.isEmpty());

        // Closing the form shows the list again, with its buttons.
        formulaire->close();
        QTRY_VERIFY(visible(liste));
        QTRY_VERIFY(formulaire.isNull());
        QCOMPARE(barre(s), rangeeAttendue({{1, "Ajouter"},
                                           {2, "Modifier"},
                                           {3, "Supprimer"},
                                           {4, "Par_Nom_et_Prenom"},
                                           {5, "Par_n_de_Carte"},
                                           {6, "Par_Matricule"},
                                           {13, "Quitter"}}));
        appuyer(s.emplacement(4));
        QTRY_COMPARE(liste->evenements, QList<int>{evt::BoutonListe + 4});

        // A window that is not in front ends by itself: its own entry goes, the one in front stays.
        formulaire = essai(*cadre, QStringLiteral("SaisiePersonnel"));
        QTRY_VERIFY(visible(formulaire));
        liste->close();
        QTRY_VERIFY(liste.isNull());
        QCOMPARE(noms(cadre->liste()), QStringList({"FenetreSommaire", "FenetrePrincipale", "SaisiePersonnel"}));
        QCOMPARE(cadre->liste().fenetreActive(), formulaire.data());
        QVERIFY(visible(formulaire));
        QTRY_COMPARE(barre(s), rangeeAttendue({{1, "Accepter"}, {13, "Annuler"}}));

        // A window destroyed outright unregisters too.
        delete formulaire;
        QTRY_VERIFY(visible(accueil));
        QCOMPARE(cadre->liste().taille(), 2);
    }

    void placement_data()
    {
        QTest::addColumn<int>("position");
        QTest::newRow("bar on the left") << 0;
        QTest::newRow("bar on the right") << 1;
    }

    void placement()
    {
        QFETCH(int, position);
        auto cadre = demarrer(Program::KipOther, position);
        QPointer<FenetreEssai> liste = essai(*cadre, QStringLiteral("TablePersonnel"));
        QTRY_VERIFY(visible(liste));

        auto verifier = [&] {
            const QSize zone = cadre->zone()->size();
            QCOMPARE(cadre->tailleCadre(), zone);
            const int xBarre = position == 1 ? zone.width() - px(154) : 0;
            const int xTravail = position == 1 ? 0 : px(154);
            QTRY_COMPARE(cadre->sommaire()->geometry(), QRect(xBarre, 0, px(152), zone.height() - px(1)));
            // Every listed window, shown or hidden, sits beside the bar over the frame's height.
            for (const EntreeFenetre& e : cadre->liste().entrees().mid(1))
                QTRY_COMPARE(e.fenetre->geometry(), QRect(xTravail, 0, zone.width() - px(156), zone.height() - px(1)));
            // Bar and windows never overlap.
            QVERIFY(!cadre->sommaire()->geometry().intersects(liste->geometry()));
        };
        verifier();

        cadre->resize(1200, 820);
        QTRY_COMPARE(cadre->zone()->width(), 1200);
        verifier();

        // A move alone also re-places every listed window.
        for (const EntreeFenetre& e : cadre->liste().entrees())
            e.fenetre->setGeometry(7, 9, 50, 50);
        cadre->move(cadre->pos() + QPoint(40, 30));
        verifier();

        // The home picture stays centred.
        liste->close();
        m_jour->close();
        QWidget* accueil = cadre->liste().entrees().at(1).fenetre;
        QTRY_VERIFY(visible(accueil));
        auto* image = accueil->findChild<QWidget*>(QStringLiteral("imageProgramme"));
        QVERIFY(image);
        QVERIFY(qAbs(image->geometry().center().x() - accueil->width() / 2) <= 1);
        QVERIFY(qAbs(image->geometry().center().y() - accueil->height() / 2) <= 1);
    }

    void emplacement13PendantInitialisation()
    {
        auto cadre = demarrer(Program::Kip, 1);
        QTRY_VERIFY(visible(m_jour));
        FenetreSommaire& s = *cadre->sommaire();
        QVERIFY(visible(s.emplacement(13)));
        const QStringList avant = noms(cadre->liste());
        QSignalSpy fin(&s, &FenetreSommaire::appuiTermine);
        appuyer(s.emplacement(13));
        QVERIFY(fin.wait(Attente));
        QCoreApplication::processEvents();
        QVERIFY(m_jour);
        QVERIFY(m_jour->evenements.isEmpty());
        QCOMPARE(noms(cadre->liste()), avant);
        QVERIFY(m_presenter.shown().isEmpty());
        QVERIFY(visible(m_jour));
    }

    void sortie()
    {
        int arrets = 0;
        auto cadre = demarrer(Program::Kip, 0, [&] { ++arrets; });
        FenetreSommaire& s = *cadre->sommaire();
        m_jour->close();
        QTRY_VERIFY(visible(s.quitter()));

        // Two presses on the quit picture in a row ask once; No leaves everything as it was.
        m_presenter.answer(ButtonNo);
        QSignalSpy fin(&s, &FenetreSommaire::appuiTermine);
        appuyer(s.quitter());
        appuyer(s.quitter());
        QVERIFY(fin.wait(Attente));
        QCoreApplication::processEvents();
        QCOMPARE(fin.size(), 1);
        QCOMPARE(m_presenter.shown().size(), 1);
        QCOMPARE(m_presenter.shown().first().text, QStringLiteral("Confirmez la sortie !"));
        QCOMPARE(arrets, 0);
        QVERIFY(cadre->isVisible());
        QCOMPARE(cadre->liste().taille(), 2);

        // With work windows open, Yes closes them all, empties the list and hands over once.
        QPointer<FenetreEssai> liste = essai(*cadre, QStringLiteral("TablePersonnel"));
        QPointer<FenetreEssai> formulaire = essai(*cadre, QStringLiteral("SaisiePersonnel"));
        QTRY_VERIFY(visible(formulaire));
        m_presenter.clear();
        m_presenter.answer(ButtonYes);
        QVERIFY(cadre->close());
        QCOMPARE(m_presenter.shown().size(), 1);
        QCOMPARE(arrets, 1);
        QVERIFY(!cadre->isVisible());
        QCOMPARE(cadre->liste().taille(), 0);
        QTRY_VERIFY(liste.isNull() && formulaire.isNull());
        QVERIFY(!visible(cadre->sommaire()));
        QCoreApplication::processEvents();
        for (QWidget* w : cadre->zone()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            QVERIFY2(!visible(w), qPrintable(w->objectName()));

        // The frame is done: a late close request neither asks nor hands over again.
        QVERIFY(cadre->close());
        QCOMPARE(m_presenter.shown().size(), 1);
        QCOMPARE(arrets, 1);
    }

    void rangeesParProgramme()
    {
        const QStringList fenetres = {"FenetrePrincipale",  "SaisiePersonnel", "SaisieParametre",
                                      "TransfertOrigine",   "TablePersonnel",  "TablePointage",
                                      "CorrectionPointage", "Impression",      "Utilitaires",
                                      "InitialiseJournee",  "FenetreAbsences", "TypesAbsence"};
        for (Program p : {Program::Kip, Program::KipOther}) {
            for (const QString& f : fenetres) {
                const RangeeSommaire r = rangeeSommaire(p, f);
                for (const EmplacementSommaire& e : r.emplacements) {
                    QVERIFY2(nomsBoutons().contains(e.image), qPrintable(e.image));
                    QVERIFY(e.numero >= 1 && e.numero <= 13);
                    if (e.action == EmplacementSommaire::Action::Evenement)
                        QVERIFY(e.numero == 13 ? e.evenement == evt::Bouton13
                                               : (e.evenement == evt::Bouton1Formulaire ||
                                                  e.evenement == evt::BoutonListe + e.numero));
                }
            }
        }
        // kipother has no settings form, transfer or utilities, neither in its home row nor as rows.
        QCOMPARE(rangeeSommaire(Program::KipOther, "FenetrePrincipale").emplacements.size(), 4);
        QCOMPARE(rangeeSommaire(Program::Kip, "FenetrePrincipale").emplacements.size(), 6);
        for (const char* absente : {"SaisieParametre", "TransfertOrigine", "Utilitaires", "TypesAbsence"}) {
            QVERIFY(rangeeSommaire(Program::KipOther, absente).emplacements.isEmpty());
            QVERIFY(!rangeeSommaire(Program::Kip, absente).emplacements.isEmpty());
        }
        QCOMPARE(rangeeSommaire(Program::Kip, "TransfertOrigine").emplacement(1)->evenement, evt::Bouton1Formulaire);
        QCOMPARE(rangeeSommaire(Program::Kip, "InitialiseJournee").emplacement(13)->action,
                 EmplacementSommaire::Action::Aucune);
    }

    void images()
    {
        QStringList toutes = nomsBoutons();
        toutes << imageLogo() << imageQuitterSommaire();
        for (const QString& nom : toutes) {
            QImage etats[3];
            for (int etat = 0; etat < 3; ++etat) {
                etats[etat] = QImage(picturePath(imageEtat(etat, nom)));
                QVERIFY2(!etats[etat].isNull(), qPrintable(imageEtat(etat, nom)));
                QCOMPARE(etats[etat].width(), px(94));
            }
            QVERIFY2(etats[0] != etats[1] && etats[1] != etats[2] && etats[0] != etats[2], qPrintable(nom));
            QCOMPARE(etats[0].height(), nom == imageLogo() ? px(26) : px(18));
        }
        for (Program p : {Program::Kip, Program::KipOther})
            QVERIFY(!QImage(picturePath(imageAccueil(p))).isNull());
        QVERIFY(!QImage(picturePath(imageIcone())).isNull());
    }

    void aPropos()
    {
        Navigateur navigateur;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &navigateur, "ouvrir");
        QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &navigateur, "ouvrir");
        // The window names the program it runs in.
        for (Program p : {Program::KipOther, Program::Kip}) {
            FenetreAPropos autre(p);
            QStringList noms;
            for (QLabel* l : autre.findChildren<QLabel*>())
                noms << l->text();
            QVERIFY(noms.contains(programName(p)));
            QVERIFY(!noms.contains(programName(p == Program::Kip ? Program::KipOther : Program::Kip)));
        }
        FenetreAPropos apropos(Program::Kip);
        apropos.show();
        QVERIFY(QTest::qWaitForWindowExposed(&apropos));

        for (LigneLien* lien : {apropos.lienSite(), apropos.lienEmail()})
            QTest::mouseClick(lien, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(navigateur.ouvertes,
                 QList<QUrl>({QUrl("https://kip.example.org"), QUrl("mailto:contact@kip.example.org")}));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));

        // The quit picture closes the window after its pressed state was seen.
        auto* quitter = apropos.findChild<ImageActive*>(QStringLiteral("quitterAPropos"));
        QVERIFY(quitter);
        appuyer(quitter);
        QVERIFY(apropos.isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!apropos.isVisible(), Attente);
    }
};

QTEST_MAIN(CadreTest)
#include "CadreTest.moc"
