// Four stations saving weeks and one transferring, at once, on one server of 1,000 employees (kipgen). Each station
// is a process of this program (--poste) that saves weeks as the correction grid does (the week read, one day's
// user punches changed, the changed day written over the row version it was read at), reading again and retrying
// on 89; the transfer is another (--transfert) that reads the raw file in overlapping parts, as terminals' batches
// and a punch read twice would come. Printed: saves per second, the longest wait of a save, the 89s met, and the
// checks over the records at the end: lost updates (a save reported done that is not in the records nor replaced by
// a later save of the same day line) and double-counted punches (a raw punch on more than one day line, or twice).
// Beside it, the bare baseline: the same number of single-row UPDATEs by libpq from four processes. Needs a
// server: KIP_TEST_PGHOST (scripts/serveur-essai). Options: --enregistrements N (saves, 2,000), --employes N (the
// weeks saved are those of the first N employees, 1,000: fewer make the stations meet on the same weeks).
#include "calendar/Clock.h"
#include "calendar/Dates.h"
#include "correction/FichierCorrection.h"
#include "data/Base.h"
#include "data/Database.h"
#include "data/Files.h"
#include "data/RecordFile.h"
#include "data/ServerConnection.h"
#include "data/ServerSetup.h"
#include "data/TextFiles.h"
#include "kipgen/Generator.h"
#include "punch/TransfertPointages.h"
#include "utilities/PassageServeur.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <libpq-fe.h>
#include <map>
#include <random>
#include <tuple>
#include <unistd.h>

using namespace kip;

