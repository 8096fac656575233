// What the report selection asks: the report (a row of the list), the time unit, the period (weeks or dates,
// through the pickers), the order and the employee ranges, and the printer's page set-up.
#include "CaseCouleur.h"
#include "Impression.h"
#include "ModelesImpression.h"
#include "data/Messages.h"
#include "reports/Editions.h"

#include <QComboBox>
#include <QPushButton>
#include <QTableView>

namespace kip {

namespace {
using Etat = CaseCouleur::Etat;
} // namespace

int Impression::ligneCourante() const
{
    const QModelIndex i = m_liste->currentIndex();
    return i.isValid() ? i.row() + 1 : 0;
}

void Impression::choisirLigne(int ligne)
{
    m_liste->setCurrentIndex(m_editions->index(ligne - 1, 0));
}

void Impression::ligneChangee(int ligne)
{
    for (CaseCouleur* c : {m_selSemaines, m_selDates, m_heuresMinutes, m_heuresCentiemes}) {
        c->setEtat(Etat::Gris);
        c->setEnabled(false);
    }
    m_groupeSemaines->setEnabled(false);
    m_groupeDates->setEnabled(false);
    m_selection.choisirModePeriode(QLatin1Char(' '));
    m_boutonExporter->setEnabled(genreExport(ligne).has_value());
    const DefinitionEdition* def = definitionEdition(ligne);
    if (!def)
        return;
    const QString& code = def->CONTROLEEDITION;
    m_selection.choisirEdition(code);
    if (code == code::CinqSemaines || code == code::UneSemaine) {
        m_selSemaines->setEtat(Etat::Actif);
        m_groupeSemaines->setEnabled(true);
    } else if (code == code::TrenteEtUnJours) {
        m_selDates->setEtat(Etat::Actif);
        m_groupeDates->setEnabled(true);
    } else if (code == code::Libre) {
        m_selSemaines->setEtat(Etat::Actif);
        m_selDates->setEtat(Etat::Inactif);
        m_selSemaines->setEnabled(true);
        m_selDates->setEnabled(true);
        m_groupeSemaines->setEnabled(true);
        m_groupeDates->setEnabled(true);
    }
    if (def->avecPeriode()) {
        m_heuresMinutes->setEnabled(true);
        m_heuresCentiemes->setEnabled(true);
        peindreUnites();
    }
    rafraichirPeriode();
}

void Impression::choisirUnite(bool centiemes)
{
    if (!m_heuresMinutes->isEnabled())
        return;
    setEditionCentiemes(centiemes);
    peindreUnites();
}

void Impression::choisirModePeriode(QChar mode)
{
    if (m_selection.code() != code::Libre)
        return;
    m_selection.choisirModePeriode(mode);
    const bool semaines = mode == QLatin1Char('S');
    m_selSemaines->setEtat(semaines ? Etat::Actif : Etat::Inactif);
    m_selDates->setEtat(semaines ? Etat::Inactif : Etat::Actif);
    m_groupeSemaines->setEnabled(semaines);
    m_groupeDates->setEnabled(!semaines);
}

void Impression::choisirTri(Tri tri)
{
    m_selection.choisirTri(tri);
    for (Tri t : {Tri::Numero, Tri::Nom, Tri::Matricule}) {
        liste(t).selecteur->setEtat(t == tri ? Etat::Actif : Etat::Inactif);
        liste(t).groupe->setEnabled(t == tri);
    }
}

void Impression::semaineDebut()
{
    if (const std::optional<Semaine> s = askWeek(m_selection.semaineDebut(), this)) {
        m_selection.choisirSemaineDebut(*s);
        rafraichirPeriode();
    }
}

void Impression::semaineFin()
{
    if (const std::optional<Semaine> s = askWeek(m_selection.semaineFin(), this)) {
        m_selection.choisirSemaineFin(*s);
        rafraichirPeriode();
    }
}

void Impression::dateDebut()
{
    if (const std::optional<qint32> d = askDate(m_selection.dateDebut(), this)) {
        m_selection.choisirDateDebut(*d);
        rafraichirPeriode();
    }
}

void Impression::dateFin()
{
    if (const std::optional<qint32> d = askDate(m_selection.dateFin(), this)) {
        m_selection.choisirDateFin(*d);
        rafraichirPeriode();
    }
}

void Impression::employeChoisi(Tri tri, bool fin, int ligne)
{
    const Liste& l = liste(tri);
    if (ligne < 0 || ligne >= l.modele->rowCount())
        return;
    const Personnel& p = l.modele->employe(ligne);
    switch (tri) {
    case Tri::Numero:
        fin ? m_selection.choisirCarteFin(p) : m_selection.choisirCarteDebut(p);
        break;
    case Tri::Nom:
        fin ? m_selection.choisirNomFin(p) : m_selection.choisirNomDebut(p);
        break;
    case Tri::Matricule:
        fin ? m_selection.choisirMatriculeFin(p) : m_selection.choisirMatriculeDebut(p);
        break;
    }
    rafraichirEmployes();
}

void Impression::configurer()
{
    if (!editionEnCours() && configurerImprimante)
        configurerImprimante();
}

} // namespace kip
