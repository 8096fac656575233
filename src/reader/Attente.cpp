#include "Attente.h"

#include "data/TextFiles.h"

#include <QDir>

namespace kip {

namespace {

// A hand-over stopped by the test's hook, as a kill would stop it.
FileError arrete(int etape)
{
    return plainError(QStringLiteral("versement arrêté à l'étape %1").arg(etape));
}

} // namespace

Attente::Attente(const QString& dataDir)
    : m_attente(QDir(dataDir).filePath(nomAttente())), m_versement(QDir(dataDir).filePath(nomVersement())),
      m_nouvelle(QDir(dataDir).filePath(nomNouvelleOrigine()))
{
}

FileError Attente::reparer()
{
    if (fichierExiste(m_versement)) {
        if (fichierExiste(m_nouvelle)) {
            if (FileError r = annulerVersement(); !r.ok())
                return r;
        } else if (FileError r = supprimerDurablement(m_versement); !r.ok()) {
            return r;
        }
    } else if (FileError r = supprimerDurablement(m_nouvelle); !r.ok()) {
        return r;
    }
    const Result<QByteArray> contenu = lireFichier(m_attente);
    if (!contenu.ok())
        return contenu.error();
    // Only whole lines were acknowledged, each with its line end: what follows the last line end was cut short
    // by a crash, and goes.
    const qsizetype garde = contenu->lastIndexOf('\n') + 1;
    if (garde < contenu->size())
        if (FileError e = couperDurablement(m_attente, garde); !e.ok())
            return e;
    m_nombre = int(contenu->first(garde).count('\n'));
    return {};
}

FileError Attente::annulerVersement()
{
    if (FileError r = supprimerDurablement(m_nouvelle); !r.ok())
        return r;
    if (fichierExiste(m_attente)) {
        // Lines held after a hand-over that was cut short come after the ones it was handing over.
        const Result<QByteArray> suite = lireFichier(m_attente);
        if (!suite.ok())
            return suite.error();
        if (FileError e = ajouterDurablement(m_versement, *suite); !e.ok())
            return e;
    }
    return renommerDurablement(m_versement, m_attente);
}

FileError Attente::ajouter(const QByteArray& ligne)
{
    Q_ASSERT(ligne.size() == OriginLineLength);
    if (FileError r = ajouterDurablement(m_attente, ligne + "\r\n"); !r.ok())
        return r;
    ++m_nombre;
    return FileError{};
}

FileError Attente::verser(const QString& origine)
{
    if (m_nombre == 0)
        return FileError{};
    const Result<QByteArray> tenues = lireFichier(m_attente);
    if (!tenues.ok())
        return tenues.error();
    Result<QByteArray> lues = lireFichier(origine);
    if (!lues.ok())
        return lues.error();
    QByteArray& actuelles = *lues;
    // A raw file whose last line lacks its end would glue the first held line to it.
    if (!actuelles.isEmpty() && !actuelles.endsWith('\n'))
        actuelles += "\r\n";
    if (FileError r = ecrireDurablement(m_nouvelle, actuelles + *tenues, modeFichier(origine)); !r.ok())
        return r;
    if (arret(1))
        return arrete(1);
    if (FileError r = renommerDurablement(m_attente, m_versement); !r.ok()) {
        (void)supprimerDurablement(m_nouvelle);
        return r;
    }
    if (arret(2))
        return arrete(2);
    if (FileError r = renommerDurablement(m_nouvelle, origine); !r.ok()) {
        if (FileError annule = annulerVersement(); !annule.ok())
            return annule;
        return r;
    }
    m_nombre = 0;
    if (arret(3))
        return arrete(3);
    // The lines are in the raw file; a spool name left behind is removed by the next repair.
    (void)supprimerDurablement(m_versement);
    return FileError{};
}

} // namespace kip
