// A page of the preview.
#include "VuePage.h"

#include "reports/PeintrePage.h"

#include <QMouseEvent>
#include <QPainter>

namespace kip {

const ImagePage* CachePages::page(int numero)
{
    for (auto it = m_lues.begin(); it != m_lues.end(); ++it) {
        if (it->first != numero)
            continue;
        if (it != m_lues.begin()) {
            auto lue = std::move(*it);
            m_lues.erase(it);
            m_lues.push_front(std::move(lue));
        }
        return m_lues.front().second ? &*m_lues.front().second : nullptr;
    }
    m_lues.emplace_front(numero, m_pages.page(numero));
    while (int(m_lues.size()) > m_capacite)
        m_lues.pop_back();
    return m_lues.front().second ? &*m_lues.front().second : nullptr;
}

VuePage::VuePage(CachePages& cache, QWidget* parent) : QWidget(parent), m_cache(cache)
{
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void VuePage::montrer(int numero)
{
    m_numero = numero;
    update();
}

void VuePage::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (const ImagePage* page = m_cache.page(m_numero))
        peindrePage(p, *page,
                    QRectF(QPointF(0, 0), QSizeF(width(), width() * double(page->hauteur()) / page->largeur())));
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void VuePage::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clique();
    QWidget::mouseReleaseEvent(event);
}

} // namespace kip

#include "moc_VuePage.cpp"
