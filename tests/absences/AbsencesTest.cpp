// The absence records through the window's model and the store: a code on a selection, half days, hours,
// the journal and the undo; planned hours over a change of contract; types in use; who is here now.
#include "InstallationAbsences.h"
#include "absences/HorairesPrevus.h"
#include "absences/ModeleAbsences.h"
#include "absences/PresenceDuJour.h"
#include "data/Employees.h"

using namespace kip;

namespace {
const qint32 Lundi = dayNumber(2026, 5, 11);
} // namespace

TEST_F(InstallationAbsences, CodeOnASelectionHalfDaysHoursAndUndo)
{
    Result<ModeleAbsences> m = ModeleAbsences::charger(*db, MoisDe(Lundi, EmployeeKey::Card));
    ASSERT_TRUE(m.ok()) << m.error().description().toStdString();
    ASSERT_EQ(m->lignes(), 3);
    ASSERT_EQ(m->employe(1).CARTE, 12);
    ASSERT_EQ(m->colonnes(), 31);
    const int lundi = Lundi - m->choix().debut;
    EXPECT_TRUE(m->ferie(lundi + 3)); // Ascension, 14 May
    EXPECT_TRUE(m->finDeSemaine(lundi - 1));

    // CP on three cells of two employees at once.
    const std::vector<CaseAbsence> selection = {{0, lundi}, {0, lundi + 1}, {1, lundi}};
    ASSERT_TRUE(m->enregistrer(*db, m->poser(selection, absence("cp", PartieJour::Journee)), "saisie").ok());
    EXPECT_EQ(stored(7, Lundi), QStringLiteral("CP journée")); // the code as the type has it
    EXPECT_EQ(stored(7, Lundi + 1), QStringLiteral("CP journée"));
    EXPECT_EQ(stored(12, Lundi), QStringLiteral("CP journée"));
    EXPECT_EQ(journal().size(), 3u);

    // A morning replaces the whole day; an afternoon and hours sit beside it; a whole day replaces them all.
    const std::vector<CaseAbsence> une = {{1, lundi}};
    ASSERT_TRUE(m->enregistrer(*db, m->poser(une, absence("RTT", PartieJour::Matin)), "saisie").ok());
    ASSERT_TRUE(m->enregistrer(*db, m->poser(une, absence("MAL", PartieJour::ApresMidi)), "saisie").ok());
    ASSERT_TRUE(m->enregistrer(*db, m->poser(une, absence("REC", PartieJour::Heures, 90)), "saisie").ok());
    EXPECT_EQ(stored(12, Lundi), QStringLiteral("RTT matin; MAL après-midi; REC 1.30"));
    EXPECT_EQ(m->jour(1, lundi).absences.size(), 3u);
    ASSERT_TRUE(m->enregistrer(*db, m->effacer(une, PartieJour::Matin), "saisie").ok());
    EXPECT_EQ(stored(12, Lundi), QStringLiteral("MAL après-midi; REC 1.30"));
    const Journal dernier = journal().back();
    EXPECT_EQ(dernier.CARTE, 12);
    EXPECT_EQ(dernier.JOUR, Lundi);
    EXPECT_EQ(dernier.AVANT, QStringLiteral("RTT matin; MAL après-midi; REC 1.30"));

    // Undo puts back each state in turn, down to the first selection.
    for (const char* attendu :
         {"RTT matin; MAL après-midi; REC 1.30", "RTT matin; MAL après-midi", "RTT matin", "CP journée", "(aucune)"}) {
        ASSERT_TRUE(m->annuler(*db).ok());
        EXPECT_EQ(stored(12, Lundi), QString::fromUtf8(attendu));
    }
    EXPECT_EQ(stored(7, Lundi), QStringLiteral("(aucune)"));
    EXPECT_FALSE(m->peutAnnuler());

    // Two absences on one part of a day, or an unknown type, are refused whole: nothing is written.
    JourAbsences mauvais{7, Lundi, {absence("CP", PartieJour::Matin), absence("RTT", PartieJour::Journee)}};
    for (Absence& a : mauvais.absences)
        a.CARTE = 7, a.DATE = Lundi;
    JourAbsences bon{30, Lundi, {}};
    bon.poser(absence("CP", PartieJour::Journee));
    EXPECT_FALSE(m->enregistrer(*db, {bon, mauvais}, "saisie").ok());
    EXPECT_FALSE(m->enregistrer(*db, m->poser(une, absence("XYZ", PartieJour::Journee)), "saisie").ok());
    EXPECT_EQ(stored(30, Lundi), QStringLiteral("(aucune)"));
}

