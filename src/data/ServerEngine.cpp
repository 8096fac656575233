#include "ServerEngine.h"

#include "Database.h"
#include "Notifications.h"
#include "Postes.h"

#include <QtEndian>
#include <libpq-fe.h>

namespace kip {

namespace {

constexpr int FirstBatch = 128; // a list's page and a little more
constexpr int NextBatch = 2048; // then rows in large batches
const QByteArray Savepoint = "SAVEPOINT kip_ecriture";
const QByteArray Release = "RELEASE SAVEPOINT kip_ecriture";
const QByteArray BackToSavepoint = "ROLLBACK TO SAVEPOINT kip_ecriture";

bool isWrite(const QByteArray& sql)
{
    const QByteArray head = sql.trimmed().left(7).toUpper();
    return head.startsWith("INSERT") || head.startsWith("UPDATE") || head.startsWith("DELETE");
}

class ServerStatement final : public EngineStatement
{
public:
    ServerStatement(ServerEngine* engine, const QByteArray& sql, const QByteArray& name, Rows rows)
        : m_engine(engine), m_sql(sql), m_name(name), m_rows(rows), m_write(isWrite(sql)),
          m_notifies(m_write ? tablesEcrites(sql) : 0)
    {
    }
    ~ServerStatement() override { finishCursor(); }

    void bindInt(int index, qint64 value) override { slot(index) = {QByteArray::number(value), 0}; }
    void bindText(int index, const QString& text, bool) override
    {
        QByteArray bytes = text.toUtf8();
        if (bytes.isNull())
            bytes = QByteArray("", 0); // an empty text, not a missing value
        slot(index) = {bytes, 0};
    }
    void bindBlob(int index, const void* data, int size, bool) override
    {
        QByteArray bytes(static_cast<const char*>(data), size);
        if (bytes.isNull())
            bytes = QByteArray("", 0); // an empty array, not a missing value
        slot(index) = {bytes, 1};
    }
    int step() override;
    // The statement with its values, to be run later in a batch.
    PgCommand queued() const { return command(m_sql, m_name); }
    bool fewRows() const { return m_rows == Rows::Few && !m_write; }
    int notifies() const { return m_notifies; }
    // The rows of the read run with others, or why it failed: its steps read them.
    void received(PgResult result, const FileError& failure)
    {
        m_started = true;
        m_row = -1;
        m_result = std::move(result);
        m_failure = failure;
    }
    void reset() override
    {
        finishCursor();
        m_result = PgResult();
        m_failure = {};
        m_params.clear();
        m_started = false;
        m_row = -1;
    }
    qint64 columnInt(int index) const override
    {
        // Binary rows: big-endian integers of the column's width (bigint, integer, smallint, boolean).
        const auto* p = reinterpret_cast<const uchar*>(value(index));
        switch (m_result.length(m_row, index)) {
        case 8:
            return qFromBigEndian<qint64>(p);
        case 4:
            return qFromBigEndian<qint32>(p);
        case 2:
            return qFromBigEndian<qint16>(p);
        case 1:
            return *p;
        default:
            return 0;
        }
    }
    QString columnText(int index) const override
    {
        return QString::fromUtf8(value(index), m_result.length(m_row, index));
    }
    const void* columnBlob(int index, int* size) const override;

private:
    struct Param
    {
        QByteArray value;
        int format = 0;
    };
    Param& slot(int index)
    {
        if (int(m_params.size()) < index)
            m_params.resize(size_t(index));
        return m_params[size_t(index - 1)];
    }
    const char* value(int index) const { return m_result.value(m_row, index); }
    PgCommand command(const QByteArray& sql, const QByteArray& prepared) const
    {
        PgCommand c{sql, prepared, false, {}, {}};
        for (const Param& p : m_params) {
            c.values.push_back(p.value);
            c.formats.push_back(p.format);
        }
        return c;
    }
    int fail(const FileError& e)
    {
        m_engine->noteError(e);
        return SqliteError;
    }
    int runFew();
    int openCursor();
    int fetch(int count);
    void finishCursor()
    {
        if (!m_cursorOpen)
            return;
        m_cursorOpen = false;
        m_engine->cursorClosed(m_channel, m_generation, m_cursor);
    }

