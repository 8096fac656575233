// The protocol shared by the windows of the stack.
#include "FenetreTravail.h"

#include "Cadre.h"
#include "Evenements.h"

#include <QTimerEvent>

namespace kip {

FenetreTravail::FenetreTravail(Cadre& cadre, const QString& nomProcedure)
    : QWidget(cadre.zone()), m_cadre(cadre), m_nom(nomProcedure)
{
    setObjectName(nomProcedure);
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    // Registration only posts the show and hide events, so the derived constructor has finished building
    // the window before it appears.
    m_numero = cadre.inscrire(this, nomProcedure);
}

FenetreTravail::~FenetreTravail()
{
    desinscrire();
}

void FenetreTravail::desinscrire()
{
    if (m_numero == 0)
        return;
    m_numero = 0;
    m_cadre.desinscrire(this);
}

void FenetreTravail::boutonSommaire(int) {}

bool FenetreTravail::event(QEvent* e)
{
    const int type = int(e->type());
    switch (type) {
    case evt::Deplace:
        m_cadre.placer(this);
        deplacee();
        return true;
    case evt::Montrer:
        // A show request that arrives after the window closed (it was posted before) is stale.
        if (m_numero != 0) {
            show();
            raise();
        }
        return true;
    case evt::Cacher:
        hide();
        return true;
    case QEvent::Close: {
        const bool traite = QWidget::event(e);
        if (e->isAccepted())
            desinscrire();
        return traite;
    }
    default:
        if (type == evt::Bouton1Formulaire || type == evt::Bouton13 ||
            (type > evt::BoutonListe && type <= evt::DernierBouton)) {
            boutonSommaire(type);
            return true;
        }
        return QWidget::event(e);
    }
}

void FenetreTravail::lancerAuTroisiemeTop(int periodeMs)
{
    m_tops = 0;
    m_minuterie.start(periodeMs, this);
}

void FenetreTravail::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_minuterie.timerId())
        return QWidget::timerEvent(event);
    if (++m_tops < 3)
        return;
    m_minuterie.stop();
    lancer();
}

} // namespace kip

#include "moc_FenetreTravail.cpp"
