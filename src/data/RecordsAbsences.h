// The record files of absences and planned hours, beside the five data files and the journal: the absence
// types, the absences themselves, each employee's planned hours from a date on, and one record of the
// settings that the settings record of Parametr.tps has no room for.
//
// They follow the rules of every record file (one table named after the label, a byte layout, keys as
// indexes), come after the journal in the lock order, and are in the backups and the restore.
#pragma once

#include "Keys.h"
#include "Records.h"

namespace kip {

constexpr int JoursParSemaine = 7;
// Planned minutes of each weekday, Monday first (index 0) to Sunday (index 6).
using MinutesSemaine = std::array<qint16, JoursParSemaine>;

// An absence type: CP, RTT, MAL... Its code is what the absence window shows and what an operator types.
struct TypeAbsence : RecordMeta
{
    static constexpr const char* Label = "TYPEABSENCE";
    static constexpr const char* FileName = "TypeAbs.tps";
    static constexpr int Size = 4 + 30 + 4 + 1 + 4;

    QString CODE;       // STRING(4), upper case letters
    QString LIBELLE;    // STRING(30)
    qint32 COULEUR = 0; // 0xRRGGBB
    quint8 CREDITE = 0; // a day of it counts as worked for the working-time account: its planned hours credited
    QString SOLDE;      // STRING(4): the balance it draws on ("CP", "RTT", "REC"), blank for none

    template <class V> void visit(V& v)
    {
        v.text("CODE", CODE, 4);
        v.text("LIBELLE", LIBELLE, 30);
        v.field("COULEUR", COULEUR);
        v.field("CREDITE", CREDITE);
        v.text("SOLDE", SOLDE, 4);
    }
};

// How much of its day an absence takes.
enum class PartieJour : quint8
{
    Journee = 0,
    Matin = 1,
    ApresMidi = 2,
    Heures = 3 // MINUTES of the day, whatever its half
};

// An absence of one card on one date: a whole day, a morning, an afternoon or a number of hours.
struct Absence : RecordMeta
{
    static constexpr const char* Label = "ABSENCE";
    static constexpr const char* FileName = "Absence.tps";
    static constexpr int Size = 2 + 4 + 1 + 2 + 4 + 60;

    qint16 CARTE = 0;
    qint32 DATE = 0;
    quint8 PARTIE = 0;   // PartieJour
    qint16 MINUTES = 0;  // for PartieJour::Heures only; 0 otherwise
    QString CODE;        // STRING(4): the type's code
    QString COMMENTAIRE; // STRING(60)

    PartieJour partie() const { return PartieJour(PARTIE); }

    template <class V> void visit(V& v)
    {
        v.field("CARTE", CARTE);
        v.field("DATE", DATE);
        v.field("PARTIE", PARTIE);
        v.field("MINUTES", MINUTES);
        v.text("CODE", CODE, 4);
        v.text("COMMENTAIRE", COMMENTAIRE, 60);
    }
};

// The planned hours of a card from DEBUT on, until the next record of the same card. DEBUT 0 means since always.
struct Horaire : RecordMeta
{
    static constexpr const char* Label = "HORAIRE";
    static constexpr const char* FileName = "Horaire.tps";
    static constexpr int Size = 2 + 4 + 2 * JoursParSemaine;

    qint16 CARTE = 0;
    qint32 DEBUT = 0;
    MinutesSemaine MINUTES{};

    template <class V> void visit(V& v)
    {
        v.field("CARTE", CARTE);
        v.field("DEBUT", DEBUT);
        v.array("MINUTES", MINUTES);
    }
};

// How paid leave is counted: jours ouvrables (Monday to Saturday) or jours ouvrés (Monday to Friday).
enum class DecompteConges : quint8
{
    Ouvrables = 0,
    Ouvres = 1
};

// The one record of the absence settings. A file without a record reads as the defaults (reglagesParDefaut).
struct ReglagesAbsences : RecordMeta
{
    static constexpr const char* Label = "REGLAGEABSENCE";
    static constexpr const char* FileName = "ReglAbs.tps";
    static constexpr int Size = 1 + 2 + 2 * JoursParSemaine + 1;

    quint8 ALSACE_MOSELLE = 0;       // Good Friday and 26 December are public holidays too
    qint16 MARGE_ATTENDU = 0;        // minutes past the usual first punch before an employee counts as expected
    MinutesSemaine HORAIRE_DEFAUT{}; // the planned hours given to a new employee
    quint8 DECOMPTE_CONGES = 0;      // DecompteConges

