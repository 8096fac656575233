// kiptool report.
#include "CommandeRapport.h"

#include "ChoixEdition.h"
#include "Commandes.h"
#include "data/Database.h"
#include "data/FileAdmin.h"
#include "data/FileWriter.h"
#include "data/Files.h"
#include "data/RecordFile.h"
#include "data/Transaction.h"
#include "reports/Editions.h"
#include "reports/ExecutionEdition.h"
#include "reports/PeintrePage.h"
#include "reports/SelectionImpression.h"
#include "shell/Demarrage.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <optional>

namespace kip::outil {

const char* const UsageRapport =
    "Usage: kiptool report LIGNE --from JJ/MM/AAAA --to JJ/MM/AAAA [--sort N|A|M] [--range PREMIER:DERNIER]\n"
    "                      [--hundredths] --pdf FICHIER [--dir CHEMIN]\n"
    "\n"
    "Écrit l'édition LIGNE de la liste des éditions (1 à 10) dans un fichier PDF, sans fenêtre.\n"
    "La période est bornée comme dans la fenêtre d'impression: semaines entières (1 à 5) pour les lignes 2, 3\n"
    "et 6, une semaine pour la ligne 8, 31 jours au plus pour la ligne 4, sans limite pour les lignes 5, 7, 9\n"
    "et 10; la ligne 1 (liste du personnel) n'a pas de période: --from et --to n'y servent pas. PREMIER et\n"
    "DERNIER "
    "sont des numéros de carte (--sort N, par défaut), des noms (A) ou des matricules (M); l'un ou l'autre\n"
    "peut manquer (\"12:\", \":MARTIN\"); PREMIER ne peut venir après DERNIER. Sans --range, tout le personnel.\n"
    "kiptool ne fait que lire, dans une seule transaction: il peut tourner pendant que Kip est ouvert.\n"
    "\n"
    "Codes de sortie: 0 le PDF est écrit; 1 aucune ligne ne correspond (aucun fichier écrit);\n"
    "2 arguments invalides, installation inutilisable ou fichier impossible à écrire (aucun fichier écrit).\n";

namespace {

int refuser(const QString& texte)
{
    dire(texte);
    return Refus;
}

} // namespace

int commandeRapport(const QStringList& arguments, const QString& repertoireCourant)
{
    QCommandLineParser args;
    args.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const OptionsEdition options;
    const QCommandLineOption pdf(QStringLiteral("pdf"), QString(), QStringLiteral("fichier"));
    options.ajouter(args);
    args.addOption(pdf);
    args.addPositionalArgument(QStringLiteral("commande"), QString());
    args.addPositionalArgument(QStringLiteral("ligne"), QString());
    if (!args.parse(QStringList{QStringLiteral("kiptool")} + arguments))
        return refuser(args.errorText() + QStringLiteral("\n") + QString::fromUtf8(UsageRapport));
    if (args.isSet(options.aide)) {
        QTextStream(stdout) << QString::fromUtf8(UsageRapport);
        return PdfEcrit;
    }
    const QStringList positions = args.positionalArguments();
    if (positions.size() != 2)
        return refuser(QStringLiteral("indiquez la ligne de l'édition, de 1 à 10.\n") + QString::fromUtf8(UsageRapport));

    bool ok = false;
    const int ligne = positions[1].toInt(&ok);
    const DefinitionEdition* edition = ok ? definitionEdition(ligne) : nullptr;
    if (!edition)
        return refuser(QStringLiteral("la ligne %1 n'existe pas: de 1 à 10.").arg(positions[1]));
    if (!edition->disponible())
        return refuser(QStringLiteral("l'édition de la ligne %1 (%2) n'est pas encore disponible.")
                           .arg(ligne)
                           .arg(edition->procedure));
    if (edition->avecPeriode() && (!args.isSet(options.depuis) || !args.isSet(options.jusqua)))
        return refuser(QStringLiteral("--from et --to sont demandés pour la ligne %1.").arg(ligne));
    ChoixEdition o;
    if (const auto refus = lireChoix(args, options, pdf, edition->avecPeriode(), repertoireCourant, o))
        return refuser(*refus);

    Paths chemins;
    if (const auto refus = installation(o, {FileId::Personnel, FileId::PointVal}, chemins))
        return refuser(*refus);
    if (const auto refus = donneesLisibles(chemins)) {
        dire(*refus);
        return 1;
    }

    Database db(chemins.dataDir);
    // One read transaction for everything kiptool reads: the ranges and the report.
    const Transaction lecture(db, {FileId::Personnel, FileId::PointVal}, Transaction::Lecture);
    if (!lecture.ok())
        return refuser(QStringLiteral("lecture impossible: %1").arg(lecture.error().description()));
    ParametresEdition p;
    if (!parametresEdition(db, *edition, o, p)) {
        dire(QStringLiteral("aucun employé: aucun fichier écrit."));
        return RienNeCorrespond;
    }

    std::unique_ptr<Edition> rapport = edition->fabrique();
    ResultatEdition r = ExecuterEdition(db, *rapport, p);
    if (!r.erreurLecture.ok())
        return refuser(
            QStringLiteral("erreur de lecture: %1: aucun fichier écrit.").arg(r.erreurLecture.description()));
    if (r.issue == ResultatEdition::Issue::Erreur)
        return refuser(r.erreurPages + QStringLiteral(" Aucun fichier écrit."));
    if (!r.complete()) {
        if (edition->avecPeriode())
            dire(QStringLiteral("aucune ligne ne correspond du %1 au %2: aucun fichier écrit.")
                     .arg(DateTexte(p.dateDebut), DateTexte(p.dateFin)));
        else
            dire(QStringLiteral("aucun employé ne correspond: aucun fichier écrit."));
        return RienNeCorrespond;
    }
    if (const FileError e = ecrirePdf(r.pages, o.fichier, edition->NOMEDITION); !e.ok())
        return refuser(writeFailureText(e) + QStringLiteral(": aucun fichier écrit."));
    return PdfEcrit;
}

} // namespace kip::outil