namespace {

constexpr int Postes = 4;
constexpr int Parties = 4;

QString g_socket;

QString connexion(const QString& base)
{
    return QStringLiteral("host=%1 user=postgres dbname=%2").arg(g_socket, base);
}

void exec(const QString& base, const QString& sql)
{
    PGconn* c = PQconnectdb(connexion(base).toUtf8().constData());
    PGresult* r = PQexec(c, sql.toUtf8().constData());
    if (PQresultStatus(r) != PGRES_COMMAND_OK && PQresultStatus(r) != PGRES_TUPLES_OK)
        std::fprintf(stderr, "%s: %s", qPrintable(sql), PQresultErrorMessage(r));
    PQclear(r);
    PQfinish(c);
}

// The weeks the stations correct: before the raw file's first day, as an operator corrects the past weeks while
// the transfer brings in the current ones.
qint32 lundiCorrige(int semaine)
{
    return LundiDimanche(Clock::today()).lundi - 7 * (3 + semaine);
}

// One station: n saves of a random employee's week (among the first `chauds` read); on stdout one line per save
// done ("carte date version entree sortie attente_ms", the version the day line has after it) and a last
// "89 conflits echecs" line.
int poste(const QString& conninfo, int indice, int n, int chauds)
{
    QTemporaryDir tmp;
    setPaths(Paths::forInstallation(tmp.path() + QStringLiteral("/Kip")));
    setStoreServer(conninfo);
    Database db(QString{});
    std::vector<Personnel> employes;
    {
        RecordFile<Personnel> fichier(db);
        FileError e = fichier.open();
        Cursor<Personnel> c = fichier.readAll();
        Personnel p;
        while (e.ok() && (e = c.next(p)).ok())
            employes.push_back(p);
    }
    std::mt19937 hasard(std::uint32_t(1000 + indice));
    int conflits = 0, echecs = 0;
    for (int fait = 0; fait < n;) {
        const Personnel& employe = employes[hasard() % std::min(employes.size(), size_t(chauds))];
        const qint32 lundi = lundiCorrige(int(hasard() % 4));
        const int jour = int(hasard() % JoursSemaine);
        const QString entree = QStringLiteral("8.%1").arg(indice, 2, 10, QLatin1Char('0'));
        QElapsedTimer attente;
        attente.start();
        for (;;) {
            SemaineLue lue;
            if (const FileError e = chargerSemaine(db, employe, lundi, lue); !e.ok() || !lue.preparation.ok()) {
                std::fprintf(stderr, "poste %d: %s\n", indice,
                             qPrintable(e.ok() ? lue.preparation.description() : e.description()));
                ++echecs;
                break;
            }
            GrilleSemaine grille;
            grille.charger(employe, lundi, lue.lignes);
            if (grille.jour(jour).cache)
                break; // not employed that day: another draw
            // A leaving time that the day does not hold yet, so that the save writes something.
            QString sortie;
            do
                sortie = QStringLiteral("%1.%2")
                             .arg(12 + int(hasard() % 5))
                             .arg(int(hasard() % 60), 2, 10, QLatin1Char('0'));
            while (grille.jour(jour).utilisateurLu[1].trimmed() == sortie);
            (void)grille.saisir(jour, 0, entree);
            (void)grille.saisir(jour, 1, sortie);
            const GrilleSemaine::Verification v = grille.verifier();
            const FileError e = enregistrerSemaine(db, employe.CARTE, v.ecritures);
            if (e.code == ChangedElsewhere) {
                ++conflits;
                continue;
            }
            if (!e.ok()) {
                std::fprintf(stderr, "poste %d: %s\n", indice, qPrintable(e.description()));
                ++echecs;
            } else {
                const CelluleLue l1 = LireCellule(entree), l2 = LireCellule(sortie);
                std::printf("%d %d %lld %d %d %lld\n", employe.CARTE, lundi + jour,
                            static_cast<long long>(grille.jour(jour).version + 1), l1.minutes, l2.minutes,
                            static_cast<long long>(attente.elapsed()));
            }
            ++fait;
            break;
        }
    }
    std::printf("89 %d %d\n", conflits, echecs);
    return 0;
}

// The transfer: the raw file in Parties overlapping parts, one transfer each; "stockes ecartes doublons echecs".
int transfert(const QString& conninfo, const QString& origine)
{
    QTemporaryDir tmp;
    setPaths(Paths::forInstallation(tmp.path() + QStringLiteral("/Kip")));
    setStoreServer(conninfo);
    QFile f(origine);
    if (!f.open(QIODevice::ReadOnly))
        return 1;
    const QList<QByteArray> lignes = f.readAll().split('\n');
    Database db(QString{});
    int stockes = 0, ecartes = 0, doublons = 0, echecs = 0;
    const qsizetype part = lignes.size() / Parties + 1;
    for (int i = 0; i < Parties; ++i) {
        // Each part starts a tenth of a part early: those punches are read twice.
        const qsizetype debut = std::max<qsizetype>(0, i * part - part / 10);
        const QString chemin = tmp.path() + QStringLiteral("/partie.txt");
        QFile p(chemin);
        QByteArray octets;
        for (qsizetype k = debut; k < std::min(lignes.size(), (i + 1) * part); ++k)
            if (!lignes[k].trimmed().isEmpty())
                octets += lignes[k].trimmed() + "\r\n";
        if (!p.open(QIODevice::WriteOnly | QIODevice::Truncate) || p.write(octets) != octets.size())
            return 1;
        p.close();
        const ResultatTransfert r = TransfererPointages(db, chemin, Clock::today());
        stockes += r.stockes;
        ecartes += r.ecartes;
        doublons += r.doublons;
        echecs += r.reussi() ? 0 : 1;
        if (!r.reussi())
            std::fprintf(stderr, "transfert: %s\n", qPrintable(r.erreur.description()));
    }
    std::printf("%d %d %d %d\n", stockes, ecartes, doublons, echecs);
    return 0;
}

// The baseline: n single-row UPDATEs in their own transactions on random day lines.
int brut(const QString& conninfo, int indice, int n)
{
    PGconn* c = PQconnectdb(conninfo.toUtf8().constData());
    PGresult* r = PQexec(c, "SELECT max(rowid) FROM POINTVAL.POINTVAL");
    const long long max = PQntuples(r) ? std::atoll(PQgetvalue(r, 0, 0)) : 1;
    PQclear(r);
    std::mt19937 hasard(std::uint32_t(2000 + indice));
    for (int i = 0; i < n; ++i) {
        const std::string id = std::to_string(1 + hasard() % std::uint32_t(max));
        const char* valeurs[] = {id.c_str()};
        r = PQexecParams(c, "UPDATE POINTVAL.POINTVAL SET TOTAL = TOTAL + 1, ROWVER = ROWVER + 1 WHERE rowid = $1", 1,
                         nullptr, valeurs, nullptr, nullptr, 0);
        PQclear(r);
    }
    PQfinish(c);
    return 0;
}

std::unique_ptr<QProcess> lancer(const QStringList& arguments)
{
    auto p = std::make_unique<QProcess>();
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start(QCoreApplication::applicationFilePath(), arguments);
    return p;
}

struct Enregistrement
{
    qint64 version;
    int entree, sortie;
};

int coordonner(int n, int chauds)
{
    const QString base = QStringLiteral("kip_cbench_%1").arg(::getpid());
    exec(QStringLiteral("postgres"), QStringLiteral("CREATE DATABASE %1").arg(base));
    const QString conninfo = connexion(base);
    QTemporaryDir tmp;
    const QString dir = tmp.path() + QStringLiteral("/Kip");
    gen::GenOptions o;
    o.dir = dir;
    o.employees = 1000;
    o.weeks = 2;
    o.today = Clock::today();
    if (const gen::GenResult g = gen::generateInstallation(o); !g.ok) {
        std::fprintf(stderr, "kipgen: %s\n", qPrintable(g.error));
        return 1;
    }
    const Paths p = Paths::forInstallation(dir);
    setPaths(p);
    setStoreServer(conninfo);
    if (const ResultatCreation r = creerBaseServeur(QStringLiteral("kip_poste")); !r.erreur.ok()) {
        std::fprintf(stderr, "creer: %s\n", qPrintable(r.erreur.description()));
        return 1;
    }
    ServerConnection::closePool(conninfo);
    setStoreServer(QString());
    // The raw file stays beside the records: the transfer reads a copy of it.
    const QString brutes = tmp.path() + QStringLiteral("/brutes.txt");
    if (!QFile::copy(p.origin(0), brutes))
        return 1;
    if (const ResultatPassage r = ImporterSurServeur(p, conninfo, false); !r.fait) {
        std::fprintf(stderr, "importer: %s\n", qPrintable(r.textes.join(u' ')));
        return 1;
    }
    ServerConnection::closePool(conninfo);

    QElapsedTimer t;
    t.start();
    std::vector<std::unique_ptr<QProcess>> enfants;
    for (int i = 0; i < Postes; ++i)
        enfants.push_back(lancer({QStringLiteral("--poste"), conninfo, QString::number(i), QString::number(n / Postes),
                                  QString::number(chauds)}));
    enfants.push_back(lancer({QStringLiteral("--transfert"), conninfo, brutes}));
    for (const auto& e : enfants)
        e->waitForFinished(-1);
    const double secondes = t.nsecsElapsed() / 1e9;

    std::map<std::pair<int, int>, std::vector<Enregistrement>> faits;
    int enregistres = 0, conflits = 0, echecs = 0;
    qint64 attenteMax = 0;
    for (int i = 0; i < Postes; ++i)
        for (const QByteArray& ligne : enfants[size_t(i)]->readAllStandardOutput().split('\n')) {
            const QList<QByteArray> m = ligne.split(' ');
            if (m.size() == 3 && m[0] == "89") {
                conflits += m[1].toInt();
                echecs += m[2].toInt();
            } else if (m.size() == 6) {
                faits[{m[0].toInt(), m[1].toInt()}].push_back({m[2].toLongLong(), m[3].toInt(), m[4].toInt()});
                attenteMax = std::max(attenteMax, m[5].toLongLong());
                ++enregistres;
            }
        }
    const QList<QByteArray> tr = enfants.back()->readAllStandardOutput().trimmed().split(' ');

    // The records at the end, by card and date.
    setStoreServer(conninfo);
    std::map<std::pair<int, int>, PointVal> journees;
    std::map<std::tuple<int, int, int>, int> surLesLignes; // card, day, minute: times on the day lines' origin rows
    {
        Database db(QString{});
        RecordFile<PointVal> fichier(db);
        FileError e = fichier.open();
        Cursor<PointVal> c = fichier.readAll();
        PointVal v;
        while (e.ok() && (e = c.next(v)).ok()) {
            journees[{v.CARTE, v.DATE}] = v;
            for (qint16 m : v.POINTAGE_ORIGINE)
                if (m >= 0)
                    ++surLesLignes[{v.CARTE, v.DATE + m / 1440, m % 1440}];
        }
        if (e.code != EndOfFile)
            std::fprintf(stderr, "lecture: %s\n", qPrintable(e.description()));
    }
    // A save is lost when two saves were done over the same version of a line, or when the line does not hold the
    // last one.
    int perdus = 0;
    for (auto& [cle, liste] : faits) {
        std::sort(liste.begin(), liste.end(), [](const auto& a, const auto& b) { return a.version < b.version; });
        for (size_t k = 1; k < liste.size(); ++k)
            perdus += liste[k].version == liste[k - 1].version ? 1 : 0;
        const auto l = journees.find(cle);
        const Enregistrement& dernier = liste.back();
        if (l == journees.end() || l->second.version != dernier.version ||
            l->second.POINTAGE_UTILISATEUR[0] != dernier.entree || l->second.POINTAGE_UTILISATEUR[1] != dernier.sortie)
            ++perdus;
    }
    // Every raw punch at most once on the day lines, and nothing there that the raw file does not hold.
    std::map<std::tuple<int, int, int>, int> dansLeFichier;
    QFile f(brutes);
    if (f.open(QIODevice::ReadOnly))
        for (const QByteArray& ligne : f.readAll().split('\n')) {
            const OriginLine l = OriginLine::parse(ligne.trimmed());
            if (l.carte >= 0)
                ++dansLeFichier[{l.carte, dayNumber(l.annee, l.mois, l.jour), l.heure * 60 + l.minute}];
        }
    int doubles = 0, etrangers = 0, surLignes = 0;
    for (const auto& [cle, nombre] : surLesLignes) {
        surLignes += nombre;
        doubles += nombre > 1 ? nombre - 1 : 0;
        etrangers += dansLeFichier.count(cle) ? 0 : 1;
    }
    std::printf("%d saves by %d stations with one transfer, 1,000 employees (weeks of %d of them saved): %.1f s, "
                "%.0f saves/s\n",
                enregistres, Postes, chauds, secondes, enregistres / secondes);
    std::printf("  longest wait of a save (its reads again after 89 included): %lld ms; 89s met: %d; failed: %d\n",
                static_cast<long long>(attenteMax), conflits, echecs);
    std::printf("  transfer of %lld raw punches in %d overlapping parts: stored %s, set aside %s, read again %s, "
                "failed parts %s\n",
                static_cast<long long>(dansLeFichier.size()), Parties, tr.value(0).constData(), tr.value(1).constData(),
                tr.value(2).constData(), tr.value(3).constData());
    std::printf("  checks: %d lost updates, %d double-counted punches, %d punches on the day lines not in the raw "
                "file, %d on the day lines (stored %s)\n",
                perdus, doubles, etrangers, surLignes, tr.value(0).constData());

    // The baseline: as many single-row UPDATEs by libpq, from four processes.
    ServerConnection::closePool(conninfo);
    setStoreServer(QString());
    enfants.clear();
    t.restart();
    for (int i = 0; i < Postes; ++i)
        enfants.push_back(
            lancer({QStringLiteral("--brut"), conninfo, QString::number(i), QString::number(n / Postes)}));
    for (const auto& e : enfants)
        e->waitForFinished(-1);
    const double sBrut = t.nsecsElapsed() / 1e9;
    std::printf("  baseline: %d single-row UPDATEs by libpq from %d processes: %.2f s, %.0f updates/s\n",
                n / Postes * Postes, Postes, sBrut, (n / Postes * Postes) / sBrut);
    std::fflush(stdout);
    enfants.clear();
    exec(QStringLiteral("postgres"), QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(base));
    return perdus == 0 && doubles == 0 && etrangers == 0 && echecs == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    g_socket = qEnvironmentVariable("KIP_TEST_PGHOST");
    if (g_socket.isEmpty()) {
        std::fprintf(stderr, "KIP_TEST_PGHOST: the socket directory of a server (scripts/serveur-essai start)\n");
        return 2;
    }
    Clock::setToday(dayNumber(QDate::currentDate()));
    const QStringList args = app.arguments();
    if (args.size() == 6 && args[1] == QLatin1String("--poste"))
        return poste(args[2], args[3].toInt(), args[4].toInt(), args[5].toInt());
    if (args.size() == 5 && args[1] == QLatin1String("--brut"))
        return brut(args[2], args[3].toInt(), args[4].toInt());
    if (args.size() == 4 && args[1] == QLatin1String("--transfert"))
        return transfert(args[2], args[3]);
    const auto option = [&args](const char* nom, int defaut) {
        const qsizetype i = args.indexOf(QLatin1String(nom));
        return i >= 0 && i + 1 < args.size() ? args[i + 1].toInt() : defaut;
    };
    return coordonner(option("--enregistrements", 2000), option("--employes", 1000));
}
