// kiptool restore.
#include "CommandeRestauration.h"

#include "CommandeRapport.h"
#include "Commandes.h"
#include "data/Base.h"
#include "shell/Demarrage.h"
#include "utilities/Restauration.h"

#include <QCommandLineParser>
#include <QDir>
#include <QTextStream>

namespace kip::outil {

const char* const UsageRestauration =
    "Usage: kiptool restore --from SaveAuto|SaveManu|AvantRestauration/DATE [--dir CHEMIN]\n"
    "       kiptool restore --list [--dir CHEMIN]\n"
    "\n"
    "Remplace les fichiers de données (Parametr.tps, Personne.tps, PointVal.tps) par leur copie de SaveAuto\n"
    "(sauvegarde automatique du jour), de SaveManu (sauvegarde manuelle) ou d'avant l'une des cinq dernières\n"
    "restaurations. Les fichiers actuels sont d'abord copiés dans SaveManu/AvantRestauration/DATE; les\n"
    "pointages transférés depuis la copie seront lus de nouveau au prochain démarrage, sans être comptés deux\n"
    "fois. Refusé tant que Kip, kipother ou kipempty tourne. --list écrit les copies restaurables, une par\n"
    "ligne: son nom pour --from, puis ce qu'elle contient.\n"
    "\n"
    "Codes de sortie: 0 les fichiers sont restaurés; 1 restauration refusée ou en échec (les fichiers sont\n"
    "restés tels quels); 2 arguments invalides ou installation introuvable.\n";

int commandeRestauration(const QStringList& arguments, const QString& repertoireCourant)
{
    QCommandLineParser args;
    args.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption depuis(QStringLiteral("from"), QString(), QStringLiteral("copie"));
    const QCommandLineOption dir(QStringLiteral("dir"), QString(), QStringLiteral("chemin"));
    const QCommandLineOption liste(QStringLiteral("list"));
    const QCommandLineOption aide(QStringList{QStringLiteral("help"), QStringLiteral("h")});
    args.addOptions({depuis, dir, liste, aide});
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
    if (args.isSet(liste) == args.isSet(depuis)) {
        dire(QStringLiteral("--from COPIE ou --list est demandé (COPIE: SaveAuto, SaveManu ou un nom de --list)."));
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
    // The records may be on a server (Data/Base.txt): the restore replaces its tables, never the files aside.
    if (const FileError base = chooseStore(chemins.dataDir); !base.ok()) {
        dire(base.description());
        return 1;
    }
    if (args.isSet(liste)) {
        QTextStream sortie(stdout);
        for (const CopieRestaurable& c : CopiesRestaurables(chemins))
            sortie << c.nom << QLatin1Char('\t') << c.libelle() << QLatin1Char('\t')
                   << DecrireSauvegarde(chemins, c).texte(c).trimmed() << QLatin1Char('\n');
        return 0;
    }
    CopieRestaurable copie;
    if (!CopieDeNom(chemins, args.value(depuis), &copie)) {
        dire(QStringLiteral("aucune copie nommée %1: kiptool restore --list les énumère.").arg(args.value(depuis)));
        return 2;
    }
    const ResultatRestauration r = Restaurer(chemins, copie, [](int etape, int total, const QString& texte) {
        QTextStream(stderr) << QStringLiteral("Restauration %1/%2: %3\n").arg(etape).arg(total).arg(texte);
    });
    for (const QString& ligne : r.texteComplet().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        dire(ligne.trimmed());
    return r.faite() ? 0 : 1;
}

} // namespace kip::outil
