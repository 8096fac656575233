// The button bar.
#include "FenetreSommaire.h"

#include "Cadre.h"
#include "Evenements.h"
#include "Fabriques.h"
#include "FenetreAPropos.h"
#include "FenetrePrincipale.h"
#include "Fond.h"
#include "ImageActive.h"
#include "NomsFenetres.h"
#include "Unites.h"

#include <QPainter>
#include <QTimer>

namespace kip {

using ui::px;

FenetreSommaire::FenetreSommaire(Cadre& cadre) : QWidget(cadre.zone()), m_cadre(cadre)
{
    setObjectName(nom::FenetreSommaire);
    m_logo = new ImageActive(this);
    m_logo->setObjectName(QStringLiteral("logo"));
    m_logo->setGeometry(px(4, 4, 94, 26));
    m_logo->charger(imageLogo());
    m_logo->setToolTip(QStringLiteral("À propos de Kip"));
    connect(m_logo, &ImageActive::appuye, this, [this] { appuyer(m_logo, [this] { ouvrirAPropos(); }); });
    for (int n = 1; n <= ui::NombreEmplacements; ++n) {
        auto* image = new ImageActive(this);
        image->setObjectName(QStringLiteral("emplacement%1").arg(n));
        image->setGeometry(px(4, 28 + 20 * n, 94, 18));
        image->hide();
        connect(image, &ImageActive::appuye, this, [this, image, n] { appuyer(image, [this, n] { agir(n); }); });
        m_emplacements[n - 1] = image;
    }
    m_quitter = new ImageActive(this);
    m_quitter->setObjectName(QStringLiteral("quitter"));
    m_quitter->setGeometry(px(4, 320, 94, 18));
    m_quitter->charger(imageQuitterSommaire());
    m_quitter->hide();
    connect(m_quitter, &ImageActive::appuye, this, [this] { appuyer(m_quitter, [this] { demanderSortie(); }); });
}

namespace {
int g_delaiAppui = 400;
}

int FenetreSommaire::delaiAppui()
{
    return g_delaiAppui;
}

void FenetreSommaire::setDelaiAppui(int ms)
{
    g_delaiAppui = ms;
}

void FenetreSommaire::demarrer()
{
    show();
    evt::poster(this, evt::Deplace);
    new FenetrePrincipale(m_cadre);
    ouvrirFenetre(nom::InitialiseJournee, m_cadre);
}

bool FenetreSommaire::event(QEvent* e)
{
    switch (int(e->type())) {
    case evt::Deplace:
        placer();
        return true;
    case evt::Reconstruire:
        reconstruire();
        return true;
    default:
        return QWidget::event(e);
    }
}

void FenetreSommaire::placer()
{
    const QSize taille = m_cadre.tailleCadre();
    const int x = m_cadre.sommaireADroite() ? taille.width() - px(ui::LargeurSommaire + 2) : 0;
    setGeometry(x, 0, px(ui::LargeurSommaire), taille.height() - px(1));
    raise();
}

void FenetreSommaire::reconstruire()
{
    ++m_generation;
    for (ImageActive* image : m_emplacements)
        image->hide();
    m_quitter->hide();
    m_rangee = rangeeSommaire(m_cadre.programme(), m_cadre.liste().NOMFENETREACTIVE);
    for (ImageActive* image : m_emplacements)
        image->charger({});
    for (const EmplacementSommaire& e : m_rangee.emplacements) {
        ImageActive* image = emplacement(e.numero);
        image->charger(e.image);
        image->show();
    }
    if (m_rangee.quitter)
        m_quitter->show();
    else if (!emplacement(13)->nom().isEmpty())
        emplacement(13)->show();
}

void FenetreSommaire::appuyer(ImageActive* image, std::function<void()> action)
{
    // One press at a time: a second press during the pause is the same intent, not a new one.
    if (m_appuiEnCours)
        return;
    m_appuiEnCours = true;
    const int generation = m_generation;
    QTimer::singleShot(delaiAppui(), this, [this, image, generation, action = std::move(action)] {
        m_appuiEnCours = false;
        if (image->etat() == 2)
            image->setEtat(image->underMouse() ? 1 : 0);
        // The buttons changed during the pause (another window came to the front): the press was meant for
        // a button that is no longer there.
        if (generation == m_generation)
            action();
        Q_EMIT appuiTermine();
    });
}

void FenetreSommaire::agir(int numero)
{
    const EmplacementSommaire* e = m_rangee.emplacement(numero);
    if (!e)
        return;
    switch (e->action) {
    case EmplacementSommaire::Action::Aucune:
        break;
    case EmplacementSommaire::Action::Ouvrir:
        ouvrirFenetre(e->fenetre, m_cadre);
        break;
    case EmplacementSommaire::Action::Evenement:
        evt::poster(m_cadre.liste().fenetreActive(), e->evenement);
        break;
    }
}

void FenetreSommaire::ouvrirAPropos()
{
    FenetreAPropos apropos(m_cadre.programme(), this);
    apropos.exec();
    m_logo->setEtat(0);
}

void FenetreSommaire::demanderSortie()
{
    // Posted, as a close request from the window manager would be: the question comes from the frame.
    QTimer::singleShot(0, &m_cadre, [this] { m_cadre.close(); });
}

void FenetreSommaire::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    ui::peindreFond(p, rect(), QColor(0x1f, 0x35, 0x50), QColor(0x2b, 0x3f, 0x58));
    // A hairline under the logo separates the program's mark from its buttons.
    p.setPen(QColor(255, 255, 255, 40));
    p.drawLine(px(4), px(38), px(98), px(38));
}

} // namespace kip

#include "moc_FenetreSommaire.cpp"
