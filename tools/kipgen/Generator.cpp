// Builds a generated installation: directories, record files, settings, staff, raw punches, day lines.
#include "Generator.h"

#include "Absences.h"
#include "DayLines.h"
#include "Punches.h"
#include "Sounds.h"
#include "Staff.h"
#include "calendar/Clock.h"
#include "data/FileAdmin.h"
#include "data/Files.h"
#include "data/RecordFile.h"
#include "data/TextFiles.h"
#include "data/Transaction.h"

#include <QDir>
#include <QFileInfo>

namespace kip::gen {

namespace {

GenResult failure(const QString& text)
{
    GenResult r;
    r.error = text;
    return r;
}

// Busier sites have more terminals.
int terminalsFor(int employees)
{
    return employees < 10 ? 1 : employees < 100 ? 2 : employees < 500 ? 3 : 4;
}

QString checkOptions(const GenOptions& o)
{
    if (o.dir.isEmpty())
        return QStringLiteral("Le répertoire d'installation n'est pas indiqué.");
    if (QFileInfo(QDir::cleanPath(o.dir)).fileName().compare(QLatin1String("Kip"), Qt::CaseInsensitive) != 0)
        return QStringLiteral("Le répertoire d'installation doit s'appeler Kip: %1").arg(o.dir);
    if (o.employees < 0 || o.employees > 9999)
        return QStringLiteral("Le nombre d'employés doit être compris entre 0 et 9999.");
    if (o.weeks < 1 || o.weeks > 520)
        return QStringLiteral("Le nombre de semaines doit être compris entre 1 et 520.");
    if (o.rawLines < -1 || o.dayLines < 0)
        return QStringLiteral("Un nombre de lignes ne peut être négatif.");
    if (o.dayLines > 0 && o.employees == 0)
        return QStringLiteral("Des lignes de jour demandent au moins un employé.");
    return {};
}

// The data files that a generation writes; an existing installation keeps them unless asked to replace.
QStringList dataFiles(const Paths& p)
{
    QStringList files;
    for (const TableDecl* t : allTables())
        files << p.dataDir + QLatin1Char('/') + t->fileName;
    for (int g = 0; g <= 10; ++g)
        files << p.origin(g);
    files << p.kipGuard();
    return files;
}

Parametre defaultSettings(int terminals)
{
    static constexpr const char* Names[] = {"Pointeuse Locale", "Atelier", "Entrepôt", "Bureaux"};
    Parametre s;
    s.MESSAGEGENERALDEFAUT = QStringLiteral("Bonjour, glissez votre carte ...");
    s.USEMESSAGEDEFAUT.fill(1);
    for (int t = 0; t < terminals && t < 4; ++t) {
        s.TERMINAL[size_t(t)] = 1;
        s.IDENTIFICATION[size_t(t)] = QString::fromUtf8(Names[t]);
    }
    s.AFFICHAGELIGNE1 = QStringLiteral("D");
    s.AFFICHAGELIGNE2 = QStringLiteral("N");
    s.TABCORRECTION = 1;
    s.TABPERSONNEL = 1;
    return s;
}

// The single-record files and the staff, in one batch.
FileError writeRecords(Database& db, std::vector<Employee>& staff, int terminals)
{
    Transaction t(db, {FileId::Parametre, FileId::Personnel, FileId::DateSave, FileId::OnOff});
    if (!t.ok())
        return t.error();
    RecordFile<Parametre> par(db);
    RecordFile<Personnel> per(db);
    RecordFile<DateSave> dat(db);
    RecordFile<OnOff> ono(db);
    Parametre settings = defaultSettings(terminals);
    DateSave saves;
    OnOff onOff;
    FileError e = par.add(settings);
    if (e.ok())
        e = dat.add(saves);
    if (e.ok())
        e = ono.add(onOff);
    for (size_t i = 0; i < staff.size() && e.ok(); ++i)
        e = per.add(staff[i].record);
    return e.ok() ? t.commit() : e;
}

QString fileErrorText(const QString& what, const FileError& e)
{
    return QStringLiteral("%1: %2").arg(what, e.description());
}

} // namespace

GenResult generateInstallation(const GenOptions& o)
{
    if (const QString bad = checkOptions(o); !bad.isEmpty())
        return failure(bad);
    const Paths p = Paths::forInstallation(QDir(o.dir).absolutePath());
    for (const QString& d : {p.installDir, p.dataDir, p.saveAutoDir, p.saveManuDir, p.sonDir})
        if (!QDir().mkpath(d))
            return failure(QStringLiteral("Impossible de créer le répertoire %1").arg(d));
    for (const QString& f : dataFiles(p)) {
        if (!QFileInfo::exists(f))
            continue;
        if (!o.force)
            return failure(
                QStringLiteral("L'installation contient déjà %1 (--force pour remplacer les fichiers)").arg(f));
        if (!removeRecordFile(f))
            return failure(QStringLiteral("Impossible de supprimer %1").arg(f));
    }
    for (const TableDecl* t : allTables())
        if (FileError e = createRecordFile(*t, p.dataDir + QLatin1Char('/') + t->fileName); !e.ok())
            return failure(QStringLiteral("Création de %1: %2").arg(t->fileName, e.description()));

    const qint32 today = o.today ? o.today : Clock::today();
    const qint32 firstDay = today - 7 * o.weeks + 1;
    const int terminals = terminalsFor(o.employees);
    std::vector<Employee> staff = makeStaff({o.employees, o.seed, today, firstDay, terminals});
    drawAbsences(staff, firstDay, today, o.seed);

    GenResult result;
    {
        Database db(p.dataDir);
        if (const FileError e = writeRecords(db, staff, terminals); !e.ok())
            return failure(fileErrorText(QStringLiteral("Écriture des employés"), e));
        if (const FileError e = writeAbsences(db, staff); !e.ok())
            return failure(fileErrorText(QStringLiteral("Écriture des absences"), e));
        if (const FileError e = writeDayLines(db, staff, {o.dayLines, today, o.seed, terminals}); !e.ok())
            return failure(fileErrorText(QStringLiteral("Écriture des lignes de jour"), e));
    }
    result.originLines = writeOrigin(p.origin(0), staff, {firstDay, today, o.seed, terminals, o.rawLines});
    if (result.originLines < 0)
        return failure(QStringLiteral("Impossible d'écrire %1").arg(p.origin(0)));
    const KipGuard guard{QStringLiteral("1"), QStringLiteral("bip.wav"), QStringLiteral("erreur.wav"),
                         QStringLiteral("Magtek")};
    if (!guard.write(p.kipGuard()).ok())
        return failure(QStringLiteral("Impossible d'écrire %1").arg(p.kipGuard()));
    if (!writeTone(p.sonDir + QStringLiteral("/bip.wav"), 1760, 120, 1) ||
        !writeTone(p.sonDir + QStringLiteral("/erreur.wav"), 330, 150, 2))
        return failure(QStringLiteral("Impossible d'écrire les sons dans %1").arg(p.sonDir));
    result.ok = true;
    result.employees = int(staff.size());
    result.dayLines = o.dayLines;
    return result;
}

} // namespace kip::gen
