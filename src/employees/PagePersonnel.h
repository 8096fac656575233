// The page of the employee list: the employees that fit in the list, in one of the three orders, and the
// current one (the paging itself is PageLignes, shared with the punch list). Also the 100 key values of the
// scroll bar and the letter locator of the name order.
#pragma once

#include "LecturePersonnel.h"
#include "lists/PageLignes.h"
#include "lists/PositionsDefilement.h"

#include <QChar>
#include <algorithm>
#include <memory>
#include <vector>

namespace kip {

class PagePersonnel : public PageLignes<Personnel>
{
public:
    PagePersonnel(Database& db, OrdrePersonnel ordre, int taille);

    OrdrePersonnel ordre() const { return m_ordre; }
    const Personnel* employeCourant() const { return ligneCourante(); }

    // Whether the order's reads can be made.
    FileError verifier();

    // Another order; the current employee stays current.
    FileError changerOrdre(OrdrePersonnel ordre);

    // The scroll bar: 100 key values from the first to the last key of the order.
    FileError calculerPositions();
    // Positions the page at the first employee whose key is not below value p (1 to 100).
    FileError allerPosition(int p) override;
    // The first p whose value is not below the current employee's key (1 when the page is empty).
    int position() const override;

    // Name order: a typed letter moves one row down when the current name begins with it, and goes to the
    // first name not below the letter when the (new) current name does not.
    FileError localiser(QChar lettre);

private:
    int comparerPosition(const Personnel& valeur, const Personnel& cle) const;

    Database& m_db;
    OrdrePersonnel m_ordre;
    std::unique_ptr<LecturePersonnel> m_lecture;
    std::vector<Personnel> m_positions; // the key values of the scroll bar
    int m_longueurTexte = 0;            // characters weighed by the text positions
};

} // namespace kip
