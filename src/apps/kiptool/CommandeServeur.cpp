// kiptool serveur.
#include "CommandeServeur.h"

#include "Commandes.h"
#include "data/Base.h"
#include "data/ServerConnection.h"
#include "data/ServerSetup.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace kip::outil {

const char* const UsageServeur =
    "Usage: kiptool serveur creer \"CONNEXION\" [--role NOM]\n"
    "\n"
    "creer prépare une base PostgreSQL vide pour les fichiers de Kip: les tables et leurs clés, propriété du\n"
    "rôle de la connexion (l'administrateur), et le rôle des postes (kip_poste, ou NOM), créé s'il n'existe pas,\n"
    "qui lit et écrit les enregistrements sans pouvoir modifier les tables, et ne peut qu'ajouter au journal des\n"
    "corrections et le lire. CONNEXION est une chaîne de connexion libpq (\"host=serveur dbname=kip\n"
    "user=admin sslmode=verify-full\"); le mot de passe vient de ~/.pgpass. Un avertissement est écrit quand la\n"
    "connexion peut passer en clair vers une autre machine.\n"
    "\n"
    "Codes de sortie: 0 fait; 1 refusé ou en échec; 2 arguments invalides.\n";

namespace {

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

} // namespace

int commandeServeur(const QStringList& arguments, const QString& repertoireCourant)
{
    (void)repertoireCourant;
    QCommandLineParser args;
    args.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption role(QStringLiteral("role"), QString(), QStringLiteral("nom"),
                                  QLatin1String(RolePosteParDefaut));
    const QCommandLineOption aide(QStringList{QStringLiteral("help"), QStringLiteral("h")});
    args.addOptions({role, aide});
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
    return refuserServeur(QStringLiteral("indiquez creer et la chaîne de connexion.\n") +
                          QString::fromUtf8(UsageServeur));
}

} // namespace kip::outil
