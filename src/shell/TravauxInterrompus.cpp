#include "TravauxInterrompus.h"

#include "LecteurCartes.h"
#include "PauseLecteur.h"
#include "RemplacementEnsemble.h"
#include "Sauvegarde.h"
#include "data/FileAdmin.h"
#include "data/Messages.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <csignal>

namespace kip {

namespace {

// Removes the entries of dir that match the patterns; files and, with dossiers, directories.
void supprimer(const QString& dir, const QStringList& motifs, bool dossiers, QStringList* supprimes)
{
    const QDir d(dir);
    const QDir::Filters filtres =
        QDir::Files | QDir::Hidden | (dossiers ? QDir::Dirs | QDir::NoDotAndDotDot : QDir::Filters());
    for (const QFileInfo& info : d.entryInfoList(motifs, filtres)) {
        const bool fait = info.isDir() ? QDir(info.filePath()).removeRecursively() : removeRecordFile(info.filePath());
        if (fait)
            *supprimes << info.filePath();
    }
}

// The temporary files of the checked writer ("name.<pid>-<n>.tmp") whose process is gone: the card reader,
// which the lock does not keep out, may be writing one of its own right now.
void supprimerTemporaires(const QString& dir, QStringList* supprimes)
{
    for (const QFileInfo& info : QDir(dir).entryInfoList({QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden)) {
        bool nombre = false;
        const qint64 pid = info.completeBaseName().section(u'.', -1).section(u'-', 0, 0).toLongLong(&nombre);
        if (nombre && pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH && QFile::remove(info.filePath()))
            *supprimes << info.filePath();
    }
}

} // namespace

ResultatTravauxInterrompus ReprendreTravauxInterrompus(const Paths& p)
{
    ResultatTravauxInterrompus r;
    {
        // Putting a restore's punches back rewrites Origin00.txt: the reader must not append meanwhile.
        PauseLecteur pause;
        if (RemplacementEnsemble::donneesEnSuspens(p.dataDir)) {
            if (!LecteurCartes::programme().cherche())
                LecteurCartes::programme().chercher();
            pause = PauseLecteur::demander();
            if (LecteurCartes::programme().trouve())
                PauseLecteur::attendre(PauseLecteur::AttenteMs);
        }
        const RemplacementEnsemble::Reprise reprise = RemplacementEnsemble::reprendre(p.dataDir);
        r.textes = reprise.textes;
        r.donneesMelangees = reprise.donneesMelangees;
    }
    if (r.donneesMelangees)
        return r; // what is left is what the next attempt needs
    // No set is in progress now: every work file of a job is a leftover.
    supprimer(p.dataDir,
              {tableOf(FileId::PointVal).fileName + QStringLiteral(".purge"), QStringLiteral("*.tps.restauration"),
               QStringLiteral("*.tps.reconstruction"), QStringLiteral("*.ancien"),
               QStringLiteral("Origin00.txt.reprise"), QStringLiteral("*.part")},
              false, &r.supprimes);
    for (const QString& dir : {p.saveAutoDir, p.saveManuDir})
        supprimer(dir, {QStringLiteral("*.part"), QStringLiteral("*.ancien")}, false, &r.supprimes);
    for (const QString& dir : {p.dataDir, p.saveAutoDir, p.saveManuDir})
        supprimerTemporaires(dir, &r.supprimes);
    supprimer(p.saveManuDir, {QStringLiteral("SauvegardeEnCours")}, true, &r.supprimes);
    supprimer(QDir(p.saveManuDir).filePath(QStringLiteral("AvantRestauration")), {QStringLiteral("*.part")}, true,
              &r.supprimes);
    return r;
}

void SignalerTravauxInterrompus(const Paths& p)
{
    const ResultatTravauxInterrompus r = ReprendreTravauxInterrompus(p);
    for (const QString& texte : r.textes)
        Message(40, texte);
    if (r.donneesMelangees)
        stopProgram(QStringLiteral("Travail interrompu"));
}

} // namespace kip
