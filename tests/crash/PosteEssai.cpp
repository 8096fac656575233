// Kip as it runs, its windows driven from a test in another process, so that a signal or a SIGKILL sent by
// the test meets the program's own write paths. The program is Kip itself (the same start-up, frame and
// windows); once its start-up windows are gone it plays one scenario and says on standard output where it
// stands:
//   poste_essai grille CARTE      the correction grid on CARTE's current week, cells typed: "grille"
//   poste_essai fiche CARTE NOM   the employee form of CARTE, the name typed: "fiche"
//   poste_essai absences          the absence window on this month, Monday to Friday of the current week of its
//                                 first three employees selected: "absences" once read; "sauver" types CP
//   poste_essai transfert         says "transfert" once the transfer's reading has begun
// Then each line of standard input is an order: "sauver" (F2 in the grid, OK in the form, CP in the absence
// window), answered by
// "sauve" once written; "quitter" ends the session as the desktop does.
#include "absences/windows/FenetreAbsences.h"
#include "apps/Poste.h"
#include "calendar/Clock.h"
#include "correction/windows/CorrectionPointage.h"
#include "data/Database.h"
#include "data/RecordFile.h"
#include "employees/Echanges.h"
#include "employees/windows/SaisiePersonnel.h"
#include "punch/windows/SaisieParametre.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/NomsFenetres.h"
#include "utilities/windows/Utilitaires.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QSocketNotifier>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

using namespace kip;

