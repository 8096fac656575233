#include "ChoixEdition.h"

#include "Commandes.h"
#include "data/Base.h"
#include "data/EmployeeReads.h"
#include "data/FileAdmin.h"
#include "data/RecordFile.h"
#include "reports/LectureJournees.h"
#include "reports/SelectionImpression.h"
#include "shell/Demarrage.h"
#include "shell/RemplacementEnsemble.h"
#include "shell/TravauxInterrompus.h"
#include "shell/VerrouProgramme.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace kip::outil {

std::optional<qint32> lireDate(const QString& texte)
{
    const QDate d = QDate::fromString(texte, QStringLiteral("dd/MM/yyyy"));
    if (!d.isValid())
        return std::nullopt;
    return dayNumber(d);
}

namespace {

// The first and the last employee in a key's order.
bool bornes(Database& db, EmployeeKey cle, SelectionImpression::Bornes& b)
{
    for (auto [sens, p] : {std::pair{Direction::Forward, &b.premier}, std::pair{Direction::Backward, &b.dernier}}) {
        const Result<std::optional<Personnel>> employe = endEmployee(db, cle, sens);
        if (!employe || !*employe)
            return false;
        *p = **employe;
    }
    return true;
}

} // namespace

std::optional<QString> lireChoix(const QCommandLineParser& args, const OptionsEdition& o,
                                 const QCommandLineOption& sortie, bool periodeDemandee,
                                 const QString& repertoireCourant, ChoixEdition& choix)
{
    bool ok = false;
    if (periodeDemandee) {
        if (!args.isSet(o.depuis) || !args.isSet(o.jusqua))
            return QStringLiteral("--from et --to sont demandés.");
        const std::optional<qint32> d = lireDate(args.value(o.depuis));
        const std::optional<qint32> f = lireDate(args.value(o.jusqua));
        if (!d)
            return QStringLiteral("date invalide pour --from: %1 (JJ/MM/AAAA)").arg(args.value(o.depuis));
        if (!f)
            return QStringLiteral("date invalide pour --to: %1 (JJ/MM/AAAA)").arg(args.value(o.jusqua));
        choix.debut = *d;
        choix.fin = *f;
    }
    const QString mode = args.value(o.tri).toUpper();
    if (mode == QLatin1String("N"))
        choix.tri = Tri::Numero;
    else if (mode == QLatin1String("A"))
        choix.tri = Tri::Nom;
    else if (mode == QLatin1String("M"))
        choix.tri = Tri::Matricule;
    else
        return QStringLiteral("--sort attend N (numéro), A (nom) ou M (matricule): %1").arg(args.value(o.tri));
    if (args.isSet(o.etendue)) {
        const QString texte = args.value(o.etendue);
        const qsizetype deuxPoints = texte.indexOf(QLatin1Char(':'));
        if (deuxPoints < 0)
            return QStringLiteral("--range attend PREMIER:DERNIER: %1").arg(texte);
        const QString a = texte.left(deuxPoints).trimmed();
        const QString b = texte.mid(deuxPoints + 1).trimmed();
        if (!a.isEmpty())
            choix.premier = a;
        if (!b.isEmpty())
            choix.dernier = b;
        if (choix.tri == Tri::Numero) {
            for (const std::optional<QString>& carte : {choix.premier, choix.dernier}) {
                if (!carte)
                    continue;
                const int n = carte->toInt(&ok);
                if (!ok || n < 1 || n > 9999)
                    return QStringLiteral("--range: numéro de carte invalide: %1 (1 à 9999)").arg(*carte);
            }
        }
        // A reversed range is refused rather than swapped: in a script it is most often two variables given in
        // the wrong order, and a report of other employees than the ones asked for would go unnoticed.
        if (choix.premier && choix.dernier) {
            const bool inverse = choix.tri == Tri::Numero ? choix.premier->toInt() > choix.dernier->toInt()
                                                          : comparerCle(*choix.premier, *choix.dernier) > 0;
            if (inverse)
                return QStringLiteral("--range: %1 vient après %2; écrivez --range %2:%1.")
                    .arg(*choix.premier, *choix.dernier);
        }
    }
    choix.centiemes = args.isSet(o.centiemes);
    const QString nomOption = sortie.names().first();
    if (!args.isSet(sortie) || args.value(sortie).isEmpty())
        return QStringLiteral("--%1 FICHIER est demandé.").arg(nomOption);
    choix.fichier = QFileInfo(QDir(repertoireCourant), args.value(sortie)).absoluteFilePath();
    if (!QFileInfo(QFileInfo(choix.fichier).absolutePath()).isDir())
        return QStringLiteral("le répertoire du fichier %1 n'existe pas.").arg(choix.fichier);
    choix.repertoire =
        QDir(repertoireCourant).absoluteFilePath(args.isSet(o.dir) ? args.value(o.dir) : QStringLiteral("."));
    return std::nullopt;
}

