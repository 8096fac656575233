// The grid's rules without a file: reading a cell and its short forms, the chronology of a day with one
// roll-over past midnight, day and week totals with the week rounding, the cursor over shown days, which days
// changed, what a save writes and the draft of the unsaved rows.
#include "correction/GrilleSemaine.h"

#include "InstallationTest.h"
#include "punch/CalculerTotal.h"

using namespace kip;
using essai::h;

namespace {

PointVal ligne(qint32 date, std::initializer_list<int> user, bool inactif = false)
{
    PointVal v;
    v.clearPunches();
    v.DATE = date;
    v.INACTIF = inactif ? 1 : 0;
    int i = 0;
    for (int m : user) {
        v.POINTAGE_PROGRAMME[size_t(i)] = v.POINTAGE_UTILISATEUR[size_t(i)] = qint16(m);
        ++i;
    }
    CalculerTotal(v);
    return v;
}

TextesJour jourDe(std::initializer_list<const char*> textes)
{
    TextesJour t;
    int i = 0;
    for (const char* s : textes)
        t[size_t(i++)] = QString::fromLatin1(s);
    return t;
}

const qint32 Lundi = dayNumber(2026, 12, 7);

} // namespace

TEST(CelluleHeure, ShortFormsAndRefusals)
{
    struct Cas
    {
        const char* tape;
        CelluleLue::Etat etat;
        int minutes;
        const char* texte;
    };
    const Cas cas[] = {
        {"1", CelluleLue::Valide, 60, " 1.00"},
        {".01", CelluleLue::Valide, 1, " 0.01"},
        {"10", CelluleLue::Valide, 600, "10.00"},
        {".1", CelluleLue::Valide, 10, " 0.10"},
        {"8.3", CelluleLue::Valide, 510, " 8.30"},
        {" 8.05", CelluleLue::Valide, 485, " 8.05"},
        {"23.59", CelluleLue::Valide, 1439, "23.59"},
        {"0", CelluleLue::Valide, 0, " 0.00"},
        {"1.", CelluleLue::Valide, 60, " 1.00"},
        {"", CelluleLue::Vide, 0, ""},
        {"     ", CelluleLue::Vide, 0, ""},
        {"7.75", CelluleLue::HeureInvalide, 0, ""},
        {"24", CelluleLue::HeureInvalide, 0, ""},
        {"1.2.3", CelluleLue::HeureInvalide, 0, ""},
        {"1 2", CelluleLue::HeureInvalide, 0, ""},
        {".", CelluleLue::HeureInvalide, 0, ""},
        {"8.305", CelluleLue::HeureInvalide, 0, ""},
        {"8h30", CelluleLue::CaractereInvalide, 0, ""},
        {"-1", CelluleLue::CaractereInvalide, 0, ""},
        {"8,30", CelluleLue::CaractereInvalide, 0, ""},
        {"123456", CelluleLue::CaractereInvalide, 0, ""},
    };
    for (const Cas& c : cas) {
        const CelluleLue lu = LireCellule(QString::fromLatin1(c.tape));
        EXPECT_EQ(lu.etat, c.etat) << c.tape;
        if (c.etat == CelluleLue::Valide) {
            EXPECT_EQ(lu.minutes, c.minutes) << c.tape;
            EXPECT_EQ(lu.texte, QString::fromLatin1(c.texte)) << c.tape;
        }
    }
    // Stored values as cells: after midnight shown as the time of that night, anything else blank.
    EXPECT_EQ(TexteCellule(485), QStringLiteral(" 8.05"));
    EXPECT_EQ(TexteCellule(1800), QStringLiteral(" 6.00"));
    EXPECT_EQ(TexteCellule(PunchEmpty), QString());
    EXPECT_EQ(TexteCellule(2880), QString());
    EXPECT_EQ(TexteCellule(-1), QString());
}

