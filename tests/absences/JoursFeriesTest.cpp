// The public holidays of 2024 to 2030 (and of two years whose dates meet a fixed holiday or fall late) against
// a table written from the calendar, with the Alsace-Moselle days.
#include "calendar/JoursFeries.h"

#include "calendar/Dates.h"

#include <gtest/gtest.h>

using namespace kip;

namespace {

QString texte(const std::vector<JourFerie>& jours)
{
    QStringList t;
    for (const JourFerie& j : jours)
        t << DateTexte(j.date).left(5);
    return t.join(QLatin1Char(' '));
}

} // namespace

TEST(JoursFeries, TableOfTheYearsAndEaster)
{
    struct Cas
    {
        int annee;
        const char* paques;
        const char* feries; // in date order
    };
    const Cas cas[] = {
        {2024, "31/03/2024", "01/01 01/04 01/05 08/05 09/05 20/05 14/07 15/08 01/11 11/11 25/12"},
        {2025, "20/04/2025", "01/01 21/04 01/05 08/05 29/05 09/06 14/07 15/08 01/11 11/11 25/12"},
        {2026, "05/04/2026", "01/01 06/04 01/05 08/05 14/05 25/05 14/07 15/08 01/11 11/11 25/12"},
        {2027, "28/03/2027", "01/01 29/03 01/05 06/05 08/05 17/05 14/07 15/08 01/11 11/11 25/12"},
        {2028, "16/04/2028", "01/01 17/04 01/05 08/05 25/05 05/06 14/07 15/08 01/11 11/11 25/12"},
        {2029, "01/04/2029", "01/01 02/04 01/05 08/05 10/05 21/05 14/07 15/08 01/11 11/11 25/12"},
        {2030, "21/04/2030", "01/01 22/04 01/05 08/05 30/05 10/06 14/07 15/08 01/11 11/11 25/12"},
        // Ascension on 1 May: one holiday on that date, not two.
        {2008, "23/03/2008", "01/01 24/03 01/05 08/05 12/05 14/07 15/08 01/11 11/11 25/12"},
        {2038, "25/04/2038", "01/01 26/04 01/05 08/05 03/06 14/06 14/07 15/08 01/11 11/11 25/12"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.annee);
        EXPECT_EQ(DateTexte(Paques(c.annee)), QLatin1String(c.paques));
        EXPECT_EQ(texte(JoursFeries(c.annee, false)), QLatin1String(c.feries));
        for (const JourFerie& j : JoursFeries(c.annee, false))
            EXPECT_TRUE(EstFerie(j.date, false));
    }
    // Alsace-Moselle adds Good Friday and 26 December.
    EXPECT_EQ(texte(JoursFeries(2026, true)), QStringLiteral("01/01 03/04 06/04 01/05 08/05 14/05 25/05 14/07 15/08 "
                                                             "01/11 11/11 25/12 26/12"));
    EXPECT_FALSE(EstFerie(dayNumber(2026, 12, 26), false));
    EXPECT_EQ(JourFerieDu(dayNumber(2026, 4, 3), true)->nom, QStringLiteral("Vendredi saint"));
}
