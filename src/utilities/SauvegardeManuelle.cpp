#include "SauvegardeManuelle.h"

#include "TextesUtilitaires.h"
#include "data/Database.h"
#include "data/FileAdmin.h"
#include "data/RecordFile.h"
#include "shell/RemplacementEnsemble.h"
#include "shell/Sauvegarde.h"

#include <QDir>
#include <QFileInfo>

namespace kip {

QString ResultatSauvegardeManuelle::texte() const
{
    if (reussie())
        return TexteSauvegardeFaite(dateManu);
    if (!erreurEnsemble.isEmpty())
        return TexteSauvegardeIncomplete({}, dateManu, erreurEnsemble);
    QStringList manquants = echecs;
    if (!erreurDate.ok())
        manquants << QStringLiteral("la date de sauvegarde (DateSave.tps: %1)").arg(erreurDate.description());
    return TexteSauvegardeIncomplete(manquants, dateManu);
}

namespace {

FileError lireDate(RecordFile<DateSave>& fichier, DateSave& dat)
{
    FileError e = fichier.open();
    if (e.ok())
        e = fichier.first(dat);
    return e;
}

} // namespace

qint32 DateSauvegardeManuelle(const Paths& p)
{
    Database db(p.dataDir);
    RecordFile<DateSave> fichier(db);
    DateSave dat;
    return lireDate(fichier, dat).ok() ? dat.DATEMANU : 0;
}

QString RepertoireSauvegardeEnCours(const Paths& p)
{
    return QDir(p.saveManuDir).filePath(QStringLiteral("SauvegardeEnCours"));
}

namespace {

// The copies of the new set, written and checked; the names of those that failed.
QStringList copierEnsemble(const Paths& p, const QString& enCours)
{
    if (!QDir(enCours).removeRecursively() || !QDir().mkpath(enCours))
        return {enCours};
    QStringList echecs = SauvegarderDans(p, enCours).echecs;
    for (FileId id : FichiersCopies) {
        const QString copie = QDir(enCours).filePath(tableOf(id).fileName);
        if (QFileInfo::exists(copie) && !checkRecordFile(tableOf(id), copie).ok() &&
            !echecs.contains(tableOf(id).fileName))
            echecs << tableOf(id).fileName;
    }
    return echecs;
}

// The new set in the place of the former one; empty when done, else why not.
QString remplacerEnsemble(const Paths& p, const QString& enCours)
{
    RemplacementEnsemble ensemble(p.dataDir, QStringLiteral("SauvegardeManuelle"),
                                  QStringLiteral("La sauvegarde manuelle"), false);
    const QDir nouveau(enCours), ancien(p.saveManuDir);
    for (const QString& nom : NomsFichiersSauvegardes()) {
        if (QFileInfo::exists(nouveau.filePath(nom)))
            ensemble.remplacer(ancien.filePath(nom), nouveau.filePath(nom));
        else if (QFileInfo::exists(ancien.filePath(nom)))
            ensemble.retirer(ancien.filePath(nom)); // a file the data no longer has
    }
    const RemplacementEnsemble::Resultat r = ensemble.executer();
    switch (r.issue) {
    case RemplacementEnsemble::Issue::Termine:
        return {};
    case RemplacementEnsemble::Issue::Annule:
        return QStringLiteral("la copie précédente n'a pas pu être remplacée (%1); elle est restée entière")
            .arg(r.erreur);
    case RemplacementEnsemble::Issue::Mixte:
        break;
    }
    return QStringLiteral("la copie précédente n'a pu être ni remplacée ni remise (%1): nouveaux %2, anciens %3; le "
                          "prochain démarrage la terminera")
        .arg(r.erreur, r.nouveaux.join(QStringLiteral(", ")), r.anciens.join(QStringLiteral(", ")));
}

} // namespace

ResultatSauvegardeManuelle SauvegarderManuellement(const Paths& p, qint32 aujourdhui, int attentePauseMs)
{
    ResultatSauvegardeManuelle r;
    {
        const PauseLecteur pause = PauseLecteur::demander();
        PauseLecteur::attendre(attentePauseMs);
        const QString enCours = RepertoireSauvegardeEnCours(p);
        r.echecs = copierEnsemble(p, enCours);
        if (r.echecs.isEmpty())
            r.erreurEnsemble = remplacerEnsemble(p, enCours);
        QDir(enCours).removeRecursively();
        if (r.echecs.isEmpty() && r.erreurEnsemble.isEmpty()) {
            Database db(p.dataDir);
            RecordFile<DateSave> fichier(db);
            DateSave dat;
            FileError e = lireDate(fichier, dat);
            if (e.code == EndOfFile) {
                dat = DateSave{};
                dat.DATEMANU = aujourdhui;
                e = fichier.add(dat);
            } else if (e.ok()) {
                dat.DATEMANU = aujourdhui;
                e = fichier.put(dat);
            }
            r.erreurDate = e;
        }
    }
    r.dateManu = DateSauvegardeManuelle(p);
    return r;
}

} // namespace kip
