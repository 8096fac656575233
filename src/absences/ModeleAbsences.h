// What the absence window shows and does, without a widget: employees as rows (in one of the list's orders,
// within a range of cards), the days of a period as columns, and in each cell the day's absences, whether it
// is a week-end or a public holiday, its planned minutes and whether its day line holds punches. An edit
// (a code over a selection of cells, a clear) gives the days as they will be; the window saves them with
// enregistrer(), which keeps what they were for an undo.
#pragma once

#include "FichierAbsences.h"
#include "HorairesPrevus.h"
#include "calendar/JoursFeries.h"
#include "data/EmployeeReads.h"

#include <unordered_map>
#include <unordered_set>

namespace kip {

inline constexpr int JoursMaxAbsences = 62; // the longest period the window shows: two months

struct ChoixAbsences
{
    qint32 debut = 0, fin = 0; // both included
    EmployeeKey ordre = EmployeeKey::Name;
    qint16 carteDebut = 1, carteFin = 9999;
};

// The period of a month: its first and last days.
ChoixAbsences MoisDe(qint32 date, EmployeeKey ordre = EmployeeKey::Name);

// A cell of the window: an employee's row and a day's column.
struct CaseAbsence
{
    int ligne = 0, colonne = 0;
    friend bool operator==(const CaseAbsence&, const CaseAbsence&) = default;
};

class ModeleAbsences
{
public:
    // Reads the employees of the choice, the types, the planned hours, the absences of the period and the days
    // that hold punches, in one read transaction. The period is cut to JoursMaxAbsences days.
    static Result<ModeleAbsences> charger(Database& db, ChoixAbsences choix);

    const ChoixAbsences& choix() const { return m_choix; }
    int lignes() const { return int(m_employes.size()); }
    int colonnes() const { return m_choix.fin - m_choix.debut + 1; }
    const Personnel& employe(int ligne) const { return m_employes[size_t(ligne)]; }
    const std::vector<Personnel>& employes() const { return m_employes; }
    qint32 date(int colonne) const { return m_choix.debut + colonne; }
    bool finDeSemaine(int colonne) const;
    const JourFerie* ferie(int colonne) const;
    const std::vector<TypeAbsence>& types() const { return m_types; }
    const TypeAbsence* type(QStringView code) const { return TypeDuCode(m_types, code); }
    const ReglagesAbsences& reglages() const { return m_reglages; }
    const HorairesPrevus& horaires() const { return m_horaires; }

    JourAbsences jour(int ligne, int colonne) const;
    bool pointe(int ligne, int colonne) const;
    qint32 minutesPrevues(int ligne, int colonne) const;
    bool enActivite(int ligne, int colonne) const;
    // What the cell's tip says: the date, the planned hours, the absences, the holiday, the punches.
    QString infobulle(int ligne, int colonne) const;
    // The row of a card, -1 when it is not shown.
    int ligneDe(qint16 carte) const;

    // The days as they would be with the absence set on each cell (a whole day, a half day or hours).
    std::vector<JourAbsences> poser(const std::vector<CaseAbsence>& cases, const Absence& modele) const;
    // The days as they would be with the part cleared on each cell.
    std::vector<JourAbsences> effacer(const std::vector<CaseAbsence>& cases, PartieJour partie) const;

    // Saves the days as a whole, journalled under the cause; what they were goes on the undo stack (unless the
    // save is itself an undo). The cells show the new days once saved.
    FileError enregistrer(Database& db, const std::vector<JourAbsences>& jours, const QString& cause);
    bool peutAnnuler() const { return !m_annulations.empty(); }
    // Puts back the days of the last save.
    FileError annuler(Database& db);

    // Takes the days as they now are (after a change made elsewhere, the grid's for instance).
    void remplacer(const std::vector<JourAbsences>& jours);

private:
    static quint64 cle(qint16 carte, qint32 date) { return (quint64(quint16(carte)) << 32) | quint32(date); }

    ChoixAbsences m_choix;
    std::vector<Personnel> m_employes;
    std::vector<TypeAbsence> m_types;
    ReglagesAbsences m_reglages;
    HorairesPrevus m_horaires;
    std::unordered_map<quint64, std::vector<Absence>> m_absences;
    std::unordered_set<quint64> m_pointes;
    std::vector<std::vector<JourAbsences>> m_annulations;
    IdentiteCartes m_identites;
};

} // namespace kip
