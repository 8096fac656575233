// SaisiePersonnel, the employee form: card, names, matricule, the punch rules with a worked example of the
// rounding, and the employment calendar with up to ten inactivity periods. Opened by the employee list with
// a request code: insert and change show the form; delete asks for confirmation and deletes without showing
// it. The bar's Accepter acts as OK and Annuler as cancel; Enter and Escape do the same from the keyboard.
// After an accepted insert, or a change of the employment dates or periods, the employee's day lines are
// prepared on a worker thread under the wait cursor before the form closes.
#pragma once

#include "data/Database.h"
#include "data/Employees.h"
#include "data/Files.h"
#include "data/Records.h"
#include "employees/Echanges.h"
#include "employees/ReglesFiche.h"
#include "shell/windows/FenetreTravail.h"

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QToolButton;

namespace kip {

class ExempleVue;
class HorairePrevuFiche;
class TachePreparation;

class SaisiePersonnel : public FenetreTravail
{
    Q_OBJECT

public:
    SaisiePersonnel(Cadre& cadre, Requete requete, const Personnel& employe);
    ~SaisiePersonnel() override;

    // The factory of the form: reads the request code and the employee in hand. Delete runs here and opens
    // nothing; so does a form that cannot open. The response is left before the form is gone.
    static FenetreTravail* ouvrir(Cadre& cadre);

    bool ouverte() const { return m_ouverte; }
    Requete requeteSaisie() const { return m_requete; }
    // The record as edited.
    const Personnel& fiche() const { return m_fiche; }
    HorairePrevuFiche* horairePrevu() const { return m_horaire; }
    const QList<Periode>& periodes() const { return m_periodes; }
    bool datesChangees() const { return m_datesChangees; }
    // The day lines are being prepared.
    bool occupee() const { return m_occupee; }
    // The reason shown for the last refused value, empty when none.
    QString avis() const;

    void accepter(); // OK
    void annuler();

Q_SIGNALS:
    void preparationTerminee(const QString& erreur);

protected:
    void boutonSommaire(int evenement) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* objet, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool ouvrirFiche(const Personnel& employe);
    void construire();
    QWidget* construireIdentite();
    QWidget* construireCalendrier();
    void remplir();
    void choisirArrondiCote(Cote cote, int index);
    void appliquerBornes(bool elargir);
    void montrerExemple(Cote cote);
    void carteAcceptee();
    void matriculeParDefautSiVide();
    bool accepterDuree(QLineEdit* champ);
    void choisirDate(QLineEdit* champ);
    void ajouterPeriodeChoisie();
    void supprimerPeriodeChoisie();
    void montrerPeriodes();
    void montrerDates();
    void refuser(const Refus& refus);
    void effacerAvis(Champ champ); // when the notice shows that field's refusal; any with Champ::Aucun
    QWidget* controle(Champ champ) const;
    void preparerJournees();
    void enregistrerHoraire();
    void terminer(Reponse reponse);

    Requete m_requete;
    FileUse m_usageParametre;
    FileUse m_usagePersonnel;
    FileUse m_usageJournees;
    Database m_db;
    Personnel m_fiche;
    Personnel m_copie;  // as loaded, to know whether anything changed
    LinkValues m_liens; // the link fields as loaded, which the employee's day lines carry
    QList<Periode> m_periodes;
    qint32 m_debutPeriode = 0;
    qint32 m_finPeriode = 0;
    bool m_datesChangees = false;
    BornesFiche m_bornes;
    QString m_matriculeFait;          // the default matricule the form put in, which follows the card
    Champ m_champAvis = Champ::Aucun; // the field whose refusal the notice shows
    bool m_ouverte = false;
    bool m_occupee = false;
    Reponse m_reponse = Reponse::Annulee;
    TachePreparation* m_tache = nullptr;

    QWidget* m_contenu = nullptr;
    QSpinBox* m_carte = nullptr;
    QLineEdit* m_nom = nullptr;
    QLineEdit* m_prenom = nullptr;
    QLineEdit* m_matricule = nullptr;
    QComboBox* m_arrondiEntree = nullptr;
    QComboBox* m_arrondiSortie = nullptr;
    QSpinBox* m_toleranceEntree = nullptr;
    QSpinBox* m_toleranceSortie = nullptr;
    QSpinBox* m_decalageEntree = nullptr;
    QSpinBox* m_decalageSortie = nullptr;
    ExempleVue* m_exemple = nullptr;
    HorairePrevuFiche* m_horaire = nullptr;
    QComboBox* m_arrondiSemaine = nullptr;
    QLineEdit* m_decalageMinuit = nullptr;
    QLineEdit* m_extension = nullptr;
    QComboBox* m_nombre = nullptr;
    QLineEdit* m_premierJour = nullptr;
    QLineEdit* m_dernierJour = nullptr;
    QLineEdit* m_debutInactivite = nullptr;
    QLineEdit* m_finInactivite = nullptr;
    QListWidget* m_debuts = nullptr;
    QListWidget* m_fins = nullptr;
    QPushButton* m_ajouterPeriode = nullptr;
    QPushButton* m_supprimerPeriode = nullptr;
    QLabel* m_avis = nullptr;
};

} // namespace kip
