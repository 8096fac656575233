// Hour texts, decimal hours and the reading of hour texts typed in the grids.
#include "calendar/HeureTexte.h"

#include <gtest/gtest.h>

using namespace kip;

TEST(HeureTexte, HoursAndMinutes)
{
    EXPECT_EQ(HeureTexte(0), QStringLiteral(" 0.00"));
    EXPECT_EQ(HeureTexte(485), QStringLiteral(" 8.05"));
    EXPECT_EQ(HeureTexte(2325), QStringLiteral("38.45"));
    EXPECT_EQ(HeureTexte(6000), QStringLiteral("100.00"));
    EXPECT_EQ(HeureTexte(-30), QStringLiteral("-0.30"));
    EXPECT_EQ(HeureTexte(-510), QStringLiteral("-8.30"));
}

TEST(HeureTexte, HundredthsOfAnHourAreRounded)
{
    EXPECT_EQ(HeureTexte(485, true), QStringLiteral(" 8.08"));
    EXPECT_EQ(HeureTexte(510, true), QStringLiteral(" 8.50"));
    EXPECT_EQ(HeureTexte(481, true), QStringLiteral(" 8.02")); // 1.67
    EXPECT_EQ(HeureTexte(539, true), QStringLiteral(" 8.98")); // 98.33, never 100
    EXPECT_EQ(HeureTexte(0, true), QStringLiteral(" 0.00"));
    // Every minute of a day gives a hundredth within a hundredth of the exact value.
    for (int m = 0; m < 60; ++m) {
        const QString t = HeureTexte(m, true);
        const double exact = m / 60.0 * 100.0;
        EXPECT_LE(std::abs(t.mid(3).toInt() - exact), 0.5) << m;
    }
}

TEST(HeureTexte, HeureDecimale)
{
    EXPECT_DOUBLE_EQ(HeureDecimale(510), 8.30);
    EXPECT_DOUBLE_EQ(HeureDecimale(-510), -8.30);
    EXPECT_DOUBLE_EQ(HeureDecimale(-485, true), -8.08);
    // Matches the hour text for every minute of two days, in both units.
    for (int m = 0; m < 2880; ++m) {
        for (bool decimal : {false, true})
            ASSERT_EQ(QString::number(HeureDecimale(m, decimal), 'f', 2), HeureTexte(m, decimal).trimmed()) << m;
    }
}

TEST(HeureTexte, MinutesDeTexte)
{
    bool ok = false;
    EXPECT_EQ(MinutesDeTexte(u" 8.30", &ok), 510);
    EXPECT_TRUE(ok);
    EXPECT_EQ(MinutesDeTexte(u"8.3"), 510); // 8.30
    EXPECT_EQ(MinutesDeTexte(u"10"), 600);  // 10.00
    EXPECT_EQ(MinutesDeTexte(u".1"), 10);   // 0.10
    EXPECT_EQ(MinutesDeTexte(u".01"), 1);
    EXPECT_EQ(MinutesDeTexte(u"7.75"), 495); // the formula as such: the grid refuses it beforehand
    EXPECT_EQ(MinutesDeTexte(u"     ", &ok), 0);
    EXPECT_TRUE(ok);

    // Every hour text reads back to its minutes (binary fractions such as 8.30 must not lose a minute).
    for (int m = -1439; m < 2880; ++m)
        ASSERT_EQ(MinutesDeTexte(HeureTexte(m)), m) << m;

    for (const char16_t* faux : {u"8h30", u"8.305", u"1.2.3", u".", u"-", u"8-3"}) {
        ok = true;
        EXPECT_EQ(MinutesDeTexte(faux, &ok), 0) << QString::fromUtf16(faux).toStdString();
        EXPECT_FALSE(ok) << QString::fromUtf16(faux).toStdString();
    }

    const HeureLue lu = LireHeureTexte(u"7.75");
    EXPECT_TRUE(lu.valide);
    EXPECT_EQ(lu.heures, 7);
    EXPECT_EQ(lu.decimales, 75);
}
