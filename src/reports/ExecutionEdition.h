// The common report run, as core code that any thread can drive: it reads the report's source in the
// order of the sort mode inside one read transaction (a consistent snapshot), hands every record that
// passes the filter to the report, reports its progress in whole percents of the records to read, stops at
// once when asked to, and leaves the pages as page images. Nothing matching, or a cancelled run, leaves no
// page.
#pragma once

#include "Edition.h"
#include "ImagesPages.h"
#include "LectureJournees.h"

#include <atomic>
#include <functional>

namespace kip {

class Database;

struct ControleExecution
{
    // The percentage shown, each time it changes (0 first, 100 last on a complete run). Called on the thread
    // of the run.
    std::function<void(int pourcent)> progression;
    // Set from any thread to stop the run; it is read after each record.
    const std::atomic<bool>* annuler = nullptr;
    MiseEnPage miseEnPage;
    LectureJournees::Mode lecture = LectureJournees::Mode::ParEmploye;
};

struct [[nodiscard]] ResultatEdition
{
    enum class Issue
    {
        Complete, // pages to preview
        Vide,     // nothing matched: no report, no preview
        Annulee,  // stopped by the user: nothing to preview
        Erreur    // the pages could not be written, or the data not read at all
    };
    Issue issue = Issue::Vide;
    ImagesPages pages;
    qint64 aLire = 0;        // records the reading was to go through
    qint64 lus = 0;          // records read
    qint64 imprimees = 0;    // records handed to the report
    FileError erreurLecture; // a read failed: the reading ended there, as at the end of the file
    QString erreurPages;     // the page images could not be written

    bool complete() const { return issue == Issue::Complete; }
};

// Runs the report on db (PERSONNEL and POINTVAL are attached by the run). The caller holds the files open.
ResultatEdition ExecuterEdition(Database& db, Edition& edition, const ParametresEdition& parametres,
                                const ControleExecution& controle = {});

} // namespace kip
