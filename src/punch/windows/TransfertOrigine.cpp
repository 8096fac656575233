#include "TransfertOrigine.h"

#include "calendar/Clock.h"
#include "data/Files.h"
#include "data/Messages.h"
#include "punch/FichierOrigine.h"
#include "punch/TachesPointage.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Evenements.h"
#include "shell/windows/NomsFenetres.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QVBoxLayout>

namespace kip {

namespace {

constexpr int TopTransfertMs = 150; // the reading starts at the third tick

const char* const Explication =
    "Des pointages sur des numéros de badges inconnus existent ou des pointages ont été effectués par des employés "
    "avant la date d'embauche ou après la date de débauche ou des pointages ont été effectués par des employés dans "
    "une période d'inactivité.\r\nVous pouvez: \r\n    cliquer sur [GARDER]\r\n    créer ces badges ou changer le "
    "numéro de certains employés et/ou changer les périodes d'inactivités\r\n    quitter et relancer ensuite Kip pour "
    "de nouveau effectuer la lecture de ces pointages\r\n ou\r\n    cliquer sur [SUPPRIMER]\r\n    les pointages "
    "listés çi-dessus seront alors perdus";

} // namespace

FenetreTravail* TransfertOrigine::ouvrir(Cadre& cadre)
{
    PauseLecteur pause = cadre.cederPause();
    const QString origine = paths().origin(0);
    if (const FileError e = ouvrirOrigine(origine); !e.ok()) {
        Message(30, e, origine);
        return nullptr;
    }
    // Nothing complete to read (a line still being written is left for later): no window, no archive, and
    // the reader goes on as the pause ends here.
    const int lignes = compterLignesOrigine(origine);
    if (lignes == 0)
        return nullptr;
    return new TransfertOrigine(cadre, lignes, std::move(pause));
}

TransfertOrigine::TransfertOrigine(Cadre& cadre, int lignes, PauseLecteur pause)
    : FenetreTravail(cadre, nom::TransfertOrigine), m_pause(std::move(pause))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(12);

    auto* titre = new QLabel(QStringLiteral("Pointages non traités"), this);
    titre->setStyleSheet(QStringLiteral("font-weight: bold; font-size: 11pt;"));
    layout->addWidget(titre);
    m_liste = new QListWidget(this);
    m_liste->setObjectName(QStringLiteral("rejets"));
    m_liste->setFont(QFont(QStringLiteral("Liberation Mono")));
    layout->addWidget(m_liste, 1);

    m_progression = new QGroupBox(QStringLiteral("Transfert des pointages"), this);
    auto* pl = new QVBoxLayout(m_progression);
    m_barre = new QProgressBar(m_progression);
    m_barre->setObjectName(QStringLiteral("progression"));
    m_barre->setRange(0, lignes);
    m_barre->setValue(0);
    pl->addWidget(m_barre);
    auto* personne = new QHBoxLayout;
    personne->addWidget(new QLabel(QStringLiteral("Personne en cours:"), m_progression));
    m_carte = new QLabel(m_progression);
    m_nom = new QLabel(m_progression);
    m_carte->setMinimumWidth(50);
    personne->addWidget(m_carte);
    personne->addWidget(m_nom, 1);
    pl->addLayout(personne);
    layout->addWidget(m_progression);

    m_explication = new QPlainTextEdit(this);
    m_explication->setObjectName(QStringLiteral("explication"));
    m_explication->setReadOnly(true);
    m_explication->setPlainText(QString::fromUtf8(Explication).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    m_explication->setMaximumHeight(190);
    m_explication->hide();
    layout->addWidget(m_explication);

    lancerAuTroisiemeTop(TopTransfertMs);
}

TransfertOrigine::~TransfertOrigine()
{
    delete m_tache; // waits for a reading still running
    // The end, whatever way the window closed: the reader may write the raw file again.
    m_pause.reprendre();
}

QStringList TransfertOrigine::rejets() const
{
    QStringList out;
    for (int i = 0; i < m_liste->count(); ++i)
        out << m_liste->item(i)->text();
    return out;
}

void TransfertOrigine::lancer()
{
    m_etat = Etat::Lecture;
    m_tache = new TacheTransfert;
    connect(m_tache, &Tache::progression, this, [this](const Avancement& a) {
        m_barre->setMaximum(a.total);
        m_barre->setValue(a.fait);
        if (a.carte) {
            m_carte->setText(QStringLiteral("%1").arg(a.carte, 4, 10, QLatin1Char('0')));
            m_nom->setText(a.texte);
        }
    });
    connect(m_tache, &Tache::terminee, this, &TransfertOrigine::lue);
    m_tache->lancer(paths().origin(0), paths().dataDir, Clock::today());
}

void TransfertOrigine::lue()
{
    const ResultatTransfert& r = m_tache->resultat();
    m_octetsLus = r.octetsLus;
    m_progression->hide();
    if (!r.erreurOrigine.ok()) {
        // The raw file could not be read after all: reported, and left as it is.
        Message(30, r.erreurOrigine, paths().origin(0));
        garder();
        return;
    }
    if (!r.erreur.ok()) {
        // Nothing was stored: the raw file stays for the next start.
        // The message names the file that failed; a damaged file is repaired here, the job's transaction over.
        reportFileError(15, r.erreur, QStringLiteral("POINTVAL"));
        garder();
        return;
    }
    if (r.lignes == 0) {
        garder(); // no complete line after all: nothing to decide
        return;
    }
    if (archivageAutomatique(r)) {
        archiver();
        return;
    }
    m_liste->addItems(r.rejets);
    m_liste->setCurrentRow(m_liste->count() - 1);
    m_liste->scrollToBottom();
    m_explication->show();
    m_etat = Etat::Decision;
}

void TransfertOrigine::boutonSommaire(int evenement)
{
    // [GARDER] and [SUPPRIMER] mean something only once the reading is over.
    if (m_etat != Etat::Decision)
        return;
    if (evenement == evt::Bouton1Formulaire)
        garder();
    else if (evenement == evt::Bouton13)
        archiver();
}

void TransfertOrigine::archiver()
{
    m_etat = Etat::Fin;
    if (const FileError e = ArchiverOrigine(paths().dataDir, m_octetsLus); !e.ok())
        cadre().afficherStatut(QStringLiteral("Archivage des pointages impossible: ") + e.text);
    close();
}

void TransfertOrigine::garder()
{
    m_etat = Etat::Fin;
    close();
}

} // namespace kip

#include "moc_TransfertOrigine.cpp"
