// CorrectionPointage, the weekly correction grid: one employee's week, Monday to Sunday, each day with its
// origin and programme rows (read only), its user row of fourteen cells and its total, and the week total
// before and after the employee's week rounding. The operator moves by card, by name and by week without
// leaving it; every move saves the changed days first, by the save mode. Opened by the punch list with the
// request change; with the request delete it clears one day's user line after a confirmation and never
// opens. The rules are GrilleSemaine's; this window gathers keys and shows cells.
#pragma once

#include "correction/GrilleSemaine.h"
#include "correction/PasseSauvegarde.h"
#include "data/Database.h"
#include "data/Files.h"
#include "employees/LecturePersonnel.h"
#include "shell/windows/FenetreTravail.h"

#include <QBasicTimer>
#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kip {

class AbsencesGrille;
class JournalJournee;
class SelecteurEmploye;

class CorrectionPointage : public FenetreTravail
{
    Q_OBJECT

public:
    explicit CorrectionPointage(Cadre& cadre);
    ~CorrectionPointage() override;

    // The factory: with the request delete, the clear of the day line in hand (no window); otherwise the
    // grid on the card and date in hand, nullptr when it could not open.
    static FenetreTravail* ouvrir(Cadre& cadre);
    // The clear request: asks, then empties the user line of the day line in hand; the response is
    // completed only when it was cleared.
    static void effacer();

    // The period of the flush of the unsaved cells to the draft.
    static void setPeriodeVidage(int ms);

    bool ouverte() const { return m_ouverte; }
    const GrilleSemaine& grille() const { return m_grille; }
    ModeSauvegarde mode() const { return m_mode; }
    int jourCourant() const { return m_jour; }
    int colonneCourante() const { return m_colonne; }
    QLineEdit* cellule(int jour, int colonne) const { return m_jours[size_t(jour)].cellules[size_t(colonne)]; }
    QLabel* origine(int jour, int colonne) const { return m_jours[size_t(jour)].origine[size_t(colonne)]; }
    QLabel* programme(int jour, int colonne) const { return m_jours[size_t(jour)].programme[size_t(colonne)]; }
    QLabel* totalJour(int jour) const { return m_jours[size_t(jour)].total; }
    // The day's absences beside its total (F4).
    QLineEdit* absenceJour(int jour) const;
    QWidget* bloc(int jour) const { return m_jours[size_t(jour)].bloc; }
    QLabel* texteSemaine() const { return m_texteSemaine; }
    QLabel* entete() const { return m_entete; }
    QLabel* totalSemaine() const { return m_totalSemaine; }
    QLabel* totalArrondi() const { return m_totalArrondi; }
    SelecteurEmploye* selecteur() const { return m_selecteur; }

    // The commands, as the bar, the keys and the hidden buttons give them.
    void sauver();
    void annuler();
    void semaineVoisine(int sens);
    void employeVoisin(OrdrePersonnel ordre, Direction sens);
    void choisirEmploye(const Personnel& employe);
    void choisirSemaine();
    void aide();
    // F3 and the bar's Journal: the journal of the current day line, newest first, in a small read-only list.
    void journal();
    JournalJournee* journalOuvert() const { return m_journal; }
    // The operator leaves the current cell: a changed cell is checked, the totals follow. False when it is
    // refused (beep, the focus back on the faulty cell with its text selected).
    bool quitterCellule();
    // Puts the cursor on a cell of a shown day.
    void allerA(int jour, int colonne);

Q_SIGNALS:
    // A week was loaded and shown.
    void semaineChargee();

protected:
    void boutonSommaire(int evenement) override;
    bool eventFilter(QObject* objet, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct BlocJour
    {
        QWidget* bloc = nullptr;
        std::array<QLabel*, CellulesJour> origine{};
        std::array<QLabel*, CellulesJour> programme{};
        std::array<QLineEdit*, CellulesJour> cellules{};
        QLabel* nomJour = nullptr;
        QLabel* date = nullptr;
        QLabel* total = nullptr;
        std::array<QString, CellulesJour> acceptes; // the texts last loaded or accepted
    };

    void construire();
    bool remplirSelecteur();
    bool ouvrirGrille();
    bool charger();
    void afficher();
    void afficherTotaux();
    void curseurPremierJour();
    // The save pass by the current mode; false when the grid must stay on its week (a refused cell, a
    // failed write).
    bool passer();
    bool touche(QKeyEvent* event, bool dansCellule);
    bool trouverCellule(QObject* objet, int& jour, int& colonne) const;
    void viderBrouillon();
    // After a save refused because another station changed the week: the rows kept, the week read again.
    void relireApresConflit();
    void brouillonNonEcrit(const FileError& erreur);
    // The pass of a close that came from elsewhere (the frame closing every window); false when the window
    // must stay open because its edits could be kept nowhere.
    bool passeDeFermeture();
    QString texteBrouillonPerdu() const;
    // After a failed save: the rows written to the draft, and the operator told that they wait there.
    void garderSaisies();

    FileUse m_usagePersonnel;
    FileUse m_usagePointVal;
    Database m_db;
    GrilleSemaine m_grille;
    ModeSauvegarde m_mode = ModeSauvegarde::Others;
    std::array<BlocJour, JoursSemaine> m_jours;
    QLabel* m_texteSemaine = nullptr;
    QLabel* m_entete = nullptr;
    QLabel* m_totalSemaine = nullptr;
    QLabel* m_totalArrondi = nullptr;
    QLabel* m_du = nullptr;
    QLabel* m_au = nullptr;
    SelecteurEmploye* m_selecteur = nullptr;
    QBasicTimer m_vidage;
    JournalJournee* m_journal = nullptr;
    AbsencesGrille* m_absences = nullptr;
    int m_jour = 0;
    int m_colonne = 0;
    bool m_ouverte = false;
    bool m_passeFaite = false; // the closing pass ran (Annuler)
    bool m_retour = false;     // the focus is being put back on a refused cell
};

} // namespace kip
