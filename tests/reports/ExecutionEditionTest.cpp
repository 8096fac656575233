// The common report run: the reading through the keys against the reading of the whole file, the one
// snapshot it reads, and the employees' source of the employee list.
#include "EditionsEssai.h"
#include "kipgen/Generator.h"

using namespace kip;

namespace {

class ExecutionEditionTest : public EditionsTest
{
};

// Lists the employees handed to it.
class ListeEssai : public Edition
{
public:
    SourceEdition source() const override { return SourceEdition::Personnel; }
    void ouvrir(ContexteEdition& c) override { m_c = &c; }
    void employe(const Personnel& p) override
    {
        cartes.push_back(p.CARTE);
        m_c->pagination.bande(200, [&](Dessin& d) { d.texte(0, 0, 2000, p.NOM); });
    }
    bool fermer() override { return m_c->pagination.terminer(); }
    std::vector<int> cartes;

private:
    ContexteEdition* m_c = nullptr;
};

using ExecutionEditionSurLesDeuxMoteurs = serveuressai::SurLesDeuxMoteurs<ExecutionEditionTest>;

} // namespace

TEST_P(ExecutionEditionSurLesDeuxMoteurs, ReadingThroughTheKeysPrintsWhatReadingTheWholeFilePrints)
{
    gen::GenOptions o;
    o.dir = tmp.path() + QStringLiteral("/g/Kip");
    o.employees = 40;
    o.weeks = 1;
    o.seed = 11;
    o.today = today;
    o.dayLines = 40 * 90;
    const gen::GenResult g = gen::generateInstallation(o);
    ASSERT_TRUE(g.ok) << g.error.toStdString();
    setPaths(Paths::forInstallation(o.dir)); // kipgen wrote the records on the engine of the test
    // The ranges: the middle of each key's order.
    Database dbg = connexion();
    RecordFile<Personnel> personnel(dbg);
    ASSERT_TRUE(personnel.open().ok());
    Cursor<Personnel> lecture = personnel.readAll();
    std::vector<std::tuple<qint16, QString, QString>> employes;
    for (Personnel e; lecture.next(e).ok();)
        employes.emplace_back(e.CARTE, e.NOM, e.MATRICULE);
    std::sort(employes.begin(), employes.end());
    ASSERT_EQ(employes.size(), 40u);
    std::vector<QString> noms, matricules;
    for (const auto& [c, n, m] : employes) {
        noms.push_back(n);
        matricules.push_back(m);
    }
    std::sort(noms.begin(), noms.end(), [](const QString& a, const QString& b) { return comparerCle(a, b) < 0; });
    std::sort(matricules.begin(), matricules.end());

    int comparees = 0;
    for (Tri tri : {Tri::Numero, Tri::Nom, Tri::Matricule}) {
        ParametresEdition p = parametres(today - 30, today - 3, tri);
        p.carteDebut = std::get<0>(employes[5]);
        p.carteFin = std::get<0>(employes[30]);
        p.nomDebut = noms[6];
        p.nomFin = noms[33];
        p.matriculeDebut = matricules[4];
        p.matriculeFin = matricules[28];
        for (auto genre : {RapportSemaines::Genre::PageParEmploye, RapportSemaines::Genre::Continu,
                           RapportSemaines::Genre::Totaux}) {
            RapportSemaines parEmploye(genre);
            RapportSemaines complet(genre);
            ControleExecution c;
            const ResultatEdition a = executer(parEmploye, p, c);
            c.lecture = LectureJournees::Mode::FichierComplet;
            const ResultatEdition b = executer(complet, p, c);
            ASSERT_TRUE(a.complete());
            EXPECT_GT(a.imprimees, 200);
            EXPECT_EQ(a.imprimees, b.imprimees);
            EXPECT_LT(a.lus, b.lus / 2);
            EXPECT_EQ(octets(a.pages), octets(b.pages)) << "tri " << char(tri);
            ++comparees;
        }
    }
    EXPECT_EQ(comparees, 9);
}

