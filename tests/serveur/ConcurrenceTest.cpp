// Several stations editing the same records on one server. This program is the first station (the correction grid
// in Kip's frame, or the employee form's save); the others are child processes of this same program started with
// --poste, each a station that loads a week or an employee and saves it when told, over standard input and output.
// kipempty is the station that transfers under an open grid.
#include "ServeurEssai.h"
#include "correction/BrouillonCorrection.h"
#include "correction/FichierCorrection.h"
#include "correction/windows/CorrectionEssai.h"
#include "correction/windows/CorrectionPointage.h"
#include "employees/FichierPersonnel.h"
#include "shell/Processus.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLineEdit>
#include <QStatusBar>
#include <QTemporaryDir>
#include <iostream>
#include <memory>

using namespace kip;

namespace {

// A station of its own: "semaine" loads the week of the card, "corrige J MM" enters 8.00 and 12.MM on day J and
// saves the grid's changed days; "fiche" loads the employee, "prenom X" saves it with that first name. Each
// command is answered by one line: ok, 89 (changed by another station) or the error.
int poste(const QString& conninfo, qint16 carte, qint32 lundi)
{
    QTemporaryDir tmp;
    setPaths(Paths::forInstallation(tmp.path()));
    setStoreServer(conninfo);
    ScriptedPresenter presenter;
    setMessagePresenter(&presenter);
    Database db(QString{});
    GrilleSemaine grille;
    Personnel employe;
    employe.CARTE = carte;
    LinkValues liens;
    const auto reponse = [](const FileError& e) {
        return e.ok() ? QStringLiteral("ok") : e.code == ChangedElsewhere ? QStringLiteral("89") : e.description();
    };
    for (std::string ligne; std::getline(std::cin, ligne);) {
        const QStringList mots = QString::fromStdString(ligne).split(u' ');
        FileError e;
        if (mots[0] == QLatin1String("fiche") || mots[0] == QLatin1String("semaine")) {
            RecordFile<Personnel> fichier(db);
            e = fichier.open();
            if (e.ok())
                e = fichier.get(employe, PER_K_CARTE);
            liens = LinkValues::of(employe);
            SemaineLue lue;
            if (e.ok() && mots[0] == QLatin1String("semaine"))
                e = chargerSemaine(db, employe, lundi, lue);
            grille.charger(employe, lundi, lue.lignes);
        } else if (mots[0] == QLatin1String("corrige") && mots.size() == 3) {
            const int jour = mots[1].toInt();
            (void)grille.saisir(jour, 0, QStringLiteral("8"));
            (void)grille.saisir(jour, 1, QStringLiteral("12.") + mots[2]);
            e = enregistrerSemaine(db, carte, grille.verifier().ecritures);
        } else if (mots[0] == QLatin1String("prenom") && mots.size() == 2) {
            employe.PRENOM = mots[1];
            e = updateEmployee(db, employe, liens);
        } else {
            e = makeError(NotFound);
        }
        std::cout << reponse(e).toStdString() << std::endl;
    }
    return 0;
}

class Poste
{
public:
    Poste(const QString& conninfo, qint16 carte, qint32 lundi)
    {
        m_p.setProcessEnvironment(environnementSansAffichage());
        m_p.start(QCoreApplication::applicationFilePath(),
                  {QStringLiteral("--poste"), conninfo, QString::number(carte), QString::number(lundi)});
    }
    ~Poste()
    {
        m_p.closeWriteChannel();
        if (!m_p.waitForFinished(20000))
            m_p.kill();
    }
    void envoyer(const QString& commande) { m_p.write(commande.toUtf8() + '\n'); }
    // The answer line of the last command sent, or an empty text after the bound.
    QString reponse()
    {
        for (QDeadlineTimer limite(30000); !m_p.canReadLine() && !limite.hasExpired();)
            m_p.waitForReadyRead(100);
        return QString::fromUtf8(m_p.readLine()).trimmed();
    }
    QString demander(const QString& commande)
    {
        envoyer(commande);
        return reponse();
    }

private:
    QProcess m_p;
};

} // namespace

class ConcurrenceTest : public QObject
{
    Q_OBJECT

private:
    InstallationCorrection m_inst;
    std::unique_ptr<serveuressai::BaseEssai> m_base;

