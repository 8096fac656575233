#include "ExecutionKipempty.h"

#include "calendar/Clock.h"
#include "data/Database.h"
#include "data/Files.h"
#include "data/Messages.h"
#include "punch/TachesPointage.h"
#include "shell/ArretSignal.h"
#include "shell/Demarrage.h"
#include "shell/Program.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QVBoxLayout>
#include <QWidget>

namespace kip {

// The progress window: the step, its bar and the rejected punches. Closing it asks the pass to stop.
class FenetreKipempty : public QWidget
{
public:
    explicit FenetreKipempty(std::function<void()> fermeture) : m_fermeture(std::move(fermeture))
    {
        setWindowTitle(frameTitle());
        resize(560, 320);
        auto* layout = new QVBoxLayout(this);
        m_etape = new QLabel(this);
        m_etape->setStyleSheet(QStringLiteral("font-weight: bold;"));
        layout->addWidget(m_etape);
        m_barre = new QProgressBar(this);
        layout->addWidget(m_barre);
        layout->addWidget(new QLabel(QStringLiteral("Pointages non traités"), this));
        m_rejets = new QListWidget(this);
        m_rejets->setObjectName(QStringLiteral("rejets"));
        layout->addWidget(m_rejets, 1);
    }

    void etape(const QString& titre, int fait, int total)
    {
        m_etape->setText(titre);
        m_barre->setRange(0, total);
        m_barre->setValue(fait);
    }
    void rejet(const QString& texte)
    {
        m_rejets->addItem(texte);
        m_rejets->scrollToBottom();
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        m_fermeture();
        event->accept();
    }

private:
    std::function<void()> m_fermeture;
    QLabel* m_etape = nullptr;
    QProgressBar* m_barre = nullptr;
    QListWidget* m_rejets = nullptr;
};

namespace {

// The sink of the pass when there is a window: what the headless run writes, and the steps told to the window
// by the job's queued progress (the rejected punches reach it with the result). The window is asked only
// whether it was closed.
class SuiviFenetre : public SuiviSortieErreur
{
public:
    explicit SuiviFenetre(const SuiviTache& tache) : m_tache(tache) {}
    void etape(const QString& titre, int fait, int total) override
    {
        SuiviSortieErreur::etape(titre, fait, total);
        m_tache.avancer(fait, total, titre);
    }
    // The window closed, or the session ends (SIGTERM, SIGHUP).
    bool arretDemande() override { return m_tache.annulee() || ArretSignal::demande(); }

private:
    const SuiviTache& m_tache;
};

// Headless, the pass runs on the main thread and no event loop turns: a SIGTERM is seen through its flag.
class SuiviSansFenetre : public SuiviSortieErreur
{
public:
    bool arretDemande() override { return ArretSignal::demande(); }
};

} // namespace

ExecutionKipempty::ExecutionKipempty(Demarrage& demarrage, bool fenetre)
    : m_demarrage(demarrage), m_pause(demarrage.cederPause())
{
    if (fenetre) {
        // The end of the run is the end of the pass, not the closing of the window.
        QGuiApplication::setQuitOnLastWindowClosed(false);
        m_fenetre = new FenetreKipempty([this] { m_passage.annuler(); });
        connect(&m_passage, &Tache::progression, m_fenetre,
                [f = m_fenetre](const Avancement& a) { f->etape(a.texte, a.fait, a.total); });
        m_fenetre->show();
    }
    connect(&m_passage, &Tache::terminee, this, [this] { finPassage(m_passage.resultat()); });
}

ExecutionKipempty::~ExecutionKipempty()
{
    delete m_fenetre;
}

QWidget* ExecutionKipempty::fenetre() const
{
    return m_fenetre;
}

void ExecutionKipempty::demarrer()
{
    m_fichiers = ouvrirFichiersPointage();
    const QString dataDir = paths().dataDir;
    const qint32 aujourdhui = Clock::today();
    if (!m_fenetre) {
        // Without a window nothing needs to stay responsive: the pass runs on this thread, one file operation
        // after the other.
        SuiviSansFenetre suivi;
        ResultatPassage r;
        {
            Database db(dataDir);
            r = PassageSansSurveillance(db, dataDir, aujourdhui, suivi);
        }
        finPassage(r);
        return;
    }
    m_passage.demarrer([dataDir, aujourdhui](const SuiviTache& tache) {
        SuiviFenetre suivi(tache);
        Database db(dataDir);
        return PassageSansSurveillance(db, dataDir, aujourdhui, suivi);
    });
}

void ExecutionKipempty::finPassage(const ResultatPassage& r)
{
    m_fichiers.clear();
    // The transfer is over (or will not come): the reader may write the raw file again.
    m_pause.reprendre();
    const ResultatTransfert& lecture = r.transfert.lecture;
    if (!lecture.erreurOrigine.ok()) {
        // Not a regular file, or unreadable: reported, and left as it is.
        Message(30, lecture.erreurOrigine, paths().origin(0));
    } else if (!lecture.erreur.ok()) {
        // Nothing stored: the raw file stays for the next run. The message names the file that failed; a
        // damaged file is repaired here, the job's transaction over.
        reportFileError(15, lecture.erreur, QStringLiteral("POINTVAL"));
    }
    if (m_fenetre) {
        // The rejected punches of a reading that went through, as the pass reports them.
        if (lecture.reussi())
            for (const QString& rejet : lecture.rejets)
                m_fenetre->rejet(rejet);
        m_fenetre->hide();
    }
    m_demarrage.fermer();
    Q_EMIT terminee(r.codeSortie());
}

} // namespace kip

#include "moc_ExecutionKipempty.cpp"
