#include "SaisiePersonnel.h"

#include "CurseurAttente.h"
#include "ExempleVue.h"
#include "HorairePrevuFiche.h"
#include "calendar/Clock.h"
#include "calendar/HeureTexte.h"
#include "calendar/windows/CalendrierJour.h"
#include "data/Messages.h"
#include "employees/FichierPersonnel.h"
#include "employees/PreparationEmploye.h"
#include "punch/CodesArrondi.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Evenements.h"
#include "shell/windows/NomsFenetres.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>

namespace kip {

namespace {

SaisiePersonnel::ChoixDate& choixDate()
{
    static SaisiePersonnel::ChoixDate choix = [](qint32& date, QWidget* parent) {
        return CalendrierJour::choisir(date, parent);
    };
    return choix;
}

} // namespace

void SaisiePersonnel::setChoixDate(ChoixDate choix)
{
    choixDate() =
        choix ? std::move(choix) : [](qint32& date, QWidget* parent) { return CalendrierJour::choisir(date, parent); };
}

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

QString SaisiePersonnel::avis() const
{
    return m_avis->isVisible() || !m_avis->text().isEmpty() ? m_avis->text() : QString();
}

void SaisiePersonnel::choisirArrondiCote(Cote cote, int index)
{
    const bool entree = cote == Cote::Entree;
    const QComboBox* liste = entree ? m_arrondiEntree : m_arrondiSortie;
    if (index < 0 || index >= liste->count())
        return;
    choisirArrondi(m_fiche, cote, liste->itemData(index).toString());
    (entree ? m_bornes.entree : m_bornes.sortie) = bornesArrondi(liste->itemData(index).toString());
    const BornesArrondi& b = entree ? m_bornes.entree : m_bornes.sortie;
    QSpinBox* tolerance = entree ? m_toleranceEntree : m_toleranceSortie;
    QSpinBox* decalage = entree ? m_decalageEntree : m_decalageSortie;
    const QSignalBlocker b1(tolerance), b2(decalage);
    tolerance->setMaximum(b.tolerance);
    decalage->setMaximum(b.decalage);
    tolerance->setValue(entree ? m_fiche.TOLERANCE_ENTREE : m_fiche.TOLERANCE_SORTIE);
    decalage->setValue(entree ? m_fiche.DECALAGE_ENTREE : m_fiche.DECALAGE_SORTIE);
    montrerExemple(cote);
}

void SaisiePersonnel::carteAcceptee()
{
    matriculeParDefautSiVide();
}

void SaisiePersonnel::matriculeParDefautSiVide()
{
    if (m_requete != Requete::Insertion)
        return;
    const QString matricule = matriculeApresCarte(m_fiche.MATRICULE, m_matriculeFait, m_fiche.CARTE);
    if (matricule == m_fiche.MATRICULE)
        return;
    m_fiche.MATRICULE = m_matriculeFait = matricule;
    m_matricule->setText(m_fiche.MATRICULE);
}

bool SaisiePersonnel::accepterDuree(QLineEdit* champ)
{
    const bool minuit = champ == m_decalageMinuit;
    const DureeLue lu = lireDuree(champ->text(), minuit ? DecalageMinuitMax : ExtensionMax);
    if (!lu.valide) {
        // The field keeps its value; the text stays for the user to correct.
        refuser(
            {minuit ? Champ::DecalageMinuit : Champ::Extension,
             (minuit ? QStringLiteral("Décalage minuit : ") : QStringLiteral("Extension de journée : ")) + lu.raison});
        return false;
    }
    (minuit ? m_fiche.DECALAGE_MINUIT : m_fiche.EXTENSION) = lu.minutes;
    champ->setText(HeureTexte(lu.minutes).trimmed());
    // Only this field's own refusal goes: the focus leaving this field may be the one going back to a field
    // just refused, whose reason must stay in sight.
    effacerAvis(minuit ? Champ::DecalageMinuit : Champ::Extension);
    return true;
}

void SaisiePersonnel::effacerAvis(Champ champ)
{
    if (champ != Champ::Aucun && champ != m_champAvis)
        return;
    m_champAvis = Champ::Aucun;
    m_avis->clear();
    m_avis->hide();
}

void SaisiePersonnel::refuser(const Refus& refus)
{
    m_champAvis = refus.champ;
    m_avis->setText(refus.raison);
    m_avis->show();
    QWidget* champ = controle(refus.champ);
    if (!champ)
        return;
    // After the event that refused the value, so that a focus change under way does not take the focus back.
    QTimer::singleShot(0, champ, [champ] {
        champ->setFocus(Qt::OtherFocusReason);
        if (auto* e = qobject_cast<QLineEdit*>(champ))
            e->selectAll();
    });
}

void SaisiePersonnel::choisirDate(QLineEdit* champ)
{
    const bool emploi = champ == m_premierJour || champ == m_dernierJour;
    qint32* cible = champ == m_premierJour       ? &m_fiche.DATE_EMBAUCHE
                    : champ == m_dernierJour     ? &m_fiche.DATE_DEBAUCHE
                    : champ == m_debutInactivite ? &m_debutPeriode
                                                 : &m_finPeriode;
    qint32 date = *cible;
    if (!choixDate()(date, this))
        return;
    *cible = date;
    if (emploi) {
        ordonnerDates(m_fiche.DATE_EMBAUCHE, m_fiche.DATE_DEBAUCHE);
        m_datesChangees = true;
    } else {
        ordonnerDates(m_debutPeriode, m_finPeriode);
    }
    montrerDates();
}

void SaisiePersonnel::ajouterPeriodeChoisie()
{
    const Periode nouvelle{m_debutPeriode, m_finPeriode};
    ajouterPeriode(m_periodes, nouvelle);
    m_datesChangees = true;
    montrerPeriodes();
    const int ligne = int(m_periodes.indexOf(nouvelle));
    if (ligne >= 0)
        m_debuts->setCurrentRow(ligne);
}

void SaisiePersonnel::supprimerPeriodeChoisie()
{
    const int ligne = m_debuts->currentRow();
    if (ligne < 0 || ligne >= m_periodes.size())
        return;
    m_periodes.removeAt(ligne);
    m_datesChangees = true;
    montrerPeriodes();
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
    {
        QString raison;
        QWidget* champ = nullptr;
        if (!m_horaire->verifier(&raison, &champ)) {
            m_avis->setText(raison);
            m_avis->show();
            champ->setFocus();
            return;
        }
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
    connect(m_tache, &TachePreparation::terminee, this, [this](const QString& erreur) {
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

void SaisiePersonnel::boutonSommaire(int evenement)
{
    if (evenement == evt::Bouton1Formulaire)
        accepter();
    else if (evenement == evt::Bouton13)
        annuler();
}

void SaisiePersonnel::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto* bouton = qobject_cast<QAbstractButton*>(focusWidget()))
            bouton->click();
        else
            accepter();
        return;
    case Qt::Key_Escape:
        annuler();
        return;
    default:
        FenetreTravail::keyPressEvent(event);
    }
}

bool SaisiePersonnel::eventFilter(QObject* objet, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        if (objet == m_matricule)
            matriculeParDefautSiVide();
        if (objet == m_decalageMinuit || objet == m_extension) {
            auto* e = static_cast<QLineEdit*>(objet);
            // After the click that gave the focus, which would otherwise place the cursor.
            QTimer::singleShot(0, e, [e] { e->selectAll(); });
        }
    }
    return FenetreTravail::eventFilter(objet, event);
}

} // namespace kip

#include "moc_SaisiePersonnel.cpp"
