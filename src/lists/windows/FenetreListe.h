// The base of a list window that shows one page of rows read by key range (the employee list, the punch list):
// tabs of the orders over the list, the list with its scroll bar of 100 positions, and the commands as hidden
// buttons (the bar forwards a command only while its button is enabled). It runs the page's moves for the
// bar's buttons, the keys, the wheel and the scroll bar, sizes the page to the list's height, and closes the
// list with message 35 on a read error. It reads its page again, around the current row, when the window becomes
// active again and, on the server, when another program changed its table (Notifications.h); a list hidden under
// another window or waiting for its form does so when it shows again. A derived list builds its controls, opens
// its page, shows its rows and says what its commands do.
#pragma once

#include "data/FileError.h"
#include "shell/windows/FenetreTravail.h"

#include <functional>
#include <initializer_list>

class QKeyEvent;
class QPushButton;
class QScrollBar;
class QTabBar;
class QTableView;

namespace kip {

class PageListe;

class FenetreListe : public FenetreTravail
{
    Q_OBJECT

public:
    ~FenetreListe() override;

    bool ouverte() const { return m_ouverte; }
    // The window that the list opened (the form, the grid) is on screen.
    bool enAttente() const { return m_enAttente; }
    QTableView* vue() const { return m_vue; }
    QTabBar* onglets() const { return m_onglets; }
    QScrollBar* barre() const { return m_barre; }

    // The commands of the list: a new row, a change, a removal.
    virtual void nouveau() = 0;
    virtual void modifier() = 0;
    virtual void supprimer() = 0;

protected:
    // fichier: the file that the page reads, as message 35 names it on a read error.
    FenetreListe(Cadre& cadre, const QString& nomProcedure, const QString& fichier);

    // Called at the end of the derived constructor, once the page exists: builds the controls, sizes the page to
    // the list's height (its first page is then read once) and opens the list.
    void demarrer();
    // The end of a list's factory: the window when it opened; otherwise it closes and nothing is returned.
    static FenetreTravail* ouverteOuFermee(FenetreListe* fenetre);

    // What the derived list supplies.
    virtual PageListe& pageListe() = 0;
    virtual void construire() = 0;
    // Reads what the list needs and fills its first page; false when the list cannot open (said already).
    virtual bool ouvrirListe() = 0;
    // The model shows the page's rows; the rest of the window follows (in the middle of afficher()).
    virtual void afficherLignes() = 0;
    virtual void afficherAutour() {}
    // The order of the page, as the index of its tab; another order chosen by its index.
    virtual int indexOrdre() const = 0;
    virtual void choisirOrdreIndex(int index) = 0;
    // A key that the list handles itself, after the moves and the commands.
    virtual bool toucheListe(QKeyEvent*) { return false; }

    // The parts that every list builds alike, for construire().
    QTabBar* creerOnglets(std::initializer_list<const char*> titres);
    // The list's own settings done, the shared ones: one row at a time, no editing, no scroll bar of its own (the
    // list's bar lays out the keys instead), the keys and the wheel through this window.
    void preparerVue(QTableView* vue);
    QScrollBar* creerBarre();
    // The hidden buttons of the commands; nouveau's own name and text (Créer, Nouveau).
    void creerBoutons(const char* nomNouveau, const char* texteNouveau);
    // The tabs, the current row, the double click and the scroll bar, once they exist.
    void connecter();

    // Runs a move of the page and shows its result; a read error shows message 35 and closes the list.
    void agir(const std::function<FileError()>& mouvement);
    void afficher();

    void boutonSommaire(int evenement) override;
    bool eventFilter(QObject* objet, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    // Reads the visible page again around the current row; later when the list is not on screen. A failed read leaves
    // the page as it was, to be read again at the next activation.
    void relire();

    QTableView* m_vue = nullptr;
    QTabBar* m_onglets = nullptr;
    QScrollBar* m_barre = nullptr;
    QPushButton* m_nouveau = nullptr;
    QPushButton* m_modifier = nullptr;
    QPushButton* m_supprimer = nullptr;
    QPushButton* m_fermer = nullptr;
    bool m_ouverte = false;
    bool m_enAttente = false;
    bool m_ferme = false; // closing after a read error: no further reads
    bool m_miseAJour = false;
    bool m_aRelire = false;    // changed while hidden: read again when shown
    bool m_desactivee = false; // the window was left: read again when it becomes active

private:
    void ajusterTaille();
    void actionBarre(int action);
    bool touche(QKeyEvent* event);

    QString m_fichier;
};

} // namespace kip
