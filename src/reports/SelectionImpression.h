// The choices of the report selection without its window: the period and its bounds by the report's code,
// the sort mode and the three employee ranges with their texts, and the parameters they give a report.
// The selection window and kiptool both go through it, so that a period is bounded the same way in both.
#pragma once

#include "ParametresEdition.h"
#include "calendar/Dates.h"
#include "data/Records.h"

#include <QString>

namespace kip {

struct DefinitionEdition;

class SelectionImpression
{
public:
    // The period proposed: Monday to Sunday of the week that holds today - 7.
    explicit SelectionImpression(qint32 aujourdhui);

    // The report chosen in the list: sets the period mode by its code and bounds the period.
    void choisirEdition(const QString& code);
    const QString& code() const { return m_code; }
    // 'S' weeks, 'D' dates, blank until a report with a period is chosen.
    QChar modePeriode() const { return m_modePeriode; }
    void choisirModePeriode(QChar mode) { m_modePeriode = mode; }

    // The week and date pickers: the other end follows the report's bounds; an end before the start is
    // exchanged with it (except for a single week).
    void choisirSemaineDebut(Semaine semaine);
    void choisirSemaineFin(Semaine semaine);
    void choisirDateDebut(qint32 date);
    void choisirDateFin(qint32 date);
    // Both ends at once (kiptool): exchanged when the end comes first; the code's bounds then apply as when
    // the report is chosen.
    void definirPeriode(qint32 debut, qint32 fin);

    qint32 dateDebut() const { return m_dateDebut; }
    qint32 dateFin() const { return m_dateFin; }
    Semaine semaineDebut() const { return m_semaineDebut; }
    Semaine semaineFin() const { return m_semaineFin; }
    // "Sem.: 12/2005"
    QString texteSemaineDebut() const { return texteSemaine(m_semaineDebut); }
    QString texteSemaineFin() const { return texteSemaine(m_semaineFin); }
    static QString texteSemaine(Semaine s);

    Tri tri() const { return m_tri; }
    void choisirTri(Tri tri) { m_tri = tri; }

    // The ranges at opening: the first and the last employee in the order of each key.
    struct Bornes
    {
        Personnel premier, dernier;
    };
    void initialiserEmployes(const Bornes& parCarte, const Bornes& parNom, const Bornes& parMatricule);

    // The ends of each range, from an employee record; a start after its end is exchanged with it, texts
    // included.
    void choisirCarteDebut(const Personnel& p);
    void choisirCarteFin(const Personnel& p);
    void choisirNomDebut(const Personnel& p);
    void choisirNomFin(const Personnel& p);
    void choisirMatriculeDebut(const Personnel& p);
    void choisirMatriculeFin(const Personnel& p);

    qint16 carteDebut() const { return m_carteDebut; }
    qint16 carteFin() const { return m_carteFin; }
    const QString& nomDebut() const { return m_nomDebut; }
    const QString& nomFin() const { return m_nomFin; }
    const QString& matriculeDebut() const { return m_matriculeDebut; }
    const QString& matriculeFin() const { return m_matriculeFin; }
    // The six range texts (52 characters).
    const QString& texteCarteDebut() const { return m_texteCarteDebut; }
    const QString& texteCarteFin() const { return m_texteCarteFin; }
    const QString& texteNomDebut() const { return m_texteNomDebut; }
    const QString& texteNomFin() const { return m_texteNomFin; }
    const QString& texteMatriculeDebut() const { return m_texteMatriculeDebut; }
    const QString& texteMatriculeFin() const { return m_texteMatriculeFin; }

    static QString texteParCarte(const Personnel& p);
    static QString texteParNom(const Personnel& p);
    static QString texteParMatricule(const Personnel& p);

    ParametresEdition parametres(const DefinitionEdition& edition, bool centiemes) const;

private:
    void borner();
    void echangerSiInverse();

    QString m_code;
    QChar m_modePeriode = QLatin1Char(' ');
    qint32 m_dateDebut = 0;
    qint32 m_dateFin = 0;
    Semaine m_semaineDebut;
    Semaine m_semaineFin;
    Tri m_tri = Tri::Numero;
    qint16 m_carteDebut = 0, m_carteFin = 0;
    QString m_nomDebut, m_nomFin, m_matriculeDebut, m_matriculeFin;
    QString m_texteCarteDebut, m_texteCarteFin, m_texteNomDebut, m_texteNomFin, m_texteMatriculeDebut,
        m_texteMatriculeFin;
};

} // namespace kip
