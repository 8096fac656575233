#include "CopiesRestauration.h"

#include "calendar/Dates.h"
#include "data/Cp1252.h"
#include "data/Database.h"
#include "data/FileAdmin.h"
#include "shell/Sauvegarde.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace kip {

namespace {

constexpr int AttenteLectureMs = 500; // a copy held elsewhere for longer than this cannot be described
const QString PrefixeAvant = QStringLiteral("AvantRestauration/");
// The copy's own record file is read as it lies, without a journal of its own to roll back.
// The moment a dated directory names; invalid for any other name (a copy still being written ends in .part).
QDateTime dateDe(const QString& nom)
{
    return QDateTime::fromString(nom.left(FormatDateCopieAvant.size()), FormatDateCopieAvant);
}

} // namespace

QString fichierDeCopie(const QString& dir, FileId id)
{
    return QDir(dir).filePath(tableOf(id).fileName);
}

QString NombreTexte(qint64 n)
{
    return nombreAvecMilliers(n);
}

QString NomSource(SourceRestauration source)
{
    return source == SourceRestauration::SaveAuto ? QStringLiteral("SaveAuto") : QStringLiteral("SaveManu");
}

bool SourceDeNom(const QString& nom, SourceRestauration* source)
{
    for (SourceRestauration s : {SourceRestauration::SaveAuto, SourceRestauration::SaveManu}) {
        if (nom.compare(NomSource(s), Qt::CaseInsensitive) == 0) {
            *source = s;
            return true;
        }
    }
    return false;
}

QString RepertoireSource(const Paths& p, SourceRestauration source)
{
    return source == SourceRestauration::SaveAuto ? p.saveAutoDir : p.saveManuDir;
}

QString RepertoireAvantRestauration(const Paths& p)
{
    return QDir(p.saveManuDir).filePath(QStringLiteral("AvantRestauration"));
}

QString CopieRestaurable::chemin() const
{
    if (avant.isValid())
        return QStringLiteral("SaveManu\\") + QString(nom).replace(u'/', u'\\');
    return nom;
}

QString CopieRestaurable::libelle() const
{
    if (avant.isValid())
        return QStringLiteral("Avant la restauration du %1 à %2")
            .arg(avant.toString(QStringLiteral("dd/MM/yyyy")), avant.toString(QStringLiteral("HH:mm:ss")));
    return QStringLiteral("Copie de ") + nom;
}

CopieRestaurable CopieDe(const Paths& p, SourceRestauration source)
{
    return {NomSource(source), RepertoireSource(p, source), {}};
}

QList<CopieRestaurable> CopiesRestaurables(const Paths& p)
{
    QList<CopieRestaurable> copies{CopieDe(p, SourceRestauration::SaveAuto), CopieDe(p, SourceRestauration::SaveManu)};
    const QDir avant(RepertoireAvantRestauration(p));
    QStringList noms = avant.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
    for (const QString& nom : noms) {
        const QDateTime date = dateDe(nom);
        if (date.isValid() && !nom.endsWith(QLatin1String(".part")))
            copies.append({PrefixeAvant + nom, avant.filePath(nom), date});
    }
    return copies;
}

bool CopieDeNom(const Paths& p, const QString& nom, CopieRestaurable* copie)
{
    for (const CopieRestaurable& c : CopiesRestaurables(p)) {
        if (c.nom.compare(nom, c.avant.isValid() ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0) {
            *copie = c;
            return true;
        }
    }
    return false;
}

DescriptionSauvegarde DecrireSauvegarde(const Paths& p, SourceRestauration source)
{
    return DecrireSauvegarde(p, CopieDe(p, source));
}

DescriptionSauvegarde DecrireSauvegarde(const Paths&, const CopieRestaurable& copie)
{
    DescriptionSauvegarde d;
    const QString& dir = copie.repertoire;
    for (FileId id : FichiersSauvegardes) {
        const QString chemin = fichierDeCopie(dir, id);
        const QFileInfo info(chemin);
        if (!info.exists()) {
            d.probleme = QStringLiteral("La copie de %1 ne contient pas %2.").arg(copie.chemin(), tableOf(id).fileName);
            return d;
        }
        // Keys that no longer match are rebuilt by the restore; anything else makes the copy useless.
        const FileError e = checkRecordFile(tableOf(id), chemin);
        if (!e.ok() && e.code != KeysInvalid) {
            d.probleme = QStringLiteral("La copie %1 est illisible: %2.").arg(chemin, e.description());
            return d;
        }
        if (!d.date.isValid() || info.lastModified() > d.date)
            d.date = info.lastModified();
    }
    const Result<qint64> employes =
        recordsOfFile(tableOf(FileId::Personnel), fichierDeCopie(dir, FileId::Personnel), AttenteLectureMs);
    Result<qint64> dernier = employes.error();
    if (employes)
        dernier = largestOfFile(tableOf(FileId::Personnel), fichierDeCopie(dir, FileId::Personnel),
                                QStringLiteral("DERNIER_POINTAGE"), AttenteLectureMs);
    Result<qint64> journees = dernier.error();
    if (dernier)
        journees = recordsOfFile(tableOf(FileId::PointVal), fichierDeCopie(dir, FileId::PointVal), AttenteLectureMs);
    if (!journees) {
        d.probleme =
            QStringLiteral("La copie de %1 est illisible: %2.").arg(copie.chemin(), journees.error().description());
        return d;
    }
    d.employes = *employes;
    d.journees = *journees;
    d.dernierPointage = qint32(*dernier);
    d.utilisable = true;
    return d;
}

QString DescriptionSauvegarde::texte(SourceRestauration source) const
{
    return texte(CopieRestaurable{NomSource(source), {}, {}});
}

QString DescriptionSauvegarde::texte(const CopieRestaurable& copie) const
{
    if (!utilisable)
        return QStringLiteral("  ") + probleme;
    const QString dernier = dernierPointage ? QStringLiteral("dernier pointage le %1").arg(DateTexte(dernierPointage))
                                            : QStringLiteral("aucun pointage");
    return QStringLiteral("  Copie de \\Kip\\%1 du %2 à %3: %4 employé(s), %5 ligne(s) de jour, %6.")
        .arg(copie.chemin(), date.toString(QStringLiteral("dd/MM/yyyy")), date.toString(QStringLiteral("HH:mm")),
             NombreTexte(employes), NombreTexte(journees), dernier);
}

} // namespace kip
