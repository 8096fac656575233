// The planned hours in the employee form: the planned time of each weekday and the date from which they
// apply. A new employee gets the default pattern of the absence settings, from always; a change applies from
// the date given (today unless changed), the pattern before it kept for the past. They are written after the
// employee, in a journalled write of their own.
#pragma once

#include "data/Database.h"
#include "data/RecordsAbsences.h"

#include <QGroupBox>
#include <array>
#include <optional>

class QLabel;
class QLineEdit;

namespace kip {

class HorairePrevuFiche : public QGroupBox
{
    Q_OBJECT

public:
    explicit HorairePrevuFiche(QWidget* parent);

    // Reads the pattern in force today for the employee (the default one for a new employee); false when the
    // files could not be read (the fields are then disabled and nothing will be written).
    bool charger(Database& db, const Personnel& employe, bool nouveau);
    // What is wrong with the pattern or date as typed: the reason and the field at fault.
    struct Erreur
    {
        QString raison;
        QWidget* champ = nullptr;
    };
    // The pattern and date as typed; nothing when they are valid.
    std::optional<Erreur> verifier() const;
    // Writes the pattern when it changed (always for a new employee).
    FileError enregistrer(Database& db, const Personnel& employe) const;

    QLineEdit* jour(int index) const { return m_jours[size_t(index)]; }
    QLineEdit* depuis() const { return m_depuis; }

private:
    void montrerTotal();
    MinutesSemaine lus(bool* ok) const;

    std::array<QLineEdit*, JoursParSemaine> m_jours{};
    QLineEdit* m_depuis = nullptr;
    QLabel* m_total = nullptr;
    MinutesSemaine m_charges{};
    bool m_nouveau = false;
    bool m_lu = false;
};

} // namespace kip