TEST(CelluleHeure, ChronologyRollsOverOnce)
{
    // Entry 22.00, exit 6.00: the exit is the next morning, 8 hours.
    Chronologie c = ChronologieJour(jourDe({"22.00", " 6.00"}));
    ASSERT_TRUE(c.valide());
    EXPECT_EQ(c.valeurs[0], h(22));
    EXPECT_EQ(c.valeurs[1], h(6) + 1440);
    EXPECT_EQ(c.valeurs[2], PunchEmpty);
    EXPECT_EQ(c.total, h(8));
    // A third time earlier than 6.00 would roll over a second time: refused at that cell.
    c = ChronologieJour(jourDe({"22.00", " 6.00", " 5.00"}));
    EXPECT_EQ(c.etat, Chronologie::SecondPassage);
    EXPECT_EQ(c.colonne, 2);
    EXPECT_EQ(c.total, 0);
    // Later that morning is fine.
    c = ChronologieJour(jourDe({"22.00", " 6.00", " 7.00", " 7.30"}));
    ASSERT_TRUE(c.valide());
    EXPECT_EQ(c.valeurs[3], h(7, 30) + 1440);
    EXPECT_EQ(c.total, h(8) + 30);
    // An equal time is not later: it rolls the day over.
    c = ChronologieJour(jourDe({" 8.00", " 8.00"}));
    ASSERT_TRUE(c.valide());
    EXPECT_EQ(c.valeurs[1], h(8) + 1440);
    // Blank cells are walked over; a pair with only its entry adds nothing.
    c = ChronologieJour(jourDe({" 8.00", "", "13.00", "17.00", "18.00"}));
    ASSERT_TRUE(c.valide());
    EXPECT_EQ(c.total, h(4));
    // A cell that is not a time stops the walk there.
    c = ChronologieJour(jourDe({" 8.00", "x"}));
    EXPECT_EQ(c.etat, Chronologie::CelluleInvalide);
    EXPECT_EQ(c.colonne, 1);
}

TEST(GrilleSemaine, CellEntryAndTotals)
{
    GrilleSemaine g;
    std::array<std::optional<PointVal>, JoursSemaine> lignes;
    for (int j = 0; j < JoursSemaine; ++j)
        lignes[size_t(j)] = ligne(Lundi + j, {});
    lignes[0] = ligne(Lundi, {h(8), h(12), h(13, 30), h(17, 30)});
    g.charger(essai::Installation::employe(1, QStringLiteral("A")), Lundi, lignes);
    EXPECT_EQ(g.jour(0).utilisateur[2], QStringLiteral("13.30"));
    EXPECT_EQ(g.jour(0).total, h(8));
    EXPECT_EQ(g.totalSemaine(), h(8));

    // Tuesday: a night shift typed in short forms.
    EXPECT_EQ(g.saisir(1, 0, QStringLiteral("22")).etat, GrilleSemaine::Saisie::Acceptee);
    EXPECT_EQ(g.jour(1).utilisateur[0], QStringLiteral("22.00"));
    EXPECT_EQ(g.saisir(1, 1, QStringLiteral("6")).etat, GrilleSemaine::Saisie::Acceptee);
    EXPECT_EQ(g.jour(1).total, h(8));
    EXPECT_EQ(g.totalSemaine(), h(16));
    // A third time before 6.00: refused, the totals stay.
    GrilleSemaine::Saisie s = g.saisir(1, 2, QStringLiteral("5"));
    EXPECT_EQ(s.etat, GrilleSemaine::Saisie::Chronologie);
    EXPECT_EQ(s.colonne, 2);
    EXPECT_EQ(g.jour(1).total, h(8));
    // Blanking it puts the day right again.
    EXPECT_EQ(g.saisir(1, 2, QString()).etat, GrilleSemaine::Saisie::Acceptee);
    // A bad character is kept in the cell for the operator to mend, and refused.
    s = g.saisir(1, 3, QStringLiteral("7.75"));
    EXPECT_EQ(s.etat, GrilleSemaine::Saisie::Refusee);
    EXPECT_EQ(g.jour(1).utilisateur[3], QStringLiteral("7.75"));
    EXPECT_EQ(g.jour(1).total, h(8));
    // Wednesday: an entry without its exit adds nothing.
    EXPECT_EQ(g.saisir(2, 0, QStringLiteral("9")).etat, GrilleSemaine::Saisie::Acceptee);
    EXPECT_EQ(g.jour(2).total, 0);
}

