// The button bar (summary): the logo, 13 slots whose pictures follow the window in front, and the quit
// picture. A press shows the pressed picture for 0.4 second, then acts: it starts a window from the home
// window's row, or posts the slot's event to the active window.
#pragma once

#include "TableSommaire.h"

#include <QWidget>
#include <array>
#include <functional>

namespace kip {

class Cadre;
class ImageActive;

class FenetreSommaire : public QWidget
{
    Q_OBJECT

public:
    explicit FenetreSommaire(Cadre& cadre);

    // Shows the bar, then starts the home window and the day initialisation.
    void demarrer();

    // The pause between a press and its action, in milliseconds (400); tests shorten it.
    static int delaiAppui();
    static void setDelaiAppui(int ms);

    // For tests and the window in front: the picture of slot n (1..13), the logo and the quit picture.
    ImageActive* emplacement(int numero) const { return m_emplacements.at(numero - 1); }
    ImageActive* logo() const { return m_logo; }
    ImageActive* quitter() const { return m_quitter; }
    const RangeeSommaire& rangee() const { return m_rangee; }

Q_SIGNALS:
    // A press has ended: its action ran, or was dropped because the buttons changed meanwhile.
    void appuiTermine();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void placer();
    void reconstruire();
    void appuyer(ImageActive* image, std::function<void()> action);
    void agir(int numero);
    void ouvrirAPropos();
    void demanderSortie();

    Cadre& m_cadre;
    ImageActive* m_logo;
    std::array<ImageActive*, 13> m_emplacements{};
    ImageActive* m_quitter;
    RangeeSommaire m_rangee;
    int m_generation = 0; // counts rebuilds: a press acts only on the buttons it was made on
    bool m_appuiEnCours = false;
};

} // namespace kip
