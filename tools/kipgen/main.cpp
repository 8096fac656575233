// kipgen: creates a ready Kip installation with generated data for the demo, the tests and the benchmarks.
#include "Generator.h"
#include "calendar/Clock.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

namespace {

bool readNumber(const QCommandLineParser& args, const QString& name, qint64& out)
{
    if (!args.isSet(name))
        return true;
    bool ok = false;
    out = args.value(name).toLongLong(&ok);
    if (!ok)
        std::fprintf(stderr, "kipgen: --%s attend un nombre\n", qPrintable(name));
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser args;
    args.setApplicationDescription(QStringLiteral("Crée une installation Kip avec des données générées."));
    args.addHelpOption();
    args.addOptions({
        {QStringLiteral("dir"), QStringLiteral("Répertoire d'installation (nommé Kip)."), QStringLiteral("chemin")},
        {QStringLiteral("employees"), QStringLiteral("Nombre d'employés (0 à 9999)."), QStringLiteral("N"),
         QStringLiteral("50")},
        {QStringLiteral("weeks"), QStringLiteral("Semaines de pointages bruts jusqu'à aujourd'hui."),
         QStringLiteral("W"), QStringLiteral("14")},
        {QStringLiteral("seed"), QStringLiteral("Graine du tirage."), QStringLiteral("S"), QStringLiteral("1")},
        {QStringLiteral("today"), QStringLiteral("Date du jour, jj/mm/aaaa."), QStringLiteral("date")},
        {QStringLiteral("raw-lines"), QStringLiteral("Nombre exact de lignes de Origin00.txt."), QStringLiteral("M")},
        {QStringLiteral("day-lines"), QStringLiteral("Lignes de jour ajoutées directement dans POINTVAL."),
         QStringLiteral("K")},
        {QStringLiteral("force"), QStringLiteral("Remplace les fichiers de données existants.")},
    });
    args.process(app);

    kip::gen::GenOptions o;
    o.dir = args.value(QStringLiteral("dir"));
    qint64 employees = 50, weeks = 14, seed = 1, raw = -1, day = 0;
    if (!readNumber(args, QStringLiteral("employees"), employees) ||
        !readNumber(args, QStringLiteral("weeks"), weeks) || !readNumber(args, QStringLiteral("seed"), seed) ||
        !readNumber(args, QStringLiteral("raw-lines"), raw) || !readNumber(args, QStringLiteral("day-lines"), day))
        return 2;
    o.employees = int(std::clamp<qint64>(employees, -1, 10000));
    o.weeks = int(std::clamp<qint64>(weeks, 0, 1000));
    o.seed = quint64(seed);
    o.rawLines = raw;
    o.dayLines = day;
    o.force = args.isSet(QStringLiteral("force"));
    if (args.isSet(QStringLiteral("today"))) {
        const QDate d = QDate::fromString(args.value(QStringLiteral("today")), QStringLiteral("dd/MM/yyyy"));
        if (!d.isValid()) {
            std::fprintf(stderr, "kipgen: --today attend une date jj/mm/aaaa\n");
            return 2;
        }
        o.today = kip::dayNumber(d);
    }

    QElapsedTimer timer;
    timer.start();
    const kip::gen::GenResult r = kip::gen::generateInstallation(o);
    if (!r.ok) {
        std::fprintf(stderr, "kipgen: %s\n", qPrintable(r.error));
        return 1;
    }
    std::printf("%s: %d employés, %lld lignes brutes, %lld lignes de jour en %.1f s\n", qPrintable(o.dir), r.employees,
                static_cast<long long>(r.originLines), static_cast<long long>(r.dayLines),
                double(timer.elapsed()) / 1000.0);
    return 0;
}
