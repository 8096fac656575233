#include "Demarrage.h"

#include "Sauvegarde.h"
#include "calendar/Clock.h"
#include "data/Database.h"
#include "data/Messages.h"
#include "data/RecordFile.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>

namespace kip {

namespace {

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
        return false;
    }
    const Paths p = Paths::forInstallation(currentDir);
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
    return true;
}

void Demarrage::ouvrir()
{
    for (FileId id : {FileId::DateSave, FileId::OnOff, FileId::Parametre})
        m_files.push_back(std::make_unique<FileUse>(id));
    if (traitsOf(m_program).talksToCardReader) {
        LecteurCartes::programme().chercher();
        LecteurCartes::programme().envoyer(LecteurCartes::Pause);
        // The reader finishes what it was writing before the raw file is touched.
        if (m_attentePauseMs > 0)
            QThread::msleep(ulong(m_attentePauseMs));
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
    OnOff onoff;
    {
        RecordFile<OnOff> file(db);
        file.open();
        if (file.first(onoff) != NoError) {
            onoff = OnOff{};
            onoff.TEST = 1;
            file.add(onoff);
        }
    }
    if (onoff.TEST == 1) {
        // The last run did not end in order (or this is the first): every key is rebuilt before use.
        db.detachAll();
        rebuildAllKeysWithProgress();
        m_rebuilt = true;
    }
    RecordFile<OnOff> file(db);
    file.open();
    file.first(onoff);
    onoff.TEST = 1;
    file.put(onoff);
}

void Demarrage::sauvegardeDuJour(Database& db)
{
    RecordFile<DateSave> file(db);
    file.open();
    DateSave dat;
    if (file.first(dat) != NoError) {
        dat = DateSave{};
        file.add(dat);
    }
    const qint32 today = Clock::today();
    if (dat.DATEAUTO == today)
        return;
    const ResultatSauvegarde r = SauvegardeAuto(paths());
    if (!r.reussie()) {
        // Not taken: the date stays as it was, so that the next start tries again.
        m_incidentSauvegarde = QStringLiteral("Sauvegarde automatique incomplète: %1 non copié(s) dans %2")
                                   .arg(r.echecs.join(QStringLiteral(", ")), paths().saveAutoDir);
        return;
    }
    dat.DATEAUTO = today;
    file.put(dat);
}

void Demarrage::fermer()
{
    if (!m_ouvert)
        return;
    {
        Database db(paths().dataDir);
        RecordFile<OnOff> file(db);
        OnOff onoff;
        if (file.open() == NoError && file.first(onoff) == NoError) {
            onoff.TEST = 0;
            file.put(onoff);
        }
    }
    m_files.clear();
    m_verrou.rendre();
    m_ouvert = false;
}

} // namespace kip
