// The absence window on 1,000 employees and a month: its opening (the model read and the first screen
// painted, under the offscreen platform) and a code typed on a cell and saved with its journal entry, each
// beside the same reads and writes made with bare SQLite on the same files. The model's read alone is given
// too. The installation is made by kipgen with its planned hours and absences and a month of day lines.
#include "absences/ModeleAbsences.h"
#include "absences/PresenceDuJour.h"
#include "absences/windows/FenetreAbsences.h"
#include "absences/windows/FenetresAbsences.h"
#include "calendar/Clock.h"
#include "calendar/Dates.h"
#include "data/Files.h"
#include "kipgen/Generator.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/NomsFenetres.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>

using namespace kip;

namespace {

constexpr int Employes = 1000;
constexpr int Ouvertures = 7;
constexpr int Saisies = 100;

QString chiffres(std::vector<double> t)
{
    std::sort(t.begin(), t.end());
    if (t.empty())
        return {};
    return QStringLiteral("median %1, 90th %2, max %3 ms (%4 runs)")
        .arg(t[t.size() / 2], 0, 'f', 2)
        .arg(t[std::min(t.size() - 1, t.size() * 9 / 10)], 0, 'f', 2)
        .arg(t.back(), 0, 'f', 2)
        .arg(t.size());
}

template <class F> double chrono(F&& f)
{
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

// The same records read with bare SQLite: the employees, the types, the planned hours, the settings, the
// month's absences and the month's day lines (cards, dates and punch lines).
double lectureBrute(const QString& data, qint32 debut, qint32 fin)
{
    return chrono([&] {
        sqlite3* db = nullptr;
        sqlite3_open_v2(QDir(data).filePath(QStringLiteral("Topspeed.tcf")).toUtf8().constData(), &db,
                        SQLITE_OPEN_READWRITE, nullptr);
        for (const char* f : {"Personne.tps|PERSONNEL", "PointVal.tps|POINTVAL", "TypeAbs.tps|TYPEABSENCE",
                              "Absence.tps|ABSENCE", "Horaire.tps|HORAIRE", "ReglAbs.tps|REGLAGEABSENCE"}) {
            const QStringList p = QString::fromLatin1(f).split(u'|');
            sqlite3_exec(db,
                         QStringLiteral("ATTACH '%1' AS %2").arg(QDir(data).filePath(p[0]), p[1]).toUtf8().constData(),
                         nullptr, nullptr, nullptr);
        }
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        qint64 somme = 0;
        const QString requetes[] = {
            QStringLiteral("SELECT CARTE, NOM, PRENOM, MATRICULE, DATE_EMBAUCHE FROM PERSONNEL.PERSONNEL"),
            QStringLiteral("SELECT CODE, LIBELLE, COULEUR FROM TYPEABSENCE.TYPEABSENCE"),
            QStringLiteral("SELECT CARTE, DEBUT, MINUTES FROM HORAIRE.HORAIRE"),
            QStringLiteral("SELECT * FROM REGLAGEABSENCE.REGLAGEABSENCE"),
            QStringLiteral("SELECT CARTE, DATE, PARTIE, CODE FROM ABSENCE.ABSENCE WHERE DATE BETWEEN %1 AND %2")
                .arg(debut)
                .arg(fin),
            QStringLiteral("SELECT CARTE, DATE, POINTAGE_ORIGINE, POINTAGE_UTILISATEUR FROM POINTVAL.POINTVAL "
                           "WHERE DATE BETWEEN %1 AND %2")
                .arg(debut)
                .arg(fin)};
        for (const QString& q : requetes) {
            sqlite3_stmt* st = nullptr;
            sqlite3_prepare_v2(db, q.toUtf8().constData(), -1, &st, nullptr);
            while (sqlite3_step(st) == SQLITE_ROW)
                somme += sqlite3_column_int64(st, 0) + sqlite3_column_bytes(st, 2);
            sqlite3_finalize(st);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        if (somme == 42)
            std::printf(" ");
    });
}

// One absence written with bare SQLite as the window writes it: the day's absences replaced and one journal
// entry, in one transaction over the two files.
std::vector<double> ecrituresBrutes(const QString& data, qint32 date)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(QDir(data).filePath(QStringLiteral("Topspeed.tcf")).toUtf8().constData(), &db,
                    SQLITE_OPEN_READWRITE, nullptr);
    for (const char* f : {"Absence.tps|ABSENCE", "Journal.tps|JOURNAL"}) {
        const QStringList p = QString::fromLatin1(f).split(u'|');
        sqlite3_exec(db, QStringLiteral("ATTACH '%1' AS %2").arg(QDir(data).filePath(p[0]), p[1]).toUtf8().constData(),
                     nullptr, nullptr, nullptr);
    }
    std::vector<double> t;
    for (int i = 0; i < Saisies; ++i) {
        const int carte = 9000 + i; // cards no employee has: the window's writes stay apart
        t.push_back(chrono([&] {
            sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
            sqlite3_exec(db,
                         QStringLiteral("DELETE FROM ABSENCE.ABSENCE WHERE CARTE = %1 AND DATE = %2; "
                                        "INSERT INTO ABSENCE.ABSENCE (CARTE, DATE, PARTIE, MINUTES, CODE, COMMENTAIRE) "
                                        "VALUES (%1, %2, 0, 0, 'CP', ''); "
                                        "INSERT INTO JOURNAL.JOURNAL (CARTE, JOUR, AVANT, APRES, CAUSE) "
                                        "VALUES (%1, %2, '(aucune)', 'CP journée', 'Absences: saisie')")
                             .arg(carte)
                             .arg(date)
                             .toUtf8()
                             .constData(),
                         nullptr, nullptr, nullptr);
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        }));
    }
    sqlite3_close(db);
    return t;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir tmp;
    const QString dir = tmp.path() + QStringLiteral("/Kip");
    const qint32 aujourdhui = dayNumber(2026, 12, 31);
    Clock::setToday(aujourdhui);
    gen::GenOptions o;
    o.dir = dir;
    o.employees = Employes;
    o.weeks = 5;
    o.rawLines = 0;
    o.dayLines = qint64(Employes) * 31;
    o.today = aujourdhui;
    const gen::GenResult g = gen::generateInstallation(o);
    if (!g.ok) {
        std::fprintf(stderr, "%s\n", g.error.toLocal8Bit().constData());
        return 1;
    }
    setPaths(Paths::forInstallation(dir));
    const ChoixAbsences mois = MoisDe(aujourdhui);
    {
        Database db(paths().dataDir);
        Result<std::vector<Absence>> a = LireAbsences(db, mois.debut, mois.fin);
        std::printf("Absence window, %d employees, December 2026 (%d day lines, %zu absences in the month)\n", Employes,
                    int(o.dayLines), a ? a->size() : size_t(0));
    }

    std::vector<double> brut, modele, fenetre;
    for (int i = 0; i < Ouvertures; ++i) {
        brut.push_back(lectureBrute(paths().dataDir, mois.debut, mois.fin));
        Database db(paths().dataDir);
        modele.push_back(chrono([&] { (void)ModeleAbsences::charger(db, mois); }));
    }
    enregistrerFenetresAbsences(Program::Kip);
    Cadre cadre(Program::Kip, 0, [] {});
    cadre.resize(1400, 860);
    cadre.show();
    QCoreApplication::processEvents();
    FenetreAbsences* f = nullptr;
    std::vector<double> tenu; // the GUI thread held by the opening, the read then going on on a worker
    for (int i = 0; i < Ouvertures; ++i) {
        if (f) {
            f->close();
            QCoreApplication::processEvents();
        }
        fenetre.push_back(chrono([&] {
            tenu.push_back(chrono([&] { f = qobject_cast<FenetreAbsences*>(ouvrirFenetre(nom::Absences, cadre)); }));
            while (f->enAttente())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            QCoreApplication::processEvents();
            f->vue()->viewport()->repaint();
        }));
    }
    std::printf("  open (read and first screen painted): %s\n", qPrintable(chiffres(fenetre)));
    std::printf("    of which the GUI thread held:       %s\n", qPrintable(chiffres(tenu)));
    std::printf("  the model's read alone:               %s\n", qPrintable(chiffres(modele)));
    std::printf("  bare SQLite read of the same records: %s\n", qPrintable(chiffres(brut)));

    // A code typed on a cell: C then P set CP on the cell, saved with its journal entry, and the cell repainted.
    std::vector<double> saisie;
    QTableView* v = f->vue();
    for (int i = 0; i < Saisies; ++i) {
        v->setCurrentIndex(v->model()->index(i * 7 % Employes, i % (mois.fin - mois.debut + 1)));
        saisie.push_back(chrono([&] {
            for (Qt::Key k : {Qt::Key_C, Qt::Key_P}) {
                QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier,
                            k == Qt::Key_C ? QStringLiteral("c") : QStringLiteral("p"));
                QCoreApplication::sendEvent(v, &e);
            }
            v->viewport()->repaint();
        }));
    }
    std::printf("  a code typed on a cell and saved:     %s\n", qPrintable(chiffres(saisie)));
    std::vector<double> peinture;
    for (int i = 0; i < 20; ++i)
        peinture.push_back(chrono([&] { v->viewport()->repaint(); }));
    std::printf("    of which the screen repainted whole: %s\n", qPrintable(chiffres(peinture)));
    std::printf("  bare SQLite write of one absence:     %s\n",
                qPrintable(chiffres(ecrituresBrutes(paths().dataDir, mois.debut))));

    Database db(paths().dataDir);
    std::vector<double> presences;
    for (int i = 0; i < Ouvertures; ++i)
        presences.push_back(chrono([&] { (void)LirePresences(db, aujourdhui, 10 * 60); }));
    std::printf("Who is here now on %d employees (4 weeks of day lines): %s\n", Employes,
                qPrintable(chiffres(presences)));
    std::fflush(stdout);
    std::_Exit(0); // closing the frame would ask to confirm the exit
}
