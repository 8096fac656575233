// The page of the employee list: the employees that fit in the list, in one of the three orders, and the
// current one. Moving and scrolling read only the rows that come into view; the list never holds more than
// its page. Also the 100 key values of the scroll bar and the letter locator of the name order.
#pragma once

#include "LecturePersonnel.h"

#include <QChar>
#include <algorithm>
#include <memory>
#include <vector>

namespace kip {

constexpr int PositionsDefilement = 100;

// 100 texts laid out evenly, character by character, from the first to the last key (the case of A to Z
// ignored, as the keys compare). Never decreasing.
std::vector<QString> positionsTexte(const QString& premier, const QString& dernier);
// The number of leading characters that those positions weigh.
int longueurPositions(const QString& premier, const QString& dernier);

class PagePersonnel
{
public:
    PagePersonnel(Database& db, OrdrePersonnel ordre, int taille);

    OrdrePersonnel ordre() const { return m_ordre; }
    int taille() const { return m_taille; }
    const std::vector<Personnel>& lignes() const { return m_lignes; }
    bool vide() const { return m_lignes.empty(); }
    // The current row, -1 when the page is empty.
    int courante() const { return m_courante; }
    const Personnel* employeCourant() const;

    // Whether the order's reads can be made.
    FileError verifier();

    FileError allerDebut();
    FileError allerFin();
    // Moves the current row n rows down (up when n < 0), reading the rows that come into view.
    FileError deplacer(int n);
    // Scrolls the page n rows down (up when n < 0); the current employee stays current while it is in view.
    FileError defiler(int n);
    // Makes a row of the page current (a click).
    void choisir(int ligne);
    // Makes current the first employee whose key is not below that of cle, shown at row rang when the
    // employees around it allow; the page is filled around it.
    FileError remplirAutour(const Personnel& cle, int rang);
    // Reads the page again around the current employee, or around its place when it is gone.
    FileError rafraichir();
    // Another order; the current employee stays current.
    FileError changerOrdre(OrdrePersonnel ordre);
    // Another page size (the list's height changed).
    FileError changerTaille(int taille);
    // The page size before the page is first filled; nothing is read.
    void fixerTaille(int taille) { m_taille = std::max(1, taille); }

    // The scroll bar: 100 key values from the first to the last key of the order.
    FileError calculerPositions();
    // Positions the page at the first employee whose key is not below value p (1 to 100).
    FileError allerPosition(int p);
    // The first p whose value is not below the current employee's key (1 when the page is empty).
    int position() const;

    // Name order: a typed letter moves one row down when the current name begins with it, and goes to the
    // first name not below the letter when the (new) current name does not.
    FileError localiser(QChar lettre);

private:
    void placer(std::vector<Personnel> avant, std::vector<Personnel> suite, int rang);
    int comparerPosition(const Personnel& valeur, const Personnel& cle) const;

    Database& m_db;
    OrdrePersonnel m_ordre;
    std::unique_ptr<LecturePersonnel> m_lecture;
    int m_taille;
    std::vector<Personnel> m_lignes;
    int m_courante = -1;
    std::vector<Personnel> m_positions; // the key values of the scroll bar
    int m_longueurTexte = 0;            // characters weighed by the text positions
};

} // namespace kip
