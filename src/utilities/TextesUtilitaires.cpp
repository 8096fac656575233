#include "TextesUtilitaires.h"

#include "calendar/Dates.h"

namespace kip {

namespace {

const char* const DebutSauvegarde =
    "  Tous vos fichiers de données seront sauvegardés dans le sous répertoire de Kip: \\Kip\\SaveManu. Kip "
    "sauvegarde automatiquement vos fichiers de données lors du premier démarrage de la journée dans le sous "
    "répertoire \\Kip\\SaveAuto.";

const QString FinLigne = QStringLiteral("\r\n");

// The sentence about the last manual backup, which may never have been made.
QString DerniereSauvegarde(qint32 dateManu)
{
    if (dateManu == 0)
        return QStringLiteral(" Aucune sauvegarde manuelle n'a encore été faite.");
    return QStringLiteral(" La dernière sauvegarde manuelle date du: ") + DateTexte(dateManu) + QStringLiteral(".");
}

} // namespace

QString TexteExplicationPurge()
{
    return QStringLiteral("  Sélectionner la dernière semaine de pointages qui sera supprimée. Vous ne pouvez purger "
                          "en dessous de 3 mois d'historique. La semaine sélectionnée est incluse dans la purge.");
}

QString TexteExplicationIndexage()
{
    return QStringLiteral("  L'indexage est à effectuer en cas de problèmes d'accès aux fichiers. Kip effectue un "
                          "indexage automatique quand le programme a été quitté anormalement.");
}

QString TexteExplicationSauvegarde(qint32 dateManu)
{
    return QString::fromUtf8(DebutSauvegarde) + DerniereSauvegarde(dateManu) + FinLigne;
}

QString TexteExplicationRestauration()
{
    return QStringLiteral("  Remplace les fichiers de données par la copie choisie. Les fichiers actuels sont d'abord "
                          "copiés dans \\Kip\\SaveManu\\AvantRestauration. Toutes les autres fenêtres doivent être "
                          "fermées.");
}

QString TextePurgeFaite(qint32 finPurge)
{
    return FinLigne + FinLigne + QStringLiteral("  La purge a été réalisée jusqu'au: ") + DateTexte(finPurge) +
           QStringLiteral(".");
}

QString TextePurgeRefusee(const QString& autresPostes)
{
    if (!autresPostes.isEmpty())
        return FinLigne + FinLigne + QStringLiteral("  La purge n'a pas été réalisée: ") + autresPostes +
               QStringLiteral(".");
    return FinLigne + FinLigne +
           QStringLiteral("  La purge n'a pas été réalisée: le fichier des pointages est utilisé par une autre "
                          "fenêtre ou un autre programme. Fermez-les puis cliquez de nouveau sur Confirmer.");
}

QString TextePurgeEchouee(const QString& erreur)
{
    return FinLigne + FinLigne + QStringLiteral("  La purge n'a pas été réalisée, aucun pointage n'a été supprimé: ") +
           erreur + QStringLiteral(".");
}

QString TexteIndexageRefuse(const QString& erreur)
{
    return FinLigne + FinLigne + QStringLiteral("  L'indexage n'a pas été réalisé: ") + erreur + QStringLiteral(".");
}

QString TexteIndexageFait()
{
    return FinLigne + FinLigne + QStringLiteral("  L'indexage a été réalisé.");
}

QString TexteSauvegardeFaite(qint32 dateManu)
{
    return QString::fromUtf8(DebutSauvegarde) + FinLigne + FinLigne +
           QStringLiteral("  La dernière sauvegarde manuelle date maintenant du: ") + DateTexte(dateManu) +
           QStringLiteral(".");
}

QString TexteSauvegardeIncomplete(const QStringList& echecs, qint32 dateManu, const QString& cause)
{
    QString texte = QString::fromUtf8(DebutSauvegarde) + FinLigne + FinLigne;
    if (!echecs.isEmpty()) {
        texte += QStringLiteral("  La sauvegarde manuelle n'a pas été faite: %1 n'a pas pu être copié dans "
                                "\\Kip\\SaveManu.")
                     .arg(echecs.join(QStringLiteral(", ")));
        if (echecs.size() > 1)
            texte.replace(QStringLiteral(" n'a pas pu être copié "), QStringLiteral(" n'ont pas pu être copiés "));
        texte += QStringLiteral(" La copie précédente est restée entière.");
    } else {
        texte += QStringLiteral("  La sauvegarde manuelle n'a pas été faite: %1.").arg(cause);
    }
    return texte + DerniereSauvegarde(dateManu);
}

} // namespace kip
