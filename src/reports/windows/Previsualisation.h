// The print preview "Prévisualisation": shows the pages of a report, one zoomed page or a grid of whole
// pages, lets the user move through them, and ends with the answer for the report: 1 to print it, 2 to
// leave without printing. "Enregistrer en PDF..." writes the pages to a file the user names.
#pragma once

#include "reports/ImagesPages.h"

#include <QDialog>
#include <array>
#include <memory>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QScrollArea;
class QSpinBox;
class QStackedWidget;
class QStatusBar;
class QToolButton;
class QVBoxLayout;

namespace kip {

class CachePages;
class VuePage;

class Previsualisation : public QDialog
{
    Q_OBJECT

public:
    enum class Zoom
    {
        PasDeZoom,
        LargeurPage,
        Z50,
        Z75,
        Z100,
        Z200,
        Z300
    };
    enum Reponse
    {
        Imprimer = 1,
        NePasImprimer = 2
    };

    // The pages stay the caller's; `document` names the report (title of the PDF, name proposed for it).
    Previsualisation(const ImagesPages& pages, const QString& document, QWidget* parent = nullptr);
    ~Previsualisation() override;

    // 1 after a print command, 2 otherwise.
    int reponse() const { return m_reponse; }

    int nombrePages() const { return m_pages.nombre(); }
    int pageCourante() const { return m_courante; }
    int pagesEnLargeur() const { return m_largeur; }
    int pagesEnHauteur() const { return m_hauteur; }
    Zoom zoom() const { return m_zoom; }
    QString textePage() const;
    QString texteZoom() const;
    // The cells of the grid, across then down; the pages they show (0 when hidden).
    int nombreCellules() const { return m_largeur * m_hauteur; }
    VuePage* cellule(int k) const; // 1-based
    VuePage* pageZoomee() const { return m_pageZoomee; }
    // The pop-up menu of the magnifier button as a text: "|" between entries, "-" a separator, each entry
    // led by "+" for the current zoom and "-" for the others.
    static QString texteMenuZoom(Zoom courant);

    // The commands, as the menus, the toolbar and the keys give them.
    void pageSuivante();
    void pagePrecedente();
    void allerALaPage(int page);
    void changerGrille(int largeur, int hauteur);
    void choisirZoom(Zoom zoom);
    void cliquerCellule(int k);
    void imprimer();
    void enregistrerPdf();
    // "&Aller à la page" and "&Changer d'affichage" open their dialogs without waiting for them.
    void ouvrirSautDePage();
    void ouvrirChangementAffichage();
    // The magnifier's pop-up; the entry chosen (1 to 7, separators not counted) or 0 when dismissed.
    QMenu* menuZoom() const { return m_menuZoom; }

    QAction* actionImprimer() const { return m_actionImprimer; }
    QAction* actionSortie() const { return m_actionSortie; }
    QAction* actionPdf() const { return m_actionPdf; }
    QAction* actionSuivante() const { return m_actionSuivante; }
    QAction* actionPrecedente() const { return m_actionPrecedente; }
    QAction* actionAllerA() const { return m_actionAllerA; }
    QAction* actionChanger() const { return m_actionChanger; }
    QAction* actionZoom(Zoom z) const { return m_actionsZoom[size_t(z)]; }
    QMenu* menuVoir() const { return m_menuVoir; }
    QSpinBox* spinPage() const { return m_spinPage; }
    QSpinBox* spinHorizontal() const { return m_spinHorizontal; }
    QSpinBox* spinVertical() const { return m_spinVertical; }
    QToolButton* boutonLoupe() const { return m_boutonLoupe; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* objet, QEvent* event) override;

private:
    void construireMenus(QVBoxLayout* colonne);
    void construireBarre(QVBoxLayout* colonne);
    void afficher();
    void afficherGrille();
    void afficherZoom();
    double facteurZoom() const;
    void synchroniserControles();
    void montrerMenuZoom();

    const ImagesPages& m_pages;
    QString m_document;
    std::unique_ptr<CachePages> m_cache;
    int m_reponse = NePasImprimer;
    int m_courante = 1;
    int m_largeur = 1;
    int m_hauteur = 1;
    Zoom m_zoom = Zoom::PasDeZoom;
    qint32 m_largeurPage = 0; // natural size of the first page, thousandths of an inch
    qint32 m_hauteurPage = 0;
    double m_ratio = 1.0;

    QStackedWidget* m_pile = nullptr;
    QWidget* m_grille = nullptr;
    std::vector<VuePage*> m_cellules;
    QScrollArea* m_defilement = nullptr;
    VuePage* m_pageZoomee = nullptr;

    QMenu* m_menuVoir = nullptr;
    QMenu* m_menuZoom = nullptr;
    QAction* m_actionImprimer = nullptr;
    QAction* m_actionPdf = nullptr;
    QAction* m_actionSortie = nullptr;
    QAction* m_actionSuivante = nullptr;
    QAction* m_actionPrecedente = nullptr;
    QAction* m_actionAllerA = nullptr;
    QAction* m_actionChanger = nullptr;
    std::array<QAction*, 7> m_actionsZoom{};
    QActionGroup* m_groupeZoom = nullptr;
    QToolButton* m_boutonLoupe = nullptr;
    QSpinBox* m_spinPage = nullptr;
    QSpinBox* m_spinHorizontal = nullptr;
    QSpinBox* m_spinVertical = nullptr;
    QLabel* m_textePage = nullptr;
    QLabel* m_texteZoom = nullptr;
    QStatusBar* m_statut = nullptr;
};

} // namespace kip