TEST(GrilleSemaine, WeekTotalsRoundedByTheEmployeesCode)
{
    // 2401 minutes over the week: 40.01, rounded up by 15 to 40.15, down by 60 to 40.00.
    std::array<std::optional<PointVal>, JoursSemaine> lignes;
    lignes[0] = ligne(Lundi, {h(8), h(16)});
    lignes[1] = ligne(Lundi + 1, {h(8), h(16)});
    lignes[2] = ligne(Lundi + 2, {h(8), h(16)});
    lignes[3] = ligne(Lundi + 3, {h(8), h(16)});
    lignes[4] = ligne(Lundi + 4, {h(8), h(16, 1)});
    lignes[5] = ligne(Lundi + 5, {h(8), h(9)}, true); // inactive: hidden, not counted
    struct Cas
    {
        const char* code;
        const char* arrondi;
    };
    for (const Cas c : {Cas{"+15", "40.15"}, Cas{"-60", "40.00"}, Cas{"000", "40.01"}}) {
        Personnel p = essai::Installation::employe(1, QStringLiteral("A"));
        p.ARRONDI_SEMAINE = QString::fromLatin1(c.code);
        GrilleSemaine g;
        g.charger(p, Lundi, lignes);
        EXPECT_EQ(g.totalSemaine(), 2401);
        EXPECT_EQ(TexteTotal(g.totalSemaine()), QStringLiteral(" 40.01"));
        EXPECT_EQ(TexteTotal(g.totalArrondi()), QStringLiteral(" ") + QString::fromLatin1(c.arrondi)) << c.code;
    }
    EXPECT_EQ(TexteTotal(0), QString());
}

TEST(GrilleSemaine, HiddenDaysAreSkippedByTheCursorAndBySaving)
{
    std::array<std::optional<PointVal>, JoursSemaine> lignes;
    for (int j = 0; j < JoursSemaine; ++j)
        lignes[size_t(j)] = ligne(Lundi + j, {h(8), h(12)});
    lignes[0] = ligne(Lundi, {h(8), h(12)}, true); // Monday inactive
    lignes[3].reset();                             // no Thursday line
    GrilleSemaine g;
    g.charger(essai::Installation::employe(1, QStringLiteral("A")), Lundi, lignes);
    EXPECT_TRUE(g.jour(0).cache);
    EXPECT_TRUE(g.jour(3).cache);
    EXPECT_EQ(g.totalSemaine(), 5 * h(4)); // the hidden Monday's four hours are not the week's
    EXPECT_EQ(g.premierJourAffiche(), 1);
    EXPECT_EQ(g.jourVoisin(2, 1), 4);  // down over Thursday
    EXPECT_EQ(g.jourVoisin(6, 1), 1);  // from Sunday round to Tuesday, over Monday
    EXPECT_EQ(g.jourVoisin(1, -1), 6); // and back up
    EXPECT_EQ(GrilleSemaine::colonneVoisine(13, 1), 0);
    EXPECT_EQ(GrilleSemaine::colonneVoisine(0, -1), 13);
    // Text left in a hidden day is never saved, nor counted in the week.
    g.poser(0, 0, QStringLiteral("9.00"));
    g.saisir(0, 1, QStringLiteral("12.00"));
    EXPECT_EQ(g.totalSemaine(), 5 * h(4));
    EXPECT_TRUE(g.joursModifies().empty());
    EXPECT_TRUE(g.brouillon().vide());
    // A week with no day shown.
    for (auto& l : lignes)
        l.reset();
    g.charger(essai::Installation::employe(1, QStringLiteral("A")), Lundi, lignes);
    EXPECT_FALSE(g.unJourAffiche());
    EXPECT_EQ(g.jourVoisin(2, 1), -1);
}

