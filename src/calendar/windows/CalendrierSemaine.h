// CalendrierSemaine, the week picker (window "Calendrier semaines"): the weeks of one month of a week-year,
// Monday to Sunday, from which the user picks one week; the chosen week shows in red.
#pragma once

#include "calendar/CalendrierAnnee.h"

#include <QDialog>
#include <array>

class QLabel;
class QPushButton;
class QSpinBox;

namespace kip {

class OngletsMois;

class CalendrierSemaine : public QDialog
{
    Q_OBJECT
public:
    // A week that does not exist in a week-year from 1980 to 2099 opens on the current week, which then also
    // counts as the entry week.
    CalendrierSemaine(quint8 semaine, qint16 annee, QWidget* parent = nullptr);

    // Modal pick: true with the picked week and the shown week-year; false with the entry values back (the
    // current week when they were out of range).
    static bool choisir(quint8& semaine, qint16& annee, QWidget* parent = nullptr);

    // The picked week after a pick, else the entry week.
    Semaine resultat() const;
    Semaine entree() const { return m_entree; }
    // The chosen week (red) and the shown week-year and month.
    int semaineChoisie() const { return m_semaine; }
    int anneeAffichee() const { return m_table.annee(); }
    int moisAffiche() const { return m_mois; }

    // Controls, also found by objectName: "annee", "mois", "cetteSemaine", "titre", "onglet_1".."onglet_12",
    // "ligne_1".."ligne_5".
    QSpinBox* spinAnnee() const { return m_spinAnnee; }
    QSpinBox* spinMois() const { return m_spinMois; }
    QPushButton* boutonCetteSemaine() const { return m_cetteSemaine; }
    OngletsMois* onglets() const { return m_onglets; }
    // Row 1 to 5.
    QPushButton* ligne(int i) const { return m_lignes[i - 1].bouton; }
    int semaineDeLigne(int i) const { return m_rangees.semaine[i - 1]; }
    bool ligneChoisie(int i) const;
    // The row's texts: week number, Monday and Sunday.
    QString texteLigne(int i) const;

private:
    struct Ligne
    {
        QPushButton* bouton = nullptr;
        QLabel* code = nullptr;
        QLabel* lundi = nullptr;
        QLabel* dimanche = nullptr;
    };

    void construire();
    void changerAnnee(int annee);
    void changerMois(int mois);
    void allerCetteSemaine();
    void ouvrirSemaine(Semaine semaine);
    void cliquer(int i);
    void remplir();
    void legender();

    Semaine m_entree;
    Semaine m_choix;
    int m_semaine = 1;
    int m_mois = 1;
    CalendrierAnnee m_table;
    LignesMois m_rangees;

    QLabel* m_titre = nullptr;
    QSpinBox* m_spinAnnee = nullptr;
    QSpinBox* m_spinMois = nullptr;
    QPushButton* m_cetteSemaine = nullptr;
    OngletsMois* m_onglets = nullptr;
    std::array<Ligne, LignesSemaines> m_lignes;
};

} // namespace kip
