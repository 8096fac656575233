// TablePersonnel, the employee list: every employee in one of three orders (tabs "Tab nom", "Tab carte",
// "Tab matricule", the last one chosen remembered while the program runs), four lines per employee, and the
// employee form opened from it to add, change or delete one. Commands come from the bar (Créer, Modifier,
// Supprimer, the three orders, Fermer), from keys (Insert, Ctrl+Enter, Delete, Ctrl+Tab, Escape, letters
// that find a name) and from the mouse (a double click changes). The list holds only the employees it shows;
// its scroll bar has 100 positions laid out over the keys of the order.
#pragma once

#include "data/Database.h"
#include "data/Files.h"
#include "data/Records.h"
#include "employees/Echanges.h"
#include "employees/PagePersonnel.h"
#include "shell/windows/FenetreTravail.h"

class QPushButton;
class QScrollBar;
class QTabBar;
class QTableView;

namespace kip {

class ModelePersonnel;

// The order of the list while the program runs; the settings' tab until one was chosen.
OrdrePersonnel ordreMemorise(OrdrePersonnel sinon);
void memoriserOrdre(OrdrePersonnel ordre);
// Forgets the order chosen (a new run of the program; tests).
void oublierOrdre();

class TablePersonnel : public FenetreTravail
{
    Q_OBJECT

public:
    explicit TablePersonnel(Cadre& cadre);
    ~TablePersonnel() override;

    // The factory of the window: nullptr when it could not open (its message was shown).
    static FenetreTravail* ouvrir(Cadre& cadre);
    bool ouverte() const { return m_ouverte; }

    OrdrePersonnel ordre() const { return m_page.ordre(); }
    const PagePersonnel& page() const { return m_page; }
    ModelePersonnel* modele() const { return m_modele; }
    QTableView* vue() const { return m_vue; }
    QTabBar* onglets() const { return m_onglets; }
    QScrollBar* barre() const { return m_barre; }
    // The form opened from the list is on screen.
    bool enAttente() const { return m_enAttente; }

    // The commands, as the bar, the keys and the mouse give them.
    void creer();
    void modifier();
    void supprimer();
    void choisirOrdre(OrdrePersonnel ordre);

Q_SIGNALS:
    // The list was filled again after the form returned.
    void saisieTerminee(Reponse reponse);

protected:
    void boutonSommaire(int evenement) override;
    bool eventFilter(QObject* objet, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool ouvrirListe();
    void construire();
    void appeler(Requete requete, const Personnel& employe);
    void apresSaisie();
    bool relireCourant(Personnel& employe);
    // Runs a move of the page and shows its result; a read error shows message 35 and closes the list.
    template <class F> void agir(F&& mouvement);
    void afficher();
    void ajusterTaille();
    bool touche(QKeyEvent* event);
    void actionBarre(int action);

    FileUse m_usageParametre;
    FileUse m_usagePersonnel;
    Database m_db;
    Parametre m_parametre;
    PagePersonnel m_page;
    ModelePersonnel* m_modele = nullptr;
    QTableView* m_vue = nullptr;
    QTabBar* m_onglets = nullptr;
    QScrollBar* m_barre = nullptr;
    QPushButton* m_creer = nullptr;
    QPushButton* m_modifier = nullptr;
    QPushButton* m_supprimer = nullptr;
    QPushButton* m_fermer = nullptr;
    bool m_ouverte = false;
    bool m_enAttente = false;
    bool m_ferme = false; // closing after a read error: no further reads
    bool m_miseAJour = false;
    Requete m_requete = Requete::Aucune;
};

} // namespace kip