    template <class V> void visit(V& v)
    {
        v.field("ALSACE_MOSELLE", ALSACE_MOSELLE);
        v.field("MARGE_ATTENDU", MARGE_ATTENDU);
        v.array("HORAIRE_DEFAUT", HORAIRE_DEFAUT);
        v.field("DECOMPTE_CONGES", DECOMPTE_CONGES);
    }
};

// The accounts a balance is kept for: the working-time account in minutes, paid leave and RTT in hundredths of
// a day, recovery (REC) in minutes.
namespace CompteSolde {
inline const char* const Heures = "HEUR";
inline const char* const Conges = "CP";
inline const char* const Rtt = "RTT";
inline const char* const Recuperation = "REC";
} // namespace CompteSolde

// What a balance record does from its date on.
enum class NatureSolde : quint8
{
    Depart = 0, // the balance at DATE: what happened before it no longer counts (set by hand, or by the purge)
    Credit = 1  // days or hours added by hand to a balance (RTT, REC)
};

// A starting balance or a credit of one card's account. Each account counts from its latest starting balance
// (none: from the beginning, at zero); the credits from that date on add to it.
struct Solde : RecordMeta
{
    static constexpr const char* Label = "SOLDE";
    static constexpr const char* FileName = "Solde.tps";
    static constexpr int Size = 2 + 4 + 4 + 1 + 4 + 4 + 40;

    qint16 CARTE = 0;
    QString COMPTE; // STRING(4): CompteSolde
    qint32 DATE = 0;
    quint8 NATURE = 0;   // NatureSolde
    qint32 VALEUR = 0;   // minutes (HEUR, REC) or hundredths of a day (CP, RTT); CP: the previous periods' balance
    qint32 VALEUR2 = 0;  // CP: the days acquired in the period of DATE before it; 0 for the others
    QString COMMENTAIRE; // STRING(40)

    NatureSolde nature() const { return NatureSolde(NATURE); }

    template <class V> void visit(V& v)
    {
        v.field("CARTE", CARTE);
        v.text("COMPTE", COMPTE, 4);
        v.field("DATE", DATE);
        v.field("NATURE", NATURE);
        v.field("VALEUR", VALEUR);
        v.field("VALEUR2", VALEUR2);
        v.text("COMMENTAIRE", COMMENTAIRE, 40);
    }
};

inline constexpr KeyDecl TAB_K_CODE{"K_CODE", "TAB:K_CODE", {"CODE"}, 1, true};
// One absence per card, date and part: the rules of FichierAbsences keep a whole day alone on its date.
inline constexpr KeyDecl ABS_K_CARTE_DATE{"K_CARTE_DATE", "ABS:K_CARTE_DATE", {"CARTE", "DATE", "PARTIE"}, 3, true};
inline constexpr KeyDecl ABS_K_DATE_CARTE{"K_DATE_CARTE", "ABS:K_DATE_CARTE", {"DATE", "CARTE", "PARTIE"}, 3, true};
inline constexpr KeyDecl ABS_K_CODE{"K_CODE", "ABS:K_CODE", {"CODE"}, 1, false};
inline constexpr KeyDecl HOR_K_CARTE_DEBUT{"K_CARTE_DEBUT", "HOR:K_CARTE_DEBUT", {"CARTE", "DEBUT"}, 2, true};

inline constexpr KeyDecl SOL_K_CARTE_COMPTE{
    "K_CARTE_COMPTE", "SOL:K_CARTE_COMPTE", {"CARTE", "COMPTE", "DATE", "NATURE"}, 4, true};

template <> inline std::span<const KeyDecl> keysOf<Solde>()
{
    static constexpr KeyDecl keys[] = {SOL_K_CARTE_COMPTE};
    return keys;
}

template <> inline std::span<const KeyDecl> keysOf<TypeAbsence>()
{
    static constexpr KeyDecl keys[] = {TAB_K_CODE};
    return keys;
}

template <> inline std::span<const KeyDecl> keysOf<Absence>()
{
    static constexpr KeyDecl keys[] = {ABS_K_CARTE_DATE, ABS_K_DATE_CARTE, ABS_K_CODE};
    return keys;
}

template <> inline std::span<const KeyDecl> keysOf<Horaire>()
{
    static constexpr KeyDecl keys[] = {HOR_K_CARTE_DEBUT};
    return keys;
}

} // namespace kip
