#include "InitialiseJournee.h"

#include "TransfertOrigine.h"
#include "calendar/Clock.h"
#include "data/Files.h"
#include "punch/TachesPointage.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/NomsFenetres.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace kip {

namespace {
constexpr int TopInitialisationMs = 100; // the preparation starts at the third tick
}

InitialiseJournee::InitialiseJournee(Cadre& cadre) : FenetreTravail(cadre, nom::InitialiseJournee)
{
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    auto* panel = new QWidget(this);
    panel->setMaximumWidth(520);
    auto* pl = new QVBoxLayout(panel);
    auto* titre = new QLabel(QStringLiteral("Initialisation des journées"), panel);
    titre->setStyleSheet(QStringLiteral("font-weight: bold; font-size: 12pt;"));
    pl->addWidget(titre);
    m_barre = new QProgressBar(panel);
    m_barre->setObjectName(QStringLiteral("progression"));
    m_barre->setRange(0, 0);
    pl->addWidget(m_barre);
    m_personne = new QLabel(panel);
    pl->addWidget(m_personne);
    layout->addWidget(panel, 0, Qt::AlignHCenter);
    layout->addStretch(2);
    lancerAuTroisiemeTop(TopInitialisationMs);
}

InitialiseJournee::~InitialiseJournee()
{
    delete m_tache;
}

void InitialiseJournee::lancer()
{
    m_tache = new TacheInitialisation;
    connect(m_tache, &Tache::progression, this, [this](const Avancement& a) {
        m_barre->setRange(0, a.total);
        m_barre->setValue(a.fait);
        if (a.carte)
            m_personne->setText(QStringLiteral("%1 %2").arg(a.carte, 4, 10, QLatin1Char('0')).arg(a.texte));
    });
    connect(m_tache, &Tache::terminee, this, [this] {
        const FileError& erreur = m_tache->resultat().erreur;
        terminer(erreur.ok() ? QString() : erreur.description());
    });
    m_tache->lancer(paths().dataDir, Clock::today());
}

void InitialiseJournee::terminer(const QString& erreur)
{
    // Closed meanwhile (the frame is closing): the transfer does not start; the frame resumes the reader.
    if (numeroFenetre() == 0)
        return;
    Cadre& frame = cadre();
    if (!erreur.isEmpty())
        frame.afficherStatut(QStringLiteral("Initialisation des journées interrompue: ") + erreur);
    close();
    // The transfer always follows the preparation, in the programs that have it.
    if (traitsOf(frame.programme()).runsTransfer)
        ouvrirFenetre(nom::TransfertOrigine, frame);
}

void enregistrerFenetresPointage(Program programme)
{
    enregistrerFabrique(nom::InitialiseJournee, [](Cadre& c) { return new InitialiseJournee(c); });
    if (traitsOf(programme).runsTransfer)
        enregistrerFabrique(nom::TransfertOrigine, [](Cadre& c) { return TransfertOrigine::ouvrir(c); });
}

} // namespace kip

#include "moc_InitialiseJournee.cpp"
