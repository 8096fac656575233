// A report procedure as the common report run drives it: it is opened once the first matching record is
// found, is handed each record that passes the filter in reading order, and is closed at the end of the
// reading. It lays its bands through the Pagination of its context.
#pragma once

#include "MoteurBandes.h"
#include "ParametresEdition.h"
#include "data/FileError.h"
#include "data/Records.h"

#include <QTime>
#include <functional>

namespace kip {

class Database;

// What a report reads: the day lines (by the sort mode's order, within the period), or the employees.
enum class SourceEdition
{
    Journees,
    Personnel
};

struct ContexteEdition
{
    const ParametresEdition& parametres;
    qint32 dateImpression;  // today, taken once when the report starts; the time is read for each line prepared
    Pagination& pagination; // where the report lays its bands
    Database& db;           // the run's connection, inside its read transaction
    // For a report that counts first: the lines that pass the filter, counted in the run's snapshot before
    // the first is handed over; -1 otherwise.
    qint64 lignesComptees = -1;
};

class Edition
{
public:
    virtual ~Edition() = default;

    virtual SourceEdition source() const { return SourceEdition::Journees; }
    // The control report prints inactive day lines too; the others leave them out.
    virtual bool avecLignesInactives() const { return false; }
    // Whether the run counts the lines that will be handed over before it hands the first (ContexteEdition).
    virtual bool avecComptage() const { return false; }

    virtual void ouvrir(ContexteEdition& contexte) = 0;
    // A day line that passed the filter (source Journees).
    virtual void journee(const PointVal&) {}
    // An employee that passed the filter (source Personnel).
    virtual void employe(const Personnel&) {}
    // Prints what is still open and closes the last page; false when a page could not be written.
    virtual bool fermer() = 0;
    // A read of the report's own that failed (files beside the employees and day lines): the run then ends in
    // error, without pages.
    virtual FileError erreur() const { return {}; }
};

} // namespace kip
