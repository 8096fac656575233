#include "Restauration.h"

#include "PassageServeur.h"
#include "ReprisePointages.h"
#include "calendar/Clock.h"
#include "data/Base.h"
#include "data/FileAdmin.h"
#include "data/FileWriter.h"
#include "data/Journal.h"
#include "data/Postes.h"
#include "data/RecordFile.h"
#include "data/ServerImport.h"
#include "data/TextFiles.h"
#include "data/Transaction.h"
#include "shell/LecteurCartes.h"
#include "shell/RemplacementEnsemble.h"
#include "shell/Sauvegarde.h"
#include "shell/TravauxInterrompus.h"
#include "shell/VerrouProgramme.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>

namespace kip {

namespace {

constexpr int AttenteRestaurationMs = 500; // a file held elsewhere for longer than this is in use
const QString EnCours = QStringLiteral(".part");

QString nomFichier(FileId id)
{
    return tableOf(id).fileName;
}

// "\Kip\SaveManu\AvantRestauration\2026-07-12_10-30-05"
QString texteChemin(const Paths& p, const QString& dir)
{
    return QStringLiteral("\\Kip\\") + QDir(p.installDir).relativeFilePath(dir).replace(u'/', u'\\');
}

// A step of the restore that failed: the file concerned, the sentence the restore's text takes, and the cause
// when the failure has one of its own.
FileError echecEtape(const QString& chemin, const QString& texte, FileError cause = {})
{
    FileError e = cause.ok() ? plainError(texte) : std::move(cause);
    e.text = texte;
    e.path = chemin;
    return e;
}

// The restore's steps, so that each one reports and the whole reads as a list.
class Restauration
{
public:
    Restauration(const Paths& p, const CopieRestaurable& copie, const SuiviRestauration& suivi, int attente)
        : m_p(p), m_copie(copie), m_suivi(suivi), m_attente(attente)
    {
    }

    ResultatRestauration executer();

private:
    ResultatRestauration restaurer();
    static constexpr int Etapes = 6;
    void etape(const QString& texte)
    {
        if (m_suivi)
            m_suivi(++m_etape, Etapes, texte);
    }
    std::optional<ResultatRestauration> verifierExclusivite(VerrouProgramme& verrou);
    FileError garderFichiersActuels();
    FileError preparer();
    void supprimerPrepares();
    void elaguerCopiesAvant() const;
    QString fichierPrepare(FileId id) const { return m_p.file(id) + QStringLiteral(".restauration"); }
    // The files that the restore replaces: the three data files, and the absence files that the copy holds.
    std::vector<FileId> fichiersRestaures() const;
    QString reprise() const { return m_p.origin(0) + QStringLiteral(".reprise"); }

    ResultatRestauration refus(const QString& texte) const
    {
        ResultatRestauration r;
        r.etat = ResultatRestauration::Etat::Refusee;
        r.texte = QStringLiteral("  ") + texte + QStringLiteral(" Rien n'a été restauré.");
        return r;
    }
    // Nothing of the data was changed.
    ResultatRestauration echec(const QString& texte) const
    {
        ResultatRestauration r;
        r.etat = ResultatRestauration::Etat::Echec;
        r.copieAvant = m_avant;
        r.texte = QStringLiteral("  La restauration a échoué: ") + texte +
                  QStringLiteral(" Les fichiers de données sont restés tels qu'ils étaient.");
        return r;
    }
    ResultatRestauration melange(const RemplacementEnsemble::Resultat& e) const;
    // On a server: the tables of the restored files replaced in one transaction, the raw punches put back first.
    RemplacementEnsemble::Resultat remplacerSurServeur(bool reprendre, const QString& cause, const QString& avant,
                                                       const QString& apres);
    int m_attenteTables = AttenteRestaurationMs;