std::optional<QString> installation(const ChoixEdition& choix, std::initializer_list<FileId> fichiers, Paths& chemins)
{
    // A directory named Kip whose files are readable.
    const QString dir = QDir::cleanPath(choix.repertoire);
    if (!Demarrage::estRepertoireInstallation(dir))
        return QStringLiteral("%1 n'est pas une installation Kip (son nom doit être Kip).").arg(dir);
    chemins = Paths::forInstallation(dir);
    // Records on a server: no file to check here; the server is reached by donneesLisibles.
    const Result<QString> base = readBaseFile(chemins.dataDir);
    if (!base)
        return base.error().description();
    if (!base->isEmpty())
        return std::nullopt;
    for (FileId f : fichiers) {
        const FileError e = checkRecordFile(tableOf(f), chemins.file(f));
        if (!e.ok())
            return QStringLiteral("installation inutilisable: %1: %2").arg(chemins.file(f), e.description());
    }
    return std::nullopt;
}

std::optional<QString> donneesLisibles(const Paths& chemins)
{
    // The records' engine: a server that cannot be reached is named with libpq's reason.
    if (const FileError base = chooseStore(chemins.dataDir); !base.ok())
        return base.description();
    if (RemplacementEnsemble::donneesEnSuspens(chemins.dataDir)) {
        VerrouProgramme verrou;
        if (verrou.prendre(chemins.dataDir) != VerrouProgramme::Pris)
            return QStringLiteral("une restauration est en cours sur %1: réessayez quand elle sera finie.")
                .arg(chemins.dataDir);
        const ResultatTravauxInterrompus r = ReprendreTravauxInterrompus(chemins);
        for (const QString& texte : r.textes)
            dire(texte);
        if (r.donneesMelangees)
            return QStringLiteral("les fichiers de %1 sont à moitié restaurés.").arg(chemins.dataDir);
    }
    // The journal is read whole here, as the windows' programs read it at its open: a damaged page is said,
    // and Kip repairs it at its next start.
    const QString journal = chemins.file(FileId::Journal);
    if (QFileInfo::exists(journal)) {
        const FileError e = checkRecordFile(tableOf(FileId::Journal), journal, FileCheck::Pages);
        if (e.code == KeysInvalid || e.code == DeclarationMismatch)
            return QStringLiteral("le journal des corrections %1 est endommagé (%2): démarrez Kip pour le réparer.")
                .arg(journal, e.description());
    }
    return std::nullopt;
}

bool parametresEdition(Database& db, const DefinitionEdition& edition, const ChoixEdition& o, ParametresEdition& p)
{
    SelectionImpression selection(Clock::today());
    SelectionImpression::Bornes parCarte, parNom, parMatricule;
    if (!bornes(db, EmployeeKey::Card, parCarte) || !bornes(db, EmployeeKey::Name, parNom) ||
        !bornes(db, EmployeeKey::Matricule, parMatricule))
        return false;
    selection.initialiserEmployes(parCarte, parNom, parMatricule);
    selection.choisirTri(o.tri);
    selection.choisirEdition(edition.CONTROLEEDITION);
    if (edition.avecPeriode())
        selection.definirPeriode(o.debut, o.fin);
    p = selection.parametres(edition, o.centiemes);
    // A range given on the command line: any text bounds the names and matricules, not only an employee's. A
    // side left out keeps the first or the last employee, so that a range beyond every employee matches none.
    switch (o.tri) {
    case Tri::Numero:
        if (o.premier)
            p.carteDebut = qint16(o.premier->toInt());
        if (o.dernier)
            p.carteFin = qint16(o.dernier->toInt());
        break;
    case Tri::Nom:
        if (o.premier)
            p.nomDebut = o.premier->left(20);
        if (o.dernier)
            p.nomFin = o.dernier->left(20);
        break;
    case Tri::Matricule:
        if (o.premier)
            p.matriculeDebut = o.premier->left(10);
        if (o.dernier)
            p.matriculeFin = o.dernier->left(10);
        break;
    }
    return true;
}

} // namespace kip::outil
