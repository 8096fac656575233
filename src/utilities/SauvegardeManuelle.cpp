#include "SauvegardeManuelle.h"

#include "TextesUtilitaires.h"
#include "data/Database.h"
#include "data/RecordFile.h"
#include "shell/Sauvegarde.h"

namespace kip {

QString ResultatSauvegardeManuelle::texte() const
{
    if (reussie())
        return TexteSauvegardeFaite(dateManu);
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

ResultatSauvegardeManuelle SauvegarderManuellement(const Paths& p, qint32 aujourdhui, int attentePauseMs)
{
    ResultatSauvegardeManuelle r;
    {
        const PauseLecteur pause = PauseLecteur::demander();
        PauseLecteur::attendre(attentePauseMs);
        r.echecs = SauvegarderDans(p, p.saveManuDir).echecs;
        if (r.echecs.isEmpty()) {
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
