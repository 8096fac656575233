// One read transaction over the employees and the day lines: every read made inside it sees the two files
// as they stood when it began, whatever another station writes meanwhile. Rolled back (nothing was
// written) when it goes. Inside a transaction already open, it leaves that one in charge.
#pragma once

#include "data/Database.h"

namespace kip {

class LectureCoherente
{
public:
    explicit LectureCoherente(Database& db);
    ~LectureCoherente();
    LectureCoherente(const LectureCoherente&) = delete;
    LectureCoherente& operator=(const LectureCoherente&) = delete;

    const FileError& erreur() const { return m_erreur; }

private:
    Database& m_db;
    bool m_proprietaire = false;
    FileError m_erreur;
};

} // namespace kip
