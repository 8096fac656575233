// What a Database needs of the engine below it: statements that bind, step and read columns, transactions
// over the record files, and the error of the last failed call. Two engines: the SQLite files of the data
// directory, and the tables of a PostgreSQL database. Only src/data sees this header.
#pragma once

#include "FileError.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace kip {

// What a statement's rows are expected to be: a few (a key read, a count, a page), read at once; or many (an
// ordered read that may run to the end of a large file), which the server sends in batches.
enum class Rows
{
    Few,
    Many
};

// When a statement of few rows is prepared on the server: now, its errors known at once as SQLite's are; or with
// the connection's next round trip, whatever it runs (reads sent together prepare and run in one). SQLite
// prepares now either way.
enum class Preparation
{
    Now,
    WithNextRun
};

class EngineStatement
{
public:
    virtual ~EngineStatement() = default;
    // stable: the bytes stay unchanged until the statement is reset, so no copy is needed.
    virtual void bindInt(int index, qint64 value) = 0;
    virtual void bindText(int index, const QString& text, bool stable) = 0;
    virtual void bindBlob(int index, const void* data, int size, bool stable) = 0;
    // StepRow, StepDone, or an error result (the engine's lastError() says which).
    virtual int step() = 0;
    virtual void reset() = 0;
    virtual qint64 columnInt(int index) const = 0;
    virtual QString columnText(int index) const = 0;
    virtual const void* columnBlob(int index, int* size) const = 0;
};

class Engine
{
public:
    virtual ~Engine() = default;
    virtual bool valid() const = 0;
    virtual bool isServer() const = 0;
    // The file's table made reachable under its label (SQLite attaches the file; the server has every table).
    virtual FileError attach(const QString& label, const QString& path) = 0;
    virtual bool detach(const QString& label) = 0;
    // Forgets the cached statements (their schema is about to change).
    virtual void dropStatements() = 0;
    virtual std::unique_ptr<EngineStatement> prepare(const QString& sql, Rows rows, Preparation preparation,
                                                     FileError* error) = 0;
    virtual FileError exec(const QString& sql) = 0;
    virtual bool inTransaction() const = 0;
    // labels in lock order; lecture: one snapshot of every table, else the write locks taken now.
    virtual FileError begin(const QStringList& labels, bool lecture, bool exclusive, int waitMs) = 0;
    virtual FileError commit() = 0;
    virtual void rollback() = 0;
    // The error of the last failed step or call; rc is the failed step's result.
    virtual FileError lastError(int rc) const = 0;
    virtual int changes() const = 0;
    // A write whose result is wanted only at the next flush: SQLite runs it at once; the server queues it with
    // its values, and the flush sends every queued write in one round trip (a pipeline). flush gives the rows
    // changed by each write in order, and the first error.
    virtual void queue(EngineStatement& statement) = 0;
    virtual FileError flush(std::vector<qint64>* changes) = 0;
    // Reads of few rows run together: the server sends them (and the statements still to prepare) in one round
    // trip and keeps each one's rows for its steps; a failure is every read's. SQLite runs each at its first step.
    virtual FileError runTogether(const std::vector<EngineStatement*>& reads) = 0;
    // While the connection holds state of its session beyond a transaction (a session lock), a connection the
    // server closed is not replaced: the work under that state fails with the loss rather than go on without it.
    // Counted: holds nest. Nothing on SQLite.
    virtual void holdSession(bool hold) = 0;
};

} // namespace kip
