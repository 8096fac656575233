// Hot pictures of the bar and the about window.
#include "ImageActive.h"

#include "TableSommaire.h"
#include "resources/Pictures.h"

#include <QMouseEvent>
#include <QPixmap>

namespace kip {

ImageActive::ImageActive(QWidget* parent) : QLabel(parent)
{
    setCursor(Qt::PointingHandCursor);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void ImageActive::charger(const QString& nom)
{
    m_nom = nom;
    m_etat = -1;
    setEtat(0);
}

void ImageActive::setEtat(int etat)
{
    if (etat == m_etat)
        return;
    m_etat = etat;
    // QPixmap keeps loaded files in its cache, so switching states does not read the resource again.
    setPixmap(m_nom.isEmpty() ? QPixmap() : QPixmap(picturePath(imageEtat(etat, m_nom))));
}

void ImageActive::enterEvent(QEnterEvent* event)
{
    setEtat(1);
    QLabel::enterEvent(event);
}

void ImageActive::leaveEvent(QEvent* event)
{
    setEtat(0);
    QLabel::leaveEvent(event);
}

void ImageActive::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setEtat(2);
    repaint(); // the pressed state must be seen during the pause before the action
    Q_EMIT appuye();
}

void ImageActive::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        setEtat(1);
}

} // namespace kip

#include "moc_ImageActive.cpp"
