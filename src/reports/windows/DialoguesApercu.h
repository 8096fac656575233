// The two small dialogs of the preview: "Sauter à une page" and "Modifier l'affichage".
#pragma once

#include <QDialog>
#include <functional>

class QPushButton;
class QSpinBox;

namespace kip {

// Picks a page from 1 to N: the page chosen on "OK", the current page on "Annuler".
class SautDePage : public QDialog
{
    Q_OBJECT

public:
    SautDePage(int courante, int nombre, QWidget* parent = nullptr);
    int page() const;
    QSpinBox* spin() const { return m_spin; }
    QPushButton* boutonOk() const { return m_ok; }
    QPushButton* boutonAnnuler() const { return m_annuler; }

private:
    int m_courante;
    QSpinBox* m_spin = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_annuler = nullptr;
};

// The pages across and down of the grid, applied as they change; closed with the window's close box.
class ChangementAffichage : public QDialog
{
    Q_OBJECT

public:
    ChangementAffichage(int largeur, int hauteur, int maximum, std::function<void(int, int)> appliquer,
                        QWidget* parent = nullptr);
    QSpinBox* spinHorizontal() const { return m_horizontal; }
    QSpinBox* spinVertical() const { return m_vertical; }

private:
    QSpinBox* m_horizontal = nullptr;
    QSpinBox* m_vertical = nullptr;
};

} // namespace kip
