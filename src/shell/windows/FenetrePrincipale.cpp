// The home window.
#include "FenetrePrincipale.h"

#include "Cadre.h"
#include "NomsFenetres.h"
#include "TableSommaire.h"
#include "resources/Pictures.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>

namespace kip {

FenetrePrincipale::FenetrePrincipale(Cadre& cadre) : FenetreTravail(cadre, nom::FenetrePrincipale)
{
    m_image = new QLabel(this);
    m_image->setObjectName(QStringLiteral("imageProgramme"));
    m_image->setPixmap(QPixmap(picturePath(imageAccueil(cadre.programme()))));
    m_image->adjustSize();
    deplacee();
}

void FenetrePrincipale::deplacee()
{
    // Centred in the window; a frame smaller than the picture shows its middle.
    m_image->move((width() - m_image->width()) / 2, (height() - m_image->height()) / 2);
}

void FenetrePrincipale::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QLinearGradient fond(0, 0, 0, height());
    fond.setColorAt(0, QColor(0xe6, 0xec, 0xf3));
    fond.setColorAt(1, QColor(0xd3, 0xdc, 0xe7));
    p.fillRect(rect(), fond);
}

} // namespace kip

#include "moc_FenetrePrincipale.cpp"
