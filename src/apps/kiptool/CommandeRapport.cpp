// kiptool report.
#include "CommandeRapport.h"

#include "data/Database.h"
#include "data/FileAdmin.h"
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
    "Écrit l'édition LIGNE de la liste des éditions (1 à 8) dans un fichier PDF, sans fenêtre.\n"
    "La période est bornée comme dans la fenêtre d'impression: semaines entières (1 à 5) pour les lignes 2, 3\n"
    "et 6, une semaine pour la ligne 8, 31 jours au plus pour la ligne 4, sans limite pour les lignes 5 et 7;\n"
    "la ligne 1 (liste du personnel) n'a pas de période: --from et --to n'y servent pas. PREMIER et DERNIER\n"
    "sont des numéros de carte (--sort N, par défaut), des noms (A) ou des matricules (M); l'un ou l'autre\n"
    "peut manquer (\"12:\", \":MARTIN\"). Sans --range, tout le personnel.\n"
    "kiptool ne fait que lire, dans une seule transaction: il peut tourner pendant que Kip est ouvert.\n"
    "\n"
    "Codes de sortie: 0 le PDF est écrit; 1 aucune ligne ne correspond (aucun fichier écrit);\n"
    "2 arguments invalides ou installation inutilisable.\n";

namespace {

void dire(const QString& texte)
{
    QTextStream err(stderr);
    err << QStringLiteral("kiptool: ") << texte << QLatin1Char('\n');
}

int refuser(const QString& texte)
{
    dire(texte);
    return Refus;
}

std::optional<qint32> lireDate(const QString& texte)
{
    const QDate d = QDate::fromString(texte, QStringLiteral("dd/MM/yyyy"));
    if (!d.isValid())
        return std::nullopt;
    return dayNumber(d);
}

// The first and the last employee in a key's order.
bool bornes(Database& db, const char* ordre, SelectionImpression::Bornes& b)
{
    Statement premier =
        db.prepare(QStringLiteral("SELECT rowid, ROWVER, %1 FROM PERSONNEL.PERSONNEL ORDER BY %2 LIMIT 1")
                       .arg(tableOf<Personnel>().columnList(), QLatin1String(ordre)));
    QString desc = QLatin1String(ordre);
    desc.replace(QLatin1String(","), QLatin1String(" DESC,"));
    Statement dernier =
        db.prepare(QStringLiteral("SELECT rowid, ROWVER, %1 FROM PERSONNEL.PERSONNEL ORDER BY %2 DESC LIMIT 1")
                       .arg(tableOf<Personnel>().columnList(), desc));
    for (auto [st, p] : {std::pair{&premier, &b.premier}, std::pair{&dernier, &b.dernier}}) {
        if (!st->valid() || st->step() != 100)
            return false;
        detail::Reader r(*st, 2);
        p->visit(r);
    }
    return true;
}

struct Options
{
    int ligne = 0;
    qint32 debut = 0, fin = 0;
    Tri tri = Tri::Numero;
    std::optional<QString> premier, dernier;
    bool centiemes = false;
    QString pdf;
    QString repertoire;
};

} // namespace

