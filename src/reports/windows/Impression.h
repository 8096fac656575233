// Impression, the report selection: the user chooses one of the eight reports, its period, the employees
// it covers and their order, and the time unit; "Imprimer" runs the report on a worker while "Génération
// rapport" shows its progress, then the pages go to the print preview and, on its answer, to the printer.
// "Exporter..." writes the totals of the week totals and period totals rows as a CSV file for payroll
// software, with the same choices, the file named through the presenter's file question.
// The bar's buttons: Impression (1028), Config_Imprimante (1029), Quitter (1025).
#pragma once

#include "data/Database.h"
#include "data/Files.h"
#include "reports/ExportPaie.h"
#include "reports/ImagesPages.h"
#include "reports/SelectionImpression.h"
#include "shell/windows/FenetreTravail.h"

#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;
class QToolButton;

namespace kip {

class CaseCouleur;
class GenerationRapport;
class ModeleEditions;
class ModeleEmployes;
class Previsualisation;
class TacheEdition;
class TacheExport;
struct DefinitionEdition;

class Impression : public FenetreTravail
{
    Q_OBJECT

public:
    // Opens the window, unless PERSONNEL holds no employee: then nothing opens and nothing is said.
    static FenetreTravail* ouvrir(Cadre& cadre);
    explicit Impression(Cadre& cadre);
    ~Impression() override;

    const SelectionImpression& selection() const { return m_selection; }

    // Seams: the page set-up and the printing, which tests answer (the pickers go through the message
    // presenter).
    std::function<void()> configurerImprimante;
    std::function<void(const ImagesPages&, const QString& document)> imprimer;
    // Called on the worker at each percentage of a run (tests hold a run with it).
    std::function<void(int)> etapeEdition;

    // The commands, as the controls and the bar give them.
    void choisirLigne(int ligne); // 1 to 8: the report list's current row
    int ligneCourante() const;    // 0 when none
    void lancerEdition();         // "Imprimer"
    void exporter();              // "Exporter..." (rows 6 and 7)
    void configurer();            // "Config. Imp."
    void choisirUnite(bool centiemes);
    void choisirModePeriode(QChar mode);
    void choisirTri(Tri tri);
    void semaineDebut();
    void semaineFin();
    void dateDebut();
    void dateFin();

    // The state a user sees.
    bool editionEnCours() const { return m_tache != nullptr || m_apercu != nullptr || m_export != nullptr; }
    Previsualisation* apercu() const { return m_apercu; }
    GenerationRapport* progression() const { return m_progression; }
    CaseCouleur* caseHeuresMinutes() const { return m_heuresMinutes; }
    CaseCouleur* caseHeuresCentiemes() const { return m_heuresCentiemes; }
    CaseCouleur* caseSemaines() const { return m_selSemaines; }
    CaseCouleur* caseDates() const { return m_selDates; }
    CaseCouleur* caseTri(Tri tri) const;
    QWidget* groupeSemaines() const { return m_groupeSemaines; }
    QWidget* groupeDates() const { return m_groupeDates; }
    QWidget* groupeTri(Tri tri) const;
    QLabel* texteSemaineDebut() const { return m_texteSemaineDebut; }
    QLabel* texteSemaineFin() const { return m_texteSemaineFin; }
    QLabel* texteDateDebut() const { return m_texteDateDebut; }
    QLabel* texteDateFin() const { return m_texteDateFin; }
    QTableView* liste() const { return m_liste; }
    // The six employee lists, FLD3 (start card) to FLD11 (end matricule), and their range texts.
    QComboBox* listeEmployes(Tri tri, bool fin) const;
    QLabel* texteEtendue(Tri tri, bool fin) const;
    QPushButton* boutonImprimer() const { return m_boutonImprimer; }
    QPushButton* boutonConfig() const { return m_boutonConfig; }
    QPushButton* boutonExporter() const { return m_boutonExporter; }

protected:
    void boutonSommaire(int evenement) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The rows whose totals can be exported, and which.
    static std::optional<GenreExport> genreExport(int ligne);

    struct Liste
    {
        QComboBox* debut = nullptr;
        QComboBox* fin = nullptr;
        QLabel* texteDebut = nullptr;
        QLabel* texteFin = nullptr;
        ModeleEmployes* modele = nullptr;
        CaseCouleur* selecteur = nullptr;
        QWidget* groupe = nullptr;
    };

    void construire();
    QWidget* construirePeriode();
    QWidget* construireEmployes();
    bool remplirEmployes();
    void employeChoisi(Tri tri, bool fin, int ligne);
    void rafraichirPeriode();
    void rafraichirEmployes();
    void peindreUnites();
    void ligneChangee(int ligne);
    void editionTerminee();
    void exportTermine();
    void apercuFerme();
    Liste& liste(Tri tri);
    const Liste& liste(Tri tri) const;

    std::unique_ptr<FileUse> m_personnel;
    std::unique_ptr<FileUse> m_journees; // while a report runs
    Database m_db;
    SelectionImpression m_selection;
    const DefinitionEdition* m_enCours = nullptr;
    std::optional<ImagesPages> m_pages;
    QString m_document;
    TacheEdition* m_tache = nullptr;
    TacheExport* m_export = nullptr;
    QString m_fichierExport;
    GenerationRapport* m_progression = nullptr;
    Previsualisation* m_apercu = nullptr;

    QPushButton* m_boutonImprimer = nullptr;
    QPushButton* m_boutonConfig = nullptr;
    QPushButton* m_boutonExporter = nullptr;
    QPushButton* m_boutonFermer = nullptr;
    ModeleEditions* m_editions = nullptr;
    QTableView* m_liste = nullptr;
    CaseCouleur* m_heuresMinutes = nullptr;
    CaseCouleur* m_heuresCentiemes = nullptr;
    CaseCouleur* m_selSemaines = nullptr;
    CaseCouleur* m_selDates = nullptr;
    QWidget* m_groupeSemaines = nullptr;
    QWidget* m_groupeDates = nullptr;
    QLabel* m_texteSemaineDebut = nullptr;
    QLabel* m_texteSemaineFin = nullptr;
    QLabel* m_texteDateDebut = nullptr;
    QLabel* m_texteDateFin = nullptr;
    Liste m_cartes, m_noms, m_matricules;
};

// Registers Impression for the bar of Kip and kipother.
void enregistrerFenetresEditions();

} // namespace kip
