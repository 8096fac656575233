// The employee form and what it does: it opens on the record in hand (or a new one), stores it after every
// check (the change with its cascade, the journal entry), prepares the day lines of a new or changed employee on
// a worker, and closes with its response.
#include "SaisiePersonnel.h"

#include "HorairePrevuFiche.h"
#include "calendar/Clock.h"
#include "data/Messages.h"
#include "employees/FichierPersonnel.h"
#include "employees/PreparationEmploye.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/CurseurAttente.h"
#include "shell/windows/NomsFenetres.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

namespace kip {

SaisiePersonnel::SaisiePersonnel(Cadre& cadre, Requete requete, const Personnel& employe)
    : FenetreTravail(cadre, nom::SaisiePersonnel), m_requete(requete), m_usageParametre(FileId::Parametre),
      m_usagePersonnel(FileId::Personnel), m_usageJournees(FileId::PointVal), m_db(paths().dataDir)
{
    construire();
    m_ouverte = ouvrirFiche(employe);
    if (m_ouverte) {
        remplir();
        // The planned hours are an aid beside the form: unreadable, they are left out of it.
        (void)m_horaire->charger(m_db, m_fiche, m_requete == Requete::Insertion);
    }
}

SaisiePersonnel::~SaisiePersonnel()
{
    // A preparation still running is waited for: the day lines are written whole or not at all.
    delete m_tache;
    if (m_occupee)
        QApplication::restoreOverrideCursor();
    terminer(m_reponse);
}

FenetreTravail* SaisiePersonnel::ouvrir(Cadre& cadre)
{
    const Requete demande = requete();
    const Personnel employe = employeEnCours();
    setReponse(Reponse::Annulee);
    if (demande == Requete::Suppression) {
        FileUse parametre(FileId::Parametre);
        FileUse personnel(FileId::Personnel);
        FileUse journees(FileId::PointVal);
        Database db(paths().dataDir);
        Parametre par;
        if (lireParametre(db, par))
            setReponse(supprimerEmploye(db, employe, attenteCurseur()));
        return nullptr;
    }
    if (demande != Requete::Insertion && demande != Requete::Modification)
        return nullptr;
    auto* fenetre = new SaisiePersonnel(cadre, demande, employe);
    if (fenetre->ouverte())
        return fenetre;
    fenetre->close();
    return nullptr;
}

bool SaisiePersonnel::ouvrirFiche(const Personnel& employe)
{
    Parametre parametre;
    if (!lireParametre(m_db, parametre))
        return false;
    const qint32 aujourdhui = Clock::today();
    m_fiche = m_requete == Requete::Insertion ? nouvelEmploye(aujourdhui) : employe;
    m_copie = m_fiche;
    m_liens = LinkValues::of(m_fiche);
    m_periodes = periodesDe(m_fiche);
    m_debutPeriode = aujourdhui;
    m_finPeriode = aujourdhui + 1;
    return true;
}

void SaisiePersonnel::accepter()
{
    if (!m_ouverte || m_occupee)
        return;
    effacerAvis(Champ::Aucun);
    // The time texts as typed: a refused one keeps the field's previous value and stops the OK.
    if (!accepterDuree(m_decalageMinuit) || !accepterDuree(m_extension))
        return;
    if (m_requete == Requete::Insertion)
        matriculeParDefautSiVide();
    if (const Refus r = verifierFiche(m_fiche, m_bornes); !r.accepte()) {
        refuser(r);
        return;
    }
    if (const auto erreur = m_horaire->verifier()) {
        m_avis->setText(erreur->raison);
        m_avis->show();
        erreur->champ->setFocus();
        return;
    }
    if (m_requete == Requete::Insertion || m_datesChangees)
        rangerPeriodes(m_fiche, m_periodes);
    if (m_requete == Requete::Insertion) {
        bool ajoute = false;
        {
            CurseurAttente attente;
            ajoute = ajouterEmploye(m_db, m_fiche);
        }
        if (!ajoute) {
            m_carte->setFocus();
            return;
        }
        m_reponse = Reponse::Complete;
        enregistrerHoraire();
        preparerJournees();
        return;
    }
    switch (modifierEmploye(m_db, m_fiche, m_copie, m_liens, attenteCurseur())) {
    case IssueModification::Enregistree:
        m_reponse = Reponse::Complete;
        enregistrerHoraire();
        if (m_datesChangees)
            preparerJournees();
        else
            close();
        return;
    case IssueModification::Inchangee:
        m_reponse = Reponse::Complete;
        enregistrerHoraire();
        close();
        return;
    case IssueModification::ModifieeAilleurs:
        // The employee as the other station stored it, to be edited again.
        m_periodes = periodesDe(m_fiche);
        m_datesChangees = false;
        remplir();
        m_carte->setFocus();
        return;
    case IssueModification::Abandonnee:
        m_reponse = Reponse::Annulee;
        close();
        return;
    case IssueModification::Gardee:
        return;
    }
}

void SaisiePersonnel::enregistrerHoraire()
{
    // The employee is written: planned hours that cannot be are said, and can be set again from the form.
    if (const FileError e = m_horaire->enregistrer(m_db, m_fiche); !e.ok())
        showBox(QStringLiteral("Heures prévues"),
                QStringLiteral("L'employé est enregistré, mais ses heures prévues n'ont pas pu l'être:\n%1")
                    .arg(e.text.isEmpty() ? e.description() : e.text),
                MessageIcon::Exclamation);
}

void SaisiePersonnel::annuler()
{
    if (m_occupee)
        return;
    m_reponse = Reponse::Annulee;
    close();
}

void SaisiePersonnel::preparerJournees()
{
    m_occupee = true;
    m_contenu->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_tache = new TachePreparation;
    connect(m_tache, &Tache::terminee, this, [this] {
        const QString erreur = m_tache->resultat();
        QApplication::restoreOverrideCursor();
        m_occupee = false;
        if (!erreur.isEmpty())
            cadre().afficherStatut(QStringLiteral("Préparation des journées de l'employé interrompue: ") + erreur);
        Q_EMIT preparationTerminee(erreur);
        close();
    });
    m_tache->lancer(paths().dataDir, m_fiche, Clock::today());
}

void SaisiePersonnel::terminer(Reponse reponse)
{
    setReponse(reponse);
    if (reponse == Reponse::Complete)
        setEmployeEnCours(m_fiche);
}

void SaisiePersonnel::closeEvent(QCloseEvent* event)
{
    terminer(m_reponse);
    FenetreTravail::closeEvent(event);
}

} // namespace kip

#include "moc_SaisiePersonnel.cpp"
