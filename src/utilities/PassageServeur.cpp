#include "PassageServeur.h"

#include "data/Base.h"
#include "data/Database.h"
#include "data/FileAdmin.h"
#include "data/FileWriter.h"
#include "data/ServerAdmin.h"
#include "data/ServerConnection.h"
#include "data/ServerImport.h"
#include "data/ServerSetup.h"
#include "data/TableDecl.h"
#include "shell/TravauxInterrompus.h"
#include "shell/VerrouProgramme.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kip {

namespace {

const QString Cote = QStringLiteral(".avant-serveur");

ResultatPassage refusPassage(const QString& texte)
{
    return {false, {texte}};
}

// A name beside the file that no earlier move took.
QString nomDeCote(const QString& chemin)
{
    QString nom = chemin + Cote;
    for (int n = 2; QFileInfo::exists(nom); ++n)
        nom = chemin + Cote + QStringLiteral("-%1").arg(n);
    return nom;
}

qint64 compter(const TableDecl& table, const QString& chemin)
{
    return recordsOfFile(table, chemin, Database::DefaultWaitMs).valueOr(-1);
}

} // namespace

ResultatPassage ImporterSurServeur(const Paths& p, const QString& conninfo, bool remplacer,
                                   const std::function<void(const QString&, qint64)>& progress)
{
    if (const QString r = connectionStringRefusal(conninfo); !r.isEmpty())
        return refusPassage(QStringLiteral("chaîne de connexion refusée: %1.").arg(r));
    const Result<QString> actuel = readBaseFile(p.dataDir);
    if (!actuel)
        return refusPassage(actuel.error().description());
    if (!actuel->isEmpty())
        return refusPassage(QStringLiteral("les données de cette installation sont déjà sur le serveur %1 (Data/%2).")
                                .arg(serverName(*actuel), QLatin1String(BaseFileName)));
    VerrouProgramme verrou;
    if (!VerrouProgramme::tenuParCeProcessus(p.dataDir)) {
        const VerrouProgramme::Resultat pris = verrou.prendre(p.dataDir);
        if (pris == VerrouProgramme::Occupe)
            return refusPassage(QStringLiteral("Kip ou l'un de ses modules est déja en cours d'utilisation."));
        if (pris != VerrouProgramme::Pris)
            return refusPassage(QStringLiteral("Le répertoire %1 n'est pas accessible.").arg(p.dataDir));
    }
    ResultatPassage r;
    // A backup or a restore that a killed program left halfway is settled first: the files copied are whole.
    const ResultatTravauxInterrompus reprise = ReprendreTravauxInterrompus(p);
    r.textes << reprise.textes;
    if (reprise.donneesMelangees) {
        r.textes << QStringLiteral("La restauration interrompue doit d'abord être terminée: rien n'a été copié.");
        return r;
    }
    std::vector<CompteTable> comptes;
    if (const FileError e = copierFichiersVersServeur(p.dataDir, conninfo, remplacer, &comptes, progress); !e.ok()) {
        r.textes
            << QStringLiteral("rien n'a été copié sur le serveur %1: %2").arg(serverName(conninfo), e.description());
        return r;
    }
    QStringList copies;
    for (const CompteTable& c : comptes)
        copies << QStringLiteral("%1 %2").arg(c.label).arg(c.lignes);
    r.textes
        << QStringLiteral("copié sur le serveur %1: %2.").arg(serverName(conninfo), copies.join(QStringLiteral(", ")));
    const QString base = QDir(p.dataDir).filePath(QLatin1String(BaseFileName));
    if (const FileError e = writeFileAtomically(base, conninfo.toUtf8() + '\n'); !e.ok()) {
        r.textes << QStringLiteral("%1: les programmes restent sur les fichiers de Data; une nouvelle importation "
                                   "demandera --remplacer.")
                        .arg(writeFailureText(e));
        return r;
    }
    // The files are kept aside, never removed: the way back, should the business need it.
    QStringList deCote, restes;
    for (const TableDecl* table : allTables()) {
        const QString chemin = QDir(p.dataDir).filePath(table->fileName);
        for (const QString& fichier : {chemin, chemin + QStringLiteral("-journal")}) {
            if (!QFileInfo::exists(fichier))
                continue;
            const QString nom = nomDeCote(fichier);
            if (QFile::rename(fichier, nom))
                deCote << QFileInfo(nom).fileName();
            else
                restes << QFileInfo(fichier).fileName();
        }
    }
    r.fait = true;
    r.textes << QStringLiteral("Data/%1 désigne désormais le serveur.").arg(QLatin1String(BaseFileName));
    if (!deCote.isEmpty())
        r.textes << QStringLiteral("fichiers mis de côté dans Data: %1.").arg(deCote.join(QStringLiteral(", ")));
    if (!restes.isEmpty())
        r.textes << QStringLiteral("n'ont pas pu être renommés (ils ne servent plus): %1.")
                        .arg(restes.join(QStringLiteral(", ")));
    return r;
}

