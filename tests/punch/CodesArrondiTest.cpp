// Rounding codes: values, the lists offered by the forms and the labels shown by forms and reports.
#include "punch/CodesArrondi.h"

#include <gtest/gtest.h>

using namespace kip;

TEST(CodesArrondi, ValueIsTheCodeReadAsANumber)
{
    EXPECT_EQ(roundingValue("00"), 0);
    EXPECT_EQ(roundingValue("05"), 5);
    EXPECT_EQ(roundingValue("60"), 60);
    EXPECT_EQ(roundingValue("+15"), 15);
    EXPECT_EQ(roundingValue("-30"), -30);
    EXPECT_EQ(roundingValue("000"), 0);
    // Codes that are no number mean no rounding rather than a fault.
    EXPECT_EQ(roundingValue(""), 0);
    EXPECT_EQ(roundingValue("ab"), 0);
}

TEST(CodesArrondi, ListsInDropDownOrder)
{
    EXPECT_EQ(roundingCodes(), QStringList({"00", "05", "10", "15", "30", "60"}));
    EXPECT_EQ(weekRoundingCodes(),
              QStringList({"000", "+05", "+10", "+15", "+30", "+60", "-05", "-10", "-15", "-30", "-60"}));
}

TEST(CodesArrondi, EntryAndExitLabels)
{
    EXPECT_EQ(entryRoundingLabel("00"), QStringLiteral("Pas d'arrondi"));
    EXPECT_EQ(exitRoundingLabel("00"), QStringLiteral("Pas d'arrondi"));
    EXPECT_EQ(entryRoundingLabel("05"), QStringLiteral("Arrondi aux 5 minutes supérieures"));
    EXPECT_EQ(exitRoundingLabel("05"), QStringLiteral("Arrondi aux 5 minutes inférieures"));
    EXPECT_EQ(entryRoundingLabel("15"), QStringLiteral("Arrondi aux 15 minutes supérieures"));
    EXPECT_EQ(exitRoundingLabel("15"), QStringLiteral("Arrondi aux 15 minutes inférieures"));
    EXPECT_EQ(entryRoundingLabel("60"), QStringLiteral("Arrondi aux 60 minutes supérieures"));
    EXPECT_EQ(exitRoundingLabel("10"), QStringLiteral("Arrondi aux 10 minutes inférieures"));
    EXPECT_EQ(exitRoundingLabel("30"), QStringLiteral("Arrondi aux 30 minutes inférieures"));
    for (const char* unknown : {"", "07", "5", "000", "+05", " 5"}) {
        EXPECT_TRUE(entryRoundingLabel(unknown).isEmpty()) << unknown;
        EXPECT_TRUE(exitRoundingLabel(unknown).isEmpty()) << unknown;
    }
}

TEST(CodesArrondi, WeekLabelsFollowTheSign)
{
    EXPECT_EQ(weekRoundingLabel("000"), QStringLiteral("Pas d'arrondi"));
    EXPECT_EQ(weekRoundingLabel("+05"), QStringLiteral("Arrondi aux 5 minutes supérieures"));
    EXPECT_EQ(weekRoundingLabel("-30"), QStringLiteral("Arrondi aux 30 minutes inférieures"));
    EXPECT_EQ(weekRoundingLabel("+60"), QStringLiteral("Arrondi aux 60 minutes supérieures"));
    // Every signed code carries the entry label (up) or the exit label (down) of its step.
    for (const QString& code : weekRoundingCodes().mid(1)) {
        const QString step = code.mid(1);
        EXPECT_EQ(weekRoundingLabel(code), code[0] == u'+' ? entryRoundingLabel(step) : exitRoundingLabel(step))
            << code.toStdString();
    }
    for (const char* unknown : {"", "00", "15", "+07", "+5", "x15"})
        EXPECT_TRUE(weekRoundingLabel(unknown).isEmpty()) << unknown;
}