TEST_F(InstallationAbsences, PlannedHoursKeepThePastAcrossAChangeOfContract)
{
    Personnel martin = employeEssai(12, QStringLiteral("MARTIN"));
    martin.DATE_EMBAUCHE = dayNumber(2026, 1, 5);
    martin.PERIODE_INACTIVITE_DEBUT[0] = dayNumber(2026, 3, 2);
    martin.PERIODE_INACTIVITE_FIN[0] = dayNumber(2026, 3, 8);
    const qint32 mercredi = dayNumber(2026, 2, 4);
    Result<HorairesPrevus> h = LireHoraires(*db);
    ASSERT_TRUE(h.ok());
    EXPECT_EQ(h->minutes(martin, mercredi), 7 * 60);           // the default pattern
    EXPECT_EQ(h->minutes(martin, mercredi + 3), 0);            // Saturday
    EXPECT_EQ(h->minutes(martin, dayNumber(2025, 12, 31)), 0); // before hiring
    EXPECT_EQ(h->minutes(martin, dayNumber(2026, 3, 4)), 0);   // inactive

    // From 1 April on, Wednesdays off and 8.45 on the other weekdays.
    Horaire avril;
    avril.DEBUT = dayNumber(2026, 4, 1);
    avril.MINUTES = {525, 525, 0, 525, 525, 0, 0};
    ASSERT_TRUE(EnregistrerHoraire(*db, martin, avril).ok());
    // The same pattern again writes nothing.
    ASSERT_TRUE(EnregistrerHoraire(*db, martin, avril).ok());
    h = LireHoraires(*db);
    ASSERT_TRUE(h.ok());
    EXPECT_EQ(h->minutes(martin, mercredi), 7 * 60);
    EXPECT_EQ(h->minutes(martin, dayNumber(2026, 4, 8)), 0);
    EXPECT_EQ(h->minutes(martin, dayNumber(2026, 4, 9)), 525);
    EXPECT_EQ(h->deLaCarte(12).size(), 1u);
    ASSERT_EQ(journal().size(), 1u);
    EXPECT_EQ(journal().front().CAUSE, QString::fromUtf8(CauseJournal::HoraireEmploye));

    // A new default pattern applies to the cards without planned hours of their own, not to the others.
    ReglagesAbsences r = ReglagesParDefaut();
    r.HORAIRE_DEFAUT = {480, 480, 480, 480, 420, 0, 0};
    ASSERT_TRUE(EnregistrerReglages(*db, r).ok());
    h = LireHoraires(*db);
    Personnel bernard = employeEssai(7, QStringLiteral("BERNARD"));
    EXPECT_EQ(h->minutes(bernard, dayNumber(2026, 4, 8)), 480);
    EXPECT_EQ(h->minutes(martin, dayNumber(2026, 4, 9)), 525);
    r.HORAIRE_DEFAUT[0] = 1441;
    EXPECT_FALSE(EnregistrerReglages(*db, r).ok());
}

