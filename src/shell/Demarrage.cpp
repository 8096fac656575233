#include "Demarrage.h"

#include "Sauvegarde.h"
#include "TravauxInterrompus.h"
#include "calendar/Clock.h"
#include "data/Base.h"
#include "data/Database.h"
#include "data/Messages.h"
#include "data/Postes.h"
#include "data/RecordFile.h"
#include "data/SauvegardeServeur.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace kip {

namespace {

constexpr qint64 PourMille = 1000; // the backup's progress, in thousandths of its bytes

bool accessible(const QString& dir)
{
    const QFileInfo info(dir);
    return info.isDir() && info.isReadable() && info.isWritable() && info.isExecutable();
}

} // namespace

Demarrage::Demarrage(Program program) : m_program(program) {}

Demarrage::~Demarrage() = default;

bool Demarrage::estRepertoireInstallation(const QString& dir)
{
    QString d = dir;
    while (d.endsWith(QLatin1Char(' ')))
        d.chop(1);
    const QString tail = d.right(4).toUpper();
    return tail == QLatin1String("/KIP") || tail == QLatin1String("\\KIP");
}

bool Demarrage::verifier(const QString& currentDir, int* exitCode)
{
    *exitCode = 0;
    if (!estRepertoireInstallation(currentDir)) {
        showBox(QStringLiteral("Installation ou raccourci défectueux"),
                QStringLiteral("Le répertoire ou sous répertoire dans lequel est installé Kip.exe doit être \\Kip.\r\n"
                               "PALUN préconise le chemin par défaut suivant: LettreDisque:\\Palun\\Kip.\r\n"
                               "Vérifiez le chemin ou la ligne \"Démarrer en\" de votre raccourci."),
                MessageIcon::Stop);
        // A failure, whoever started the program: a scheduler running kipempty from the wrong directory must
        // not read this end as a transfer done.
        *exitCode = 1;
        return false;
    }
    const Paths p = Paths::forInstallation(currentDir);
    // The records' engine, chosen once: a server that cannot be reached ends the program before anything is
    // touched, the lock included.
    if (const FileError base = chooseStore(p.dataDir); !base.ok()) {
        showBox(QStringLiteral("Erreur"), base.description(), MessageIcon::Stop);
        *exitCode = 1;
        return false;
    }
    for (const QString& dir : {p.dataDir, p.saveAutoDir, p.saveManuDir, p.sonDir}) {
        if (!accessible(dir))
            QDir().mkpath(dir);
        if (!accessible(dir)) {
            showBox(QStringLiteral("Erreur d'accès"), QStringLiteral("Impossible d'accéder à:\r\n") + dir,
                    MessageIcon::Stop);
            *exitCode = 1;
            return false;
        }
    }
    setPaths(p);
    // The lock is taken here and kept to the end, so that no other program can pass between the test
    // and the opening of the files.
    if (m_verrou.prendre(p.dataDir) != VerrouProgramme::Pris) {
        if (!traitsOf(m_program).silentWhenInUse) {
            showBox(QStringLiteral("Erreur"),
                    QStringLiteral("Kip ou l'un de ses modules est déja en cours d'utilisation"), MessageIcon::Stop);
            *exitCode = 1;
        }
        return false;
    }
    // No job of another program runs now: what a killed one left is settled before any file is opened.
    SignalerTravauxInterrompus(p);
    return true;
}

void Demarrage::ouvrir()
{
    for (FileId id : {FileId::DateSave, FileId::OnOff, FileId::Parametre})
        m_files.push_back(std::make_unique<FileUse>(id));
    if (traitsOf(m_program).talksToCardReader) {
        LecteurCartes::programme().chercher();
        m_pause = PauseLecteur::demander();
        // A stopping message ends the program at once, destructors and all: the reader is told to resume first.
        setStopHandler([](const QString&, int) { PauseLecteur::reprendreAvantArret(); });
        // The reader finishes what it was writing before the raw file is touched. With no reader found the
        // request went nowhere and there is nothing to wait for.
        if (LecteurCartes::programme().trouve())
            PauseLecteur::attendre(m_attentePauseMs);
    }
    {
        // The journal of corrections and the absence files are read whole at every start, as the small files are
        // at their open: their damage is found and repaired (the repair question) here, not met later by
        // whatever reads them (the home window's panel, the absence window, the grid).
        const FileUse journal(FileId::Journal);
        for (FileId id : FichiersAbsences)
            const FileUse absences(id);
    }
    Database db(paths().dataDir);
    lireParametres(db);
    marquerDemarrage(db);
    sauvegardeDuJour(db);
    m_ouvert = true;
}

void Demarrage::lireParametres(Database& db)
{
    RecordFile<Parametre> file(db);
    Parametre par;
    if (file.open() == NoError && file.first(par) == NoError)
        m_positionSommaire = par.POSITIONSOMMAIRE;
    // PARAMETRE is not kept open: its count goes back to zero once read.
    m_files.pop_back();
    resetOpenCount(FileId::Parametre);
}

