// The store's reads of the lists and the reports on both engines: parameters numbered by their first use, texts
// compared and ordered without regard to case, inactive lines and blank matricules where each read wants them.
#include "InstallationTest.h"
#include "data/DayLineReads.h"
#include "data/EmployeeReads.h"
#include "data/RecordFile.h"
#include "data/ServerConnection.h"

using namespace kip;

namespace {

constexpr qint32 Jour = 74000;

class Lectures : public serveuressai::SurLesDeuxMoteurs<InstallationTest>
{
protected:
    void SetUp() override
    {
        InstallationTest::SetUp();
        if (arrete())
            return;
        // In binary order "Dupont" would come before "bernard": the keys ignore case.
        const char* const employes[][3] = {
            {"martin", "Anne", ""}, {"Dupont", "Luc", "B2"}, {"dupont", "Marc", "a1"}, {"bernard", "Eve", ""}};
        for (int i = 0; i < 4; ++i) {
            const Personnel p = ajouter(employe(qint16(i + 1), QLatin1String(employes[i][0]),
                                                QLatin1String(employes[i][1]), QLatin1String(employes[i][2])));
            for (int d = 0; d < 3; ++d)
                ajouterJournee(p, Jour + d, {}, p.CARTE == 3 && d == 1);
        }
    }

    template <class R> static QList<int> cartes(Cursor<R> c)
    {
        QList<int> l;
        R r;
        FileError e;
        while ((e = c.next(r)).ok())
            l << r.CARTE;
        EXPECT_EQ(e.code, EndOfFile) << e.description().toStdString();
        return l;
    }

    std::unique_ptr<Database>& db = base;
};

} // namespace

TEST_P(Lectures, ParametersAreNumberedByTheirFirstUse)
{
    Statement st = db->prepare(
        QStringLiteral("SELECT count(*) FROM POINTVAL.POINTVAL WHERE (CARTE = $1 OR $1 = 0) AND DATE = $2"));
    ASSERT_TRUE(st.valid()) << st.error().description().toStdString();
    const int cas[][3] = {{2, Jour + 2, 1}, {0, Jour, 4}, {2, Jour + 5, 0}}; // card (0: any), date, lines
    for (auto [carte, date, attendu] : cas) {
        st.bind(1, qint64(carte));
        st.bind(2, qint64(date));
        ASSERT_EQ(st.step(), SqliteRow);
        EXPECT_EQ(st.columnInt(0), attendu) << carte << " " << date;
        st.reset();
    }
}

TEST_P(Lectures, ListAndReportReadsCompareTextsWithoutCase)
{
    const ActiveLineRange plage{Jour, Jour + 2, 1, 4};
    PointVal rien;
    EXPECT_EQ(cartes(readActiveLines(*db, DayLineOrder::DateName, plage, ReadStart::End, rien, Direction::Forward, 4)),
              QList<int>({4, 2, 3, 1}));
    PointVal marc;
    marc.NOM = QStringLiteral("DUPONT");
    marc.PRENOM = QStringLiteral("marc");
    EXPECT_EQ(cartes(readActiveLinesOf(*db, DayLineOrder::NameDate, plage, marc, Jour, ReadStart::At,
                                       Direction::Forward, 10)),
              QList<int>({3, 3})); // its inactive line left out
    const Result<std::optional<PointVal>> apres =
        neighbourOfLines(*db, DayLineOrder::NameDate, plage, ReadStart::After, &marc, Direction::Backward);
    ASSERT_TRUE(apres && *apres);
    EXPECT_EQ((*apres)->CARTE, 2);

    struct Compte
    {
        LineSelection selection;
        bool activesSeules;
        qint64 attendu;
    };
    const Compte comptes[] = {
        {{EmployeeKey::Name, Jour, Jour + 2, 0, 0, QStringLiteral("DUPONT"), QStringLiteral("dupont")}, true, 5},
        {{EmployeeKey::Name, Jour, Jour + 2, 0, 0, QStringLiteral("DUPONT"), QStringLiteral("dupont")}, false, 6},
        {{EmployeeKey::Matricule, Jour, Jour + 1, 0, 0, QStringLiteral("A1"), QStringLiteral("b2")}, false, 4},
        {{EmployeeKey::Card, Jour + 1, Jour + 5, 2, 4, {}, {}}, true, 5},
    };
    for (const Compte& c : comptes)
        EXPECT_EQ(countSelectedLines(*db, c.selection, c.activesSeules).valueOr(-1), c.attendu)
            << int(c.selection.key) << " " << c.activesSeules;

    // A report by name from "A" to "E": its groups in order, then the lines of one of them.
    const LineSelection parNom{EmployeeKey::Name, Jour, Jour + 1, 0, 0, QStringLiteral("A"), QStringLiteral("E")};
    QStringList groupes;
    std::optional<PointVal> groupe;
    for (int i = 0; i < 5; ++i) {
        Result<std::optional<PointVal>> g = nextLineGroup(*db, parNom, groupe ? &*groupe : nullptr);
        ASSERT_TRUE(g) << g.error().description().toStdString();
        if (!(groupe = *g))
            break;
        groupes << groupe->NOM + QLatin1Char(' ') + groupe->PRENOM;
    }
    EXPECT_EQ(groupes, QStringList({QStringLiteral("bernard Eve"), QStringLiteral("Dupont Luc"),
                                    QStringLiteral("dupont Marc")}));
    PointVal luc;
    luc.NOM = QStringLiteral("DUPONT");
    luc.PRENOM = QStringLiteral("luc");
    EXPECT_EQ(cartes(readGroupLines(*db, parNom, luc)), QList<int>({2, 2}));
    EXPECT_EQ(cartes(readAllLines(*db, EmployeeKey::Name)), QList<int>({4, 4, 4, 2, 2, 2, 3, 3, 3, 1, 1, 1}));
    PointVal sansMatricule;
    const LineSelection parMatricule{EmployeeKey::Matricule, Jour, Jour + 1, 0, 0, {}, QStringLiteral("Z")};
    EXPECT_EQ(cartes(readGroupLines(*db, parMatricule, sansMatricule)), QList<int>({1, 1, 4, 4}));
}

