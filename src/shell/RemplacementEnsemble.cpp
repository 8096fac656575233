#include "RemplacementEnsemble.h"

#include "data/Database.h"
#include "data/FileAdmin.h"
#include "data/FileWriter.h"
#include "data/Files.h"
#include "data/Journal.h"
#include "data/Transaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace kip {

namespace {

const QString Extension = QStringLiteral(".ensemble");
const QString Ancien = QStringLiteral(".ancien");
const QString JournalSqlite = QStringLiteral("-journal");
constexpr int VersionMarque = 1;

QMutex g_mutex;
RemplacementEnsemble::Renommage g_renommage;

int renommer(const QString& de, const QString& vers)
{
    RemplacementEnsemble::Renommage r;
    {
        QMutexLocker lock(&g_mutex);
        r = g_renommage;
    }
    if (r)
        return r(de, vers);
    return std::rename(QFile::encodeName(de).constData(), QFile::encodeName(vers).constData());
}

// A rename is durable once its directory is.
void synchroniser(const QString& fichier)
{
    const int fd =
        ::open(QFile::encodeName(QFileInfo(fichier).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

bool existe(const QString& chemin)
{
    return QFileInfo::exists(chemin) || QFileInfo(chemin).isSymLink();
}

FileError echec(const QString& texte, const QString& chemin)
{
    FileError e = plainError(texte);
    e.path = chemin;
    return e;
}

// Moves de to vers when de is there; a file already at vers is replaced.
FileError deplacer(const QString& de, const QString& vers)
{
    if (!existe(de))
        return {};
    if (renommer(de, vers) != 0)
        return echec(QStringLiteral("%1 n'a pas pu être renommé en %2").arg(de, QFileInfo(vers).fileName()), de);
    synchroniser(vers);
    return {};
}

bool lireTout(const QString& chemin, QByteArray* contenu)
{
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    *contenu = f.readAll();
    return f.error() == QFileDevice::NoError;
}

} // namespace

RemplacementEnsemble::RemplacementEnsemble(const QString& dataDir, const QString& fichier, const QString& travail,
                                           bool donnees)
    : m_installDir(QFileInfo(dataDir).absolutePath()), m_fichier(fichier), m_travail(travail), m_donnees(donnees)
{
}

void RemplacementEnsemble::remplacer(const QString& cible, const QString& nouveau)
{
    m_elements.append({Element::Remplacer, cible, nouveau});
}

void RemplacementEnsemble::retirer(const QString& cible)
{
    m_elements.append({Element::Retirer, cible, {}});
}

void RemplacementEnsemble::placerDevant(const QString& cible, const QString& lignes)
{
    m_elements.append({Element::Devant, cible, lignes});
}

void RemplacementEnsemble::journaliser(const QString& cause, const QString& avant, const QString& apres)
{
    m_journal = {cause, avant, apres};
}

void RemplacementEnsemble::setRenommage(Renommage renommage)
{
    QMutexLocker lock(&g_mutex);
    g_renommage = std::move(renommage);
}

QString RemplacementEnsemble::marque() const
{
    return QDir(m_installDir).filePath(QStringLiteral("Data/") + m_fichier + Extension);
}

FileError RemplacementEnsemble::ecrireMarque() const
{
    // Paths are kept relative to the installation, tab-separated, one step a line.
    const QDir base(m_installDir);
    QString texte = QStringLiteral("ensemble\t%1\ntravail\t%2\ndonnees\t%3\n")
                        .arg(VersionMarque)
                        .arg(m_travail)
                        .arg(m_donnees ? 1 : 0);
    for (const Element& e : m_elements) {
        static const char* const genres[] = {"remplacer", "retirer", "devant"};
        texte += QStringLiteral("%1\t%2\t%3\t%4\n")
                     .arg(QLatin1String(genres[e.genre]), base.relativeFilePath(e.cible),
                          e.nouveau.isEmpty() ? QString() : base.relativeFilePath(e.nouveau),
                          existe(e.cible) ? QStringLiteral("1") : QStringLiteral("0"));
    }
    if (!m_journal.isEmpty())
        texte += QStringLiteral("journal\t") + m_journal.join(QLatin1Char('\t')).replace(u'\n', u' ') + u'\n';
    if (!writeFileAtomically(marque(), texte.toUtf8()).ok())
        return echec(QStringLiteral("le fichier %1 n'a pas pu être écrit").arg(marque()), marque());
    synchroniser(marque());
    return {};
}

bool RemplacementEnsemble::lire(const QString& marque, RemplacementEnsemble* e)
{
    QByteArray contenu;
    if (!lireTout(marque, &contenu))
        return false;
    const QDir base(e->m_installDir);
    bool entete = false;
    for (const QString& ligne : QString::fromUtf8(contenu).split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList champs = ligne.split(u'\t');
        const QString& cle = champs.first();
        auto chemin = [&](int i) {
            return champs.size() > i && !champs[i].isEmpty() ? base.filePath(champs[i]) : QString();
        };
        if (cle == QLatin1String("ensemble"))
            entete = champs.value(1).toInt() == VersionMarque;
        else if (cle == QLatin1String("travail"))
            e->m_travail = champs.value(1);
        else if (cle == QLatin1String("donnees"))
            e->m_donnees = champs.value(1) == QLatin1String("1");
        else if (cle == QLatin1String("remplacer") && champs.size() >= 4) {
            e->remplacer(chemin(1), chemin(2));
            e->m_elements.last().avait = champs[3] == QLatin1String("1");
        } else if (cle == QLatin1String("retirer") && champs.size() >= 2)
            e->retirer(chemin(1));
        else if (cle == QLatin1String("devant") && champs.size() >= 3)
            e->placerDevant(chemin(1), chemin(2));
        else if (cle == QLatin1String("journal") && champs.size() >= 4)
            e->m_journal = champs.mid(1, 3);
    }
    return entete;
}

bool RemplacementEnsemble::nouveauDisponible(const Element& e) const
{
    // The new version is either still beside the file, or already in its place (which the rename aside of
    // the former file came before).
    if (e.genre != Element::Remplacer || existe(e.nouveau))
        return true;
    // Without its new version beside it, the file holds it only if its former one went aside first (or there
    // was none): until the marker goes, every former file stays aside.
    return existe(e.cible) && (existe(e.cible + Ancien) || !e.avait);
}

FileError RemplacementEnsemble::avancer(const Element& e) const
{
    switch (e.genre) {
    case Element::Remplacer:
        if (!existe(e.nouveau))
            return {}; // already in place
        // A file at the name with its former version already aside can only be a leftover of another program.
        if (existe(e.cible + Ancien))
            (void)removeRecordFile(e.cible);
        else if (FileError r = deplacer(e.cible + JournalSqlite, e.cible + Ancien + JournalSqlite); !r.ok())
            return r;
        else if (r = deplacer(e.cible, e.cible + Ancien); !r.ok())
            return r;
        QFile::remove(e.cible + JournalSqlite);
        return deplacer(e.nouveau, e.cible);
    case Element::Retirer:
        return deplacer(e.cible, e.cible + Ancien);
    case Element::Devant: {
        QByteArray lignes, actuel;
        if (!existe(e.nouveau))
            return {};
        if (!lireTout(e.nouveau, &lignes) || (existe(e.cible) && !lireTout(e.cible, &actuel)))
            return echec(QStringLiteral("%1 n'a pas pu être lu").arg(e.cible), e.cible);
        // Written once: a start that finds the lines already ahead of the file leaves it.
        if (lignes.isEmpty() || actuel.startsWith(lignes))
            return {};
        if (!writeFileAtomically(e.cible, lignes + actuel).ok())
            return echec(QStringLiteral("%1 n'a pas pu être écrit").arg(e.cible), e.cible);
        return {};
    }
    }
    return {};
}

FileError RemplacementEnsemble::reculer(const Element& e) const
{
    // Renames only: the new versions stay beside their files until the whole former set is back, so that a
    // put-back that fails halfway can still be finished forward by the next start.
    if (e.genre == Element::Devant)
        return {};
    if (existe(e.cible + Ancien)) {
        (void)removeRecordFile(e.cible);
        if (FileError r = deplacer(e.cible + Ancien, e.cible); !r.ok())
            return r;
    }
    return deplacer(e.cible + Ancien + JournalSqlite, e.cible + JournalSqlite);
}

FileError RemplacementEnsemble::appliquerJournal() const
{
    if (m_journal.size() != 3)
        return {};
    const QString chemin = QDir(m_installDir).filePath(QStringLiteral("Data/") + tableOf(FileId::Journal).fileName);
    if (!QFileInfo::exists(chemin))
        if (FileError e = createRecordFile(tableOf(FileId::Journal), chemin); !e.ok())
            return e;
    Database db(QFileInfo(chemin).absolutePath());
    {
        // Written once: a start that finishes the set after the entry was made does not make it again.
        std::vector<Journal> entrees;
        if (FileError e = lireJournal(db, {}, entrees); !e.ok())
            return e;
        for (const Journal& j : entrees)
            if (j.CAUSE == m_journal[0] && j.AVANT == m_journal[1])
                return {};
    }
    Transaction t(db, {FileId::Journal});
    Journal entree;
    entree.CAUSE = m_journal[0];
    entree.AVANT = m_journal[1];
    entree.APRES = m_journal[2];
    FileError e = ajouterAuJournal(t, entree);
    if (e.ok())
        e = t.commit();
    return e;
}

RemplacementEnsemble::Resultat RemplacementEnsemble::etat(const QString& erreur) const
{
    Resultat r;
    r.issue = Issue::Mixte;
    r.erreur = erreur;
    for (const Element& e : m_elements) {
        if (e.genre == Element::Devant)
            continue;
        const bool aside = existe(e.cible + Ancien);
        if (aside)
            r.deplaces << e.cible + Ancien;
        if (e.genre == Element::Remplacer ? !existe(e.nouveau) : (!existe(e.cible) && aside))
            r.nouveaux << e.cible;
        else if (!aside || existe(e.cible))
            r.anciens << e.cible;
        else
            r.absents << e.cible; // its former version is aside, its new one not yet in place
    }
    return r;
}

RemplacementEnsemble::Resultat RemplacementEnsemble::terminer()
{
    for (const Element& e : m_elements)
        if (FileError r = avancer(e); !r.ok())
            return annuler(r.fileText);
    // The set is in place: what is left can only be finished.
    const FileError journal = appliquerJournal();
    // The marker goes first: until then the former files aside are what tells a file in its new version from
    // one whose new version was lost. What is left after a kill here is removed by the next start.
    if (!QFile::remove(marque()) && existe(marque()))
        return etat(QStringLiteral("le fichier %1 n'a pas pu être supprimé").arg(marque()));
    synchroniser(marque());
    for (const Element& e : m_elements) {
        if (e.genre == Element::Devant)
            QFile::remove(e.nouveau);
        else
            (void)removeRecordFile(e.cible + Ancien);
    }
    Resultat r;
    r.issue = Issue::Termine;
    if (!journal.ok())
        r.erreur = QStringLiteral("le journal des corrections n'a pas pu être écrit (%1)").arg(journal.description());
    return r;
}

RemplacementEnsemble::Resultat RemplacementEnsemble::annuler(const QString& erreur)
{
    for (auto it = m_elements.crbegin(); it != m_elements.crend(); ++it)
        if (FileError r = reculer(*it); !r.ok())
            return etat(erreur + QStringLiteral("; ") + r.fileText);
    if (!QFile::remove(marque()) && existe(marque()))
        return etat(erreur);
    synchroniser(marque());
    for (const Element& e : m_elements)
        if (e.genre != Element::Retirer)
            (void)removeRecordFile(e.nouveau);
    Resultat r;
    r.issue = Issue::Annule;
    r.erreur = erreur;
    return r;
}

RemplacementEnsemble::Resultat RemplacementEnsemble::executer()
{
    for (const Element& e : m_elements) {
        // Without a marker, a file aside is a leftover: the steps below must not take it for this set's.
        if (e.genre != Element::Devant)
            (void)removeRecordFile(e.cible + Ancien);
        if (e.genre == Element::Remplacer && !existe(e.nouveau)) {
            Resultat r;
            r.issue = Issue::Annule;
            r.erreur = QStringLiteral("%1 est absent").arg(e.nouveau);
            return r;
        }
    }
    if (FileError e = ecrireMarque(); !e.ok()) {
        QFile::remove(marque());
        Resultat r;
        r.issue = Issue::Annule;
        r.erreur = e.fileText;
        return r;
    }
    return terminer();
}

RemplacementEnsemble::Reprise RemplacementEnsemble::reprendre(const QString& dataDir)
{
    Reprise reprise;
    const QDir dir(dataDir);
    for (const QString& nom : dir.entryList({QStringLiteral("*") + Extension}, QDir::Files, QDir::Name)) {
        RemplacementEnsemble e(dataDir, nom.chopped(Extension.size()), QString(), true);
        if (!lire(dir.filePath(nom), &e)) {
            reprise.textes << QStringLiteral("Le fichier %1 est illisible: un travail interrompu n'a pas pu être "
                                             "repris.")
                                  .arg(dir.filePath(nom));
            reprise.donneesMelangees = true;
            continue;
        }
        bool complet = true;
        for (const Element& el : e.m_elements)
            complet = complet && e.nouveauDisponible(el);
        const Resultat r =
            complet ? e.terminer() : e.annuler(QStringLiteral("une partie des nouveaux fichiers manque"));
        switch (r.issue) {
        case Issue::Termine:
            reprise.textes << QStringLiteral("%1 interrompue a été terminée au démarrage: tous ses fichiers sont "
                                             "remplacés.")
                                  .arg(e.m_travail);
            break;
        case Issue::Annule:
            reprise.textes << QStringLiteral("%1 interrompue a été annulée au démarrage (%2): ses fichiers sont "
                                             "restés tels qu'ils étaient avant elle.")
                                  .arg(e.m_travail, r.erreur);
            break;
        case Issue::Mixte:
            reprise.textes << QStringLiteral("%1 interrompue n'a pu être ni terminée ni annulée (%2). Fichiers "
                                             "nouveaux: %3. Fichiers d'avant: %4.")
                                  .arg(e.m_travail, r.erreur, r.nouveaux.join(QStringLiteral(", ")),
                                       r.anciens.join(QStringLiteral(", ")));
            reprise.donneesMelangees = reprise.donneesMelangees || e.m_donnees;
            break;
        }
    }
    return reprise;
}

bool RemplacementEnsemble::donneesEnSuspens(const QString& dataDir)
{
    const QDir dir(dataDir);
    for (const QString& nom : dir.entryList({QStringLiteral("*") + Extension}, QDir::Files)) {
        RemplacementEnsemble e(dataDir, nom.chopped(Extension.size()), QString(), true);
        if (!lire(dir.filePath(nom), &e) || e.m_donnees)
            return true;
    }
    return false;
}

} // namespace kip
