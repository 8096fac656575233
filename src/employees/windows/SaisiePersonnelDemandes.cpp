// What the employee form asks and receives: the rounding chosen on each side with its bounds, the card and its
// default matricule, the durations typed (refused with the reason), the dates through the picker, the
// inactivity periods added and removed, the keys and the bar's buttons.
#include "SaisiePersonnel.h"
#include "calendar/HeureTexte.h"
#include "data/Messages.h"
#include "punch/CodesArrondi.h"
#include "shell/windows/Evenements.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>

namespace kip {

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
    const std::optional<qint32> date = askDate(*cible, this);
    if (!date)
        return;
    *cible = *date;
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
