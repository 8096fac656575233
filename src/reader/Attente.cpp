#include "Attente.h"

#include "data/TextFiles.h"

#include <QDir>

namespace kip {

Attente::Attente(const QString& dataDir)
    : m_attente(QDir(dataDir).filePath(nomAttente())), m_versement(QDir(dataDir).filePath(nomVersement())),
      m_nouvelle(QDir(dataDir).filePath(nomNouvelleOrigine()))
{
}

Resultat Attente::reparer()
{
    if (fichierExiste(m_versement)) {
        if (fichierExiste(m_nouvelle)) {
            if (Resultat r = annulerVersement(); !r.ok())
                return r;
        } else if (Resultat r = supprimerDurablement(m_versement); !r.ok()) {
            return r;
        }
    } else if (Resultat r = supprimerDurablement(m_nouvelle); !r.ok()) {
        return r;
    }
    QByteArray contenu;
    QString erreur;
    if (!lireFichier(m_attente, &contenu, &erreur))
        return Resultat::echec(erreur);
    // Only whole lines were acknowledged; a line cut short by a crash is the tail, and goes.
    qsizetype garde = contenu.size() - contenu.size() % TailleLigne;
    while (garde > 0 && contenu.sliced(garde - 2, 2) != "\r\n")
        garde -= TailleLigne;
    if (garde < contenu.size())
        if (Resultat r = couperDurablement(m_attente, garde); !r.ok())
            return r;
    m_nombre = int(garde / TailleLigne);
    return Resultat::reussi();
}

Resultat Attente::annulerVersement()
{
    if (Resultat r = supprimerDurablement(m_nouvelle); !r.ok())
        return r;
    if (fichierExiste(m_attente)) {
        // Lines held after a hand-over that was cut short come after the ones it was handing over.
        QByteArray suite;
        QString erreur;
        if (!lireFichier(m_attente, &suite, &erreur))
            return Resultat::echec(erreur);
        if (Resultat r = ajouterDurablement(m_versement, suite); !r.ok())
            return r;
    }
    return renommerDurablement(m_versement, m_attente);
}

Resultat Attente::ajouter(const QByteArray& ligne)
{
    Q_ASSERT(ligne.size() == OriginLineLength);
    if (Resultat r = ajouterDurablement(m_attente, ligne + "\r\n"); !r.ok())
        return r;
    ++m_nombre;
    return Resultat::reussi();
}

Resultat Attente::verser(const QString& origine)
{
    if (m_nombre == 0)
        return Resultat::reussi();
    QByteArray tenues;
    QByteArray actuelles;
    QString erreur;
    if (!lireFichier(m_attente, &tenues, &erreur) || !lireFichier(origine, &actuelles, &erreur))
        return Resultat::echec(erreur);
    // A raw file whose last line lacks its end would glue the first held line to it.
    if (!actuelles.isEmpty() && !actuelles.endsWith('\n'))
        actuelles += "\r\n";
    if (Resultat r = ecrireDurablement(m_nouvelle, actuelles + tenues, modeFichier(origine)); !r.ok())
        return r;
    if (arret(1))
        return Resultat::echec(QStringLiteral("versement arrêté à l'étape 1"));
    if (Resultat r = renommerDurablement(m_attente, m_versement); !r.ok()) {
        (void)supprimerDurablement(m_nouvelle);
        return r;
    }
    if (arret(2))
        return Resultat::echec(QStringLiteral("versement arrêté à l'étape 2"));
    if (Resultat r = renommerDurablement(m_nouvelle, origine); !r.ok()) {
        if (Resultat annule = annulerVersement(); !annule.ok())
            return Resultat::echec(r.erreur + QStringLiteral("; ") + annule.erreur);
        return r;
    }
    m_nombre = 0;
    if (arret(3))
        return Resultat::echec(QStringLiteral("versement arrêté à l'étape 3"));
    // The lines are in the raw file; a spool name left behind is removed by the next repair.
    (void)supprimerDurablement(m_versement);
    return Resultat::reussi();
}

} // namespace kip