    const Paths& m_p;
    CopieRestaurable m_copie;
    const SuiviRestauration& m_suivi;
    int m_attente;
    int m_etape = 0;
    QString m_avant;   // the dated directory of the files before the restore
    QString m_reprise; // what was settled of an interrupted job before this one, one line each
};

std::vector<FileId> Restauration::fichiersRestaures() const
{
    std::vector<FileId> fichiers(FichiersSauvegardes.begin(), FichiersSauvegardes.end());
    // A copy made before the absence files existed holds none: the current ones are then kept.
    for (FileId id : FichiersAbsences)
        if (QFileInfo::exists(fichierDeCopie(m_copie.repertoire, id)))
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
        // A restore or a backup that a killed program left halfway is settled first, and its leftovers removed.
        const ResultatTravauxInterrompus reprise = ReprendreTravauxInterrompus(m_p);
        for (const QString& texte : reprise.textes)
            m_reprise += QStringLiteral("  ") + texte + QStringLiteral("\r\n");
        if (reprise.donneesMelangees)
            return refus(QStringLiteral("La restauration interrompue doit d'abord être terminée."));
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
        Database c(Database::PrivateFile{m_p.file(id), QString(), false, AttenteRestaurationMs});
        const Transaction seule(c, Transaction::Exclusif, AttenteRestaurationMs);
        if (seule.error().code == Locked)
            return refus(QStringLiteral("Le fichier %1 est utilisé par un autre programme.").arg(nomFichier(id)));
    }
    return std::nullopt;
}

FileError Restauration::garderFichiersActuels()
{
    // A directory of its own for each restore, never one of an earlier restore: a second attempt must not
    // replace the files as they were before the first.
    QDir racine(RepertoireAvantRestauration(m_p));
    const QDateTime maintenant = Clock::now();
    QString nom = maintenant.toString(FormatDateCopieAvant);
    for (int n = 2; racine.exists(nom) || racine.exists(nom + EnCours); ++n)
        nom = maintenant.toString(FormatDateCopieAvant) + QStringLiteral("_%1").arg(n);
    const QString enCours = racine.filePath(nom + EnCours);
    if (!QDir().mkpath(enCours))
        return echecEtape(enCours, QStringLiteral("le répertoire %1 n'a pas pu être créé.").arg(enCours));
    const ResultatSauvegarde copie = SauvegarderDans(m_p, enCours);
    QStringList manquants;
    FileError cause; // the first copy of a file that failed on its own
    for (const QString& fichier : copie.echecs) {
        // A damaged record file cannot be read as a snapshot: its bytes are kept as they are, with its journal.
        const QString source = QDir(m_p.dataDir).filePath(fichier);
        const QString journal = source + QStringLiteral("-journal");
        bool gardee = false;
        if (fichier.endsWith(QLatin1String(".tps"))) {
            FileError e = copierFichierTexte(source, QDir(enCours).filePath(fichier));
            if (e.ok() && QFileInfo::exists(journal))
                e = copierFichierTexte(journal, QDir(enCours).filePath(fichier + QStringLiteral("-journal")));
            gardee = e.ok();
            if (!gardee && cause.ok())
                cause = e;
        }
        if (!gardee)
            manquants << fichier;
    }
    if (!manquants.isEmpty()) {
        QDir(enCours).removeRecursively();
        QString texte = QStringLiteral("%1 n'a pas pu être copié dans %2")
                            .arg(manquants.join(QStringLiteral(", ")), texteChemin(m_p, racine.filePath(nom)));
        if (!cause.ok())
            texte += QStringLiteral(" (%1)").arg(cause.description());
        return echecEtape(enCours, texte + QLatin1Char('.'), cause);
    }
    // Listed (and restorable) once whole only.
    if (!racine.rename(nom + EnCours, nom)) {
        QDir(enCours).removeRecursively();
        return echecEtape(racine.filePath(nom),
                          QStringLiteral("le répertoire %1 n'a pas pu être nommé.").arg(racine.filePath(nom)));
    }
    m_avant = racine.filePath(nom);
    return {};
}

FileError Restauration::preparer()
{
    for (FileId id : fichiersRestaures()) {
        const TableDecl& table = tableOf(id);
        FileError e = copyRecordFile(fichierDeCopie(m_copie.repertoire, id), fichierPrepare(id));
        if (e.ok())
            e = rebuildRecordFileKeys(table, fichierPrepare(id), true);
        if (e.ok())
            e = checkRecordFile(table, fichierPrepare(id));
        if (!e.ok())
            return echecEtape(fichierDeCopie(m_copie.repertoire, id),
                              QStringLiteral("la copie de %1 n'a pas pu être reprise (%2).")
                                  .arg(fichierDeCopie(m_copie.repertoire, id), e.description()),
                              e);
    }
    QFile::remove(reprise());
    return {};
}

void Restauration::supprimerPrepares()
{
    for (FileId id : fichiersRestaures())
        (void)removeRecordFile(fichierPrepare(id));
    QFile::remove(reprise());
}

void Restauration::elaguerCopiesAvant() const
{
    QList<CopieRestaurable> copies = CopiesRestaurables(m_p);
    copies.removeIf([](const CopieRestaurable& c) { return !c.avant.isValid(); });
    for (qsizetype i = CopiesAvantRestaurationGardees; i < copies.size(); ++i)
        QDir(copies[i].repertoire).removeRecursively();
}

ResultatRestauration Restauration::melange(const RemplacementEnsemble::Resultat& e) const
{
    // The truth about each file: which are as before, which come from the copy, where the former ones are.
    ResultatRestauration r;
    r.etat = ResultatRestauration::Etat::Echec;
    r.copieAvant = m_avant;
    auto noms = [](const QStringList& chemins) {
        QStringList n;
        for (const QString& c : chemins)
            n << QFileInfo(c).fileName();
        return n.join(QStringLiteral(", "));
    };
    r.texte =
        QStringLiteral("  La restauration a échoué (%1) et les fichiers n'ont pas tous pu être remis.").arg(e.erreur);
    if (!e.anciens.isEmpty())
        r.texte += QStringLiteral(" Sont tels qu'avant la restauration: %1.").arg(noms(e.anciens));
    if (!e.nouveaux.isEmpty())
        r.texte += QStringLiteral(" Viennent de la copie: %1.").arg(noms(e.nouveaux));
    if (!e.absents.isEmpty())
        r.texte += QStringLiteral(" Manquent: %1.").arg(noms(e.absents));
    r.texte += QStringLiteral(" Les fichiers d'avant la restauration sont dans %1").arg(texteChemin(m_p, m_avant));
    if (!e.deplaces.isEmpty())
        r.texte += QStringLiteral(" et dans \\Kip\\Data (%1)").arg(noms(e.deplaces));
    r.texte += QStringLiteral(". Le prochain démarrage de Kip terminera ou annulera la restauration.");
    return r;
}

RemplacementEnsemble::Resultat Restauration::remplacerSurServeur(bool reprendre, const QString& cause,
                                                                 const QString& avant, const QString& apres)
{
    RemplacementEnsemble::Resultat r;
    r.issue = RemplacementEnsemble::Issue::Annule;
    // The punches archived since the copy go ahead of Origin00.txt first: should the tables not be replaced, the
    // next transfer finds them stored already and stores none twice; replaced, it stores them again.
    if (reprendre) {
        RemplacementEnsemble devant(m_p.dataDir, QStringLiteral("Restauration"), QStringLiteral("La restauration"),
                                    false);
        devant.placerDevant(m_p.origin(0), reprise());
        const RemplacementEnsemble::Resultat place = devant.executer();
        if (place.issue != RemplacementEnsemble::Issue::Termine) {
            supprimerPrepares();
            r.erreur = place.erreur;
            return r;
        }
    }
    etape(QStringLiteral("Remplacement des tables du serveur"));
    std::vector<FichierTable> fichiers;
    for (FileId id : fichiersRestaures())
        fichiers.push_back({&tableOf(id), fichierPrepare(id)});
    std::vector<CompteTable> comptes;
    const FileError e = remplacerTablesServeur(storeServer(), fichiers, m_attenteTables, &comptes);
    supprimerPrepares();
    if (!e.ok()) {
        r.erreur = e.code == Locked
                       ? QStringLiteral("les tables sont utilisées par un autre poste (%1)").arg(e.description())
                       : QStringLiteral("les tables n'ont pas pu être remplacées (%1)").arg(e.description());
        return r;
    }
    r.issue = RemplacementEnsemble::Issue::Termine;
    etape(QStringLiteral("Inscription au journal des corrections"));
    Database db(m_p.dataDir);
    Transaction t(db, {FileId::Journal});
    Journal entree;
    entree.CAUSE = cause;
    entree.AVANT = avant;
    entree.APRES = apres;
    FileError journal = ajouterAuJournal(t, entree);
    if (journal.ok())
        journal = t.commit();
    if (!journal.ok())
        r.erreur = QStringLiteral("le journal des corrections n'a pas pu être écrit (%1)").arg(journal.description());
    return r;
}

ResultatRestauration Restauration::executer()
{
    ResultatRestauration r = restaurer();
    r.reprise = m_reprise;
    return r;
}

ResultatRestauration Restauration::restaurer()
{
    const bool serveur = !storeServer().isEmpty();
    if (const FileError droits = DroitsAdministrateur(m_p.dataDir); !droits.ok())
        return refus(QStringLiteral("La restauration est refusée: %1.").arg(droits.description()));
    if (const FileError seul = seulSurLeServeur(); !seul.ok())
        return refus(QStringLiteral("La restauration est refusée: %1.").arg(seul.description()));
    const DescriptionSauvegarde description = DecrireSauvegarde(m_p, m_copie);
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
    etape(QStringLiteral("Copie des fichiers actuels dans %1").arg(RepertoireAvantRestauration(m_p)));
    if (const FileError e = garderFichiersActuels(); !e.ok())
        return echec(e.text);
    etape(QStringLiteral("Lecture de la copie de %1").arg(m_copie.chemin()));
    ResultatRestauration r;
    const PointagesDepuisSauvegarde depuis = PointagesArchivesDepuis(m_p.dataDir, m_copie.repertoire);
    FileError e = preparer();
    if (e.ok() && !depuis.lignes.isEmpty()) {
        if (const FileError ecriture = writeFileAtomically(reprise(), depuis.lignes); !ecriture.ok())
            e = echecEtape(reprise(), writeFailureText(ecriture) + QLatin1Char('.'), ecriture);
    }
    if (!e.ok()) {
        supprimerPrepares();
        elaguerCopiesAvant();
        return echec(e.text);
    }
    r.pointagesRepris = NombreLignes(depuis.lignes);

    const QString dateCopie = description.date.toString(QStringLiteral("dd/MM/yyyy HH:mm"));
    // The dated directory makes the entry unique: a start that finishes the restore writes it once.
    const QString cause = QString::fromUtf8(CauseJournal::Restauration) + QLatin1Char(' ') + m_copie.nom;
    const QString avant = QStringLiteral("fichiers remplacés conservés dans %1").arg(texteChemin(m_p, m_avant));
    const QString apres =
        QStringLiteral("copie de \\Kip\\%1 du %2: %3 employé(s), %4 ligne(s) de jour")
            .arg(m_copie.chemin(), dateCopie, NombreTexte(description.employes), NombreTexte(description.journees));
    RemplacementEnsemble::Resultat remplace;
    if (serveur) {
        remplace = remplacerSurServeur(!depuis.lignes.isEmpty(), cause, avant, apres);
        if (remplace.issue != RemplacementEnsemble::Issue::Termine) {
            elaguerCopiesAvant();
            return echec(remplace.erreur + QLatin1Char('.'));
        }
    } else {
        etape(QStringLiteral("Remplacement des fichiers"));
        RemplacementEnsemble ensemble(m_p.dataDir, QStringLiteral("Restauration"), QStringLiteral("La restauration"),
                                      true);
        for (FileId id : fichiersRestaures())
            ensemble.remplacer(m_p.file(id), fichierPrepare(id));
        if (!depuis.lignes.isEmpty())
            ensemble.placerDevant(m_p.origin(0), reprise());
        ensemble.journaliser(cause, avant, apres);
        remplace = ensemble.executer();
        if (remplace.issue != RemplacementEnsemble::Issue::Termine) {
            elaguerCopiesAvant();
            // Half replaced, the prepared files are what the next start needs to finish.
            if (remplace.issue == RemplacementEnsemble::Issue::Mixte)
                return melange(remplace);
            supprimerPrepares();
            return echec(remplace.erreur + QLatin1Char('.'));
        }

        etape(QStringLiteral("Reconstruction des index sur les fichiers"));
        // As the rebuild after an unclean end: a file still damaged is caught by its next open.
        for (const TableDecl* table : allTables())
            (void)rebuildRecordFileKeys(*table, QDir(m_p.dataDir).filePath(table->fileName), true);
    }

    etape(QStringLiteral("Fin de la restauration"));
    elaguerCopiesAvant();
    {
        Database db(m_p.dataDir);
        RecordFile<Parametre> parametres(db);
        Parametre par;
        if (parametres.open().ok() && parametres.first(par).ok())
            r.positionSommaire = par.POSITIONSOMMAIRE;
    }
    r.etat = ResultatRestauration::Etat::Faite;
    r.copieAvant = m_avant;
    r.texte = QStringLiteral("  La restauration a été réalisée depuis \\Kip\\%1 (copie du %2): %3 employé(s), %4 "
                             "ligne(s) de jour. Les fichiers remplacés sont conservés dans %5.")
                  .arg(m_copie.chemin(), dateCopie, NombreTexte(description.employes),
                       NombreTexte(description.journees), texteChemin(m_p, m_avant));
    if (r.pointagesRepris > 0)
        r.texte += QStringLiteral(" %1 pointage(s) transféré(s) depuis la copie seront repris au prochain démarrage.")
                       .arg(NombreTexte(r.pointagesRepris));
    if (!remplace.erreur.isEmpty())
        r.texte += QStringLiteral(" La restauration n'a pas pu être inscrite au journal des corrections: %1.")
                       .arg(remplace.erreur);
    return r;
}

} // namespace

ResultatRestauration Restaurer(const Paths& p, const CopieRestaurable& copie, const SuiviRestauration& suivi,
                               int attentePauseMs)
{
    return Restauration(p, copie, suivi, attentePauseMs).executer();
}

QString ResultatRestauration::texteComplet() const
{
    return reprise.isEmpty() ? texte : reprise + texte;
}

ResultatRestauration Restaurer(const Paths& p, SourceRestauration source, const SuiviRestauration& suivi,
                               int attentePauseMs)
{
    return Restaurer(p, CopieDe(p, source), suivi, attentePauseMs);
}

} // namespace kip
