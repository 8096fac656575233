// The home window: the program's picture in the middle of the frame, below every work window.
#pragma once

#include "FenetreTravail.h"

class QLabel;

namespace kip {

class FenetrePrincipale : public FenetreTravail
{
    Q_OBJECT

public:
    explicit FenetrePrincipale(Cadre& cadre);

protected:
    void paintEvent(QPaintEvent* event) override;
    void deplacee() override;

private:
    QLabel* m_image;
};

} // namespace kip
