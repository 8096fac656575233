// The application frame.
#include "Cadre.h"

#include "Evenements.h"
#include "FenetreSommaire.h"
#include "NomsFenetres.h"
#include "TableSommaire.h"
#include "Unites.h"
#include "data/Messages.h"
#include "resources/Pictures.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QStatusBar>
#include <QTimer>

namespace kip {

using ui::px;

namespace {
constexpr int AttenteFinMs = 200; // how often an end of the session looks again at what holds it up
} // namespace

Cadre::Cadre(Program programme, int positionSommaire, std::function<void()> shutdown, QWidget* parent)
    : QMainWindow(parent), m_programme(programme), m_aDroite(positionSommaire == 1), m_shutdown(std::move(shutdown))
{
    setWindowTitle(frameTitle());
    setWindowIcon(QIcon(picturePath(imageIcone())));
    m_zone = new QWidget(this);
    m_zone->setObjectName(QStringLiteral("zoneCadre"));
    m_zone->setMinimumSize(px(ui::LargeurSommaire + 250), px(345));
    m_zone->installEventFilter(this);
    setCentralWidget(m_zone);
    statusBar()->setSizeGripEnabled(true);
    resize(px(760), px(480));
}

Cadre::~Cadre()
{
    // The windows unregister in their destructors, which must not run after this object's own members
    // are gone: empty the list and delete them while the frame is whole.
    m_liste.vider();
    m_termine = true;
    delete takeCentralWidget();
}

void Cadre::setSommaireADroite(bool aDroite)
{
    if (aDroite == m_aDroite)
        return;
    m_aDroite = aDroite;
    posterDeplace();
}

void Cadre::afficherStatut(const QString& texte)
{
    statusBar()->showMessage(texte);
}

void Cadre::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_demarre)
        demarrer();
}

void Cadre::demarrer()
{
    m_demarre = true;
    memoriserGeometrie();
    m_sommaire = new FenetreSommaire(*this);
    m_liste.ajouter(m_sommaire, nom::FenetreSommaire);
    m_sommaire->demarrer();
}

void Cadre::memoriserGeometrie()
{
    m_position = pos();
    m_taille = m_zone->size();
}

void Cadre::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    memoriserGeometrie();
    posterDeplace();
}

bool Cadre::eventFilter(QObject* objet, QEvent* event)
{
    if (objet == m_zone && event->type() == QEvent::Resize) {
        memoriserGeometrie();
        posterDeplace();
    }
    return QMainWindow::eventFilter(objet, event);
}

void Cadre::posterDeplace()
{
    for (const EntreeFenetre& e : m_liste.entrees())
        evt::poster(e.fenetre, evt::Deplace);
}

// Entry 1 is the bar, always visible; of the others only the last one shows.
void Cadre::posterVisibilite()
{
    const QList<EntreeFenetre>& entrees = m_liste.entrees();
    for (int i = 1; i < entrees.size(); ++i)
        evt::poster(entrees[i].fenetre, i == entrees.size() - 1 ? evt::Montrer : evt::Cacher);
}

int Cadre::inscrire(QWidget* fenetre, const QString& nom)
{
    fenetre->hide();
    const int numero = m_liste.ajouter(fenetre, nom);
    evt::poster(m_sommaire, evt::Reconstruire);
    placer(fenetre);
    posterVisibilite();
    return numero;
}

void Cadre::desinscrire(QWidget* fenetre)
{
    if (!m_liste.retirer(fenetre))
        return; // already gone with the list at shutdown, or never listed
    m_liste.lireDernier();
    evt::poster(m_sommaire, evt::Reconstruire);
    posterVisibilite();
}

void Cadre::placer(QWidget* fenetre) const
{
    const int x = m_aDroite ? 0 : px(ui::LargeurSommaire + 2);
    fenetre->setGeometry(x, 0, m_taille.width() - px(ui::LargeurSommaire + 4), m_taille.height() - px(1));
}

void Cadre::closeEvent(QCloseEvent* event)
{
    if (m_termine) {
        event->accept();
        return;
    }
    // A second request while the question is on screen (another press on the quit picture, the window
    // manager's close button) must not ask again.
    if (m_question) {
        event->ignore();
        return;
    }
    if (traitsOf(m_programme).confirmsExit && !m_finForcee) {
        m_question = true;
        const int reponse = showBox(QStringLiteral("Sortie Kip"), QStringLiteral("Confirmez la sortie !"),
                                    MessageIcon::Question, ButtonYes | ButtonNo, ButtonYes);
        m_question = false;
        if (reponse != ButtonYes) {
            event->ignore();
            return;
        }
    }
    m_termine = true;
    if (!fermerFenetres()) {
        // A window keeps what could be written nowhere (it said so), or finishes a job first: the program goes
        // on. An end that the session asked for comes back once the job is over.
        m_termine = false;
        event->ignore();
        if (m_finForcee)
            QTimer::singleShot(AttenteFinMs, this, &Cadre::terminer);
        return;
    }
    if (m_shutdown)
        m_shutdown();
    event->accept();
}

void Cadre::terminer()
{
    m_finForcee = true;
    if (m_termine)
        return;
    // A box that waits for its answer runs an event loop of its own above this one: closing the windows
    // under it would pull them out from under the question.
    if (QApplication::activeModalWidget() || m_question) {
        QTimer::singleShot(AttenteFinMs, this, &Cadre::terminer);
        return;
    }
    close();
}

void Cadre::terminerMaintenant()
{
    m_finImmediate = true;
    m_finForcee = true;
    if (!m_termine)
        close();
}

// Every window runs on this thread, so the close requests are delivered at once, from the last window to the
// first. The list is emptied first: a closing window's unregistration then finds nothing and cannot post
// "show yourself" to a window below that is about to close too.
bool Cadre::fermerFenetres()
{
    const QList<EntreeFenetre> entrees = m_liste.entrees();
    m_liste.vider();
    for (qsizetype i = entrees.size() - 1; i >= 0; --i) {
        QWidget* w = entrees[i].fenetre;
        if (!w || w->close() || m_finImmediate)
            continue;
        for (qsizetype j = 0; j <= i; ++j)
            if (entrees[j].fenetre)
                m_liste.reprendre(entrees[j]);
        m_liste.lireDernier();
        evt::poster(m_sommaire, evt::Reconstruire);
        posterVisibilite();
        return false;
    }
    return true;
}

} // namespace kip

#include "moc_Cadre.cpp"
