// kiptool serveur.
#include "CommandeServeur.h"

#include "Commandes.h"
#include "data/Base.h"
#include "data/Postes.h"
#include "data/ServerConnection.h"
#include "data/ServerSetup.h"
#include "shell/Demarrage.h"
#include "utilities/PassageServeur.h"

#include <QCommandLineParser>
#include <QDir>
#include <QTextStream>

namespace kip::outil {

const char* const UsageServeur =
    "Usage: kiptool serveur creer \"CONNEXION\" [--role NOM]\n"
    "       kiptool serveur importer \"CONNEXION\" [--remplacer] [--dir CHEMIN]\n"
    "       kiptool serveur exporter REPERTOIRE [--dir CHEMIN]\n"
    "       kiptool serveur rejoindre \"CONNEXION\" [--dir CHEMIN]\n"
    "       kiptool serveur postes [--dir CHEMIN]\n"
    "\n"
    "creer prépare une base PostgreSQL vide pour les fichiers de Kip: les tables et leurs clés, propriété du\n"
    "rôle de la connexion (l'administrateur), et le rôle des postes (kip_poste, ou NOM), créé s'il n'existe pas,\n"
    "qui lit et écrit les enregistrements sans pouvoir modifier les tables, et ne peut qu'ajouter au journal des\n"
    "corrections et le lire. CONNEXION est une chaîne de connexion libpq (\"host=serveur dbname=kip\n"
    "user=admin sslmode=verify-full\"); le mot de passe vient de ~/.pgpass. Un avertissement est écrit quand la\n"
    "connexion peut passer en clair vers une autre machine.\n"
    "\n"
    "importer copie les fichiers de Data sur le serveur en une seule transaction (refusé si ses tables\n"
    "contiennent déjà des enregistrements, sauf avec --remplacer), vérifie les nombres d'enregistrements, puis\n"
    "écrit Data/Base.txt avec CONNEXION: tous les programmes travaillent alors sur le serveur. Les fichiers de\n"
    "Data sont renommés à côté (NOM.avant-serveur), jamais supprimés. Refusé tant que Kip, kipother ou kipempty\n"
    "tourne.\n"
    "\n"
    "exporter écrit les enregistrements du serveur de Data/Base.txt en fichiers SQLite dans REPERTOIRE (créé\n"
    "s'il manque; refusé s'il contient déjà l'un d'eux). Pour revenir aux fichiers: les copier dans Data, puis\n"
    "supprimer Data/Base.txt.\n"
    "\n"
    "rejoindre fait travailler ce poste sur un serveur qui tient déjà les enregistrements (ceux d'un autre\n"
    "poste): vérifie que le serveur contient les tables de Kip, puis écrit Data/Base.txt. Refusé tant que des\n"
    "fichiers de Data contiennent des enregistrements (ils seraient oubliés). Le nom du poste sur le serveur est\n"
    "la ligne de Data/Poste.txt, ou à défaut le nom de la machine.\n"
    "\n"
    "postes liste les programmes connectés au serveur de Data/Base.txt: programme, poste, rôle, depuis quand.\n"
    "\n"
    "Codes de sortie: 0 fait; 1 refusé ou en échec (rien n'est changé); 2 arguments invalides ou installation\n"
    "introuvable.\n";

namespace {

constexpr qint64 ProgressionTous = 200000; // records between two lines of progress

int refuserServeur(const QString& texte)
{
    dire(texte);
    return 2;
}

int creer(const QString& conninfo, const QString& role)
{
    FileError e;
    const QMap<QString, QString> options = optionsConnexion(conninfo, &e);
    if (!e.ok()) {
        dire(e.description());
        return 1;
    }
    if (const QString avertissement = avertissementTexteClair(options); !avertissement.isEmpty())
        dire(avertissement);
    setStoreServer(conninfo);
    const ResultatCreation r = creerBaseServeur(role);
    ServerConnection::closePool(conninfo);
    if (!r.erreur.ok()) {
        dire(QStringLiteral("la base n'a pas pu être préparée: %1").arg(r.erreur.description()));
        return 1;
    }
    dire(QStringLiteral("%1 table(s) créée(s), %2 déjà présente(s) sur %3; rôle des postes %4 %5.")
             .arg(r.tablesCreees)
             .arg(r.tablesPresentes)
             .arg(serverName(conninfo), role.toLower(),
                  r.roleCree ? QStringLiteral("créé") : QStringLiteral("existant, droits donnés")));
    return 0;
}

int listerPostes(const Paths& chemins)
{
    const Result<QString> serveur = readBaseFile(chemins.dataDir);
    if (serveur && serveur->isEmpty()) {
        dire(QStringLiteral("les données de cette installation ne sont pas sur un serveur (pas de Data/Base.txt)."));
        return 1;
    }
    FileError e = serveur ? chooseStore(chemins.dataDir) : serveur.error();
    const Result<std::vector<PosteConnecte>> liste = e.ok() ? postesConnectes() : Result<std::vector<PosteConnecte>>(e);
    if (!liste) {
        dire(liste.error().description());
        return 1;
    }
    for (const PosteConnecte& p : *liste)
        QTextStream(stdout) << QStringLiteral("%1 sur %2 (%3) depuis %4%5\n")
                                   .arg(p.programme, p.poste, p.utilisateur,
                                        p.depuis.toString(QStringLiteral("dd/MM/yyyy HH:mm")),
                                        p.ceProgramme ? QStringLiteral(" (cette commande)") : QString());
    return 0;
}

int rendreCompte(const ResultatPassage& r)
{
    for (const QString& texte : r.textes)
        dire(texte);
    return r.fait ? 0 : 1;
}

} // namespace

int commandeServeur(const QStringList& arguments, const QString& repertoireCourant)
{
    QCommandLineParser args;
    args.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption role(QStringLiteral("role"), QString(), QStringLiteral("nom"),
                                  QLatin1String(RolePosteParDefaut));
    const QCommandLineOption remplacer(QStringLiteral("remplacer"));
    const QCommandLineOption dir(QStringLiteral("dir"), QString(), QStringLiteral("chemin"));
    const QCommandLineOption aide(QStringList{QStringLiteral("help"), QStringLiteral("h")});
    args.addOptions({role, remplacer, dir, aide});
    if (!args.parse(QStringList{QStringLiteral("kiptool")} + arguments))
        return refuserServeur(args.errorText() + QLatin1Char('\n') + QString::fromUtf8(UsageServeur));
    if (args.isSet(aide)) {
        QTextStream(stdout) << QString::fromUtf8(UsageServeur);
        return 0;
    }
    const QStringList positions = args.positionalArguments();
    const QString action = positions.value(1);
    if (action == QLatin1String("creer") && positions.size() == 3)
        return creer(positions[2], args.value(role));
    const bool postes = action == QLatin1String("postes") && positions.size() == 2;
    const bool avecArgument = action == QLatin1String("importer") || action == QLatin1String("exporter") ||
                              action == QLatin1String("rejoindre");
    if (!postes && (!avecArgument || positions.size() != 3))
        return refuserServeur(
            QStringLiteral("indiquez creer, importer, exporter ou rejoindre, et la chaîne de connexion ou le "
                           "répertoire.\n") +
            QString::fromUtf8(UsageServeur));
    const QString installation = QDir::cleanPath(
        QDir(repertoireCourant).absoluteFilePath(args.isSet(dir) ? args.value(dir) : QStringLiteral(".")));
    if (!Demarrage::estRepertoireInstallation(installation) || !QDir(installation + QStringLiteral("/Data")).exists())
        return refuserServeur(
            QStringLiteral("%1 n'est pas une installation Kip (un répertoire Kip avec son sous-répertoire Data).")
                .arg(installation));
    const Paths chemins = Paths::forInstallation(installation);
    setPaths(chemins);
    if (postes)
        return listerPostes(chemins);
    // A large installation takes a while: the records copied are told as they go.
    QString enCours;
    qint64 dit = 0;
    auto suivre = [&](const QString& table, qint64 fait) {
        if (table != enCours) {
            enCours = table;
            dit = 0;
        }
        if (fait >= dit + ProgressionTous) {
            dit = fait;
            dire(QStringLiteral("%1: %2 enregistrement(s) copié(s)").arg(table).arg(fait));
        }
    };
    if (action == QLatin1String("rejoindre"))
        return rendreCompte(RejoindreServeur(chemins, positions[2]));
    if (action == QLatin1String("exporter"))
        return rendreCompte(ExporterDuServeur(chemins,
                                              QDir::cleanPath(QDir(repertoireCourant).absoluteFilePath(positions[2])),
                                              [&](const QString& table, qint64 fait, qint64) { suivre(table, fait); }));
    return rendreCompte(ImporterSurServeur(chemins, positions[2], args.isSet(remplacer), suivre));
}

} // namespace kip::outil
