// The window of balances set by hand: an employee picked, a starting balance written on a worker and shown
// with the balances read again, and what is refused said without anything written; the bar reaches it in Kip
// only.
#include "soldes/windows/FenetreSoldes.h"

#include "InstallationFenetres.h"
#include "correction/windows/SelecteurEmploye.h"
#include "shell/windows/NomsFenetres.h"
#include "shell/windows/TableSommaire.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

using namespace kip;

class FenetreSoldesTest : public QObject
{
    Q_OBJECT

    InstallationFenetres m_inst;

    std::vector<Solde> stockes(qint16 carte)
    {
        Result<SoldesLus> l = LireDonneesSoldes(*m_inst.base, carte, carte, m_inst.today);
        if (!l || l->employes.empty())
            return {};
        return l->employes.front().soldes;
    }

    static void saisir(FenetreSoldes* f, int nature, const char* compte, const QString& valeur, const QString& date)
    {
        auto* n = f->findChild<QComboBox*>(QStringLiteral("nature"));
        auto* c = f->findChild<QComboBox*>(QStringLiteral("compte"));
        n->setCurrentIndex(n->findData(nature));
        c->setCurrentIndex(c->findData(QLatin1String(compte)));
        f->findChild<QLineEdit*>(QStringLiteral("valeur"))->setText(valeur);
        f->findChild<QLineEdit*>(QStringLiteral("date"))->setText(date);
        f->findChild<QLineEdit*>(QStringLiteral("commentaire"))->setText(QStringLiteral("reprise"));
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_inst.preparer([] { enregistrerFenetreSoldes(Program::Kip); });
    }
    void cleanupTestCase() { m_inst.terminer(); }

    void saisieEtRefus()
    {
        const Personnel bernard = m_inst.ajouter(7, QStringLiteral("BERNARD"));
        const Personnel martin = m_inst.ajouter(12, QStringLiteral("MARTIN"));
        Cadre cadre(Program::Kip, 0, [] {});
        auto* f = InstallationFenetres::ouvrir<FenetreSoldes>(QString(nom::Soldes), cadre);
        QVERIFY(f);
        QTRY_VERIFY(!f->enAttente() && f->soldesAffiches().contains(QStringLiteral("Soldes au 09/12/2026")));
        QCOMPARE(f->selecteur()->count(), 2);
        f->choisirEmploye(martin);
        QTRY_VERIFY(!f->enAttente());
        QCOMPARE(f->enregistres()->item(0)->text(), QStringLiteral("(aucun)"));

        // A starting balance of the account: written on a worker, listed, and the balances read again.
        saisir(f, int(NatureSolde::Depart), CompteSolde::Heures, QStringLiteral("3:30"), QStringLiteral("07/12/2026"));
        f->findChild<QPushButton*>(QStringLiteral("enregistrer"))->click();
        QVERIFY(f->enAttente());
        QTRY_VERIFY(!f->enAttente() && f->statut() == QStringLiteral("Solde enregistré."));
        QCOMPARE(stockes(12).size(), size_t(1));
        QCOMPARE(f->enregistres()->count(), 1);
        QCOMPARE(f->enregistres()->item(0)->text(), TexteSolde(stockes(12).front()));
        QVERIFY(f->enregistres()->item(0)->text().startsWith(QStringLiteral("HEUR départ 07/12/2026: +3.30")));
        QVERIFY(f->soldesAffiches().contains(QStringLiteral("compte d'heures <b>")));
        QVERIFY(stockes(7).empty());

        // Refused at once, with a French message, nothing written.
        const struct
        {
            int nature;
            const char* compte;
            const char* valeur;
            const char* date;
            const char* message;
        } refus[] = {
            {int(NatureSolde::Credit), CompteSolde::Heures, "2", "07/12/2026", "Seuls les soldes RTT et REC"},
            {int(NatureSolde::Depart), CompteSolde::Heures, "3h", "07/12/2026", "en heures: 12:30 ou 12,5"},
            {int(NatureSolde::Credit), CompteSolde::Rtt, "2:30", "07/12/2026", "en jours: 2,5"},
            {int(NatureSolde::Depart), CompteSolde::Conges, "4,5", "31/02/2026", "JJ/MM/AAAA"},
        };
        for (const auto& r : refus) {
            m_inst.presenter.clear();
            saisir(f, r.nature, r.compte, QString::fromUtf8(r.valeur), QString::fromUtf8(r.date));
            QVERIFY(!f->enregistrer());
            QCOMPARE(m_inst.presenter.shown().size(), 1);
            QVERIFY2(m_inst.presenter.shown().front().text.contains(QString::fromUtf8(r.message)), r.message);
            QVERIFY(!f->enAttente());
        }
        QCOMPARE(stockes(12).size(), size_t(1));

        // An employee chosen while another is being read is the one shown once the reads end.
        f->choisirEmploye(martin);
        QVERIFY(f->enAttente());
        f->choisirEmploye(bernard);
        QTRY_VERIFY(!f->enAttente());
        QCOMPARE(f->selecteur()->currentText(), QStringLiteral("BERNARD"));
        QCOMPARE(f->enregistres()->item(0)->text(), QStringLiteral("(aucun)"));
        f->close();

        // The bar of the absence window opens it in Kip; kipother has no settings and no such button.
        QVERIFY(rangeeSommaire(Program::Kip, QString(nom::Absences)).emplacement(7));
        QVERIFY(!rangeeSommaire(Program::KipOther, QString(nom::Absences)).emplacement(7));
        m_inst.verifier();
    }
};

QTEST_MAIN(FenetreSoldesTest)
#include "FenetreSoldesTest.moc"
