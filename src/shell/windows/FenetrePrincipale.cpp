// The home window.
#include "FenetrePrincipale.h"

#include "Cadre.h"
#include "Fond.h"
#include "NomsFenetres.h"
#include "TableSommaire.h"
#include "resources/Pictures.h"

#include <QLabel>
#include <QPainter>

namespace kip {

namespace {

FenetrePrincipale::FabriquePanneau g_panneau;
constexpr int MargePanneau = 12;

} // namespace

FenetrePrincipale::FenetrePrincipale(Cadre& cadre) : FenetreTravail(cadre, nom::FenetrePrincipale)
{
    m_image = new QLabel(this);
    m_image->setObjectName(QStringLiteral("imageProgramme"));
    m_image->setPixmap(QPixmap(picturePath(imageAccueil(cadre.programme()))));
    m_image->adjustSize();
    if (g_panneau)
        m_panneau = g_panneau(this);
    deplacee();
}

void FenetrePrincipale::enregistrerPanneau(FabriquePanneau fabrique)
{
    g_panneau = std::move(fabrique);
}

void FenetrePrincipale::deplacee()
{
    // Centred in the window; a frame smaller than the picture shows its middle. With a panel, the picture is
    // centred in the space above it.
    const int hautPanneau = m_panneau ? std::max(height() * 2 / 5, 160) : 0;
    const int espace = height() - hautPanneau;
    m_image->move((width() - m_image->width()) / 2, (espace - m_image->height()) / 2);
    if (m_panneau)
        m_panneau->setGeometry(MargePanneau, espace, width() - 2 * MargePanneau, hautPanneau - MargePanneau);
}

void FenetrePrincipale::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    ui::peindreFond(p, rect());
}

} // namespace kip

#include "moc_FenetrePrincipale.cpp"
