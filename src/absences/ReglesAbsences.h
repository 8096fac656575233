// The rules of absences, without a file: the usual French types, what a type and an absence must be, which
// parts of a day two absences share, what setting or clearing an absence does to the others of its date, the
// minutes an absence takes from the planned hours, and the text that the journal and the files show.
#pragma once

#include "calendar/HeureTexte.h"
#include "data/RecordsAbsences.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace kip {

inline constexpr int LongueurCode = 4;
inline const char* const CodeFerie = "JF"; // public holidays are shown under this code without being entered

// The types delivered with the system: CP, RTT, REC, MAL, AT, FOR, ABS, JF.
std::vector<TypeAbsence> TypesParDefaut();

// The balances a type may draw on.
QStringList SoldesPossibles(); // "", "CP", "RTT", "REC"

// Why a type cannot be stored ("Le code doit avoir 1 à 4 lettres."), empty when it can.
QString ErreurType(const TypeAbsence& type);
// Why a list of types cannot be stored as a whole (a type in error, or a code twice), empty when it can.
QString ErreurTypes(const std::vector<TypeAbsence>& types);

// The type of the code (any case) among the types, or nullptr.
const TypeAbsence* TypeDuCode(const std::vector<TypeAbsence>& types, QStringView code);

// The parts of the day that an absence takes: a whole day takes both halves and the hours; a morning and an
// afternoon take their half; hours take the hours slot alone, so that hours may sit beside a half day.
bool Chevauchent(PartieJour a, PartieJour b);

// "journée", "matin", "après-midi", "heures".
QString NomPartie(PartieJour partie);
// The part of its name (any case, accents optional: "apres-midi"), or nothing.
std::optional<PartieJour> PartieDuNom(QStringView nom);

// Why the absence cannot be stored (unknown type, bad part, hours out of 0.01 to 24.00), empty when it can.
QString ErreurAbsence(const Absence& absence, const std::vector<TypeAbsence>& types);

// The absences of one card on one date, in the order of their parts.
struct JourAbsences
{
    qint16 carte = 0;
    qint32 date = 0;
    std::vector<Absence> absences;

    // Sets the absence: those of the date that share a part with it go.
    void poser(const Absence& absence);
    // Clears the part: a whole day clears everything, a half day or the hours clear what shares that part.
    void effacer(PartieJour partie);
    const Absence* partie(PartieJour p) const;
    bool vide() const { return absences.empty(); }
    // The same absences (codes, parts, minutes and comments), whatever their positions.
    bool memesAbsences(const JourAbsences& autre) const;
};

// Why the absences of a date cannot be together (two that share a part, a card or date that is not theirs),
// empty when they can.
QString ErreurJour(const JourAbsences& jour, const std::vector<TypeAbsence>& types);

// The minutes of planned hours that the absence covers: the day's for a whole day, half of them for a half
// day (the morning takes the odd minute), its own minutes for hours.
qint32 MinutesAbsence(const Absence& absence, qint32 minutesPrevues);

// "CP journée", "MAL matin", "REC 2.30", with the comment after a dash; "(aucune)" for no absence.
QString TexteAbsence(const Absence& absence);
QString TexteJourAbsences(const JourAbsences& jour);

// The short text of a day's absences, as the correction grid shows and reads it beside the day total: each
// absence as its code, followed by M for a morning, AM for an afternoon or its hours (2.30), the absences
// separated by a slash: "CP", "RTT M/MAL AM", "REC 1.30". Empty for no absence.
QString TexteCourtJour(const JourAbsences& jour);
// Reads such a text (any case, blanks allowed) into the day's absences; the reason when it cannot be read.
// The comments of the absences already on that day (ancien) are kept for the parts they keep.
std::optional<JourAbsences> LireTexteCourtJour(const QString& texte, const JourAbsences& ancien,
                                               const std::vector<TypeAbsence>& types, QString* erreur);

} // namespace kip
