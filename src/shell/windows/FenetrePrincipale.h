// The home window: the program's picture in the middle of the frame, below every work window, and a panel of
// the day (who is here now) when a subsystem registered one.
#pragma once

#include "FenetreTravail.h"

#include <functional>

class QLabel;

namespace kip {

class FenetrePrincipale : public FenetreTravail
{
    Q_OBJECT

public:
    explicit FenetrePrincipale(Cadre& cadre);

    // The panel shown in the lower part of the home window, made by the factory registered before the frame opens.
    using FabriquePanneau = std::function<QWidget*(QWidget* parent)>;
    static void enregistrerPanneau(FabriquePanneau fabrique);
    QWidget* panneau() const { return m_panneau; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void deplacee() override;

private:
    QLabel* m_image;
    QWidget* m_panneau = nullptr;
};

} // namespace kip
