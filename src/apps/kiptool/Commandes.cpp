// kiptool's commands, chosen by the first argument.
#include "Commandes.h"

#include "CommandeAbsences.h"
#include "CommandeExport.h"
#include "CommandeRapport.h"
#include "CommandeRestauration.h"
#include "CommandeSoldes.h"
#include "CommandeServeur.h"

#include <QTextStream>

namespace kip::outil {

int executer(const QStringList& arguments, const QString& repertoireCourant)
{
    const QString usage = QStringLiteral("kiptool: compagnon en ligne de commande de Kip.\n\n") +
                          QString::fromUtf8(UsageRapport) + QLatin1Char('\n') + QString::fromUtf8(UsageExport) +
                          QLatin1Char('\n') + QString::fromUtf8(UsageJournal) + QLatin1Char('\n') +
                          QString::fromUtf8(UsageRestauration) + QLatin1Char('\n') + QString::fromUtf8(UsageAbsences) +
                          QLatin1Char('\n') + QString::fromUtf8(UsageSoldes) + QLatin1Char('\n') +
                          QString::fromUtf8(UsageServeur);
    if (arguments.isEmpty() || arguments.first() == QLatin1String("--help") ||
        arguments.first() == QLatin1String("-h")) {
        QTextStream(arguments.isEmpty() ? stderr : stdout) << usage;
        return arguments.isEmpty() ? Refus : 0;
    }
    const QString& commande = arguments.first();
    if (commande == QLatin1String("report"))
        return commandeRapport(arguments, repertoireCourant);
    if (commande == QLatin1String("export"))
        return commandeExport(arguments, repertoireCourant);
    if (commande == QLatin1String("journal"))
        return commandeJournal(arguments, repertoireCourant);
    if (commande == QLatin1String("absences"))
        return commandeAbsences(arguments, repertoireCourant);
    if (commande == QLatin1String("soldes"))
        return commandeSoldes(arguments, repertoireCourant);
    if (commande == QLatin1String("restore"))
        return commandeRestauration(arguments, repertoireCourant);
    if (commande == QLatin1String("serveur"))
        return commandeServeur(arguments, repertoireCourant);
    QTextStream(stderr) << QStringLiteral("kiptool: commande inconnue: %1\n\n").arg(commande) << usage;
    return Refus;
}

void dire(const QString& texte)
{
    QTextStream(stderr) << QStringLiteral("kiptool: ") << texte << QLatin1Char('\n');
}

} // namespace kip::outil
