#include "ExecutionKipempty.h"

#include "calendar/Clock.h"
#include "data/Files.h"
#include "data/Messages.h"
#include "punch/TachesPointage.h"
#include "shell/Demarrage.h"
#include "shell/LecteurCartes.h"

#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QTextStream>
#include <QVBoxLayout>
#include <QWidget>

namespace kip {

ExecutionKipempty::ExecutionKipempty(Demarrage& demarrage, bool fenetre) : m_demarrage(demarrage)
{
    if (!fenetre)
        return;
    m_fenetre = new QWidget;
    m_fenetre->setWindowTitle(frameTitle());
    m_fenetre->resize(560, 320);
    auto* layout = new QVBoxLayout(m_fenetre);
    m_etape = new QLabel(m_fenetre);
    m_etape->setStyleSheet(QStringLiteral("font-weight: bold;"));
    layout->addWidget(m_etape);
    m_barre = new QProgressBar(m_fenetre);
    layout->addWidget(m_barre);
    layout->addWidget(new QLabel(QStringLiteral("Pointages non traités"), m_fenetre));
    m_rejets = new QListWidget(m_fenetre);
    layout->addWidget(m_rejets, 1);
    m_fenetre->show();
}

ExecutionKipempty::~ExecutionKipempty()
{
    delete m_init;
    delete m_transfert;
    delete m_fenetre;
}

void ExecutionKipempty::etape(const QString& texte, int fait, int total)
{
    if (m_fenetre) {
        m_etape->setText(texte);
        m_barre->setRange(0, total);
        m_barre->setValue(fait);
        return;
    }
    // Headless: one line per step, and the last figures once, not a line per refresh.
    if (texte != m_dernierTexte || fait == total) {
        QTextStream(stderr) << texte << QStringLiteral(": %1/%2\n").arg(fait).arg(total);
        m_dernierTexte = texte;
    }
}

void ExecutionKipempty::demarrer()
{
    m_init = new TacheInitialisation;
    connect(m_init, &TacheInitialisation::progression, this, [this](int fait, int total, qint16, const QString&) {
        etape(QStringLiteral("Initialisation des journées"), fait, total);
    });
    connect(m_init, &TacheInitialisation::terminee, this,
            [this](int, const QString& erreur) { initialisationTerminee(erreur); });
    m_init->lancer(paths().dataDir, Clock::today());
}

void ExecutionKipempty::initialisationTerminee(const QString& erreur)
{
    if (!erreur.isEmpty())
        QTextStream(stderr) << QStringLiteral("Initialisation des journées interrompue: ") << erreur << '\n';
    if (lignesOrigine(paths().origin(0)) == 0) {
        terminer(erreur.isEmpty() ? 0 : 1);
        return;
    }
    m_transfert = new TacheTransfert;
    connect(m_transfert, &TacheTransfert::progression, this,
            [this](int fait, int total) { etape(QStringLiteral("Transfert des pointages"), fait, total); });
    connect(m_transfert, &TacheTransfert::lue, this, &ExecutionKipempty::transfertLu);
    m_transfert->lancer(paths().origin(0), paths().dataDir, Clock::today());
}

void ExecutionKipempty::transfertLu()
{
    const ResultatTransfert& r = m_transfert->resultat();
    QTextStream err(stderr);
    if (!r.reussi()) {
        // Nothing stored: the raw file stays for the next run.
        // The message names the file that failed; a damaged file is repaired here, the job's transaction over.
        reportFileError(15, r.erreur, QStringLiteral("POINTVAL"));
        terminer(1);
        return;
    }
    err << QStringLiteral("Transfert des pointages: %1 ligne(s), %2 pointage(s) enregistré(s), %3 déjà présent(s), "
                          "%4 ignorée(s), %5 non traité(s)\n")
               .arg(r.lignes)
               .arg(r.stockes)
               .arg(r.doublons)
               .arg(r.ignorees)
               .arg(r.rejets.size());
    for (const QString& rejet : r.rejets)
        err << QStringLiteral("Pointage non traité: ") << rejet << '\n';
    if (m_rejets)
        m_rejets->addItems(r.rejets);
    if (archivageAutomatique(r)) {
        QString erreur;
        if (!ArchiverOrigine(paths().dataDir, r.octetsLus, &erreur)) {
            err << QStringLiteral("Archivage des pointages impossible: ") << erreur << '\n';
            terminer(1);
            return;
        }
    } else {
        err << QStringLiteral("Origin00.txt est conservé pour une prochaine lecture.\n");
    }
    terminer(0);
}

void ExecutionKipempty::terminer(int code)
{
    LecteurCartes::programme().envoyer(LecteurCartes::Reprise);
    m_demarrage.fermer();
    QCoreApplication::exit(code);
}

} // namespace kip