TEST_P(ExecutionEditionSurLesDeuxMoteurs, AReportReadsOneSnapshotThatNoWriterChangesUnderIt)
{
    const Personnel p = salarie(12, QStringLiteral("MARTIN"), QStringLiteral("Paul"));
    const Personnel q = salarie(13, QStringLiteral("NOEL"), QStringLiteral("Anne"));
    for (int j = 0; j < 5; ++j) {
        minutes(p, lundi(1) + j, 400);
        minutes(q, lundi(1) + j, 400);
    }
    // Another station, which would not wait, tries to add an hour to a day not read yet.
    const QString ajout = QStringLiteral("UPDATE %1 SET TOTAL = TOTAL + 60 WHERE CARTE = 13");
    std::optional<QString> ecriture;
    std::vector<LigneSemaine> lignes;
    Database lien = connexion();
    RapportSemaines r(RapportSemaines::Genre::Continu);
    int horsTransaction = 0;
    r.observateur = [&](const LigneSemaine& l) {
        lignes.push_back(l);
        horsTransaction += !lien.inTransaction();
    };
    ControleExecution c;
    c.progression = [&](int pourcent) {
        if (pourcent > 0 && !ecriture)
            ecriture = ecrireAilleurs(ajout);
    };
    const ResultatEdition res = ExecuterEdition(lien, r, parametres(lundi(1), lundi(1) + 6), c);
    ASSERT_TRUE(res.complete());
    EXPECT_EQ(horsTransaction, 0);
    EXPECT_FALSE(lien.inTransaction()); // and it ends with the run
    // The SQLite file refuses the write while the report reads; the server makes it, out of the report's sight.
    ASSERT_TRUE(ecriture.has_value());
    EXPECT_EQ(*ecriture, surServeur() ? QString() : QStringLiteral("database is locked"));
    ASSERT_EQ(lignes.size(), 10u);
    EXPECT_EQ(lignes.back().totalNormal, 5 * 400);
    // Once the report is over, the station writes.
    EXPECT_EQ(ecrireAilleurs(ajout), QString());
}

TEST_P(ExecutionEditionSurLesDeuxMoteurs, TheEmployeesSourceGoesInTheOrderOfTheSortModeWithinItsRange)
{
    salarie(30, QStringLiteral("BERTIN"), QStringLiteral("Luc"), QStringLiteral("000"), QStringLiteral("Z1"));
    salarie(10, QStringLiteral("DURAND"), QStringLiteral("Marc"), QStringLiteral("000"), QStringLiteral("A9"));
    salarie(20, QStringLiteral("ALBERT"), QStringLiteral("Eve"), QStringLiteral("000"), QStringLiteral("M5"));
    salarie(40, QStringLiteral("CARON"), QStringLiteral("Ida"), QStringLiteral("000"), QStringLiteral(""));
    struct Cas
    {
        Tri tri;
        std::vector<int> attendu;
    };
    for (const Cas& cas : {Cas{Tri::Numero, {20, 30}}, Cas{Tri::Nom, {30, 40}}, Cas{Tri::Matricule, {40, 10, 20}}}) {
        ParametresEdition p = parametres(0, 0, cas.tri);
        p.carteDebut = 15;
        p.carteFin = 35;
        p.nomDebut = QStringLiteral("b");
        p.nomFin = QStringLiteral("CZ");
        p.matriculeDebut = QString();
        p.matriculeFin = QStringLiteral("M5");
        ListeEssai liste;
        const ResultatEdition r = executer(liste, p);
        ASSERT_TRUE(r.complete());
        EXPECT_EQ(liste.cartes, cas.attendu) << char(cas.tri);
        EXPECT_EQ(r.aLire, 4);
    }
}

INSTANTIATE_TEST_SUITE_P(Moteurs, ExecutionEditionSurLesDeuxMoteurs, LesDeuxMoteurs);
