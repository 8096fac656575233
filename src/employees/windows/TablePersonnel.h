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
#include "lists/windows/FenetreListe.h"

namespace kip {

class ModelePersonnel;

// The order of the list while the program runs; the settings' tab until one was chosen.
OrdrePersonnel ordreMemorise(OrdrePersonnel sinon);
void memoriserOrdre(OrdrePersonnel ordre);
// Forgets the order chosen (a new run of the program; tests).
void oublierOrdre();

class TablePersonnel : public FenetreListe
{
    Q_OBJECT

public:
    explicit TablePersonnel(Cadre& cadre);
    ~TablePersonnel() override;

    // The factory of the window: nullptr when it could not open (its message was shown).
    static FenetreTravail* ouvrir(Cadre& cadre);

    OrdrePersonnel ordre() const { return m_page.ordre(); }
    const PagePersonnel& page() const { return m_page; }
    ModelePersonnel* modele() const { return m_modele; }

    // The commands, as the bar, the keys and the mouse give them.
    void nouveau() override;
    void modifier() override;
    void supprimer() override;
    void choisirOrdre(OrdrePersonnel ordre);

Q_SIGNALS:
    // The list was filled again after the form returned.
    void saisieTerminee(Reponse reponse);

protected:
    PageListe& pageListe() override { return m_page; }
    void construire() override;
    bool ouvrirListe() override;
    void afficherLignes() override;
    int indexOrdre() const override { return static_cast<int>(m_page.ordre()) - 1; }
    void choisirOrdreIndex(int index) override { choisirOrdre(static_cast<OrdrePersonnel>(index + 1)); }
    bool toucheListe(QKeyEvent* event) override;

private:
    void appeler(Requete requete, const Personnel& employe);
    void apresSaisie();
    bool relireCourant(Personnel& employe);

    FileUse m_usageParametre;
    FileUse m_usagePersonnel;
    Database m_db;
    Parametre m_parametre;
    PagePersonnel m_page;
    ModelePersonnel* m_modele = nullptr;
    Requete m_requete = Requete::Aucune;
};

} // namespace kip
