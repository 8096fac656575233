// Who is here now, on the home window: present, gone home, absent and expected, with their counts and names,
// read again whenever the home window comes back in front (after the transfer, after any other window) and
// every minute while it stays there. The read (a day line per employee and four weeks of first punches) runs on
// a worker; the panel shows the last one read until it ends.
#pragma once

#include "absences/PresenceDuJour.h"
#include "data/Tache.h"

#include <QBasicTimer>
#include <QFrame>
#include <QPointer>
#include <array>

class QLabel;
class QTreeWidget;

namespace kip {

class PresenceAccueil : public QFrame
{
    Q_OBJECT

public:
    explicit PresenceAccueil(QWidget* parent);

    // Reads the presences of now on a worker and shows them; asked while a read is in hand, it reads again after.
    void actualiser();
    bool enAttente() const { return !m_lecture.isNull(); }
    QTreeWidget* liste(int groupe) const { return m_listes[size_t(groupe)]; }
    QString titre(int groupe) const;

    static constexpr int Presents = 0, Partis = 1, Absents = 2, Attendus = 3;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void lancerLecture();
    using Lecture = TacheDe<std::optional<Result<Presences>>>;
    void lectureTerminee(Lecture* lecture);
    void afficher(const Presences& p);

    QLabel* m_entete = nullptr;
    std::array<QLabel*, 4> m_titres{};
    std::array<QTreeWidget*, 4> m_listes{};
    QBasicTimer m_minuterie;
    bool m_relire = false;
    QString m_moment;            // "Aujourd'hui, lundi 11/05/2026 à 9.30" of the read in hand
    QPointer<Lecture> m_lecture; // the read in hand, a child of the panel deleted once handed over
};

// Registers the panel with the home window of Kip and kipother.
void enregistrerPresenceAccueil();

} // namespace kip
