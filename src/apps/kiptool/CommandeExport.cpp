// kiptool export and kiptool journal.
#include "CommandeExport.h"

#include "ChoixEdition.h"
#include "CommandeRapport.h"
#include "Commandes.h"
#include "calendar/Dates.h"
#include "data/FileWriter.h"
#include "data/Journal.h"
#include "data/Transaction.h"
#include "reports/ExportPaie.h"

#include <QFileInfo>
#include <QTextStream>

namespace kip::outil {

const char* const UsageExport =
    "Usage: kiptool export --from JJ/MM/AAAA --to JJ/MM/AAAA [--sort N|A|M] [--range PREMIER:DERNIER]\n"
    "                      [--hundredths] [--seuils 35:43] --csv FICHIER [--dir CHEMIN]\n"
    "\n"
    "Écrit les totaux de l'édition des totaux par semaine (ligne 6) dans un fichier CSV pour la paie: une\n"
    "ligne par employé et par semaine (carte, matricule, nom, prénom, semaine, année, total normal, total\n"
    "arrondi, puis le total arrondi réparti en heures jusqu'à la durée légale, heures supplémentaires au\n"
    "premier taux et au second taux) et une ligne de total par employé. --seuils donne la durée légale et la\n"
    "dernière heure du premier taux (35:43 par défaut). Les heures sont en heures et centièmes avec\n"
    "--hundredths (46,50), en heures et minutes sinon (46:30). Séparateur point-virgule, virgule décimale,\n"
    "UTF-8 avec BOM, fins de ligne CR LF. La période et les employés se choisissent comme pour kiptool report.\n"
    "\n"
    "Codes de sortie: 0 le fichier est écrit; 1 aucune ligne ne correspond (aucun fichier écrit);\n"
    "2 arguments invalides, installation inutilisable ou fichier impossible à écrire (aucun fichier écrit).\n";

const char* const UsageJournal =
    "Usage: kiptool journal --from JJ/MM/AAAA --to JJ/MM/AAAA [--range PREMIER:DERNIER] --csv FICHIER\n"
    "                       [--dir CHEMIN]\n"
    "\n"
    "Écrit dans un fichier CSV les entrées du journal des corrections faites du --from au --to inclus, pour\n"
    "les cartes PREMIER à DERNIER (toutes sans --range): date et heure, programme, utilisateur, carte,\n"
    "employé, journée corrigée, valeurs avant et après, cause.\n"
    "\n"
    "Codes de sortie: 0 le fichier est écrit; 1 aucune entrée ne correspond (aucun fichier écrit);\n"
    "2 arguments invalides, installation inutilisable ou fichier impossible à écrire (aucun fichier écrit).\n";

namespace {

int refuserExport(const QString& texte, const char* usage = nullptr)
{
    dire(usage ? texte + QLatin1Char('\n') + QString::fromUtf8(usage) : texte);
    return Refus;
}

// Parses the command line shared by both commands; nothing when the caller is to go on.
std::optional<int> analyserCommande(QCommandLineParser& args, const QStringList& arguments, const char* usage)
{
    args.addPositionalArgument(QStringLiteral("commande"), QString());
    if (!args.parse(QStringList{QStringLiteral("kiptool")} + arguments))
        return refuserExport(args.errorText(), usage);
    if (args.isSet(QStringLiteral("help"))) {
        QTextStream(stdout) << QString::fromUtf8(usage);
        return 0;
    }
    if (args.positionalArguments().size() != 1)
        return refuserExport(QStringLiteral("arguments en trop: %1").arg(args.positionalArguments().mid(1).join(u' ')));
    return std::nullopt;
}

} // namespace

int commandeExport(const QStringList& arguments, const QString& repertoireCourant)
{
    QCommandLineParser args;
    args.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const OptionsEdition options;
    const QCommandLineOption csv(QStringLiteral("csv"), QString(), QStringLiteral("fichier"));
    const QCommandLineOption seuils(QStringLiteral("seuils"), QString(), QStringLiteral("duree:taux"));
    options.ajouter(args);
    args.addOptions({csv, seuils});
    if (const auto fin = analyserCommande(args, arguments, UsageExport))
        return *fin;
    ChoixEdition o;
    if (const auto refus = lireChoix(args, options, csv, true, repertoireCourant, o))
        return refuserExport(*refus);
    SeuilsPaie s;
    if (args.isSet(seuils) && !LireSeuils(args.value(seuils), &s))
        return refuserExport(
            QStringLiteral("--seuils attend DUREE:DERNIERE_HEURE_DU_PREMIER_TAUX en heures, la seconde "
                           "au moins égale à la première: %1")
                .arg(args.value(seuils)));
    Paths chemins;
    if (const auto refus = installation(o, {FileId::Personnel, FileId::PointVal}, chemins))
        return refuserExport(*refus);
    if (const auto refus = donneesLisibles(chemins)) {
        dire(*refus);
        return 1;
    }

    Database db(chemins.dataDir);
    const Transaction lecture(db, {FileId::Personnel, FileId::PointVal}, Transaction::Lecture);
    if (!lecture.ok())
        return refuserExport(QStringLiteral("lecture impossible: %1").arg(lecture.error().description()));
    // The export is the week totals report's numbers: its parameters, as the report selection makes them.
    const DefinitionEdition* edition = definitionEdition(6);
    ParametresEdition p;
    if (!edition || !parametresEdition(db, *edition, o, p)) {
        dire(QStringLiteral("aucun employé: aucun fichier écrit."));
        return RienNeCorrespond;
    }
    const ResultatExport r = Exporter(db, GenreExport::TotauxSemaines, p, s, o.fichier);
    if (!r.erreurLecture.ok())
        return refuserExport(
            QStringLiteral("erreur de lecture: %1: aucun fichier écrit.").arg(r.erreurLecture.description()));
    if (!r.erreurEcriture.ok())
        return refuserExport(writeFailureText(r.erreurEcriture) + QStringLiteral(": aucun fichier écrit."));
    if (!r.ecrit()) {
        dire(QStringLiteral("aucune ligne ne correspond du %1 au %2: aucun fichier écrit.")
                 .arg(DateTexte(p.dateDebut), DateTexte(p.dateFin)));
        return RienNeCorrespond;
    }
    return 0;
}

int commandeJournal(const QStringList& arguments, const QString& repertoireCourant)
{
    QCommandLineParser args;
    args.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const OptionsEdition options;
    const QCommandLineOption csv(QStringLiteral("csv"), QString(), QStringLiteral("fichier"));
    options.ajouter(args);
    args.addOption(csv);
    if (const auto fin = analyserCommande(args, arguments, UsageJournal))
        return *fin;
    ChoixEdition o;
    if (const auto refus = lireChoix(args, options, csv, true, repertoireCourant, o))
        return refuserExport(*refus);
    if (o.tri != Tri::Numero)
        return refuserExport(QStringLiteral("le journal se choisit par numéros de carte: --sort N."));
    Paths chemins;
    if (const auto refus = installation(o, {FileId::Journal}, chemins)) {
        if (!QFileInfo::exists(chemins.file(FileId::Journal))) {
            dire(QStringLiteral("le journal des corrections est vide: aucun fichier écrit."));
            return RienNeCorrespond;
        }
        return refuserExport(*refus);
    }
    if (const auto refus = donneesLisibles(chemins)) {
        dire(*refus);
        return 1;
    }
    FiltreJournal filtre;
    filtre.debut = std::min(o.debut, o.fin);
    filtre.fin = std::max(o.debut, o.fin);
    if (o.premier)
        filtre.carteDebut = qint16(o.premier->toInt());
    if (o.dernier)
        filtre.carteFin = qint16(o.dernier->toInt());

    Database db(chemins.dataDir);
    std::vector<Journal> entrees;
    {
        const Transaction lecture(db, {FileId::Journal}, Transaction::Lecture);
        if (!lecture.ok())
            return refuserExport(QStringLiteral("lecture impossible: %1").arg(lecture.error().description()));
        if (const FileError e = lireJournal(db, filtre, entrees); !e.ok())
            return refuserExport(QStringLiteral("erreur de lecture: %1: aucun fichier écrit.").arg(e.description()));
    }
    if (entrees.empty()) {
        dire(QStringLiteral("aucune entrée du journal du %1 au %2: aucun fichier écrit.")
                 .arg(DateTexte(filtre.debut), DateTexte(filtre.fin)));
        return RienNeCorrespond;
    }
    Csv fichier;
    fichier.ligne({QStringLiteral("Date"), QStringLiteral("Heure"), QStringLiteral("Programme"),
                   QStringLiteral("Utilisateur"), QStringLiteral("Carte"), QStringLiteral("Matricule"),
                   QStringLiteral("Nom"), QStringLiteral("Prénom"), QStringLiteral("Journée"), QStringLiteral("Avant"),
                   QStringLiteral("Après"), QStringLiteral("Cause")});
    for (const Journal& e : entrees)
        fichier.ligne({DateTexte(e.DATE), momentJournal(e).time().toString(QStringLiteral("HH:mm:ss")), e.PROGRAMME,
                       e.UTILISATEUR, e.CARTE ? QString::number(e.CARTE) : QString(), e.MATRICULE, e.NOM, e.PRENOM,
                       DateTexte(e.JOUR), e.AVANT, e.APRES, e.CAUSE});
    if (const FileError e = ecrireCsv(o.fichier, fichier); !e.ok())
        return refuserExport(writeFailureText(e) + QStringLiteral(": aucun fichier écrit."));
    return 0;
}

} // namespace kip::outil