TEST_F(InstallationAbsences, TypesInUseCannotGoAndAnEmptyFileReadsTheUsualOnes)
{
    Result<std::vector<TypeAbsence>> types = LireTypes(*db);
    ASSERT_TRUE(types.ok());
    ASSERT_EQ(types->size(), 8u);
    EXPECT_TRUE(TypeDuCode(*types, u"JF"));

    JourAbsences j{30, Lundi, {}};
    j.poser(absence("FOR", PartieJour::Journee));
    ASSERT_TRUE(EnregistrerJours(*db, {j}, {}, "saisie").ok());

    std::vector<TypeAbsence> sansFor = *types;
    std::erase_if(sansFor, [](const TypeAbsence& t) { return t.CODE == QLatin1String("FOR"); });
    const FileError refus = EnregistrerTypes(*db, sansFor);
    EXPECT_FALSE(refus.ok());
    EXPECT_TRUE(refus.text.contains(QStringLiteral("FOR"))) << refus.text.toStdString();

    // Another type renamed and a new one: stored, journalled one entry per type changed.
    std::vector<TypeAbsence> nouveaux = *types;
    nouveaux[0].LIBELLE = QStringLiteral("Congés");
    TypeAbsence ev;
    ev.CODE = QStringLiteral("EVT");
    ev.LIBELLE = QStringLiteral("Événement familial");
    ev.CREDITE = 1;
    nouveaux.push_back(ev);
    const size_t avant = journal().size();
    ASSERT_TRUE(EnregistrerTypes(*db, nouveaux).ok());
    EXPECT_EQ(journal().size(), avant + 2);
    types = LireTypes(*db);
    ASSERT_EQ(types->size(), 9u);
    ev.CODE = QStringLiteral("ev1");
    nouveaux.push_back(ev);
    EXPECT_FALSE(EnregistrerTypes(*db, nouveaux).ok()); // lower case and a digit
}

TEST_F(InstallationAbsences, WhoIsHereNow)
{
    // The weeks before: BERNARD (7) comes at 8.00, PETIT (30) at 9.30; MARTIN (12) never punched.
    for (int d = 1; d <= 10; ++d) {
        addDayLine(7, Lundi - d, {480, 1020});
        addDayLine(30, Lundi - d, {570, 1080});
    }
    addDayLine(7, Lundi, {478}); // in since 7.58
    Result<Presences> p = LirePresences(*db, Lundi, 9 * 60);
    ASSERT_TRUE(p.ok()) << p.error().description().toStdString();
    ASSERT_EQ(p->presents.size(), 1u);
    EXPECT_EQ(p->presents[0].detail, QStringLiteral("depuis 7.58"));
    // MARTIN has no usual time: the staff's median first punch (9.30 of ten 8.00 and ten 9.30) applies; at 9.00
    // nobody is late yet.
    EXPECT_TRUE(p->attendus.empty());
    EXPECT_EQ(p->aVenir, 2);

    JourAbsences cp{12, Lundi, {}};
    cp.poser(absence("CP", PartieJour::Journee));
    ASSERT_TRUE(EnregistrerJours(*db, {cp}, {}, "saisie").ok());
    p = LirePresences(*db, Lundi, 9 * 60 + 46);
    ASSERT_TRUE(p.ok());
    ASSERT_EQ(p->absents.size(), 1u);
    EXPECT_EQ(p->absents[0].carte, 12);
    EXPECT_EQ(p->absents[0].detail, QStringLiteral("CP"));
    ASSERT_EQ(p->attendus.size(), 1u); // 9.30 and 15 minutes of margin have passed
    EXPECT_EQ(p->attendus[0].detail, QStringLiteral("attendu à 9.30"));

    addDayLine(30, Lundi, {600, 700});
    p = LirePresences(*db, Lundi, 12 * 60);
    ASSERT_EQ(p->partis.size(), 1u);
    EXPECT_EQ(p->partis[0].detail, QStringLiteral("parti à 11.40"));
    // Ascension: nobody without a punch is expected.
    p = LirePresences(*db, Lundi + 3, 12 * 60);
    EXPECT_TRUE(p->attendus.empty());
    EXPECT_EQ(p->absents.size(), 3u);
}

