// What the preview shows of a report: one page image drawn on white and scaled to the widget, as a cell of
// the page grid or as the zoomed page; and the few page images it keeps read.
#pragma once

#include "reports/ImagesPages.h"

#include <QWidget>
#include <deque>

namespace kip {

// The pages last drawn, kept read so that a repaint does not read their files again. Its size follows the
// grid, never the report.
class CachePages
{
public:
    explicit CachePages(const ImagesPages& pages) : m_pages(pages) {}
    // Page 1 to N; nullptr when its image cannot be read.
    const ImagePage* page(int numero);
    void setCapacite(int capacite) { m_capacite = std::max(capacite, 1); }

private:
    const ImagesPages& m_pages;
    std::deque<std::pair<int, std::optional<ImagePage>>> m_lues;
    int m_capacite = 16;
};

class VuePage : public QWidget
{
    Q_OBJECT

public:
    VuePage(CachePages& cache, QWidget* parent = nullptr);

    void montrer(int numero);
    int numero() const { return m_numero; }

Q_SIGNALS:
    void clique();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    CachePages& m_cache;
    int m_numero = 0;
};

} // namespace kip
