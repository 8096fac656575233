// Who is here now, on the home window: present, gone home, absent and expected, with their counts and names,
// read again whenever the home window comes back in front (after the transfer, after any other window) and
// every minute while it stays there.
#pragma once

#include "absences/PresenceDuJour.h"

#include <QBasicTimer>
#include <QFrame>
#include <array>

class QLabel;
class QTreeWidget;

namespace kip {

class PresenceAccueil : public QFrame
{
    Q_OBJECT

public:
    explicit PresenceAccueil(QWidget* parent);

    // Reads the presences of now and shows them.
    void actualiser();
    QTreeWidget* liste(int groupe) const { return m_listes[size_t(groupe)]; }
    QString titre(int groupe) const;

    static constexpr int Presents = 0, Partis = 1, Absents = 2, Attendus = 3;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    QLabel* m_entete = nullptr;
    std::array<QLabel*, 4> m_titres{};
    std::array<QTreeWidget*, 4> m_listes{};
    QBasicTimer m_minuterie;
};

// Registers the panel with the home window of Kip and kipother.
void enregistrerPresenceAccueil();

} // namespace kip