ResultatPassage RejoindreServeur(const Paths& p, const QString& conninfo)
{
    if (const QString r = connectionStringRefusal(conninfo); !r.isEmpty())
        return refusPassage(QStringLiteral("chaîne de connexion refusée: %1.").arg(r));
    const Result<QString> actuel = readBaseFile(p.dataDir);
    if (!actuel)
        return refusPassage(actuel.error().description());
    VerrouProgramme verrou;
    if (!VerrouProgramme::tenuParCeProcessus(p.dataDir)) {
        const VerrouProgramme::Resultat pris = verrou.prendre(p.dataDir);
        if (pris == VerrouProgramme::Occupe)
            return refusPassage(QStringLiteral("Kip ou l'un de ses modules est déja en cours d'utilisation."));
        if (pris != VerrouProgramme::Pris)
            return refusPassage(QStringLiteral("Le répertoire %1 n'est pas accessible.").arg(p.dataDir));
    }
    // Records of the files would be forgotten once Base.txt names the server: they go there by an import first.
    QStringList pleins;
    for (const TableDecl* table : allTables()) {
        const QString chemin = QDir(p.dataDir).filePath(table->fileName);
        if (!QFileInfo::exists(chemin))
            continue;
        const qint64 n = compter(*table, chemin);
        if (n != 0)
            pleins << (n < 0 ? QStringLiteral("%1 (illisible)").arg(table->fileName)
                             : QStringLiteral("%1 (%2 enregistrement(s))").arg(table->fileName).arg(n));
    }
    if (!pleins.isEmpty())
        return refusPassage(QStringLiteral("Data contient encore des enregistrements qui seraient oubliés: %1. "
                                           "Importez-les (kiptool serveur importer) ou mettez ces fichiers de côté.")
                                .arg(pleins.join(QStringLiteral(", "))));
    const QString avant = storeServer();
    setStoreServer(conninfo);
    FileError e;
    {
        Database db(QString{});
        e = db.valid() ? FileError{} : db.errorFrom(0);
        for (const TableDecl* table : allTables())
            if (e.ok())
                e = checkServerTable(db, *table);
    }
    setStoreServer(avant);
    ServerConnection::closePool(conninfo);
    if (!e.ok())
        return refusPassage(QStringLiteral("le serveur %1 ne contient pas les tables de Kip (kiptool serveur creer et "
                                           "importer les y mettent): %2")
                                .arg(serverName(conninfo), e.description()));
    const QString base = QDir(p.dataDir).filePath(QLatin1String(BaseFileName));
    if (const FileError w = writeFileAtomically(base, conninfo.toUtf8() + '\n'); !w.ok())
        return refusPassage(writeFailureText(w));
    ResultatPassage r{true, {}};
    if (!actuel->isEmpty() && *actuel != conninfo)
        r.textes
            << QStringLiteral("Data/%1 désignait le serveur %2.").arg(QLatin1String(BaseFileName), serverName(*actuel));
    r.textes << QStringLiteral("Data/%1 désigne désormais le serveur %2: ce poste en partage les enregistrements.")
                    .arg(QLatin1String(BaseFileName), serverName(conninfo));
    return r;
}

ResultatPassage ExporterDuServeur(const Paths& p, const QString& repertoire,
                                  const std::function<void(const QString&, qint64, qint64)>& progress)
{
    const Result<QString> conninfo = readBaseFile(p.dataDir);
    if (!conninfo)
        return refusPassage(conninfo.error().description());
    if (conninfo->isEmpty())
        return refusPassage(
            QStringLiteral("les données de cette installation ne sont pas sur un serveur (pas de Data/%1).")
                .arg(QLatin1String(BaseFileName)));
    if (const FileError e = chooseStore(p.dataDir); !e.ok())
        return refusPassage(e.description());
    if (!QDir().mkpath(repertoire))
        return refusPassage(QStringLiteral("le répertoire %1 n'a pas pu être créé.").arg(repertoire));
    for (const TableDecl* table : allTables())
        if (QFileInfo::exists(QDir(repertoire).filePath(table->fileName)))
            return refusPassage(
                QStringLiteral("%1 existe déjà: rien n'a été écrit.").arg(QDir(repertoire).filePath(table->fileName)));
    ResultatPassage r;
    QStringList ecrits, comptes;
    for (const TableDecl* table : allTables()) {
        const QString chemin = QDir(repertoire).filePath(table->fileName);
        CopyProgress suivi;
        if (progress)
            suivi = [&](qint64 fait, qint64 total) { progress(table->label, fait, total); };
        const FileError e = copyServerTable(*table, chemin, suivi);
        if (!e.ok()) {
            for (const QString& f : ecrits)
                (void)removeRecordFile(f);
            r.textes
                << QStringLiteral("%1 n'a pas pu être écrit (%2): rien n'a été gardé.").arg(chemin, e.description());
            return r;
        }
        ecrits << chemin;
        comptes << QStringLiteral("%1 %2").arg(table->fileName).arg(compter(*table, chemin));
    }
    r.fait = true;
    r.textes << QStringLiteral("écrit dans %1: %2.").arg(repertoire, comptes.join(QStringLiteral(", ")));
    return r;
}

FileError DroitsAdministrateur(const QString& dataDir)
{
    if (storeServer().isEmpty())
        return {};
    Database db(dataDir);
    return db.valid() ? verifierRoleAdministrateur(db) : db.errorFrom(0);
}

} // namespace kip
