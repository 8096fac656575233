#include "Transaction.h"

#include <algorithm>

namespace kip {

std::vector<FileId> inLockOrder(std::initializer_list<FileId> files)
{
    std::vector<FileId> ordered(files);
    // FileId follows the order in which the files are declared.
    std::sort(ordered.begin(), ordered.end());
    ordered.erase(std::unique(ordered.begin(), ordered.end()), ordered.end());
    return ordered;
}

Transaction::Transaction(Database& db, std::initializer_list<FileId> files, Mode mode, int waitMs) : m_db(db)
{
    QStringList labels;
    m_files = inLockOrder(files);
    for (FileId id : m_files) {
        const TableDecl& table = tableOf(id);
        m_error = m_db.attach(table.label, m_db.pathOf(table.fileName.toLatin1().constData()));
        if (!m_error.ok()) {
            m_error.label = table.label;
            return;
        }
        labels << table.label;
    }
    m_error = m_db.begin(labels, mode == Lecture, waitMs);
    m_open = m_error.ok();
}

bool Transaction::holds(FileId id) const
{
    return std::find(m_files.begin(), m_files.end(), id) != m_files.end();
}

Transaction::~Transaction()
{
    rollback();
}

FileError Transaction::commit()
{
    if (!m_open)
        return m_error.ok() ? makeError(DriverError, 0, QStringLiteral("transaction terminée")) : m_error;
    m_open = false;
    m_error = m_db.commit();
    return m_error;
}

void Transaction::rollback()
{
    if (!m_open)
        return;
    m_open = false;
    m_db.rollback();
}

} // namespace kip
