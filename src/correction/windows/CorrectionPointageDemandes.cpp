// What the correction grid asks and receives: the keys in and between its cells, the bar's buttons, the check
// of a cell the operator leaves, the week picker and the help box.
#include "AbsencesGrille.h"
#include "CorrectionPointage.h"
#include "correction/PasseSauvegarde.h"
#include "data/Messages.h"
#include "shell/windows/Evenements.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

namespace kip {

bool CorrectionPointage::quitterCellule()
{
    if (m_retour || m_grille.jour(m_jour).cache)
        return true;
    BlocJour& b = m_jours[size_t(m_jour)];
    QLineEdit* e = b.cellules[size_t(m_colonne)];
    if (e->text() == b.acceptes[size_t(m_colonne)])
        return true;
    const int jour = m_jour;
    const GrilleSemaine::Saisie s = m_grille.saisir(jour, m_colonne, e->text());
    if (s.etat == GrilleSemaine::Saisie::Acceptee) {
        const QString texte = m_grille.jour(jour).utilisateur[size_t(m_colonne)];
        e->setText(texte);
        b.acceptes[size_t(m_colonne)] = texte;
        afficherTotaux();
        return true;
    }
    // Beep, and the faulty cell again with its text selected, once the focus change under way is over.
    QApplication::beep();
    m_jour = jour;
    m_colonne = s.colonne;
    QLineEdit* faute = cellule(jour, s.colonne);
    m_retour = true;
    QTimer::singleShot(0, this, [this, faute] {
        m_retour = false;
        faute->setFocus(Qt::OtherFocusReason);
        faute->selectAll();
    });
    return false;
}

void CorrectionPointage::choisirSemaine()
{
    if (!passer())
        return;
    const std::optional<Semaine> semaine = askWeek(m_grille.semaine(), this);
    if (!semaine)
        return;
    m_grille.charger(m_grille.employe(), DatesDeSemaine(semaine->numero, semaine->annee).lundi, {});
    if (charger())
        curseurPremierJour();
}

void CorrectionPointage::aide()
{
    showBox(QString::fromUtf8(texte::TitreAide), QString::fromUtf8(texte::Aide), MessageIcon::Information, ButtonOk,
            ButtonOk);
}

void CorrectionPointage::boutonSommaire(int evenement)
{
    switch (evenement - evt::BoutonListe) {
    case 1:
        sauver();
        return;
    case 2:
        employeVoisin(OrdrePersonnel::Carte, Direction::Forward);
        return;
    case 3:
        employeVoisin(OrdrePersonnel::Carte, Direction::Backward);
        return;
    case 4:
        employeVoisin(OrdrePersonnel::Nom, Direction::Forward);
        return;
    case 5:
        employeVoisin(OrdrePersonnel::Nom, Direction::Backward);
        return;
    case 6:
        semaineVoisine(1);
        return;
    case 7:
        semaineVoisine(-1);
        return;
    case 8:
        journal();
        return;
    default:
        break;
    }
    if (evenement == evt::Bouton13)
        annuler();
}

QLineEdit* CorrectionPointage::absenceJour(int jour) const
{
    return m_absences->champ(jour);
}

bool CorrectionPointage::touche(QKeyEvent* e, bool dansCellule)
{
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    switch (e->key()) {
    case Qt::Key_PageUp:
        if (ctrl)
            semaineVoisine(1);
        else
            employeVoisin(OrdrePersonnel::Carte, Direction::Forward);
        return true;
    case Qt::Key_PageDown:
        if (ctrl)
            semaineVoisine(-1);
        else
            employeVoisin(OrdrePersonnel::Carte, Direction::Backward);
        return true;
    case Qt::Key_F2:
        sauver();
        return true;
    case Qt::Key_F3:
        journal();
        return true;
    case Qt::Key_F4:
        m_absences->champ(m_jour)->setFocus();
        m_absences->champ(m_jour)->selectAll();
        return true;
    default:
        break;
    }
    if (!dansCellule)
        return false;
    switch (e->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (quitterCellule())
            allerA(m_grille.jourVoisin(m_jour, e->key() == Qt::Key_Up ? -1 : 1), m_colonne);
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (quitterCellule())
            allerA(m_jour, GrilleSemaine::colonneVoisine(m_colonne, e->key() == Qt::Key_Left ? -1 : 1));
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_grille.unJourAffiche() && quitterCellule())
            focusNextChild();
        return true;
    default:
        return false;
    }
}

bool CorrectionPointage::eventFilter(QObject* objet, QEvent* event)
{
    int jour = 0, colonne = 0;
    const bool dansCellule = trouverCellule(objet, jour, colonne);
    switch (event->type()) {
    case QEvent::KeyPress:
        if (dansCellule) {
            // A key in a cell other than the cursor's (a test, a click without focus) starts from that cell.
            m_jour = jour;
            m_colonne = colonne;
        }
        if (touche(static_cast<QKeyEvent*>(event), dansCellule))
            return true;
        break;
    case QEvent::FocusIn:
        if (dansCellule && !m_retour) {
            m_jour = jour;
            m_colonne = colonne;
            auto* e = cellule(jour, colonne);
            QTimer::singleShot(0, e, [e] { e->selectAll(); });
        }
        break;
    case QEvent::FocusOut:
        if (dansCellule && jour == m_jour && colonne == m_colonne)
            quitterCellule();
        break;
    default:
        break;
    }
    return FenetreTravail::eventFilter(objet, event);
}

} // namespace kip
