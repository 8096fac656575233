// The reports of the report selection, in the order of its list: the text shown (NOMEDITION), the
// code that decides how the period is chosen and bounded (CONTROLEEDITION), and the report procedure.
#pragma once

#include "Edition.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace kip {

// The period codes.
namespace code {
inline const QString AucunePeriode = QString();
inline const QString CinqSemaines = QStringLiteral("1/5s");     // 1 to 5 whole weeks
inline const QString UneSemaine = QStringLiteral("1s");         // exactly one week
inline const QString TrenteEtUnJours = QStringLiteral("1/31j"); // 1 to 31 days
inline const QString Libre = QStringLiteral("1/xj");            // weeks or dates, no bound
} // namespace code

struct DefinitionEdition
{
    int ligne = 0;           // 1 to 10
    QString procedure;       // "EditionSemaine"
    QString NOMEDITION;      // up to 255 characters
    QString CONTROLEEDITION; // up to 6 characters
    std::function<std::unique_ptr<Edition>()> fabrique;

    bool disponible() const { return bool(fabrique); }
    // Every report but the employee list prints the title and covers a period.
    bool avecPeriode() const { return !CONTROLEEDITION.isEmpty(); }
};

const std::vector<DefinitionEdition>& definitionsEditions();
// Row 1 to 10; nullptr otherwise.
const DefinitionEdition* definitionEdition(int ligne);

} // namespace kip