int commandeRapport(const QStringList& arguments, const QString& repertoireCourant)
{
    QCommandLineParser args;
    args.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption depuis(QStringLiteral("from"), QString(), QStringLiteral("date"));
    const QCommandLineOption jusqua(QStringLiteral("to"), QString(), QStringLiteral("date"));
    const QCommandLineOption tri(QStringLiteral("sort"), QString(), QStringLiteral("mode"), QStringLiteral("N"));
    const QCommandLineOption etendue(QStringLiteral("range"), QString(), QStringLiteral("premier:dernier"));
    const QCommandLineOption centiemes(QStringLiteral("hundredths"));
    const QCommandLineOption pdf(QStringLiteral("pdf"), QString(), QStringLiteral("fichier"));
    const QCommandLineOption dir(QStringLiteral("dir"), QString(), QStringLiteral("chemin"));
    const QCommandLineOption aide(QStringList{QStringLiteral("help"), QStringLiteral("h")});
    args.addOptions({depuis, jusqua, tri, etendue, centiemes, pdf, dir, aide});
    args.addPositionalArgument(QStringLiteral("commande"), QString());
    args.addPositionalArgument(QStringLiteral("ligne"), QString());
    if (!args.parse(QStringList{QStringLiteral("kiptool")} + arguments))
        return refuser(args.errorText() + QStringLiteral("\n") + QString::fromUtf8(UsageRapport));
    if (args.isSet(aide)) {
        QTextStream(stdout) << QString::fromUtf8(UsageRapport);
        return PdfEcrit;
    }
    const QStringList positions = args.positionalArguments();
    if (positions.size() != 2)
        return refuser(QStringLiteral("indiquez la ligne de l'édition, de 1 à 8.\n") + QString::fromUtf8(UsageRapport));

    Options o;
    bool ok = false;
    o.ligne = positions[1].toInt(&ok);
    const DefinitionEdition* edition = ok ? definitionEdition(o.ligne) : nullptr;
    if (!edition)
        return refuser(QStringLiteral("la ligne %1 n'existe pas: de 1 à 8.").arg(positions[1]));
    if (!edition->disponible())
        return refuser(QStringLiteral("l'édition de la ligne %1 (%2) n'est pas encore disponible.")
                           .arg(o.ligne)
                           .arg(edition->procedure));
    if (edition->avecPeriode()) {
        if (!args.isSet(depuis) || !args.isSet(jusqua))
            return refuser(QStringLiteral("--from et --to sont demandés pour la ligne %1.").arg(o.ligne));
        const std::optional<qint32> d = lireDate(args.value(depuis));
        const std::optional<qint32> f = lireDate(args.value(jusqua));
        if (!d)
            return refuser(QStringLiteral("date invalide pour --from: %1 (JJ/MM/AAAA)").arg(args.value(depuis)));
        if (!f)
            return refuser(QStringLiteral("date invalide pour --to: %1 (JJ/MM/AAAA)").arg(args.value(jusqua)));
        o.debut = *d;
        o.fin = *f;
    }
    const QString mode = args.value(tri).toUpper();
    if (mode == QLatin1String("N"))
        o.tri = Tri::Numero;
    else if (mode == QLatin1String("A"))
        o.tri = Tri::Nom;
    else if (mode == QLatin1String("M"))
        o.tri = Tri::Matricule;
    else
        return refuser(QStringLiteral("--sort attend N (numéro), A (nom) ou M (matricule): %1").arg(args.value(tri)));
    if (args.isSet(etendue)) {
        const QString texte = args.value(etendue);
        const qsizetype deuxPoints = texte.indexOf(QLatin1Char(':'));
        if (deuxPoints < 0)
            return refuser(QStringLiteral("--range attend PREMIER:DERNIER: %1").arg(texte));
        const QString a = texte.left(deuxPoints).trimmed();
        const QString b = texte.mid(deuxPoints + 1).trimmed();
        if (!a.isEmpty())
            o.premier = a;
        if (!b.isEmpty())
            o.dernier = b;
        if (o.tri == Tri::Numero) {
            for (const std::optional<QString>& carte : {o.premier, o.dernier}) {
                if (!carte)
                    continue;
                const int n = carte->toInt(&ok);
                if (!ok || n < 1 || n > 9999)
                    return refuser(QStringLiteral("--range: numéro de carte invalide: %1 (1 à 9999)").arg(*carte));
            }
        }
    }
    o.centiemes = args.isSet(centiemes);
    if (!args.isSet(pdf) || args.value(pdf).isEmpty())
        return refuser(QStringLiteral("--pdf FICHIER est demandé."));
    o.pdf = QFileInfo(QDir(repertoireCourant), args.value(pdf)).absoluteFilePath();
    if (!QFileInfo(QFileInfo(o.pdf).absolutePath()).isDir())
        return refuser(QStringLiteral("le répertoire du fichier %1 n'existe pas.").arg(o.pdf));
    o.repertoire = QDir(repertoireCourant).absoluteFilePath(args.isSet(dir) ? args.value(dir) : QStringLiteral("."));

    // The installation: a directory named Kip whose employees and day lines are readable.
    const QString installation = QDir::cleanPath(o.repertoire);
    if (!Demarrage::estRepertoireInstallation(installation))
        return refuser(QStringLiteral("%1 n'est pas une installation Kip (son nom doit être Kip).").arg(installation));
    const Paths chemins = Paths::forInstallation(installation);
    for (FileId f : {FileId::Personnel, FileId::PointVal}) {
        const FileError e = checkRecordFile(tableOf(f), chemins.file(f));
        if (!e.ok())
            return refuser(QStringLiteral("installation inutilisable: %1: %2").arg(chemins.file(f), e.description()));
    }

    Database db(chemins.dataDir);
    // One read transaction for everything kiptool reads: the ranges and the report.
    const Transaction lecture(db, {FileId::Personnel, FileId::PointVal}, Transaction::Lecture);
    if (!lecture.ok())
        return refuser(QStringLiteral("lecture impossible: %1").arg(lecture.error().description()));

    SelectionImpression selection(Clock::today());
    SelectionImpression::Bornes parCarte, parNom, parMatricule;
    if (!bornes(db, "CARTE", parCarte) || !bornes(db, "NOM, PRENOM", parNom) ||
        !bornes(db, "MATRICULE", parMatricule)) {
        dire(QStringLiteral("aucun employé: aucun fichier écrit."));
        return RienNeCorrespond;
    }
    selection.initialiserEmployes(parCarte, parNom, parMatricule);
    selection.choisirTri(o.tri);
    selection.choisirEdition(edition->CONTROLEEDITION);
    if (edition->avecPeriode())
        selection.definirPeriode(o.debut, o.fin);
    ParametresEdition p = selection.parametres(*edition, o.centiemes);
    // A range given on the command line: any text bounds the names and matricules, not only an employee's.
    auto echanger = [](auto& a, auto& b, auto plusGrand) {
        if (plusGrand(a, b))
            std::swap(a, b);
    };
    switch (o.tri) {
    case Tri::Numero:
        if (o.premier)
            p.carteDebut = qint16(o.premier->toInt());
        if (o.dernier)
            p.carteFin = qint16(o.dernier->toInt());
        echanger(p.carteDebut, p.carteFin, [](qint16 a, qint16 b) { return a > b; });
        break;
    case Tri::Nom:
        if (o.premier)
            p.nomDebut = o.premier->left(20);
        if (o.dernier)
            p.nomFin = o.dernier->left(20);
        echanger(p.nomDebut, p.nomFin, [](const QString& a, const QString& b) { return comparerCle(a, b) > 0; });
        break;
    case Tri::Matricule:
        if (o.premier)
            p.matriculeDebut = o.premier->left(10);
        if (o.dernier)
            p.matriculeFin = o.dernier->left(10);
        echanger(p.matriculeDebut, p.matriculeFin,
                 [](const QString& a, const QString& b) { return comparerCle(a, b) > 0; });
        break;
    }

    std::unique_ptr<Edition> rapport = edition->fabrique();
    ResultatEdition r = ExecuterEdition(db, *rapport, p);
    if (!r.erreurLecture.ok())
        return refuser(
            QStringLiteral("erreur de lecture: %1: aucun fichier écrit.").arg(r.erreurLecture.description()));
    if (r.issue == ResultatEdition::Issue::Erreur)
        return refuser(r.erreurPages);
    if (!r.complete()) {
        if (edition->avecPeriode())
            dire(QStringLiteral("aucune ligne ne correspond du %1 au %2: aucun fichier écrit.")
                     .arg(DateTexte(p.dateDebut), DateTexte(p.dateFin)));
        else
            dire(QStringLiteral("aucun employé ne correspond: aucun fichier écrit."));
        return RienNeCorrespond;
    }
    QString erreur;
    if (!ecrirePdf(r.pages, o.pdf, edition->NOMEDITION, &erreur))
        return refuser(erreur);
    return PdfEcrit;
}

} // namespace kip::outil
