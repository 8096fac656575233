// TypesAbsence, the absence types and settings (Kip only, reached from the absence window): each type's code,
// label, colour, whether its days count as worked and the balance it draws on; then the public holidays of
// Alsace-Moselle, the margin after which an employee not yet in counts as expected, the planned hours given to
// a new employee, and whether paid leave counts jours ouvrables or ouvrés. Accepter (or Ctrl+Enter) checks
// everything and saves it, journalled; Annuler (or Escape) leaves without saving.
#pragma once

#include "data/Database.h"
#include "data/Files.h"
#include "data/RecordsAbsences.h"
#include "shell/windows/FenetreTravail.h"

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QTableWidget;

namespace kip {

class TypesAbsence : public FenetreTravail
{
    Q_OBJECT

public:
    explicit TypesAbsence(Cadre& cadre);
    static FenetreTravail* ouvrir(Cadre& cadre);

    QTableWidget* table() const { return m_table; }
    void ajouterType();
    void supprimerType();
    // Checks and saves; false (and a message) when something is wrong: the window stays open.
    bool accepter();

    // The types and settings as the window holds them; the error of the first bad field, or empty.
    std::vector<kip::TypeAbsence> typesSaisis(QString* erreur) const;
    ReglagesAbsences reglagesSaisis(QString* erreur) const;

protected:
    void boutonSommaire(int evenement) override;
    bool eventFilter(QObject* objet, QEvent* event) override;

private:
    void construire();
    void remplir();
    void ajouterLigne(const kip::TypeAbsence& type);

    FileUse m_usageTypes, m_usageAbsences, m_usageReglages, m_usageJournal;
    Database m_db;
    bool m_ouverte = false;
    QTableWidget* m_table = nullptr;
    QCheckBox* m_alsace = nullptr;
    QSpinBox* m_marge = nullptr;
    std::array<QLineEdit*, JoursParSemaine> m_horaire{};
    QComboBox* m_decompte = nullptr;
};

} // namespace kip