    static constexpr int SqliteError = 1;
    ServerEngine* m_engine;
    QByteArray m_sql;
    QByteArray m_name;
    Rows m_rows;
    bool m_write;
    int m_notifies; // the notified tables that the write changes
    std::vector<Param> m_params;
    PgResult m_result;
    FileError m_failure;
    int m_row = -1;
    bool m_started = false;
    QByteArray m_cursor;
    bool m_cursorOpen = false;
    bool m_cursorEnd = false;
    int m_generation = 0;
    ServerEngine::Channel* m_channel = nullptr;
};

int ServerStatement::runFew()
{
    // A write inside a transaction runs between a savepoint and its release: a failed one is undone alone.
    const bool guarded = m_write && m_engine->block() != ServerEngine::Block::None;
    std::vector<PgCommand> commands;
    if (guarded)
        commands.push_back(PgCommand::text(Savepoint));
    commands.push_back(command(m_sql, m_name));
    if (guarded)
        commands.push_back(PgCommand::text(Release));
    m_engine->noteNotified(m_notifies, &commands);
    std::vector<PgResult> results;
    const FileError e = m_engine->run(commands, &results);
    if (!e.ok()) {
        if (guarded) {
            std::vector<PgResult> ignored;
            (void)m_engine->run({PgCommand::text(BackToSavepoint), PgCommand::text(Release)}, &ignored);
            m_engine->noteError(e);
        }
        return SqliteError;
    }
    m_result = std::move(results[guarded ? 1 : 0]);
    m_engine->noteChanges(m_result.affected());
    if (m_write)
        m_engine->noteWrite();
    return SqliteDone;
}

int ServerStatement::openCursor()
{
    std::vector<PgCommand> commands;
    FileError e;
    m_channel = m_engine->cursorOpened(&commands, &e);
    if (!m_channel)
        return fail(e);
    m_generation = m_channel->generation;
    m_cursor = m_channel->conn->newCursorName();
    m_cursorOpen = true;
    const size_t declare = commands.size();
    // The declaration and the first batch, small enough for a list's page, in one round trip.
    commands.push_back(command("DECLARE " + m_cursor + " NO SCROLL CURSOR FOR " + m_sql, {}));
    commands.push_back(PgCommand::text("FETCH FORWARD " + QByteArray::number(FirstBatch) + " FROM " + m_cursor));
    std::vector<PgResult> results;
    e = m_engine->run(commands, &results, m_channel);
    (void)declare;
    if (!e.ok()) {
        finishCursor();
        return fail(e);
    }
    m_result = std::move(results.back());
    m_cursorEnd = m_result.rows() < FirstBatch;
    return SqliteDone;
}

int ServerStatement::fetch(int count)
{
    if (m_generation != m_channel->generation) {
        m_cursorOpen = false;
        return fail(makeError(DriverError, 0, QStringLiteral("lecture interrompue par la fin de la transaction")));
    }
    std::vector<PgResult> results;
    const FileError e = m_engine->run(
        {PgCommand::text("FETCH FORWARD " + QByteArray::number(count) + " FROM " + m_cursor)}, &results, m_channel);
    if (!e.ok())
        return fail(e);
    m_result = std::move(results.back());
    m_cursorEnd = m_result.rows() < count;
    return SqliteDone;
}

int ServerStatement::step()
{
    if (!m_started) {
        m_started = true;
        m_row = -1;
        const int rc = m_rows == Rows::Many ? openCursor() : runFew();
        if (rc != SqliteDone)
            return rc;
    }
    if (!m_failure.ok())
        return fail(m_failure);
    if (++m_row < m_result.rows())
        return SqliteRow;
    if (m_rows == Rows::Many && m_cursorOpen && !m_cursorEnd) {
        if (const int rc = fetch(NextBatch); rc != SqliteDone)
            return rc;
        m_row = 0;
        if (m_result.rows() > 0)
            return SqliteRow;
    }
    finishCursor();
    return SqliteDone;
}

const void* ServerStatement::columnBlob(int index, int* size) const
{
    // A bytea comes as its bytes, valid until the next step.
    *size = m_result.length(m_row, index);
    return value(index);
}

} // namespace

ServerEngine::ServerEngine(const QString& conninfo) : m_conninfo(conninfo)
{
    m_main.conn = ServerConnection::take(conninfo, &m_openError);
    m_lastError = m_openError;
    if (m_main.conn)
        reprendrePoste();
}

FileError ServerEngine::resume(Channel& c)
{
    if (c.conn && c.conn->alive())
        return {};
    if (c.conn && &c == &m_main && m_sessionHolds > 0) {
        m_lastError = c.conn->lostError(); // what the session held went with it
        return m_lastError;
    }
    FileError e;
    std::unique_ptr<ServerConnection> fresh = ServerConnection::take(m_conninfo, &e);
    if (!fresh) {
        // The closed one stays until the server answers again: the next action tries anew. Its user reads that
        // the connection was lost, as during the work it was doing.
        if (c.conn)
            e = c.conn->lostError();
        m_lastError = e;
        return e;
    }
    ServerConnection::giveBack(std::move(c.conn)); // closed, not pooled
    c.conn = std::move(fresh);
    c.openCursors = 0;
    ++c.generation;
    if (&c == &m_main)
        m_openError = {};
    // The server came back: the program shows again in the stations' list.
    reprendrePoste();
    return {};
}

ServerEngine::~ServerEngine()
{
    rollback();
    for (std::unique_ptr<Channel>& reader : m_readers) {
        if (reader->openCursors > 0)
            reader->conn->sendAndForget({PgCommand::text("ROLLBACK")});
        ServerConnection::giveBack(std::move(reader->conn));
    }
    ServerConnection::giveBack(std::move(m_main.conn));
}

qint64 ServerEngine::roundTrips() const
{
    qint64 n = m_main.conn ? m_main.conn->roundTrips() : 0;
    for (const std::unique_ptr<Channel>& reader : m_readers)
        n += reader->conn->roundTrips();
    return n;
}

QByteArray ServerEngine::translate(const QString& sql)
{
    const QByteArray in = sql.toUtf8();
    QByteArray out;
    out.reserve(in.size() + 16);
    int highest = 0;
    char quote = 0;
    for (qsizetype i = 0; i < in.size(); ++i) {
        const char c = in[i];
        if (quote) {
            if (c == quote)
                quote = 0;
            out += c;
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = c;
            out += c;
            continue;
        }
        if (c != '?') {
            out += c;
            continue;
        }
        qsizetype j = i + 1;
        while (j < in.size() && in[j] >= '0' && in[j] <= '9')
            ++j;
        const int number = j > i + 1 ? in.mid(i + 1, j - i - 1).toInt() : highest + 1;
        highest = std::max(highest, number);
        out += '$' + QByteArray::number(number);
        i = j - 1;
    }
    return out;
}

FileError ServerEngine::run(const std::vector<PgCommand>& commands, std::vector<PgResult>* results, Channel* channel)
{
    Channel& c = channel ? *channel : m_main;
    // Inside a transaction, or with cursors open on it, the connection is not replaced: the loss fails that work.
    const bool atRest = &c == &m_main ? m_block == Block::None : c.openCursors == 0;
    if (atRest || !c.conn)
        if (FileError e = resume(c); !e.ok())
            return e;
    FileError e;
    *results = c.conn->run(commands, &e);
    if (!e.ok())
        m_lastError = e;
    return e;
}

std::unique_ptr<EngineStatement> ServerEngine::prepare(const QString& sql, Rows rows, Preparation preparation,
                                                       FileError* error)
{
    if (m_block == Block::None || !m_main.conn)
        if (FileError e = resume(m_main); !e.ok()) {
            *error = e;
            return nullptr;
        }
    const QByteArray translated = translate(sql);
    if (rows == Rows::Many) // declared as a cursor, never run as a prepared statement
        return std::make_unique<ServerStatement>(this, translated, QByteArray(), rows);
    bool isNew = false;
    const QByteArray name = m_main.conn->preparedName(translated, &isNew);
    if (isNew && preparation == Preparation::WithNextRun) {
        m_main.conn->prepareWithNextRun(translated, name);
    } else if (isNew) {
        // Prepared once per connection: the statement's errors are known here, as SQLite's are.
        std::vector<PgResult> results;
        PgCommand c{translated, name, true, {}, {}};
        if (FileError e = run({c}, &results); !e.ok()) {
            m_main.conn->forgetPrepared(translated);
            *error = e;
            return nullptr;
        }
    }
    return std::make_unique<ServerStatement>(this, translated, name, rows);
}

FileError ServerEngine::exec(const QString& sql)
{
    std::vector<PgResult> results;
    ++m_writes; // what it changes is seen by the cursors opened after it
    std::vector<PgCommand> commands{PgCommand::text(translate(sql))};
    noteNotified(tablesEcrites(commands[0].sql), &commands);
    return run(commands, &results);
}

void ServerEngine::queue(EngineStatement& statement)
{
    m_queuedNotifies |= static_cast<ServerStatement&>(statement).notifies();
    m_queue.push_back(static_cast<ServerStatement&>(statement).queued());
    statement.reset();
}

FileError ServerEngine::flush(std::vector<qint64>* changes)
{
    changes->clear();
    if (m_queue.empty())
        return {};
    // One round trip for the whole batch; inside a transaction a failed write fails the transaction, which the
    // caller gives up.
    const size_t writes = m_queue.size();
    noteNotified(std::exchange(m_queuedNotifies, 0), &m_queue);
    std::vector<PgResult> results;
    const FileError e = run(m_queue, &results);
    m_queue.clear();
    ++m_writes;
    for (size_t i = 0; i < writes && i < results.size(); ++i)
        changes->push_back(results[i].ok() ? results[i].affected() : 0);
    return e;
}

FileError ServerEngine::runTogether(const std::vector<EngineStatement*>& reads)
{
    std::vector<ServerStatement*> together;
    std::vector<PgCommand> commands;
    for (EngineStatement* s : reads) {
        auto* st = static_cast<ServerStatement*>(s);
        if (!st->fewRows())
            continue; // a write, or a cursor read in batches: run at its own step
        together.push_back(st);
        commands.push_back(st->queued());
    }
    if (commands.empty())
        return {};
    std::vector<PgResult> results;
    const FileError e = run(commands, &results);
    for (size_t i = 0; i < together.size(); ++i)
        together[i]->received(e.ok() ? std::move(results[i]) : PgResult(), e);
    return e;
}

ServerEngine::Channel* ServerEngine::cursorOpened(std::vector<PgCommand>* before, FileError* error)
{
    if (m_block == Block::Explicit) {
        ++m_main.openCursors;
        return &m_main;
    }
    // A reading connection whose snapshot sees every write of this engine, else one that starts a new snapshot.
    Channel* reader = nullptr;
    for (std::unique_ptr<Channel>& c : m_readers)
        if (c->openCursors > 0 && c->snapshotOf == m_writes)
            reader = c.get();
    for (std::unique_ptr<Channel>& c : m_readers)
        if (!reader && c->openCursors == 0)
            reader = c.get();
    if (reader && reader->openCursors == 0)
        if (*error = resume(*reader); !error->ok())
            return nullptr;
    if (!reader) {
        auto c = std::make_unique<Channel>();
        c->conn = ServerConnection::take(m_conninfo, error);
        if (!c->conn)
            return nullptr;
        m_readers.push_back(std::move(c));
        reader = m_readers.back().get();
    }
    if (reader->openCursors == 0) {
        before->push_back(PgCommand::text("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"));
        reader->snapshotOf = m_writes;
    }
    ++reader->openCursors;
    return reader;
}

void ServerEngine::cursorClosed(Channel* channel, int generation, const QByteArray& name)
{
    if (!channel || generation != channel->generation || !channel->conn)
        return;
    --channel->openCursors;
    // The cursor's end needs no answer: it goes with the next round trip's data.
    if (channel != &m_main && channel->openCursors == 0) {
        channel->conn->sendAndForget({PgCommand::text("COMMIT")});
        ++channel->generation;
    } else {
        channel->conn->sendAndForget({PgCommand::text("CLOSE " + name)});
    }
}

FileError ServerEngine::begin(const QStringList& labels, bool lecture, bool exclusive, int waitMs)
{
    if (m_block == Block::Explicit)
        return makeError(DriverError, 0, QStringLiteral("transaction déjà ouverte"));
    if (FileError e = resume(m_main); !e.ok())
        return e;
    std::vector<PgCommand> commands;
    commands.push_back(PgCommand::text("BEGIN ISOLATION LEVEL REPEATABLE READ"));
    commands.push_back(PgCommand::text("SET LOCAL lock_timeout = " + QByteArray::number(std::max(waitMs, 1))));
    const size_t firstLock = commands.size();
    // The tables' locks now, in lock order: one writer at a time per table, readers never blocked (the
    // exclusive mode blocks them too). A read takes its snapshot at its first statement. The journal is only
    // ever added to: its writers need not wait for each other, and the stations' role, which may only add to it
    // and read it, may take no stronger lock than an insert's.
    if (!lecture || exclusive)
        for (const QString& label : labels) {
            const char* mode = exclusive                           ? " IN ACCESS EXCLUSIVE MODE"
                               : label == QLatin1String("JOURNAL") ? " IN ROW EXCLUSIVE MODE"
                                                                   : " IN EXCLUSIVE MODE";
            commands.push_back(PgCommand::text("LOCK TABLE " + label.toUtf8() + "." + label.toUtf8() + mode));
        }
    m_block = Block::Explicit;
    m_notifies = 0;
    std::vector<PgResult> results;
    FileError e = run(commands, &results);
    if (!e.ok()) {
        for (size_t i = firstLock; i < results.size(); ++i)
            if (!results[i].ok()) {
                e.label = labels[qsizetype(i - firstLock)];
                break;
            }
        rollback();
    }
    return e;
}

FileError ServerEngine::commit()
{
    if (m_block == Block::None)
        return makeError(DriverError, 0, QStringLiteral("pas de transaction ouverte"));
    // The notifications of what the transaction changed go with its commit, in the same round trip: the server
    // delivers them only if it commits.
    std::vector<PgCommand> commands;
    appendNotifications(std::exchange(m_notifies, 0), &commands);
    commands.push_back(PgCommand::text("COMMIT"));
    std::vector<PgResult> results;
    FileError e = run(commands, &results);
    // A transaction that met an error is rolled back by its COMMIT: that is no success.
    if (e.ok() && QByteArray(PQcmdStatus(results.back().get())) != "COMMIT")
        e = makeError(DriverError, 0, QStringLiteral("transaction annulée par le serveur"));
    if (!e.ok())
        rollback();
    m_block = Block::None;
    m_main.openCursors = 0;
    ++m_main.generation;
    ++m_writes;
    return e;
}

void ServerEngine::rollback()
{
    if (m_block == Block::None || !m_main.conn)
        return;
    m_block = Block::None;
    m_notifies = 0;
    m_main.openCursors = 0;
    ++m_main.generation;
    if (!m_main.conn->healthy() || m_main.conn->idle())
        return; // the server has already ended it (or gone with it)
    std::vector<PgResult> results;
    (void)run({PgCommand::text("ROLLBACK")}, &results);
}

void ServerEngine::noteNotified(int tables, std::vector<PgCommand>* commands)
{
    if (m_block == Block::Explicit)
        m_notifies |= tables; // sent with the commit
    else
        appendNotifications(tables, commands); // the write commits alone: its notification goes with it
}

void ServerEngine::appendNotifications(int tables, std::vector<PgCommand>* commands)
{
    for (const QByteArray& label : labelsNotifies(tables))
        commands->push_back(
            PgCommand{"SELECT pg_notify($1, $2)", {}, false, {CanalModifications, messageModification(label)}, {0, 0}});
}

} // namespace kip