TEST_P(Lectures, ReadsRunTogetherInOneRoundTripWithTheirPreparations)
{
    // The list's opening, the first time: the check, a page and the last line of the order; on the server the
    // statements are prepared in the round trip that runs them.
    const ActiveLineRange plage{Jour, Jour + 2, 1, 4};
    const qint64 avant = serverRoundTrips();
    ASSERT_EQ(checkActiveLineReads(*db, DayLineOrder::DateCard), NoError);
    std::vector<Cursor<PointVal>> lus = readActiveLinesTogether(
        *db, DayLineOrder::DateCard, plage,
        {{ReadStart::End, {}, Direction::Forward, 5}, {ReadStart::End, {}, Direction::Backward, 2}});
    EXPECT_EQ(serverRoundTrips() - avant, moteur() == serveuressai::Moteur::Serveur ? 1 : 0);
    EXPECT_EQ(cartes(std::move(lus[0])), QList<int>({1, 2, 3, 4, 1}));
    EXPECT_EQ(cartes(std::move(lus[1])), QList<int>({4, 3}));

    // A statement that cannot be prepared: its error comes at the latest with the next round trip, and the
    // reads after that one never meet it.
    Statement mauvais =
        db->prepare(QStringLiteral("SELECT ABSENT FROM POINTVAL.POINTVAL"), Rows::Few, Preparation::WithNextRun);
    std::vector<Cursor<PointVal>> suivants =
        readActiveLinesTogether(*db, DayLineOrder::DateCard, plage, {{ReadStart::End, {}, Direction::Forward, 1}});
    PointVal v;
    const FileError lu = suivants[0].next(v);
    EXPECT_NE(mauvais.valid(), lu.ok());
    if (mauvais.valid()) { // the server's own message, not a statement name it does not know
        EXPECT_TRUE(lu.description().contains(QLatin1String("absent"), Qt::CaseInsensitive))
            << lu.description().toStdString();
    }
    EXPECT_EQ(cartes(readActiveLines(*db, DayLineOrder::DateCard, plage, ReadStart::End, v, Direction::Forward, 2)),
              QList<int>({1, 2}));
}

TEST_P(Lectures, EmployeeReadsFollowTheListsOrders)
{
    const Result<std::optional<Personnel>> premier = endEmployee(*db, EmployeeKey::Name, Direction::Forward);
    const Result<std::optional<Personnel>> dernier = endEmployee(*db, EmployeeKey::Name, Direction::Backward);
    ASSERT_TRUE(premier && *premier && dernier && *dernier);
    EXPECT_EQ((*premier)->CARTE, 4);
    EXPECT_EQ((*dernier)->CARTE, 1);
    EXPECT_EQ(cartes(readEmployeesInOrder(*db, EmployeeKey::Name)), QList<int>({4, 2, 3, 1}));

    Personnel luc;
    luc.NOM = QStringLiteral("DUPONT");
    luc.PRENOM = QStringLiteral("luc");
    struct Cas
    {
        EmployeeStretch stretch;
        StretchRead lecture;
        const Personnel* cle;
        QList<int> attendu;
    };
    const Cas cas[] = {
        {EmployeeStretch::Name, StretchRead::After, &luc, {3, 1}},
        {EmployeeStretch::Name, StretchRead::From, &luc, {2, 3}},
        {EmployeeStretch::Name, StretchRead::Before, &luc, {4}},
        {EmployeeStretch::BlankMatricule, StretchRead::First, nullptr, {1, 4}},
        {EmployeeStretch::Matricule, StretchRead::Last, nullptr, {2, 3}},
    };
    for (const Cas& c : cas) {
        std::vector<Personnel> lus;
        const FileError e = readEmployeeStretch(*db, c.stretch, c.lecture, c.cle, 2, lus);
        ASSERT_TRUE(e.ok()) << e.description().toStdString();
        QList<int> l;
        for (const Personnel& p : lus)
            l << p.CARTE;
        EXPECT_EQ(l, c.attendu) << int(c.stretch) << " " << int(c.lecture);
    }
}

INSTANTIATE_TEST_SUITE_P(Moteurs, Lectures, LesDeuxMoteurs);
