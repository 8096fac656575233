// The journal of corrections, Journal.tps: one entry per change of a day line's user punches (the grid's
// save, the clear request, a restore) and of an employee (the form's insert, change and delete), written in
// the same transaction as the change it records, so that there is never a change without its entry nor an
// entry without its change. The journal is only ever appended to: nothing deletes or rewrites an entry.
#pragma once

#include "Database.h"
#include "Keys.h"
#include "Records.h"

#include <QDateTime>
#include <vector>

namespace kip {

class Transaction;

struct Journal : RecordMeta
{
    static constexpr const char* Label = "JOURNAL";
    static constexpr const char* FileName = "Journal.tps";
    static constexpr int Size = 2 * 4 + 12 + 32 + 2 + 10 + 20 + 15 + 4 + 2 * 1000 + 60;

    qint32 DATE = 0;     // when the change was made: day number
    qint32 HEURE = 0;    // and seconds after midnight
    QString PROGRAMME;   // STRING(12): "Kip", "kipother", "kiptool"
    QString UTILISATEUR; // STRING(32): the system user name
    qint16 CARTE = 0;    // the employee's card; 0 for a change of the whole data (a restore)
    QString MATRICULE;   // STRING(10)
    QString NOM;         // STRING(20)
    QString PRENOM;      // STRING(15)
    qint32 JOUR = 0;     // the day line's date; 0 when the entry is about the employee itself
    QString AVANT;       // STRING(1000): the values before the change
    QString APRES;       // STRING(1000): the values after it
    QString CAUSE;       // STRING(60): what made the change

    template <class V> void visit(V& v)
    {
        v.field("DATE", DATE);
        v.field("HEURE", HEURE);
        v.text("PROGRAMME", PROGRAMME, 12);
        v.text("UTILISATEUR", UTILISATEUR, 32);
        v.field("CARTE", CARTE);
        v.text("MATRICULE", MATRICULE, 10);
        v.text("NOM", NOM, 20);
        v.text("PRENOM", PRENOM, 15);
        v.field("JOUR", JOUR);
        v.text("AVANT", AVANT, 1000);
        v.text("APRES", APRES, 1000);
        v.text("CAUSE", CAUSE, 60);
    }
};

inline constexpr KeyDecl JOU_K_DATE{"K_DATE", "JOU:K_DATE", {"DATE", "HEURE"}, 2, false};
inline constexpr KeyDecl JOU_K_CARTE_JOUR{"K_CARTE_JOUR", "JOU:K_CARTE_JOUR", {"CARTE", "JOUR"}, 2, false};

template <> inline std::span<const KeyDecl> keysOf<Journal>()
{
    static constexpr KeyDecl keys[] = {JOU_K_DATE, JOU_K_CARTE_JOUR};
    return keys;
}

// What made a change, as the journal names it.
namespace CauseJournal {
inline const char* const AjoutEmploye = "Fiche employé: ajout";
inline const char* const ModificationEmploye = "Fiche employé: modification";
inline const char* const SuppressionEmploye = "Fiche employé: suppression";
inline const char* const CorrectionJournee = "Grille de correction: enregistrement";
inline const char* const EffacementJournee = "Grille de correction: effacement";
inline const char* const Restauration = "Restauration"; // followed by the source
inline const char* const SaisieAbsences = "Absences: saisie";
inline const char* const AnnulationAbsences = "Absences: annulation";
inline const char* const ImportAbsences = "Absences: import";
inline const char* const GrilleAbsences = "Grille de correction: absence";
inline const char* const TypesAbsence = "Types d'absence: modification";
inline const char* const HoraireEmploye = "Fiche employé: horaire prévu";
inline const char* const ReglagesAbsences = "Réglages des absences: modification";
inline const char* const SoldeDepart = "Soldes: solde de départ";
inline const char* const CreditSolde = "Soldes: crédit";
inline const char* const PurgeSoldes = "Purge: soldes reportés";
} // namespace CauseJournal

// An entry about an employee (JOUR 0) or one of its day lines, with the identity filled in.
Journal entreeJournal(const Personnel& employe, qint32 jour = 0);
Journal entreeJournal(const PointVal& journee);

// The values of a day line as the journal keeps them: the user punches in slot order, empty slots left
// out, then the day total ("8.00 12.00 13.30 17.30 = 8.00"). A punch after midnight keeps its mark ("+1.30").
QString texteJournee(const PunchLine& utilisateur, qint16 total);

// The fields in which two employee records differ, each as NAME=value ("NOM=MARTIN; DATE_EMBAUCHE=01/02/2026"),
// the values of a as *avant and those of b as *apres. With a null a (an insert) or b (a delete), every field of
// the other that is not blank.
void differencesEmploye(const Personnel* a, const Personnel* b, QString* avant, QString* apres);

// The program that writes the journal: the application's name unless set ("Kip", "kipother").
void setProgrammeJournal(const QString& nom);
QString programmeJournal();
// The system user name of this process.
QString utilisateurSysteme();

// Appends the entry inside a write transaction that holds JOURNAL, so that it commits or rolls back with the
// change it records. Fills in DATE, HEURE, PROGRAMME and UTILISATEUR (user@station on the server). The journal file must exist (the common
// open creates it: hold a FileUse(FileId::Journal) before starting the transaction).
FileError ajouterAuJournal(Transaction& t, Journal& entree);

// A journal read: the entries of the change dates debut to fin (both included; 0 leaves a side open) whose
// card lies between carteDebut and carteFin, oldest first. A journal not yet created reads as empty.
struct FiltreJournal
{
    qint32 debut = 0, fin = 0;
    qint16 carteDebut = 0, carteFin = 9999;
};
FileError lireJournal(Database& db, const FiltreJournal& filtre, std::vector<Journal>& entrees);

// The entries of one day line of one card, newest first.
FileError lireJournalJournee(Database& db, qint16 carte, qint32 jour, std::vector<Journal>& entrees);

// The date and time of an entry.
QDateTime momentJournal(const Journal& entree);

} // namespace kip