    // A database of the test's own as the engine, and the installation on it with one employee, card 1.
    bool preparer()
    {
        m_base = std::make_unique<serveuressai::BaseEssai>();
        if (!m_base->erreur().isEmpty())
            return false;
        setStoreServer(m_base->conninfo());
        return m_inst.vider() && m_inst.ajouter(InstallationCorrection::employe(1, QStringLiteral("ARNAUD"))).rowid;
    }
    static void taper(CorrectionPointage* g, int jour, int colonne, const QString& texte)
    {
        QLineEdit* e = g->cellule(jour, colonne);
        e->selectAll();
        QTest::keyClicks(e, texte);
        QTest::keyClick(e, Qt::Key_Right);
    }
    int sortie(qint32 date) { return m_inst.lire(1, date) ? m_inst.lire(1, date)->POINTAGE_UTILISATEUR[1] : -1; }
    // The grid's save refused by the optimistic check: message 15 naming another station, the operator's entry
    // still in its cell, in the draft and said in the status line; then F2 writes it over the week read again.
    void refusPuisReprise(CadreEssai& cadre, CorrectionPointage* g, int jour, int avant)
    {
        QTest::keyClick(g->cellule(jour, 2), Qt::Key_F2);
        const QList<MessageSpec> vus = m_inst.presenter.shown();
        QCOMPARE(vus.size(), 1);
        QCOMPARE(vus[0].number, 15);
        QCOMPARE(vus[0].text, QStringLiteral("Cet enregistrement a été modifié par une autre station."));
        QCOMPARE(sortie(g->grille().lundi() + jour), avant);
        QCOMPARE(g->cellule(jour, 1)->text().trimmed(), QStringLiteral("17.00"));
        const std::optional<Brouillon> brouillon = lireBrouillon(cheminBrouillon());
        QVERIFY(brouillon && brouillon->jours[size_t(jour)]);
        QCOMPARE(brouillon->jours[size_t(jour)]->at(1), QStringLiteral("17.00"));
        QCOMPARE(cadre.statusBar()->currentMessage(), QString::fromUtf8(texte::SaisiesGardees));
        QTest::keyClick(g->cellule(jour, 2), Qt::Key_F2);
        QCOMPARE(m_inst.presenter.shown().size(), 1);
        QCOMPARE(sortie(g->grille().lundi() + jour), essai::h(17));
        QVERIFY(!QFile::exists(cheminBrouillon()));
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (serveuressai::socketServeur().isEmpty())
            QSKIP("KIP_TEST_PGHOST absent: the server's tests are skipped (scripts/test starts one)");
        m_inst.preparer();
    }
    void init() { CorrectionPointage::setPeriodeVidage(3600 * 1000); }
    void cleanup()
    {
        m_inst.fermer();
        m_base.reset();
        setStoreServer(QString());
        m_inst.verifier();
    }
    void cleanupTestCase() { m_inst.terminer(); }

    // Two stations on the same week: the other station saves first, this grid's save then meets 89.
    void deuxPostesSurLaMemeSemaine()
    {
        QVERIFY(preparer());
        CadreEssai cadre;
        CorrectionPointage* g = m_inst.ouvrirGrille(cadre, 1, m_inst.lundi());
        QVERIFY(g);
        Poste autre(m_base->conninfo(), 1, m_inst.lundi());
        QCOMPARE(autre.demander(QStringLiteral("semaine")), QStringLiteral("ok"));
        taper(g, 0, 0, QStringLiteral("9"));
        taper(g, 0, 1, QStringLiteral("17"));
        QCOMPARE(autre.demander(QStringLiteral("corrige 0 30")), QStringLiteral("ok"));
        refusPuisReprise(cadre, g, 0, essai::h(12, 30));
    }

