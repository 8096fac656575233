// The employees in one of the list's three orders, read by key range: the few that follow or precede an
// employee, those from a key value on, the first and the last ones. Only the rows asked for are read.
//
// The name and card keys are unique. The matricule key leaves blank matricules out (any number of employees
// may have none): in matricule order the employees without one come first, in the order of their position in
// the file, then the others by matricule, so that every employee has one place in the order.
#pragma once

#include "data/Database.h"
#include "data/EmployeeReads.h"
#include "data/RecordFile.h"
#include "data/Records.h"
#include "lists/PageLignes.h"

#include <QStringView>
#include <vector>

namespace kip {

// The three orders, numbered as the list's tabs.
enum class OrdrePersonnel : int
{
    Nom = 1,      // PER:K_NOM_PRENOM
    Carte = 2,    // PER:K_CARTE
    Matricule = 3 // PER:K_MATRICULE
};

// Text keys compare as the record files compare them: case ignored for the letters A to Z, every other
// character by its code point, a shorter text first.
int comparerTexte(QStringView a, QStringView b);

// Compares two employees in the order: negative, 0 or positive.
int comparerEmployes(OrdrePersonnel ordre, const Personnel& a, const Personnel& b);

class LecturePersonnel : public SourceLignes<Personnel>
{
public:
    LecturePersonnel(Database& db, OrdrePersonnel ordre);

    OrdrePersonnel ordre() const { return m_ordre; }

    // Checks that the order's reads can be made (the view of the list); the error otherwise.
    FileError verifier();

    // Up to n employees after (Forward) or before (Backward) an employee read from the file, nearest first.
    FileError voisins(const Personnel& ancre, Direction sens, int n, std::vector<Personnel>& out) override;
    // Up to n employees from the first one whose key is not below that of cle, in order. For the name order
    // the key is the name and first name, for the card the card, for the matricule the matricule (and, for
    // an employee without one, its position in the file when cle was read from it).
    FileError depuis(const Personnel& cle, int n, std::vector<Personnel>& out) override;
    // The first n, in order, or the last n, the last one first.
    FileError premiers(int n, std::vector<Personnel>& out) override;
    FileError derniers(int n, std::vector<Personnel>& out) override;

private:
    int segmentDe(const Personnel& p) const;
    FileError completer(int segment, Direction sens, int n, std::vector<Personnel>& out);

    Database& m_db;
    OrdrePersonnel m_ordre;
    RecordFile<Personnel> m_fichier;
};

} // namespace kip
