// Rounding codes: their values and the labels shown by forms and reports, for every kind of code.
#include "punch/CodesArrondi.h"

#include <gtest/gtest.h>

using namespace kip;

TEST(CodesArrondi, ValuesAndLabels)
{
    const QString aucun = QStringLiteral("Pas d'arrondi");
    const QString haut = QStringLiteral("Arrondi aux %1 minutes supérieures");
    const QString bas = QStringLiteral("Arrondi aux %1 minutes inférieures");
    // code, value, label as an entry, exit and week code (empty where the code is not one of that list)
    const std::tuple<const char*, int, QString, QString, QString> cas[] = {
        {"00", 0, aucun, aucun, {}},
        {"05", 5, haut.arg(5), bas.arg(5), {}},
        {"60", 60, haut.arg(60), bas.arg(60), {}},
        {"000", 0, {}, {}, aucun},
        {"+15", 15, {}, {}, haut.arg(15)},
        {"-30", -30, {}, {}, bas.arg(30)},
        // Codes outside the lists have no label; those that are no number mean no rounding, not a fault.
        {"07", 7, {}, {}, {}},
        {"+07", 7, {}, {}, {}},
        {" 5", 5, {}, {}, {}},
        {"", 0, {}, {}, {}},
        {"x15", 0, {}, {}, {}},
    };
    for (const auto& [code, valeur, entree, sortie, semaine] : cas) {
        EXPECT_EQ(roundingValue(code), valeur) << code;
        EXPECT_EQ(entryRoundingLabel(code), entree) << code;
        EXPECT_EQ(exitRoundingLabel(code), sortie) << code;
        EXPECT_EQ(weekRoundingLabel(code), semaine) << code;
    }
    // Every signed code carries the entry label (up) or the exit label (down) of its step.
    for (const QString& code : weekRoundingCodes().mid(1))
        EXPECT_EQ(weekRoundingLabel(code),
                  code[0] == u'+' ? entryRoundingLabel(code.mid(1)) : exitRoundingLabel(code.mid(1)))
            << code.toStdString();
}
