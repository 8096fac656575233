// FenetreAbsences, the absence window: a month (or a period chosen with its two dates, through the day picker)
// with the employees of a range of cards as rows, in one of the list's orders, and the days as columns. Keyboard first,
// like the grid: the arrows move, typing a type's code sets it on every selected cell for the part chosen (Alt+J a
// whole day, Alt+M a morning, Alt+A an afternoon), Delete clears that part, Ctrl+Z undoes the last change, F2 goes to
// the detailed entry (hours and comment), Ctrl+Page Up and Ctrl+Page Down change month. Each change is saved at once,
// journalled. The bar: the types window (Kip only), the months, the three orders, Quitter. A period is read on a worker
// (a month of a thousand employees takes a tenth of a second): the table keeps what it shows, and takes no edit, until
// the read ends.
#pragma once

#include "absences/ModeleAbsences.h"
#include "data/Database.h"
#include "data/Files.h"
#include "data/Tache.h"
#include "shell/windows/FenetreTravail.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTableView;
class QToolButton;

namespace kip {

class ModeleTableAbsences;

class FenetreAbsences : public FenetreTravail
{
    Q_OBJECT

public:
    explicit FenetreAbsences(Cadre& cadre);
    ~FenetreAbsences() override;

    // The factory of the window: nullptr when it could not open (its message was shown).
    static FenetreTravail* ouvrir(Cadre& cadre);

    // For tests and the commands of the bar and the keys.
    QTableView* vue() const { return m_vue; }
    ModeleTableAbsences* table() const { return m_table; }
    const ModeleAbsences* modele() const;
    PartieJour partie() const;
    void choisirPartie(PartieJour partie);
    QString codeEnCours() const { return m_tampon; }
    QString statut() const;
    // Reads the period (and the order and range shown) on a worker and shows it once read; a choice made while a
    // read is in hand is read after it. A read that fails is said (message 35); the first one closes the window.
    void charger(const ChoixAbsences& choix);
    bool enAttente() const { return m_chargement.enCours(); }
    // The first or the last day of the period, asked with the day picker.
    void choisirDate(bool fin);
    void moisSuivant(int sens);
    void choisirOrdre(EmployeeKey ordre);
    // Sets the code on every selected cell for the part chosen; clears that part; undoes.
    void poserCode(const QString& code);
    void poserDetail();
    void effacerSelection();
    void annuler();

protected:
    void boutonSommaire(int evenement) override;
    bool eventFilter(QObject* objet, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void construire();
    QWidget* construireEntete();
    QWidget* construireDetail();
    void afficherLegende();
    std::vector<CaseAbsence> selection() const;
    bool enregistrer(const std::vector<JourAbsences>& jours, const QString& cause);
    bool touche(QKeyEvent* event);
    void choisirCartes();
    void lancerChargement();
    void chargementTermine();
    void afficherModele(ModeleAbsences modele);
    void dire(const QString& texte);
    // The days share the width of the table, down to a width that still shows a code.
    void ajusterColonnes();

    FileUse m_usagePersonnel, m_usagePointVal, m_usageTypes, m_usageAbsences, m_usageHoraires, m_usageReglages,
        m_usageJournal;
    Database m_db;
    ModeleTableAbsences* m_table = nullptr;
    QTableView* m_vue = nullptr;
    QLabel* m_texteDebut = nullptr;
    QLabel* m_texteFin = nullptr;
    QSpinBox* m_carteDebut = nullptr;
    QSpinBox* m_carteFin = nullptr;
    QButtonGroup* m_parties = nullptr;
    QComboBox* m_codeDetail = nullptr;
    QComboBox* m_partieDetail = nullptr;
    QLineEdit* m_heuresDetail = nullptr;
    QLineEdit* m_commentaireDetail = nullptr;
    QLabel* m_legende = nullptr;
    QLabel* m_statut = nullptr;
    QString m_tampon; // the code being typed
    bool m_dejaMontree = false;
    bool m_affichee = false; // a period was read and shown
    bool m_relire = false;   // a choice waits for the read in hand to end
    ChoixAbsences m_voulu;   // the choice asked for last
    TacheDe<std::optional<Result<ModeleAbsences>>> m_chargement;
};

} // namespace kip
