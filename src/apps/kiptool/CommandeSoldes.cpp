// kiptool soldes.
#include "CommandeSoldes.h"

#include "ChoixEdition.h"
#include "CommandeRapport.h"
#include "calendar/Dates.h"
#include "data/Journal.h"
#include "shell/Demarrage.h"
#include "soldes/FichierSoldes.h"

#include <QCommandLineParser>
#include <QDir>
#include <QRegularExpression>
#include <QTextStream>
#include <cmath>

namespace kip::outil {

const char* const UsageSoldes =
    "Usage: kiptool soldes CARTE [--date JJ/MM/AAAA] [--dir CHEMIN]\n"
    "       kiptool soldes CARTE --depart COMPTE|--credit COMPTE --valeur V [--acquis V] --date JJ/MM/AAAA\n"
    "                      [--commentaire TEXTE] [--dir CHEMIN]\n"
    "\n"
    "Écrit les soldes de l'employé à la date (aujourd'hui par défaut): compte d'heures, congés payés des\n"
    "périodes précédentes et de la période en cours, RTT et récupération.\n"
    "--depart fixe le solde de départ d'un compte à la date (HEUR le compte d'heures, CP, RTT ou REC): ce qui\n"
    "précède ne compte plus. --credit ajoute des jours de RTT ou des heures de REC. Heures en 12:30 ou 12,5\n"
    "(signe - permis), jours en 2,5. Pour CP, --valeur est le solde des périodes précédentes et --acquis ce que\n"
    "la période en cours a acquis avant la date (le premier du mois). Chaque écriture est inscrite au journal.\n"
    "\n"
    "Codes de sortie: 0 soldes écrits ou enregistrés; 2 arguments invalides, installation inutilisable ou\n"
    "écriture impossible.\n";

namespace {

int refuserSoldes(const QString& texte)
{
    dire(texte);
    return Refus;
}

// Hours (12:30, -3,5) in minutes, or days (2,5) in hundredths.
std::optional<qint32> lireValeur(QString texte, bool heures)
{
    texte = texte.trimmed().replace(QLatin1Char(','), QLatin1Char('.'));
    static const QRegularExpression hm(QStringLiteral("^(-?)(\\d{1,4}):([0-5]\\d)$"));
    if (const QRegularExpressionMatch m = hm.match(texte); heures && m.hasMatch()) {
        const qint32 v = m.captured(2).toInt() * 60 + m.captured(3).toInt();
        return m.captured(1).isEmpty() ? v : -v;
    }
    bool ok = false;
    const double v = texte.toDouble(&ok);
    if (!ok || std::abs(v) > 100000)
        return std::nullopt;
    return qint32(std::lround(v * (heures ? 60 : 100)));
}

} // namespace

int commandeSoldes(const QStringList& arguments, const QString& repertoireCourant)
{
    QCommandLineParser args;
    args.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption aide(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption dir(QStringLiteral("dir"), QString(), QStringLiteral("chemin"));
    const QCommandLineOption date(QStringLiteral("date"), QString(), QStringLiteral("date"));
    const QCommandLineOption depart(QStringLiteral("depart"), QString(), QStringLiteral("compte"));
    const QCommandLineOption credit(QStringLiteral("credit"), QString(), QStringLiteral("compte"));
    const QCommandLineOption valeur(QStringLiteral("valeur"), QString(), QStringLiteral("valeur"));
    const QCommandLineOption acquis(QStringLiteral("acquis"), QString(), QStringLiteral("valeur"));
    const QCommandLineOption commentaire(QStringLiteral("commentaire"), QString(), QStringLiteral("texte"));
    args.addOptions({aide, dir, date, depart, credit, valeur, acquis, commentaire});
    args.addPositionalArgument(QStringLiteral("commande"), QString());
    if (!args.parse(QStringList{QStringLiteral("kiptool")} + arguments))
        return refuserSoldes(args.errorText() + QLatin1Char('\n') + QString::fromUtf8(UsageSoldes));
    if (args.isSet(aide)) {
        QTextStream(stdout) << QString::fromUtf8(UsageSoldes);
        return 0;
    }
    const QStringList positions = args.positionalArguments();
    bool ok = false;
    const int carte = positions.value(1).toInt(&ok);
    if (positions.size() != 2 || !ok || carte < 1 || carte > 9999)
        return refuserSoldes(QStringLiteral("indiquez la carte de l'employé, de 1 à 9999.\n") +
                             QString::fromUtf8(UsageSoldes));
    std::optional<qint32> quand = Clock::today();
    if (args.isSet(date) && !(quand = lireDate(args.value(date))))
        return refuserSoldes(QStringLiteral("date invalide: %1 (JJ/MM/AAAA).").arg(args.value(date)));
    const QString repertoire = QDir::cleanPath(
        QDir(repertoireCourant).absoluteFilePath(args.isSet(dir) ? args.value(dir) : QStringLiteral(".")));
    if (!Demarrage::estRepertoireInstallation(repertoire) || !QDir(repertoire + QStringLiteral("/Data")).exists())
        return refuserSoldes(QStringLiteral("%1 n'est pas une installation Kip (un répertoire Kip avec son "
                                            "sous-répertoire Data).")
                                 .arg(repertoire));
    setPaths(Paths::forInstallation(repertoire));
    setProgrammeJournal(QStringLiteral("kiptool"));
    Database db(paths().dataDir);
    Result<SoldesLus> lus = LireDonneesSoldes(db, qint16(carte), qint16(carte), *quand);
    if (!lus)
        return refuserSoldes(QStringLiteral("lecture impossible: %1").arg(lus.error().description()));
    if (lus->employes.empty())
        return refuserSoldes(QStringLiteral("aucun employé n'a la carte %1.").arg(carte));
    const DonneesSoldes& d = lus->employes.front();

    if (args.isSet(depart) || args.isSet(credit)) {
        if (args.isSet(depart) == args.isSet(credit) || !args.isSet(valeur) || !args.isSet(date))
            return refuserSoldes(QStringLiteral("--depart ou --credit se donne avec --valeur et --date."));
        Solde s;
        s.COMPTE = (args.isSet(depart) ? args.value(depart) : args.value(credit)).trimmed().toUpper();
        s.NATURE = quint8(args.isSet(depart) ? NatureSolde::Depart : NatureSolde::Credit);
        s.DATE = *quand;
        s.COMMENTAIRE = args.value(commentaire).left(40);
        const bool heures =
            s.COMPTE == QLatin1String(CompteSolde::Heures) || s.COMPTE == QLatin1String(CompteSolde::Recuperation);
        const std::optional<qint32> v = lireValeur(args.value(valeur), heures);
        const std::optional<qint32> v2 = args.isSet(acquis) ? lireValeur(args.value(acquis), false) : qint32(0);
        if (!v || !v2)
            return refuserSoldes(QStringLiteral("valeur invalide: %1 (heures en 12:30 ou 12,5, jours en 2,5).")
                                     .arg(args.isSet(acquis) && !v2 ? args.value(acquis) : args.value(valeur)));
        s.VALEUR = *v;
        s.VALEUR2 = *v2;
        if (const QString e = ErreurSolde(s); !e.isEmpty())
            return refuserSoldes(e);
        if (const FileError e = EnregistrerSolde(db, d.employe, s); !e.ok())
            return refuserSoldes(QStringLiteral("enregistrement impossible: %1").arg(e.description()));
        QTextStream(stdout) << QStringLiteral("%1 enregistré pour la carte %2.\n").arg(TexteSolde(s)).arg(carte);
        return 0;
    }
    const std::vector<SemaineCompte> semaines = CompteTemps(d, lus->contexte, *quand);
    const SoldesConges c = CalculerConges(d, lus->contexte, *quand);
    QTextStream(stdout)
        << QStringLiteral("%1 %2 %3, soldes au %4\n")
               .arg(carte)
               .arg(d.employe.NOM.trimmed(), d.employe.PRENOM.trimmed(), DateTexte(*quand))
        << QStringLiteral("Compte d'heures: %1\n").arg(TexteSoldeMinutes(semaines.empty() ? 0 : semaines.back().solde))
        << QStringLiteral("Congés payés: périodes précédentes %1 j; période depuis le %2: %3 j "
                          "(acquis %4, pris %5)\n")
               .arg(TexteJours(c.cpPrecedent), DateTexte(c.debutPeriode), TexteJours(c.cpEnCours),
                    TexteJours(c.cpAcquisPeriode), TexteJours(c.cpPrisPeriode))
        << QStringLiteral("RTT: %1 j\nRécupération: %2\n").arg(TexteJours(c.rtt), TexteSoldeMinutes(c.rec));
    return 0;
}

} // namespace kip::outil
