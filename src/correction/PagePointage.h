// The page of the punch list: the day lines that fit in the list, in one of the four orders, within the range
// and the attendance filter, and the current one (the paging itself is PageLignes, shared with the employee
// list). Also the 100 key values of the scroll bar, laid out between the first and the last line of the order
// by the key that leads it: the date, the card or the name.
#pragma once

#include "LecturePointage.h"
#include "lists/PageLignes.h"

#include <memory>

namespace kip {

class PagePointage : public PageLignes<PointVal>
{
public:
    PagePointage(Database& db, OrdrePointage ordre, const PlagePointage& plage, int taille);

    OrdrePointage ordre() const { return m_ordre; }
    const PlagePointage& plage() const { return m_plage; }
    const LecturePointage& lecture() const { return *m_lecture; }

    // Whether the order's reads can be made.
    FileError verifier();

    // Another order, another range or another filter: the current line stays current when it still shows,
    // else the first line after its place does.
    FileError changer(OrdrePointage ordre, const PlagePointage& plage);

    // The scroll bar: 100 key values from the first to the last line of the order.
    FileError calculerPositions();
    // The scroll bar and the first page, read together (one round trip on the server in the orders led by the
    // date): the list's opening.
    FileError ouvrir();
    // Positions the page at the first line whose key is not below value p (1 to 100).
    FileError allerPosition(int p) override;
    // The first p whose value is not below the current line's key (1 when the page is empty).
    int position() const override;

private:
    // Lays the positions out between the first line a and the last line b, or leaves them at their minimum
    // when the order is empty.
    void poserPositions(const PointVal* a, const PointVal* b);
    int comparerPosition(const PointVal& valeur, const PointVal& ligne) const;

    Database& m_db;
    OrdrePointage m_ordre;
    PlagePointage m_plage;
    std::unique_ptr<LecturePointage> m_lecture;
    std::vector<PointVal> m_positions;
    int m_longueurTexte = 0;
};

} // namespace kip
