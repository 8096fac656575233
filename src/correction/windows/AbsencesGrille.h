// The absences of the correction grid: one field per day, beside the day total, showing the day's absences in
// their short form ("CP", "RTT M/MAL AM", "REC 1.30") and setting them when edited. An absence is saved when
// its field is left (Enter, Tab or a click elsewhere), in its own journalled write: it is no punch, and the
// grid's save modes, which concern the user punches, do not hold it back. F4 in a day goes to its field;
// Escape or Enter goes back to the day's first cell.
#pragma once

#include "absences/ReglesAbsences.h"
#include "data/Database.h"
#include "data/Files.h"

#include <QObject>
#include <array>

class QLineEdit;
class QWidget;

namespace kip {

class AbsencesGrille : public QObject
{
    Q_OBJECT

public:
    AbsencesGrille(Database& db, QWidget* parent);

    QLineEdit* champ(int jour) const { return m_champs[size_t(jour)]; }
    // Reads the absences of the employee's week; false when they could not be read (the fields stay empty).
    bool charger(const Personnel& employe, qint32 lundi);
    // Saves the day's field when it changed; false when it was refused (the field keeps the text, with the
    // reason in its tip) or could not be written.
    bool enregistrer(int jour);

Q_SIGNALS:
    // Back to the grid's cells of the day.
    void retour(int jour);

protected:
    bool eventFilter(QObject* objet, QEvent* event) override;

private:
    void afficher(int jour);

    FileUse m_usageTypes, m_usageAbsences, m_usageJournal;
    Database& m_db;
    Personnel m_employe;
    std::vector<TypeAbsence> m_types;
    std::array<JourAbsences, 7> m_jours{};
    std::array<QLineEdit*, 7> m_champs{};
};

} // namespace kip
