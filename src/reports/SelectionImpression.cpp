// The report selection's rules.
#include "SelectionImpression.h"

#include "Editions.h"
#include "LectureJournees.h"
#include "data/Cp1252.h"

#include <utility>

namespace kip {

namespace {

constexpr qint32 CinqSemainesMoinsUnJour = 34;
constexpr qint32 TrenteEtUnJoursMoinsUn = 30;
constexpr qint32 UneSemaineMoinsUnJour = 6;
constexpr int LongueurTexteEtendue = 52;

bool avant(Semaine a, Semaine b)
{
    return a.annee < b.annee || (a.annee == b.annee && a.numero < b.numero);
}

QString carte4(qint16 carte)
{
    return QStringLiteral("%1").arg(carte, 4, 10, QLatin1Char('0'));
}

// Blank parts (an employee without a matricule) leave no space at either end.
QString borne(const QString& texte)
{
    return texte.trimmed().left(LongueurTexteEtendue);
}

} // namespace

SelectionImpression::SelectionImpression(qint32 aujourdhui)
{
    const qint32 reference = aujourdhui - 7;
    const LundiEtDimanche semaine = LundiDimanche(reference);
    m_dateDebut = semaine.lundi;
    m_dateFin = semaine.dimanche;
    m_semaineDebut = m_semaineFin = NumeroSemaine(reference);
}

QString SelectionImpression::texteSemaine(Semaine s)
{
    return QStringLiteral("Sem.: %1/%2").arg(s.numero).arg(s.annee);
}

void SelectionImpression::choisirEdition(const QString& code)
{
    m_code = code;
    if (code == code::CinqSemaines || code == code::UneSemaine || code == code::Libre)
        m_modePeriode = QLatin1Char('S');
    else if (code == code::TrenteEtUnJours)
        m_modePeriode = QLatin1Char('D');
    else
        m_modePeriode = QLatin1Char(' ');
    borner();
}

void SelectionImpression::borner()
{
    if (m_code == code::CinqSemaines) {
        m_dateDebut = DatesDeSemaine(m_semaineDebut.numero, m_semaineDebut.annee).lundi;
        m_dateFin = DatesDeSemaine(m_semaineFin.numero, m_semaineFin.annee).dimanche;
        if (m_dateFin > m_dateDebut + CinqSemainesMoinsUnJour) {
            m_dateFin = m_dateDebut + CinqSemainesMoinsUnJour;
            m_semaineFin = NumeroSemaine(m_dateFin);
        }
    } else if (m_code == code::UneSemaine) {
        // The one week is the start week, Monday to Sunday, whatever dates were chosen before.
        m_semaineFin = m_semaineDebut;
        m_dateDebut = DatesDeSemaine(m_semaineDebut.numero, m_semaineDebut.annee).lundi;
        m_dateFin = m_dateDebut + UneSemaineMoinsUnJour;
    } else if (m_code == code::TrenteEtUnJours) {
        if (m_dateFin > m_dateDebut + TrenteEtUnJoursMoinsUn) {
            m_dateFin = m_dateDebut + TrenteEtUnJoursMoinsUn;
            m_semaineFin = NumeroSemaine(m_dateFin);
        }
    }
}

void SelectionImpression::echangerSiInverse()
{
    if (m_code != code::UneSemaine && avant(m_semaineFin, m_semaineDebut))
        std::swap(m_semaineDebut, m_semaineFin);
}

void SelectionImpression::choisirSemaineDebut(Semaine semaine)
{
    m_semaineDebut = semaine;
    echangerSiInverse();
    m_dateDebut = DatesDeSemaine(m_semaineDebut.numero, m_semaineDebut.annee).lundi;
    m_dateFin = DatesDeSemaine(m_semaineFin.numero, m_semaineFin.annee).dimanche;
    if (m_code == code::CinqSemaines && m_dateFin > m_dateDebut + CinqSemainesMoinsUnJour) {
        m_dateFin = m_dateDebut + CinqSemainesMoinsUnJour;
        m_semaineFin = NumeroSemaine(m_dateFin);
    } else if (m_code == code::UneSemaine) {
        m_semaineFin = m_semaineDebut;
        m_dateFin = m_dateDebut + UneSemaineMoinsUnJour;
    }
}

void SelectionImpression::choisirSemaineFin(Semaine semaine)
{
    m_semaineFin = semaine;
    echangerSiInverse();
    m_dateDebut = DatesDeSemaine(m_semaineDebut.numero, m_semaineDebut.annee).lundi;
    m_dateFin = DatesDeSemaine(m_semaineFin.numero, m_semaineFin.annee).dimanche;
    if (m_code == code::CinqSemaines && m_dateFin > m_dateDebut + CinqSemainesMoinsUnJour) {
        m_dateDebut = m_dateFin - CinqSemainesMoinsUnJour;
        m_semaineDebut = NumeroSemaine(m_dateDebut);
    } else if (m_code == code::UneSemaine) {
        m_semaineDebut = m_semaineFin;
        m_dateDebut = m_dateFin - UneSemaineMoinsUnJour;
    }
}

void SelectionImpression::choisirDateDebut(qint32 date)
{
    m_dateDebut = date;
    m_semaineDebut = NumeroSemaine(date);
    if (m_dateFin < m_dateDebut) {
        std::swap(m_dateDebut, m_dateFin);
        std::swap(m_semaineDebut, m_semaineFin);
    }
    if (m_code == code::TrenteEtUnJours && m_dateFin > m_dateDebut + TrenteEtUnJoursMoinsUn) {
        m_dateFin = m_dateDebut + TrenteEtUnJoursMoinsUn;
        m_semaineFin = NumeroSemaine(m_dateFin);
    }
}

void SelectionImpression::choisirDateFin(qint32 date)
{
    m_dateFin = date;
    m_semaineFin = NumeroSemaine(date);
    if (m_dateFin < m_dateDebut) {
        std::swap(m_dateDebut, m_dateFin);
        std::swap(m_semaineDebut, m_semaineFin);
    }
    if (m_code == code::TrenteEtUnJours && m_dateFin > m_dateDebut + TrenteEtUnJoursMoinsUn) {
        m_dateDebut = m_dateFin - TrenteEtUnJoursMoinsUn;
        m_semaineDebut = NumeroSemaine(m_dateDebut);
    }
}

void SelectionImpression::definirPeriode(qint32 debut, qint32 fin)
{
    if (fin < debut)
        std::swap(debut, fin);
    m_dateDebut = debut;
    m_dateFin = fin;
    m_semaineDebut = NumeroSemaine(debut);
    m_semaineFin = NumeroSemaine(fin);
    borner();
}

QString SelectionImpression::texteParCarte(const Personnel& p)
{
    return borne(carte4(p.CARTE) + u' ' + p.NOM.trimmed() + u' ' + p.PRENOM.trimmed() + u' ' + p.MATRICULE);
}

QString SelectionImpression::texteParNom(const Personnel& p)
{
    return borne(p.NOM.trimmed() + u' ' + p.PRENOM.trimmed() + u' ' + carte4(p.CARTE) + u' ' + p.MATRICULE);
}

QString SelectionImpression::texteParMatricule(const Personnel& p)
{
    return borne(p.MATRICULE.trimmed() + u' ' + p.NOM.trimmed() + u' ' + p.PRENOM.trimmed() + u' ' + carte4(p.CARTE));
}

void SelectionImpression::initialiserEmployes(const Bornes& parCarte, const Bornes& parNom, const Bornes& parMatricule)
{
    m_carteDebut = parCarte.premier.CARTE;
    m_carteFin = parCarte.dernier.CARTE;
    m_texteCarteDebut = texteParCarte(parCarte.premier);
    m_texteCarteFin = texteParCarte(parCarte.dernier);
    m_nomDebut = clipField(parNom.premier.NOM, 20);
    m_nomFin = clipField(parNom.dernier.NOM, 20);
    m_texteNomDebut = texteParNom(parNom.premier);
    m_texteNomFin = texteParNom(parNom.dernier);
    m_matriculeDebut = clipField(parMatricule.premier.MATRICULE, 10);
    m_matriculeFin = clipField(parMatricule.dernier.MATRICULE, 10);
    m_texteMatriculeDebut = texteParMatricule(parMatricule.premier);
    m_texteMatriculeFin = texteParMatricule(parMatricule.dernier);
}

void SelectionImpression::choisirCarteDebut(const Personnel& p)
{
    m_carteDebut = p.CARTE;
    m_texteCarteDebut = texteParCarte(p);
    if (m_carteFin < m_carteDebut) {
        std::swap(m_carteDebut, m_carteFin);
        std::swap(m_texteCarteDebut, m_texteCarteFin);
    }
}

void SelectionImpression::choisirCarteFin(const Personnel& p)
{
    m_carteFin = p.CARTE;
    m_texteCarteFin = texteParCarte(p);
    if (m_carteFin < m_carteDebut) {
        std::swap(m_carteDebut, m_carteFin);
        std::swap(m_texteCarteDebut, m_texteCarteFin);
    }
}

void SelectionImpression::choisirNomDebut(const Personnel& p)
{
    m_nomDebut = clipField(p.NOM, 20);
    m_texteNomDebut = texteParNom(p);
    if (comparerCle(m_nomDebut, m_nomFin) > 0) {
        std::swap(m_nomDebut, m_nomFin);
        std::swap(m_texteNomDebut, m_texteNomFin);
    }
}

void SelectionImpression::choisirNomFin(const Personnel& p)
{
    m_nomFin = clipField(p.NOM, 20);
    m_texteNomFin = texteParNom(p);
    if (comparerCle(m_nomDebut, m_nomFin) > 0) {
        std::swap(m_nomDebut, m_nomFin);
        std::swap(m_texteNomDebut, m_texteNomFin);
    }
}

void SelectionImpression::choisirMatriculeDebut(const Personnel& p)
{
    m_matriculeDebut = clipField(p.MATRICULE, 10);
    m_texteMatriculeDebut = texteParMatricule(p);
    if (comparerCle(m_matriculeDebut, m_matriculeFin) > 0) {
        std::swap(m_matriculeDebut, m_matriculeFin);
        std::swap(m_texteMatriculeDebut, m_texteMatriculeFin);
    }
}

void SelectionImpression::choisirMatriculeFin(const Personnel& p)
{
    m_matriculeFin = clipField(p.MATRICULE, 10);
    m_texteMatriculeFin = texteParMatricule(p);
    if (comparerCle(m_matriculeDebut, m_matriculeFin) > 0) {
        std::swap(m_matriculeDebut, m_matriculeFin);
        std::swap(m_texteMatriculeDebut, m_texteMatriculeFin);
    }
}

ParametresEdition SelectionImpression::parametres(const DefinitionEdition& edition, bool centiemes) const
{
    ParametresEdition p;
    // The employee list is given neither a title nor dates.
    if (edition.avecPeriode())
        p.NOMEDITION = edition.NOMEDITION;
    p.tri = m_tri;
    p.nomDebut = m_nomDebut;
    p.nomFin = m_nomFin;
    p.matriculeDebut = m_matriculeDebut;
    p.matriculeFin = m_matriculeFin;
    p.carteDebut = m_carteDebut;
    p.carteFin = m_carteFin;
    if (edition.avecPeriode()) {
        p.dateDebut = m_dateDebut;
        p.dateFin = m_dateFin;
    }
    p.centiemes = centiemes;
    return p;
}

} // namespace kip
