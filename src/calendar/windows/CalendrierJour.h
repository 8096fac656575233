// CalendrierJour, the day picker (window "Calendrier"): a month of day cells, Monday first, from which the
// user picks one date. Its caption shows the month and year on view.
#pragma once

#include "calendar/CalendrierAnnee.h"

#include <QDialog>
#include <array>

class QPushButton;
class QSpinBox;
class QLabel;

namespace kip {

class OngletsMois;

class CalendrierJour : public QDialog
{
    Q_OBJECT
public:
    // A date of 0 opens on today, which then also counts as the entry date.
    explicit CalendrierJour(qint32 date, QWidget* parent = nullptr);

    // Modal pick: true with the picked date in `date`; false with `date` back at its entry value (today
    // when it was 0).
    static bool choisir(qint32& date, QWidget* parent = nullptr);

    // The picked date after a pick, else the entry date.
    qint32 resultat() const;
    qint32 dateEntree() const { return m_entree; }
    // The date whose cell is highlighted: the entry date, or today after "Aujourd'hui".
    qint32 dateMarquee() const { return m_date; }
    int moisAffiche() const { return m_mois; }
    int anneeAffichee() const { return m_annee; }

    // Controls, also found by objectName: "mois", "annee", "aujourdhui", "titre", "onglet_1".."onglet_12",
    // "jour_1".."jour_37".
    QSpinBox* spinMois() const { return m_spinMois; }
    QSpinBox* spinAnnee() const { return m_spinAnnee; }
    QPushButton* boutonAujourdhui() const { return m_aujourdhui; }
    OngletsMois* onglets() const { return m_onglets; }
    // Cell 1 to 37, in rows of seven from Monday.
    QPushButton* cellule(int i) const { return m_cellules[i - 1]; }
    // The cell showing day 1 to 31 of the shown month, or 0 when there is none.
    int celluleDuJour(int jour) const;

private:
    void construire();
    void changerMois(int mois);
    void changerAnnee(int annee);
    void allerAujourdhui();
    void cliquer(int i);
    void afficher();

    qint32 m_entree;
    qint32 m_date;
    qint32 m_choix = 0;
    int m_mois = 1;
    int m_annee = PremiereAnneeCalendrier;
    std::array<quint8, CellulesJours> m_jours{};

    QLabel* m_titre = nullptr;
    QSpinBox* m_spinMois = nullptr;
    QSpinBox* m_spinAnnee = nullptr;
    QPushButton* m_aujourdhui = nullptr;
    OngletsMois* m_onglets = nullptr;
    std::array<QPushButton*, CellulesJours> m_cellules{};
};

} // namespace kip