    // A transfer by another station (kipempty) adds punches to a day line under the open grid.
    void unTransfertSousLaGrille()
    {
        QVERIFY(preparer());
        const qint32 jour = dayNumber(QDate::currentDate()); // kipempty's today is the machine's
        Clock::setToday(jour);
        CadreEssai cadre;
        CorrectionPointage* g = m_inst.ouvrirGrille(cadre, 1, jour);
        QVERIFY(g);
        const int j = g->jourCourant();
        taper(g, j, 0, QStringLiteral("9"));
        taper(g, j, 1, QStringLiteral("17"));
        const QString station = m_inst.tmp.path() + QStringLiteral("/atelier/Kip");
        QVERIFY(QDir().mkpath(station + QStringLiteral("/Data")));
        QVERIFY(m_inst.ecrire(station + QStringLiteral("/Data/Base.txt"), m_base->conninfo().toUtf8() + '\n'));
        QVERIFY(m_inst.ecrire(station + QStringLiteral("/Data/Origin00.txt"),
                              essai::Installation::pointage(1, jour, 7, 55) +
                                  essai::Installation::pointage(1, jour, 12, 5)));
        const FinProcessus transfert = lancerJusquaLaFin(QStringLiteral(KIP_KIPEMPTY), {}, station);
        QVERIFY2(transfert.code == 0, qPrintable(transfert.erreurs));
        refusPuisReprise(cadre, g, j, essai::h(12, 5));
        Clock::setToday(m_inst.today);
    }

    // The employee saved by two stations: the second's save says so and the first's is kept.
    void deuxPostesSurLeMemeEmploye()
    {
        QVERIFY(preparer());
        Poste autre(m_base->conninfo(), 1, m_inst.lundi());
        QCOMPARE(autre.demander(QStringLiteral("fiche")), QStringLiteral("ok"));
        Personnel fiche = *m_inst.employeLu(1);
        Personnel copie = fiche;
        LinkValues liens = LinkValues::of(fiche);
        QCOMPARE(autre.demander(QStringLiteral("prenom Anne")), QStringLiteral("ok"));
        fiche.PRENOM = QStringLiteral("Zoé");
        QCOMPARE(modifierEmploye(*m_inst.base, fiche, copie, liens), IssueModification::ModifieeAilleurs);
        QCOMPARE(m_inst.presenter.shown().size(), 1);
        QCOMPARE(m_inst.presenter.shown()[0].text,
                 QStringLiteral("Cet enregistrement a été modifié par une autre station."));
        QCOMPARE(m_inst.employeLu(1)->PRENOM, QStringLiteral("Anne"));
        QCOMPARE(fiche.PRENOM, QStringLiteral("Anne")); // the form shows the stored employee to edit again
    }

    // Four stations save the same week at once, round after round: exactly one wins each round, the others get
    // 89, and the stored line is the winner's.
    void quatrePostesParTours()
    {
        QVERIFY(preparer());
        SemaineLue lue;
        QVERIFY(chargerSemaine(*m_inst.base, *m_inst.employeLu(1), m_inst.lundi(), lue).ok());
        std::vector<std::unique_ptr<Poste>> postes;
        for (int i = 0; i < 4; ++i)
            postes.push_back(std::make_unique<Poste>(m_base->conninfo(), 1, m_inst.lundi()));
        for (int tour = 0; tour < 5; ++tour) {
            for (const auto& p : postes)
                QCOMPARE(p->demander(QStringLiteral("semaine")), QStringLiteral("ok"));
            for (size_t i = 0; i < postes.size(); ++i)
                postes[i]->envoyer(QStringLiteral("corrige 2 %1").arg(tour * 10 + int(i), 2, 10, QLatin1Char('0')));
            int gagnant = -1;
            for (size_t i = 0; i < postes.size(); ++i) {
                const QString r = postes[i]->reponse();
                QVERIFY2(r == QLatin1String("ok") || r == QLatin1String("89"), qPrintable(r));
                if (r == QLatin1String("ok")) {
                    QCOMPARE(gagnant, -1);
                    gagnant = int(i);
                }
            }
            QVERIFY(gagnant >= 0);
            QCOMPARE(sortie(m_inst.lundi() + 2), essai::h(12, tour * 10 + gagnant));
        }
    }
};

int main(int argc, char** argv)
{
    if (argc == 5 && qstrcmp(argv[1], "--poste") == 0) {
        QCoreApplication app(argc, argv);
        return poste(QString::fromUtf8(argv[2]), qint16(atoi(argv[3])), atoi(argv[4]));
    }
    QApplication app(argc, argv);
    ConcurrenceTest essai;
    return QTest::qExec(&essai, argc, argv);
}

#include "ConcurrenceTest.moc"
