// The reading of the day lines of a report: every line of the period within the range of the sort mode,
// inactive ones included, in the report's order:
//   'N': card, then date;
//   'A': name, first name, card, then date;
//   'M': matricule, card, then date.
// The card after the name or matricule keeps apart two employees who share one, so that each forms one
// group with its own totals.
//
// The lines are found through the keys, employee by employee: for each card (name, matricule) of the range
// that has day lines, the lines of the period are read from the key that starts with it. The cost grows
// with the employees and the lines printed, not with the years of history in the file. The reading of the
// whole file in key order, filtered line by line, gives the same lines in the same order; it is kept to
// check the first against.
#pragma once

#include "ParametresEdition.h"
#include "data/Database.h"
#include "data/DayLineReads.h"
#include "data/RecordFile.h"
#include "data/Records.h"

#include <functional>
#include <optional>

namespace kip {

class LectureJournees
{
public:
    enum class Mode
    {
        ParEmploye,    // through the keys, employee by employee
        FichierComplet // the whole file in key order, each line filtered
    };

    LectureJournees(Database& db, const ParametresEdition& parametres, Mode mode = Mode::ParEmploye);
    ~LectureJournees();
    LectureJournees(const LectureJournees&) = delete;
    LectureJournees& operator=(const LectureJournees&) = delete;

    // The number of records the reading will go through; the progress of the run is measured against it.
    FileError compter(qint64& total);
    // The number of lines the reading will give: those of the period and the range, and of them only the
    // active ones unless inactive lines are asked for too. Inside the reading's transaction, it is the
    // number of lines that suivante() then gives.
    FileError compterLignes(qint64& total, bool avecInactives);
    // The next line: NoError, EndOfFile after the last, or the error that ended the reading.
    // `lus` counts the records read so far, the lines passed over by the filter included.
    FileError suivante(PointVal& ligne);
    qint64 lus() const { return m_lus; }
    // Called after each record read, the ones the filter passes over included.
    void suivreLecture(std::function<void()> lu) { m_lu = std::move(lu); }

    // Whether a line lies in the period and in the range of the sort mode (inactive or not).
    static bool dansLaSelection(const PointVal& ligne, const ParametresEdition& p);

private:
    FileError compterDansLaSelection(qint64& total, bool activesSeules);
    FileError suivanteParEmploye(PointVal& ligne);
    FileError suivanteFichierComplet(PointVal& ligne);
    FileError groupeSuivant(bool& trouve);
    FileError lireLigne(Cursor<PointVal>& lignes, PointVal& ligne, bool& trouvee);

    Database& m_db;
    ParametresEdition m_p;
    Mode m_mode;
    LineSelection m_selection;
    qint64 m_lus = 0;
    bool m_premierGroupe = true;
    bool m_fini = false;
    // The employee in hand: its card, or its name and first name, or its matricule.
    PointVal m_cle;
    std::optional<Cursor<PointVal>> m_groupe; // the lines of the employee in hand
    std::optional<Cursor<PointVal>> m_tout;   // FichierComplet: the whole file
    std::function<void()> m_lu;
};

// Text comparison as the keys compare texts: letters A to Z without regard to case, every other character
// by its code.
int comparerCle(QStringView a, QStringView b);

} // namespace kip
