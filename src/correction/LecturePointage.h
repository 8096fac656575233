// The day lines of the punch list, read by key range in one of its four orders: only the lines between the
// two dates and the two cards, never an inactive one, and of those only the ones that pass the attendance
// filter (the user punches against the employee's theoretical number of punches, the employee read once per
// run of lines of the same card). Only the rows asked for are read.
//
// The two orders led by the date read their key's index from a key value on. The two led by the employee
// (card, or name and first name) go from employee to employee, each read within the date range by its key:
// a narrow range over a long history costs two seeks per employee, not a walk over every line.
#pragma once

#include "data/Database.h"
#include "data/DayLineReads.h"
#include "data/RecordFile.h"
#include "data/Records.h"
#include "lists/PageLignes.h"

#include <QChar>
#include <vector>

namespace kip {

// The four orders, numbered as the list's tabs and the bar's order buttons.
enum class OrdrePointage : int
{
    DateCarte = 1, // "Par Date et Carte", POV:K_DATE_CARTE
    CarteDate = 2, // "Par Carte et Date", POV:K_CARTE_DATE
    DateNom = 3,   // "Par Date et Nom/Prénom", POV:K_DATE_NOM
    NomDate = 4    // "Par Nom/Prénom et Date", POV:K_NOM_DATE
};

// The attendance filter, one of six codes.
enum class Presence : int
{
    Tous,           // T: every line
    Presence,       // P: at least one punch
    Absence,        // A: no punch
    PairsEgal,      // =: complete pairs = N / 2, an even number of punches
    PairsDifferent, // ~: at least one complete pair, pairs != N / 2, an even number of punches
    Impairs         // I: an odd number of punches
};
QChar codePresence(Presence presence);

// Whether a user line (slots 1 to 14) passes the filter for an employee of N = nombre punches a day.
bool passePresence(Presence presence, const PunchLine& utilisateur, int nombre);

// The range of the list: dates and cards, both bounds included, and the attendance filter.
struct PlagePointage
{
    qint32 dateDebut = 0;
    qint32 dateFin = 0;
    qint16 carteDebut = 0;
    qint16 carteFin = 0;
    Presence presence = Presence::Tous;
};

class LecturePointage : public SourceLignes<PointVal>
{
public:
    LecturePointage(Database& db, OrdrePointage ordre, const PlagePointage& plage);

    OrdrePointage ordre() const { return m_ordre; }
    const PlagePointage& plage() const { return m_plage; }

    // Checks that the order's reads can be made (the view of the list); the error otherwise.
    FileError verifier();

    FileError voisins(const PointVal& ancre, Direction sens, int n, std::vector<PointVal>& out) override;
    FileError depuis(const PointVal& cle, int n, std::vector<PointVal>& out) override;
    FileError premiers(int n, std::vector<PointVal>& out) override;
    FileError derniers(int n, std::vector<PointVal>& out) override;

    // Employees read by the attendance filter since the reader was made.
    int employesLus() const { return m_employesLus; }

private:
    FileError bout(Direction sens, int n, std::vector<PointVal>& out);
    bool parDate() const { return m_ordre == OrdrePointage::DateCarte || m_ordre == OrdrePointage::DateNom; }
    // Whether a line passes the attendance filter; its employee is read when the card changes.
    FileError tester(const PointVal& ligne, bool& passe);
    // Orders led by the date: up to n lines from the key of cle on, in the direction.
    FileError lireCle(const PointVal* cle, ReadStart depart, Direction sens, int n, std::vector<PointVal>& out);
    // Reads the lines of a cursor into out while they are wanted; lues counts them, derniere is the last one read.
    FileError lireLignes(Cursor<PointVal> c, int n, std::vector<PointVal>& out, int& lues, PointVal& derniere);
    // Orders led by the employee: up to n lines of the employee of groupe, from the date on, in the direction.
    FileError lireEmploye(const PointVal& groupe, qint32 date, ReadStart depart, Direction sens, int n,
                          std::vector<PointVal>& out);
    // The next (previous) employee of the order after groupe, or the first (last) one with depart End.
    FileError employeVoisin(const PointVal* groupe, ReadStart depart, Direction sens, PointVal& out, bool* trouve);
    FileError parEmployes(PointVal groupe, qint32 date, ReadStart depart, Direction sens, int n,
                          std::vector<PointVal>& out);
    DayLineOrder ordreLu() const;
    ActiveLineRange plageLue() const;

    Database& m_db;
    OrdrePointage m_ordre;
    PlagePointage m_plage;
    RecordFile<PointVal> m_fichier;
    RecordFile<Personnel> m_employes;
    // The employee of the last line tested by the attendance filter.
    qint16 m_carteLue = 0;
    bool m_employeLu = false;
    int m_nombre = 0;
    int m_employesLus = 0;
};

} // namespace kip