void Demarrage::marquerDemarrage(Database& db)
{
    // On the server, whose write-ahead log keeps its indexes whole through a crash, there is nothing to rebuild, and
    // the one marker shared by every station would only make stations starting at once collide on its record.
    if (db.isServer())
        return;
    // A run whose crash marker cannot be set would skip the key rebuild after a crash: it must not go on.
    auto arret = [](const FileError& err) {
        Message(30, err, paths().file(FileId::OnOff));
        stopProgram(QStringLiteral("Erreur disque"));
    };
    OnOff onoff;
    {
        RecordFile<OnOff> file(db);
        if (const FileError e = file.open(); !e.ok())
            arret(e);
        if (const FileError e = file.first(onoff); e.code == EndOfFile) {
            onoff = OnOff{};
            onoff.TEST = 1;
            if (const FileError added = file.add(onoff); !added.ok())
                arret(added);
        } else if (!e.ok()) {
            arret(e);
        }
    }
    if (onoff.TEST == 1) {
        // The last run did not end in order (or this is the first): every key is rebuilt before use.
        db.detachAll();
        rebuildAllKeysWithProgress();
        m_rebuilt = true;
    }
    RecordFile<OnOff> file(db);
    FileError e = file.open();
    if (e.ok())
        e = file.first(onoff);
    if (e.ok()) {
        onoff.TEST = 1;
        e = file.put(onoff);
    }
    if (!e.ok())
        arret(e);
}

void Demarrage::sauvegardeDuJour(Database& db)
{
    const qint32 today = Clock::today();
    // On the server the backup is the installation's: the first station of the day takes it while the others wait
    // for their turn, then find it taken and say where it is.
    TourSauvegarde tour(db, today);
    if (tour.occupe())
        // Another station is copying: a small window says for whom this one waits, the wait on a worker.
        runWithProgress(QStringLiteral("Sauvegarde automatique"), [&tour](const RebuildProgress& avance) {
            avance(0, 0, tour.enAttenteDe());
            tour.attendre();
        });
    if (!tour.error().ok()) {
        m_incidentSauvegarde = QStringLiteral("Sauvegarde automatique non faite: %1").arg(tour.error().description());
        return;
    }
    if (tour.faite()) {
        m_avisSauvegarde = texteSauvegardeFaite(*tour.faite());
        return;
    }
    RecordFile<DateSave> file(db);
    DateSave dat;
    FileError e = file.open();
    if (e.ok())
        e = file.first(dat);
    if (e.code == EndOfFile) {
        dat = DateSave{};
        e = file.add(dat);
    }
    if (e.ok() && dat.DATEAUTO == today && !tour.suivie())
        return;
    // Seconds for a large PointVal.tps: a small window says so at once while a worker copies.
    ResultatSauvegarde r;
    runWithProgress(QStringLiteral("Sauvegarde automatique"), [&r](const RebuildProgress& avance) {
        r = SauvegardeAuto(paths(), [&avance](qint64 fait, qint64 total, const QString& fichier) {
            avance(int(total > 0 ? fait * PourMille / total : PourMille), int(PourMille), fichier);
        });
    });
    QStringList echecs = r.echecs;
    if (r.reussie() && e.ok()) {
        dat.DATEAUTO = today;
        e = file.put(dat);
    }
    if (!e.ok())
        echecs << QStringLiteral("DateSave.tps (%1)").arg(e.description());
    if (echecs.isEmpty())
        if (const FileError jour = tour.enregistrer(paths().saveAutoDir); !jour.ok())
            echecs << QStringLiteral("le jour de la sauvegarde sur le serveur (%1)").arg(jour.description());
    if (!echecs.isEmpty()) {
        // Not taken, or its date not written: the next start tries again.
        m_incidentSauvegarde = QStringLiteral("Sauvegarde automatique incomplète: %1 non copié(s) dans %2")
                                   .arg(echecs.join(QStringLiteral(", ")), paths().saveAutoDir);
    }
}

void Demarrage::fermer()
{
    if (!m_ouvert)
        return;
    m_pause.reprendre();
    if (storeServer().isEmpty()) {
        Database db(paths().dataDir);
        RecordFile<OnOff> file(db);
        OnOff onoff;
        FileError e = file.open();
        if (e.ok())
            e = file.first(onoff);
        if (e.ok()) {
            onoff.TEST = 0;
            e = file.put(onoff);
        }
        // The marker stays set: the next start rebuilds the keys, which does no harm.
        if (!e.ok())
            QTextStream(stderr) << QStringLiteral("Fin de session non enregistrée dans %1: %2\n")
                                       .arg(paths().file(FileId::OnOff), e.description());
    }
    m_files.clear();
    quitterPoste();
    m_verrou.rendre();
    m_ouvert = false;
}

} // namespace kip