TEST(GrilleSemaine, WhatASaveWrites)
{
    std::array<std::optional<PointVal>, JoursSemaine> lignes;
    for (int j = 0; j < JoursSemaine; ++j)
        lignes[size_t(j)] = ligne(Lundi + j, {h(8), h(12)});
    PointVal corrige = ligne(Lundi + 4, {h(8), h(12)});
    corrige.POINTAGE_UTILISATEUR[1] = qint16(h(11));
    corrige.MODIF = 1;
    CalculerTotal(corrige);
    lignes[4] = corrige;
    GrilleSemaine g;
    g.charger(essai::Installation::employe(1, QStringLiteral("A")), Lundi, lignes);
    EXPECT_TRUE(g.joursModifies().empty());

    // Typed but not left, then left: the same text as loaded is no change.
    g.poser(0, 0, QStringLiteral("8"));
    EXPECT_TRUE(g.joursModifies().empty());
    // A night exit on Tuesday.
    ASSERT_EQ(g.saisir(1, 2, QStringLiteral("22")).etat, GrilleSemaine::Saisie::Acceptee);
    ASSERT_EQ(g.saisir(1, 3, QStringLiteral("2")).etat, GrilleSemaine::Saisie::Acceptee);
    // Friday put back as the programme has it: its POV:MODIF goes back to 0.
    ASSERT_EQ(g.saisir(4, 1, QStringLiteral("12")).etat, GrilleSemaine::Saisie::Acceptee);
    EXPECT_EQ(g.joursModifies(), (std::vector<int>{1, 4}));
    GrilleSemaine::Verification v = g.verifier();
    ASSERT_TRUE(v.valide);
    ASSERT_EQ(v.ecritures.size(), 2u);
    EXPECT_EQ(v.ecritures[0].date, Lundi + 1);
    EXPECT_EQ(v.ecritures[0].utilisateur[2], h(22));
    EXPECT_EQ(v.ecritures[0].utilisateur[3], h(2) + 1440);
    EXPECT_EQ(v.ecritures[0].utilisateur[4], PunchEmpty);
    EXPECT_EQ(v.ecritures[0].total, h(4) + h(4));
    EXPECT_EQ(v.ecritures[0].modif, 1);
    EXPECT_EQ(v.ecritures[1].modif, 0);
    EXPECT_EQ(v.ecritures[1].total, h(4));

    // A changed day with a cell that is not a time stops the save there.
    g.poser(6, 5, QStringLiteral("ab"));
    v = g.verifier();
    EXPECT_FALSE(v.valide);
    EXPECT_EQ(v.jour, 6);
    EXPECT_EQ(v.colonne, 5);
    EXPECT_TRUE(v.ecritures.empty());
}

TEST(GrilleSemaine, DraftHoldsTheUnsavedRows)
{
    std::array<std::optional<PointVal>, JoursSemaine> lignes;
    for (int j = 0; j < JoursSemaine; ++j)
        lignes[size_t(j)] = ligne(Lundi + j, {h(8), h(12)});
    const Personnel p = essai::Installation::employe(7, QStringLiteral("A"));
    GrilleSemaine g;
    g.charger(p, Lundi, lignes);
    EXPECT_TRUE(g.brouillon().vide());
    ASSERT_EQ(g.saisir(2, 1, QStringLiteral("13")).etat, GrilleSemaine::Saisie::Acceptee);
    g.poser(3, 0, QStringLiteral("9")); // still being typed
    const Brouillon b = g.brouillon();
    EXPECT_EQ(b.carte, 7);
    EXPECT_EQ(b.lundi, Lundi);
    EXPECT_FALSE(b.jours[0]);
    ASSERT_TRUE(b.jours[2]);
    EXPECT_EQ((*b.jours[2])[1], QStringLiteral("13.00"));
    ASSERT_TRUE(b.jours[3]);
    EXPECT_EQ((*b.jours[3])[0], QStringLiteral("9"));

    // Back into a fresh load of the same week; another card or week takes nothing.
    GrilleSemaine autre;
    autre.charger(p, Lundi + 7, lignes);
    EXPECT_FALSE(autre.reprendre(b));
    GrilleSemaine reprise;
    reprise.charger(p, Lundi, lignes);
    ASSERT_TRUE(reprise.reprendre(b));
    EXPECT_EQ(reprise.jour(2).total, h(5));
    EXPECT_EQ(reprise.joursModifies(), (std::vector<int>{2, 3}));
    EXPECT_EQ(reprise.brouillon(), b);
}