namespace {

constexpr int PeriodeMs = 20;
constexpr int LimiteLectureMs = 60000;

void dire(const char* texte)
{
    std::fputs(texte, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void taper(QLineEdit* champ, const QString& texte, int sortie)
{
    champ->setFocus();
    champ->selectAll();
    QTest::keyClick(champ, Qt::Key_Backspace);
    QTest::keyClicks(champ, texte);
    if (sortie)
        QTest::keyClick(champ, Qt::Key(sortie));
}

class Pilote : public QObject
{
public:
    Pilote(QStringList arguments, QObject* parent) : QObject(parent), m_arguments(std::move(arguments))
    {
        connect(&m_minuterie, &QTimer::timeout, this, &Pilote::regarder);
        m_minuterie.start(PeriodeMs);
    }

private:
    static Cadre* cadre()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* c = qobject_cast<Cadre*>(w))
                return c;
        return nullptr;
    }
    static bool ouverte(Cadre* c, QLatin1StringView nom)
    {
        for (const EntreeFenetre& e : c->liste().entrees())
            if (e.NOMFENETREACTIVE == nom && e.fenetre)
                return true;
        return false;
    }

    void regarder()
    {
        Cadre* c = cadre();
        if (!c || c->liste().taille() < 2)
            return;
        const QString scenario = m_arguments.value(0);
        if (scenario == QLatin1String("transfert")) {
            // Said once the reading has begun (its bar moved), or is over already.
            m_minuterie.setInterval(1);
            const bool ouvert = ouverte(c, nom::TransfertOrigine);
            const auto* barre = c->findChild<QProgressBar*>(QStringLiteral("progression"));
            m_transfertVu = m_transfertVu || ouvert;
            if ((ouvert && barre && barre->value() > 0) || (m_transfertVu && !ouvert)) {
                m_minuterie.stop();
                dire("transfert");
            }
            return;
        }
        if (ouverte(c, nom::InitialiseJournee) || ouverte(c, nom::TransfertOrigine))
            return;
        m_minuterie.stop();
        const qint16 carte = qint16(m_arguments.value(1).toInt());
        if (scenario == QLatin1String("grille"))
            grille(*c, carte);
        else if (scenario == QLatin1String("fiche"))
            fiche(*c, carte, m_arguments.value(2));
        else if (scenario == QLatin1String("absences"))
            absences(*c);
        else
            dire("scenario inconnu");
        m_ordres = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
        connect(m_ordres, &QSocketNotifier::activated, this, &Pilote::ordre);
    }

    // The window reads its month on a worker: the cells are selected once it is read.
    void absences(Cadre& c)
    {
        m_absences = qobject_cast<FenetreAbsences*>(ouvrirFenetre(nom::Absences, c));
        if (!m_absences)
            return dire("absences absente");
        QDeadlineTimer fin(LimiteLectureMs);
        while (m_absences && m_absences->enAttente() && !fin.hasExpired())
            QApplication::processEvents(QEventLoop::AllEvents, PeriodeMs);
        if (!m_absences || m_absences->enAttente() || !m_absences->modele())
            return dire("absences non lues");
        const qint32 aujourdhui = Clock::today();
        const int lundi = aujourdhui - (aujourdhui % 7 + 6) % 7 - m_absences->modele()->choix().debut;
        QTableView* v = m_absences->vue();
        const int premier = std::max(0, lundi), dernier = std::min(lundi + 4, v->model()->columnCount() - 1);
        const int lignes = std::min(3, v->model()->rowCount());
        if (lignes == 0 || premier > dernier)
            return dire("absences vides");
        v->setCurrentIndex(v->model()->index(0, premier));
        v->selectionModel()->select(
            QItemSelection(v->model()->index(0, premier), v->model()->index(lignes - 1, dernier)),
            QItemSelectionModel::ClearAndSelect);
        dire("absences");
    }

    // Monday to Friday of the current week, two cells each.
    void grille(Cadre& c, qint16 carte)
    {
        const qint32 aujourdhui = Clock::today();
        const qint32 lundi = aujourdhui - (aujourdhui % 7 + 6) % 7;
        setRequete(Requete::Modification);
        setJourneeEnCours(carte, lundi);
        m_grille = qobject_cast<CorrectionPointage*>(ouvrirFenetre(nom::CorrectionPointage, c));
        if (!m_grille)
            return dire("grille absente");
        QApplication::processEvents();
        for (int jour = 0; jour < 5; ++jour) {
            if (m_grille->grille().jour(jour).cache)
                continue;
            m_grille->allerA(jour, 0);
            taper(m_grille->cellule(jour, 0), QStringLiteral("7.%1").arg(10 + jour), Qt::Key_Right);
            taper(m_grille->cellule(jour, 1), QStringLiteral("12.%1").arg(20 + jour), Qt::Key_Right);
        }
        dire("grille");
    }

    void fiche(Cadre& c, qint16 carte, const QString& nom)
    {
        Database db(paths().dataDir);
        RecordFile<Personnel> personnel(db);
        Personnel p;
        p.CARTE = carte;
        if (!personnel.open().ok() || !personnel.get(p, PER_K_CARTE).ok())
            return dire("employe absent");
        setRequete(Requete::Modification);
        setEmployeEnCours(p);
        m_fiche = qobject_cast<SaisiePersonnel*>(ouvrirFenetre(nom::SaisiePersonnel, c));
        if (!m_fiche)
            return dire("fiche absente");
        QApplication::processEvents();
        taper(m_fiche->findChild<QLineEdit*>(QStringLiteral("nom")), nom, 0);
        dire("fiche");
    }

    void ordre()
    {
        char octet = 0;
        const ssize_t n = ::read(STDIN_FILENO, &octet, 1);
        if (n <= 0) {
            m_ordres->setEnabled(false);
            return;
        }
        if (octet != '\n') {
            m_ligne += octet;
            return;
        }
        const QByteArray ligne = std::exchange(m_ligne, {});
        if (ligne == "sauver") {
            if (m_grille)
                m_grille->sauver();
            else if (m_fiche)
                m_fiche->accepter();
            else if (m_absences)
                m_absences->poserCode(QStringLiteral("CP"));
            dire("sauve");
        } else if (ligne == "quitter") {
            if (Cadre* c = cadre())
                c->terminer();
        }
    }

    QStringList m_arguments;
    QTimer m_minuterie;
    QSocketNotifier* m_ordres = nullptr;
    QByteArray m_ligne;
    QPointer<CorrectionPointage> m_grille;
    QPointer<SaisiePersonnel> m_fiche;
    QPointer<FenetreAbsences> m_absences;
    bool m_transfertVu = false;
};

} // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    int argcPoste = 1; // the program's own options are none of the scenario's
    return lancerPoste(Program::Kip, argcPoste, argv, [&arguments] {
        enregistrerSaisieParametre();
        enregistrerUtilitaires();
        // Runs once the frame's event loop turns.
        QTimer::singleShot(0, [&arguments] { new Pilote(arguments, qApp); });
    });
}
