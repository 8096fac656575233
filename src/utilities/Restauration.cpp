#include "Restauration.h"

#include "ConnexionDirecte.h"
#include "ReprisePointages.h"
#include "calendar/Dates.h"
#include "data/FileAdmin.h"
#include "data/Journal.h"
#include "data/RecordFile.h"
#include "data/Transaction.h"
#include "shell/LecteurCartes.h"
#include "shell/Sauvegarde.h"
#include "shell/VerrouProgramme.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <cstdio>
#include <optional>

namespace kip {

namespace {

constexpr int AttenteRestaurationMs = 500; // a file held elsewhere for longer than this is in use

QString nomFichier(FileId id)
{
    return tableOf(id).fileName;
}

QString dansRepertoire(const QString& dir, FileId id)
{
    return QDir(dir).filePath(nomFichier(id));
}

// The copy's own record file is read as it lies, without a journal of its own to roll back.
FileError lireCompte(const QString& chemin, const QString& sql, qint64* valeur)
{
    ConnexionDirecte c(chemin, ConnexionDirecte::Lecture, AttenteRestaurationMs);
    FileError e = c.erreur();
    if (e.ok())
        e = c.entier(sql, valeur);
    return e;
}

QString nombre(qint64 n)
{
    return QLocale(QLocale::French, QLocale::France).toString(n);
}

} // namespace

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

DescriptionSauvegarde DecrireSauvegarde(const Paths& p, SourceRestauration source)
{
    DescriptionSauvegarde d;
    const QString dir = RepertoireSource(p, source);
    for (FileId id : FichiersSauvegardes) {
        const QString chemin = dansRepertoire(dir, id);
        const QFileInfo info(chemin);
        if (!info.exists()) {
            d.probleme = QStringLiteral("La copie de %1 ne contient pas %2.").arg(NomSource(source), nomFichier(id));
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
    qint64 dernier = 0;
    FileError e = lireCompte(dansRepertoire(dir, FileId::Personnel), QStringLiteral("SELECT count(*) FROM PERSONNEL"),
                             &d.employes);
    if (e.ok())
        e = lireCompte(dansRepertoire(dir, FileId::Personnel),
                       QStringLiteral("SELECT coalesce(max(DERNIER_POINTAGE), 0) FROM PERSONNEL"), &dernier);
    if (e.ok())
        e = lireCompte(dansRepertoire(dir, FileId::PointVal), QStringLiteral("SELECT count(*) FROM POINTVAL"),
                       &d.journees);
    if (!e.ok()) {
        d.probleme = QStringLiteral("La copie de %1 est illisible: %2.").arg(NomSource(source), e.description());
        return d;
    }
    d.dernierPointage = qint32(dernier);
    d.utilisable = true;
    return d;
}

QString DescriptionSauvegarde::texte(SourceRestauration source) const
{
    if (!utilisable)
        return QStringLiteral("  ") + probleme;
    const QString dernier = dernierPointage ? QStringLiteral("dernier pointage le %1").arg(DateTexte(dernierPointage))
                                            : QStringLiteral("aucun pointage");
    return QStringLiteral("  Copie de \\Kip\\%1 du %2 à %3: %4 employé(s), %5 ligne(s) de jour, %6.")
        .arg(NomSource(source), date.toString(QStringLiteral("dd/MM/yyyy")), date.toString(QStringLiteral("HH:mm")),
             nombre(employes), nombre(journees), dernier);
}

namespace {

// The restore's steps, so that each one reports and the whole reads as a list.
class Restauration
{
public:
    Restauration(const Paths& p, SourceRestauration source, const SuiviRestauration& suivi, int attente)
        : m_p(p), m_source(source), m_suivi(suivi), m_attente(attente)
    {
    }

    ResultatRestauration executer();

private:
    static constexpr int Etapes = 6;
    void etape(const QString& texte)
    {
        if (m_suivi)
            m_suivi(++m_etape, Etapes, texte);
    }
    std::optional<ResultatRestauration> verifierExclusivite(VerrouProgramme& verrou);
    bool garderFichiersActuels(QString* erreur);
    bool preparer(QString* erreur);
    bool remplacer(QString* erreur);
    void remettreFichiersActuels();
    void supprimerPrepares();
    FileError journaliser(const DescriptionSauvegarde& description) const;
    QString prepare(FileId id) const { return m_p.file(id) + QStringLiteral(".restauration"); }
    // The files that the restore replaces: the three data files, and the absence files that the copy holds.
    std::vector<FileId> fichiersRestaures() const;

    ResultatRestauration refus(const QString& texte) const
    {
        ResultatRestauration r;
        r.etat = ResultatRestauration::Etat::Refusee;
        r.texte = QStringLiteral("  ") + texte + QStringLiteral(" Rien n'a été restauré.");
        return r;
    }
    ResultatRestauration echec(const QString& texte) const
    {
        ResultatRestauration r;
        r.etat = ResultatRestauration::Etat::Echec;
        r.texte = QStringLiteral("  La restauration a échoué: ") + texte +
                  QStringLiteral(" Les fichiers de données sont restés tels qu'ils étaient.");
        return r;
    }

    const Paths& m_p;
    SourceRestauration m_source;
    const SuiviRestauration& m_suivi;
    int m_attente;
    int m_etape = 0;
    QList<FileId> m_remplaces;
};

std::vector<FileId> Restauration::fichiersRestaures() const
{
    std::vector<FileId> fichiers(FichiersSauvegardes.begin(), FichiersSauvegardes.end());
    // A copy made before the absence files existed holds none: the current ones are then kept.
    for (FileId id : FichiersAbsences)
        if (QFileInfo::exists(dansRepertoire(RepertoireSource(m_p, m_source), id)))
            fichiers.push_back(id);
    return fichiers;
}

std::optional<ResultatRestauration> Restauration::verifierExclusivite(VerrouProgramme& verrou)
{
    // Another program of the system: the one-program lock, unless this program holds it.
    if (!VerrouProgramme::tenuParCeProcessus(m_p.dataDir)) {
        const VerrouProgramme::Resultat pris = verrou.prendre(m_p.dataDir);
        if (pris == VerrouProgramme::Occupe)
            return refus(QStringLiteral("Kip ou l'un de ses modules est déja en cours d'utilisation."));
        if (pris != VerrouProgramme::Pris)
            return refus(QStringLiteral("Le répertoire %1 n'est pas accessible.").arg(m_p.dataDir));
    }
    for (FileId id : fichiersRestaures()) {
        // Another window of this program.
        if (openCount(id) > 0)
            return refus(QStringLiteral("Le fichier %1 est ouvert par une autre fenêtre: fermez toutes les autres "
                                        "fenêtres de Kip.")
                             .arg(nomFichier(id)));
        // Anything else that holds the file open, a database tool for instance.
        if (!QFileInfo::exists(m_p.file(id)))
            continue;
        ConnexionDirecte c(m_p.file(id), ConnexionDirecte::Ecriture, AttenteRestaurationMs);
        if (c.executer(QStringLiteral("BEGIN EXCLUSIVE")).code == Locked)
            return refus(QStringLiteral("Le fichier %1 est utilisé par un autre programme.").arg(nomFichier(id)));
    }
    return std::nullopt;
}

bool Restauration::garderFichiersActuels(QString* erreur)
{
    const QString avant = RepertoireAvantRestauration(m_p);
    // Only the files of this restore: a file absent now must not come back from an earlier one.
    QDir(avant).removeRecursively();
    if (!QDir().mkpath(avant)) {
        *erreur = QStringLiteral("le répertoire %1 n'a pas pu être créé.").arg(avant);
        return false;
    }
    const ResultatSauvegarde copie = SauvegarderDans(m_p, avant);
    QStringList manquants;
    for (const QString& nom : copie.echecs) {
        // A damaged record file cannot be read as a snapshot: its bytes are kept as they are, with its journal.
        const QString source = QDir(m_p.dataDir).filePath(nom);
        const QString journal = source + QStringLiteral("-journal");
        const bool gardee = nom.endsWith(QLatin1String(".tps")) &&
                            copierFichierTexte(source, QDir(avant).filePath(nom)) &&
                            (!QFileInfo::exists(journal) ||
                             copierFichierTexte(journal, QDir(avant).filePath(nom + QStringLiteral("-journal"))));
        if (!gardee)
            manquants << nom;
    }
    if (!manquants.isEmpty()) {
        *erreur = QStringLiteral("%1 n'a pas pu être copié dans %2.").arg(manquants.join(QStringLiteral(", ")), avant);
        return false;
    }
    return true;
}

bool Restauration::preparer(QString* erreur)
{
    const QString dir = RepertoireSource(m_p, m_source);
    for (FileId id : fichiersRestaures()) {
        const TableDecl& table = tableOf(id);
        FileError e = copyRecordFile(dansRepertoire(dir, id), prepare(id));
        if (e.ok())
            e = rebuildRecordFileKeys(table, prepare(id), true);
        if (e.ok())
            e = checkRecordFile(table, prepare(id));
        if (!e.ok()) {
            *erreur = QStringLiteral("la copie de %1 n'a pas pu être reprise (%2).")
                          .arg(dansRepertoire(dir, id), e.description());
            return false;
        }
    }
    return true;
}

void Restauration::supprimerPrepares()
{
    for (FileId id : fichiersRestaures())
        removeRecordFile(prepare(id));
}

bool Restauration::remplacer(QString* erreur)
{
    for (FileId id : fichiersRestaures()) {
        // A journal left by the replaced file would be played back onto the restored one.
        QFile::remove(m_p.file(id) + QStringLiteral("-journal"));
        if (std::rename(QFile::encodeName(prepare(id)).constData(), QFile::encodeName(m_p.file(id)).constData()) != 0) {
            *erreur = QStringLiteral("%1 n'a pas pu être remplacé.").arg(m_p.file(id));
            return false;
        }
        m_remplaces << id;
    }
    return true;
}

void Restauration::remettreFichiersActuels()
{
    const QString avant = RepertoireAvantRestauration(m_p);
    for (FileId id : m_remplaces) {
        const QString copie = dansRepertoire(avant, id);
        if (!QFileInfo::exists(copie)) {
            // The file did not exist before the restore.
            removeRecordFile(m_p.file(id));
            continue;
        }
        QFile::remove(m_p.file(id) + QStringLiteral("-journal"));
        if (!copyRecordFile(copie, m_p.file(id)).ok())
            copierFichierTexte(copie, m_p.file(id));
    }
    m_remplaces.clear();
}

FileError Restauration::journaliser(const DescriptionSauvegarde& description) const
{
    // The journal is created here when missing: the restore runs without the common open (and its messages).
    const QString chemin = m_p.file(FileId::Journal);
    if (!QFileInfo::exists(chemin))
        if (const FileError e = createRecordFile(tableOf(FileId::Journal), chemin); !e.ok())
            return e;
    Database db(m_p.dataDir);
    Transaction t(db, {FileId::Journal});
    Journal entree;
    entree.AVANT = QStringLiteral("fichiers remplacés conservés dans \\Kip\\SaveManu\\AvantRestauration");
    entree.APRES = QStringLiteral("copie de \\Kip\\%1 du %2: %3 employé(s), %4 ligne(s) de jour")
                       .arg(NomSource(m_source), description.date.toString(QStringLiteral("dd/MM/yyyy HH:mm")),
                            nombre(description.employes), nombre(description.journees));
    entree.CAUSE = QString::fromUtf8(CauseJournal::Restauration) + QLatin1Char(' ') + NomSource(m_source);
    FileError e = ajouterAuJournal(t, entree);
    if (e.ok())
        e = t.commit();
    return e;
}

ResultatRestauration Restauration::executer()
{
    const DescriptionSauvegarde description = DecrireSauvegarde(m_p, m_source);
    if (!description.utilisable)
        return refus(description.probleme);
    VerrouProgramme verrou;
    etape(QStringLiteral("Vérification des fichiers"));
    if (auto refuse = verifierExclusivite(verrou))
        return *refuse;
    // The reader must not write Origin00.txt while it is copied and while punches are put back ahead of it.
    // A program that did not look the reader up at its start (the command line) looks it up now.
    if (!LecteurCartes::programme().cherche())
        LecteurCartes::programme().chercher();
    const PauseLecteur pause = PauseLecteur::demander();
    PauseLecteur::attendre(m_attente);
    QString erreur;
    etape(QStringLiteral("Copie des fichiers actuels dans %1").arg(RepertoireAvantRestauration(m_p)));
    if (!garderFichiersActuels(&erreur))
        return echec(erreur);
    etape(QStringLiteral("Lecture de la copie de %1").arg(NomSource(m_source)));
    if (!preparer(&erreur)) {
        supprimerPrepares();
        return echec(erreur);
    }
    etape(QStringLiteral("Remplacement des fichiers"));
    if (!remplacer(&erreur)) {
        remettreFichiersActuels();
        supprimerPrepares();
        return echec(erreur);
    }
    for (FileId id : fichiersRestaures()) {
        if (const FileError e = checkRecordFile(tableOf(id), m_p.file(id)); !e.ok()) {
            remettreFichiersActuels();
            return echec(QStringLiteral("%1 restauré est invalide (%2).").arg(m_p.file(id), e.description()));
        }
    }
    etape(QStringLiteral("Reconstruction des index sur les fichiers"));
    // As the rebuild after an unclean end: a file still damaged is caught by its next open.
    for (const TableDecl* table : allTables())
        (void)rebuildRecordFileKeys(*table, QDir(m_p.dataDir).filePath(table->fileName), true);

    ResultatRestauration r;
    etape(QStringLiteral("Reprise des pointages transférés depuis la copie"));
    const PointagesDepuisSauvegarde depuis = PointagesArchivesDepuis(m_p.dataDir, RepertoireSource(m_p, m_source));
    QString reprise;
    if (depuis.generations > 0) {
        if (ReprendrePointages(m_p.dataDir, depuis.lignes)) {
            r.pointagesRepris = NombreLignes(depuis.lignes);
            reprise = QStringLiteral(" %1 pointage(s) transféré(s) depuis la copie seront repris au prochain "
                                     "démarrage.")
                          .arg(nombre(r.pointagesRepris));
        } else {
            reprise = QStringLiteral(" Les pointages transférés depuis la copie n'ont pas pu être remis dans "
                                     "Origin00.txt: ils sont dans Origin01.txt à Origin%1.txt.")
                          .arg(depuis.generations, 2, 10, QLatin1Char('0'));
        }
    }
    const FileError journal = journaliser(description);
    {
        Database db(m_p.dataDir);
        RecordFile<Parametre> parametres(db);
        Parametre par;
        if (parametres.open().ok() && parametres.first(par).ok())
            r.positionSommaire = par.POSITIONSOMMAIRE;
    }
    r.etat = ResultatRestauration::Etat::Faite;
    r.texte = QStringLiteral("  La restauration a été réalisée depuis \\Kip\\%1 (copie du %2): %3 employé(s), %4 "
                             "ligne(s) de jour. Les fichiers remplacés sont conservés dans "
                             "\\Kip\\SaveManu\\AvantRestauration.")
                  .arg(NomSource(m_source), description.date.toString(QStringLiteral("dd/MM/yyyy HH:mm")),
                       nombre(description.employes), nombre(description.journees)) +
              reprise;
    if (!journal.ok())
        r.texte += QStringLiteral(" La restauration n'a pas pu être inscrite au journal des corrections (%1).")
                       .arg(journal.description());
    return r;
}

} // namespace

ResultatRestauration Restaurer(const Paths& p, SourceRestauration source, const SuiviRestauration& suivi,
                               int attentePauseMs)
{
    return Restauration(p, source, suivi, attentePauseMs).executer();
}

} // namespace kip
