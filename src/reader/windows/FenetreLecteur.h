// The card reader's small window: the port, the state (running or paused) and the last swipes.
#pragma once

#include <QWidget>

class QLabel;
class QTableView;

namespace kip {

class Surveillance;

class FenetreLecteur : public QWidget
{
    Q_OBJECT
public:
    explicit FenetreLecteur(Surveillance& surveillance, QWidget* parent = nullptr);

    QString textePort() const;
    QString texteEtat() const;
    QTableView* liste() const { return m_liste; }

private:
    void actualiser();

    Surveillance& m_surveillance;
    QLabel* m_port;
    QLabel* m_etat;
    QTableView* m_liste;
};

} // namespace kip
