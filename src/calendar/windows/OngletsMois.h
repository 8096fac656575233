// The sheet of twelve month tabs shared by both pickers ("Janvier" ... "Décembre"), laid out as a compact
// 4 x 3 grid of tabs so that the pickers stay narrow, and the look common to both picker windows.
#pragma once

#include <QWidget>

class QAbstractButton;
class QButtonGroup;
class QDialog;
class QSpinBox;

namespace kip {

class OngletsMois : public QWidget
{
    Q_OBJECT
public:
    explicit OngletsMois(QWidget* parent = nullptr);

    int mois() const;
    // Selects the tab of month 1 to 12 without emitting moisChoisi.
    void setMois(int mois);
    // The tab of month 1 to 12, objectName "onglet_<mois>".
    QAbstractButton* onglet(int mois) const;

Q_SIGNALS:
    void moisChoisi(int mois);

private:
    QButtonGroup* m_groupe;
};

// Style sheet, font and spacing common to the picker windows.
void appliquerStyleCalendrier(QDialog* fenetre);
// Sets the year spin to a year while keeping the wrap at 1980 and 2099; a year outside that span (an
// entry date of 1975, say) stays showable until the user moves back into it.
void reglerSpinAnnee(QSpinBox* spin, int annee);
// Repaints a widget whose style-sheet state property changed.
void repolir(QWidget* widget);

} // namespace kip
