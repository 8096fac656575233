// The payroll export's columns of absences and balance: for an employee's week, the hours of each absence type
// (a public holiday with nothing entered under JF) and the working-time account's balance at the end of the
// week; for its total row, the hours of the weeks and the balance after the last. Read beside the week totals,
// from the absence files and Solde.tps.
#pragma once

#include "data/Database.h"
#include "data/Result.h"

#include <QStringList>
#include <memory>

namespace kip {

class ColonnesSoldes
{
public:
    ColonnesSoldes(ColonnesSoldes&&) noexcept;
    ColonnesSoldes& operator=(ColonnesSoldes&&) noexcept;
    ~ColonnesSoldes();

    // The employees of the cards carteDebut to carteFin with everything their balances need up to `fin`.
    static Result<ColonnesSoldes> lire(Database& db, qint16 carteDebut, qint16 carteFin, qint32 fin);

    // "Heures CP", "Heures RTT"... "Solde du compte".
    QStringList entetes() const;
    // The week of Monday `lundi`; blank fields for a card that has no employee record.
    QStringList semaine(qint16 carte, qint32 lundi, bool centiemes);
    // The sums of the weeks given since the last total, and the balance after the last of them.
    QStringList total(qint16 carte, bool centiemes);

private:
    struct Donnees;
    explicit ColonnesSoldes(std::unique_ptr<Donnees> d);
    std::unique_ptr<Donnees> m_d;
};

} // namespace kip
