// A coloured box with a caption that acts as a selector: light green when active, pink when not, grey when
// out of use. It hears clicks only while enabled.
#pragma once

#include <QLabel>

namespace kip {

class CaseCouleur : public QLabel
{
    Q_OBJECT

public:
    enum class Etat
    {
        Actif,
        Inactif,
        Gris
    };

    CaseCouleur(const QString& texte, QWidget* parent = nullptr);
    void setEtat(Etat etat);
    Etat etat() const { return m_etat; }

Q_SIGNALS:
    void clique();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Etat m_etat = Etat::Gris;
};

} // namespace kip
