// kiptool restore.
#include "CommandeRestauration.h"

#include "CommandeRapport.h"
#include "Commandes.h"
#include "shell/Demarrage.h"
#include "utilities/Restauration.h"

#include <QCommandLineParser>
#include <QDir>
#include <QTextStream>

namespace kip::outil {

const char* const UsageRestauration =
    "Usage: kiptool restore --from SaveAuto|SaveManu [--dir CHEMIN]\n"
    "\n"
    "Remplace les fichiers de données (Parametr.tps, Personne.tps, PointVal.tps) par leur copie de SaveAuto\n"
    "(sauvegarde automatique du jour) ou de SaveManu (sauvegarde manuelle). Les fichiers actuels sont d'abord\n"
    "copiés dans SaveManu/AvantRestauration; les pointages transférés depuis la copie seront lus de nouveau au\n"
    "prochain démarrage, sans être comptés deux fois. Refusé tant que Kip, kipother ou kipempty tourne.\n"
    "\n"
    "Codes de sortie: 0 les fichiers sont restaurés; 1 restauration refusée ou en échec (les fichiers sont\n"
    "restés tels quels); 2 arguments invalides ou installation introuvable.\n";

int commandeRestauration(const QStringList& arguments, const QString& repertoireCourant)
{
    QCommandLineParser args;
    args.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption depuis(QStringLiteral("from"), QString(), QStringLiteral("copie"));
    const QCommandLineOption dir(QStringLiteral("dir"), QString(), QStringLiteral("chemin"));
    const QCommandLineOption aide(QStringList{QStringLiteral("help"), QStringLiteral("h")});
    args.addOptions({depuis, dir, aide});
    args.addPositionalArgument(QStringLiteral("commande"), QString());
    if (!args.parse(QStringList{QStringLiteral("kiptool")} + arguments)) {
        dire(args.errorText() + QLatin1Char('\n') + QString::fromUtf8(UsageRestauration));
        return 2;
    }
    if (args.isSet(aide)) {
        QTextStream(stdout) << QString::fromUtf8(UsageRestauration);
        return 0;
    }
    if (args.positionalArguments().size() != 1) {
        dire(QStringLiteral("arguments en trop: %1").arg(args.positionalArguments().mid(1).join(QLatin1Char(' '))));
        return 2;
    }
    SourceRestauration source;
    if (!args.isSet(depuis) || !SourceDeNom(args.value(depuis), &source)) {
        dire(QStringLiteral("--from SaveAuto ou --from SaveManu est demandé."));
        return 2;
    }
    const QString installation = QDir::cleanPath(
        QDir(repertoireCourant).absoluteFilePath(args.isSet(dir) ? args.value(dir) : QStringLiteral(".")));
    if (!Demarrage::estRepertoireInstallation(installation) || !QDir(installation + QStringLiteral("/Data")).exists()) {
        dire(QStringLiteral("%1 n'est pas une installation Kip (un répertoire Kip avec son sous-répertoire Data).")
                 .arg(installation));
        return 2;
    }
    const Paths chemins = Paths::forInstallation(installation);
    setPaths(chemins);
    const ResultatRestauration r = Restaurer(chemins, source, [](int etape, int total, const QString& texte) {
        QTextStream(stderr) << QStringLiteral("Restauration %1/%2: %3\n").arg(etape).arg(total).arg(texte);
    });
    dire(r.texte);
    return r.faite() ? 0 : 1;
}

} // namespace kip::outil
