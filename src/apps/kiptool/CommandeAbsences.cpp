// kiptool absences.
#include "CommandeAbsences.h"

#include "ChoixEdition.h"
#include "CommandeRapport.h"
#include "absences/CsvAbsences.h"
#include "calendar/Dates.h"
#include "data/FileAdmin.h"
#include "data/FileWriter.h"
#include "data/Journal.h"
#include "data/RecordFile.h"
#include "data/Transaction.h"
#include "reports/Csv.h"
#include "shell/Demarrage.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

namespace kip::outil {

const char* const UsageAbsences =
    "Usage: kiptool absences --from JJ/MM/AAAA --to JJ/MM/AAAA [--range PREMIER:DERNIER] --csv FICHIER\n"
    "                        [--dir CHEMIN]\n"
    "       kiptool absences --importer FICHIER [--dir CHEMIN]\n"
    "\n"
    "Écrit les absences du --from au --to inclus, des cartes PREMIER à DERNIER (toutes sans --range), dans un\n"
    "fichier CSV: Carte;Matricule;Nom;Prénom;Date;Code;Partie;Heures;Commentaire, une ligne par absence\n"
    "(partie: journée, matin, après-midi ou heures; heures en 2:30). Les jours fériés n'y sont pas: ils se\n"
    "calculent.\n"
    "--importer lit un fichier de la même forme (point-virgule, dates JJ/MM/AAAA, codes des types d'absence;\n"
    "l'employé par sa carte ou, sans carte, par son matricule; partie vide pour une journée; heures en 2:30 ou\n"
    "2,50) et l'enregistre en entier, inscrit au journal des corrections, ou le refuse en entier en nommant\n"
    "chaque ligne fausse et sa raison. Chaque absence remplace ce que la carte avait sur la même partie du jour.\n"
    "\n"
    "Codes de sortie: 0 le fichier est écrit ou importé; 1 aucune absence ne correspond (aucun fichier écrit)\n"
    "ou fichier importé refusé (rien n'est enregistré); 2 arguments invalides ou installation inutilisable.\n";

namespace {

int refuserAbsences(const QString& texte)
{
    dire(texte);
    return Refus;
}

int importerFichier(const QString& fichier, const QString& repertoire)
{
    const QString dir = QDir::cleanPath(repertoire);
    if (!Demarrage::estRepertoireInstallation(dir) || !QDir(dir + QStringLiteral("/Data")).exists())
        return refuserAbsences(
            QStringLiteral("%1 n'est pas une installation Kip (un répertoire Kip avec son sous-répertoire "
                           "Data).")
                .arg(dir));
    QFile f(fichier);
    if (!f.open(QIODevice::ReadOnly))
        return refuserAbsences(QStringLiteral("le fichier %1 ne peut pas être lu (%2).").arg(fichier, f.errorString()));
    const QByteArray contenu = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return refuserAbsences(QStringLiteral("le fichier %1 ne peut pas être lu (%2).").arg(fichier, f.errorString()));
    setPaths(Paths::forInstallation(dir));
    setProgrammeJournal(QStringLiteral("kiptool"));
    Database db(paths().dataDir);
    const ResultatImport r = ImporterAbsences(db, contenu);
    if (!r.erreur.ok())
        return refuserAbsences(
            QStringLiteral("import impossible: %1: rien n'a été enregistré.").arg(r.erreur.description()));
    if (!r.refus.isEmpty()) {
        for (const QString& l : r.refus)
            dire(QStringLiteral("%1: %2").arg(QFileInfo(fichier).fileName(), l));
        dire(QStringLiteral("fichier refusé: %1 ligne(s) fausse(s), rien n'a été enregistré.").arg(r.refus.size()));
        return RienNeCorrespond;
    }
    QTextStream(stdout)
        << QStringLiteral("%1 absence(s) importée(s), %2 jour(s) modifié(s).\n").arg(r.absences).arg(r.jours);
    return 0;
}

} // namespace

int commandeAbsences(const QStringList& arguments, const QString& repertoireCourant)
{
    QCommandLineParser args;
    args.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const OptionsEdition options;
    const QCommandLineOption csv(QStringLiteral("csv"), QString(), QStringLiteral("fichier"));
    const QCommandLineOption import(QStringLiteral("importer"), QString(), QStringLiteral("fichier"));
    options.ajouter(args);
    args.addOptions({csv, import});
    args.addPositionalArgument(QStringLiteral("commande"), QString());
    if (!args.parse(QStringList{QStringLiteral("kiptool")} + arguments))
        return refuserAbsences(args.errorText() + QLatin1Char('\n') + QString::fromUtf8(UsageAbsences));
    if (args.isSet(options.aide)) {
        QTextStream(stdout) << QString::fromUtf8(UsageAbsences);
        return 0;
    }
    if (args.positionalArguments().size() != 1)
        return refuserAbsences(
            QStringLiteral("arguments en trop: %1").arg(args.positionalArguments().mid(1).join(u' ')));
    if (args.isSet(import)) {
        if (args.isSet(csv) || args.isSet(options.depuis) || args.isSet(options.jusqua) || args.isSet(options.etendue))
            return refuserAbsences(QStringLiteral("--importer se donne seul (avec --dir au plus)."));
        const QString repertoire =
            QDir(repertoireCourant)
                .absoluteFilePath(args.isSet(options.dir) ? args.value(options.dir) : QStringLiteral("."));
        return importerFichier(QFileInfo(QDir(repertoireCourant), args.value(import)).absoluteFilePath(), repertoire);
    }
    ChoixEdition o;
    if (const auto refus = lireChoix(args, options, csv, true, repertoireCourant, o))
        return refuserAbsences(*refus);
    if (o.tri != Tri::Numero)
        return refuserAbsences(QStringLiteral("les absences se choisissent par numéros de carte: --sort N."));
    Paths chemins;
    if (const auto refus = installation(o, {FileId::Personnel}, chemins))
        return refuserAbsences(*refus);
    setPaths(chemins);
    const qint32 debut = std::min(o.debut, o.fin), fin = std::max(o.debut, o.fin);
    const qint16 premier = o.premier ? qint16(o.premier->toInt()) : 1;
    const qint16 dernier = o.dernier ? qint16(o.dernier->toInt()) : 9999;

    Database db(chemins.dataDir);
    std::vector<Absence> absences;
    IdentiteCartes employes;
    {
        // Only read: a missing absence file is no absence, and is not made here.
        if (!QFileInfo::exists(chemins.file(FileId::Absence))) {
            dire(QStringLiteral("aucune absence du %1 au %2: aucun fichier écrit.")
                     .arg(DateTexte(debut), DateTexte(fin)));
            return RienNeCorrespond;
        }
        // Read whole first, as the journal is: a damaged page is said, and Kip repairs it at its next start.
        if (const FileError e =
                checkRecordFile(tableOf(FileId::Absence), chemins.file(FileId::Absence), FileCheck::Pages);
            e.code == KeysInvalid || e.code == DeclarationMismatch)
            return refuserAbsences(QStringLiteral("le fichier des absences %1 est endommagé (%2): démarrez Kip pour le "
                                                  "réparer.")
                                       .arg(chemins.file(FileId::Absence), e.description()));
        const Transaction lecture(db, {FileId::Personnel, FileId::Absence}, Transaction::Lecture);
        if (!lecture.ok())
            return refuserAbsences(QStringLiteral("lecture impossible: %1").arg(lecture.error().description()));
        Result<std::vector<Absence>> lues = LireAbsences(db, debut, fin);
        if (!lues)
            return refuserAbsences(
                QStringLiteral("erreur de lecture: %1: aucun fichier écrit.").arg(lues.error().description()));
        for (Absence& a : *lues)
            if (a.CARTE >= premier && a.CARTE <= dernier)
                absences.push_back(std::move(a));
        RecordFile<Personnel> personnel(db);
        Cursor<Personnel> c = personnel.readAll();
        for (Personnel p; c.next(p).ok();)
            employes.insert(p.CARTE, p);
    }
    if (absences.empty()) {
        dire(QStringLiteral("aucune absence du %1 au %2: aucun fichier écrit.").arg(DateTexte(debut), DateTexte(fin)));
        return RienNeCorrespond;
    }
    std::stable_sort(absences.begin(), absences.end(), [](const Absence& a, const Absence& b) {
        return std::tie(a.CARTE, a.DATE, a.PARTIE) < std::tie(b.CARTE, b.DATE, b.PARTIE);
    });
    Csv fichier;
    for (const QStringList& l : LignesCsvAbsences(absences, employes))
        fichier.ligne(l);
    if (const FileError e = ecrireCsv(o.fichier, fichier); !e.ok())
        return refuserAbsences(writeFailureText(e) + QStringLiteral(": aucun fichier écrit."));
    return 0;
}

} // namespace kip::outil