TEST_F(InstallationAbsences, AbsencesAndPlannedHoursFollowTheCardAndGoWithTheEmployee)
{
    JourAbsences cp{12, Lundi, {}};
    cp.poser(absence("CP", PartieJour::Journee));
    ASSERT_TRUE(EnregistrerJours(*db, {cp}, {}, "saisie").ok());
    Personnel martin;
    martin.CARTE = 12;
    {
        FileUse use(FileId::Personnel);
        RecordFile<Personnel> f(*db);
        ASSERT_TRUE(f.open().ok());
        ASSERT_TRUE(f.get(martin, PER_K_CARTE).ok());
    }
    Horaire h;
    h.MINUTES = {360, 360, 360, 360, 360, 0, 0};
    ASSERT_TRUE(EnregistrerHoraire(*db, martin, h).ok());

    const LinkValues avant = LinkValues::of(martin);
    martin.CARTE = 13;
    ASSERT_TRUE(updateEmployee(*db, martin, avant).ok());
    EXPECT_EQ(stored(12, Lundi), QStringLiteral("(aucune)"));
    EXPECT_EQ(stored(13, Lundi), QStringLiteral("CP journée"));
    Result<HorairesPrevus> prevus = LireHoraires(*db);
    EXPECT_EQ(prevus->deLaCarte(13).size(), 1u);
    EXPECT_TRUE(prevus->deLaCarte(12).empty());

    ASSERT_TRUE(deleteEmployee(*db, martin).ok());
    EXPECT_EQ(stored(13, Lundi), QStringLiteral("(aucune)"));
    prevus = LireHoraires(*db);
    EXPECT_TRUE(prevus->deLaCarte(13).empty());
}

TEST(ReglesAbsences, ShortTextOfTheGridReadBackAndRefused)
{
    const std::vector<TypeAbsence> types = TypesParDefaut();
    JourAbsences ancien{12, Lundi, {}};
    Absence commente;
    commente.CODE = QStringLiteral("RTT");
    commente.PARTIE = quint8(PartieJour::Matin);
    commente.COMMENTAIRE = QStringLiteral("pont");
    ancien.poser(commente);
    struct Cas
    {
        const char* texte;
        const char* lu; // TexteJourAbsences, or nullptr when refused
    };
    const Cas cas[] = {
        {"cp", "CP journée"},
        {" rtt m / mal am ", "RTT matin - pont; MAL après-midi"}, // the morning keeps its comment
        {"MAL M/REC 1.30", "MAL matin; REC 1.30"},
        {"ABS J", "ABS journée"},
        {"", "(aucune)"},
        {"CP/RTT M", nullptr},   // a whole day and a morning
        {"REC 1.75", nullptr},   // minutes above 59
        {"REC 25.00", nullptr},  // above 24.00
        {"XYZ", nullptr},        // no such type
        {"CP M AM", nullptr},    // two parts for one code
        {"RTT M/CP M", nullptr}, // twice the morning
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.texte);
        QString erreur;
        const std::optional<JourAbsences> j = LireTexteCourtJour(QString::fromUtf8(c.texte), ancien, types, &erreur);
        if (!c.lu) {
            EXPECT_FALSE(j.has_value());
            EXPECT_FALSE(erreur.isEmpty());
            continue;
        }
        ASSERT_TRUE(j.has_value()) << erreur.toStdString();
        EXPECT_EQ(TexteJourAbsences(*j), QString::fromUtf8(c.lu));
        EXPECT_TRUE(ErreurJour(*j, types).isEmpty());
        // What the grid shows reads back as the same day.
        const std::optional<JourAbsences> relu = LireTexteCourtJour(TexteCourtJour(*j), *j, types, &erreur);
        ASSERT_TRUE(relu.has_value());
        EXPECT_TRUE(relu->memesAbsences(*j));
    }
}
