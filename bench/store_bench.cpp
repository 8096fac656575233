// Record store benchmark: bulk insert, key reads, ordered scan and key rebuild of POINTVAL through
// RecordFile, each beside the same work done by a bare loop over the SQLite C API on the same schema (for the
// key rebuild, a bare REINDEX), so that the cost of the store's own layer shows as the ratio of the two times.
//
//   store_bench [--rows N] [--cards C] [--reads R] [--dir D] [--only insert|reads|scan|rebuild]
//
// The day lines are those of C cards over N / C consecutive dates, names from a pool, four punches on
// working days. Both sides bind the same values and read the same columns into a PointVal.
#include "data/FileAdmin.h"
#include "data/RecordFile.h"
#include "data/Transaction.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <optional>
#include <random>
#include <sqlite3.h>
#include <sys/resource.h>
#include <vector>

using namespace kip;

namespace {

struct Options
{
    qint64 rows = 1'000'000;
    int cards = 1000;
    qint64 reads = 200'000;
    QString dir;
    QByteArray only; // insert, reads, scan or rebuild: stop after that figure (for profiling)
};

constexpr qint32 FirstDate = 80000; // a Monday in 2020 in the day numbering

// The name pools: each card gets its own (surname, first name) pair, as K_NOM_DATE is unique.
struct Pools
{
    std::vector<QString> surnames, firstNames, matricules;
};

Pools makePools(int cards)
{
    static constexpr const char* Surnames[] = {
        "MARTIN",   "BERNARD", "DUBOIS",  "THOMAS",   "ROBERT",   "RICHARD", "PETIT",   "DURAND",
        "LEROY",    "MOREAU",  "SIMON",   "LAURENT",  "LEFÈVRE",  "MICHEL",  "GARCIA",  "DAVID",
        "BERTRAND", "ROUX",    "VINCENT", "FOURNIER", "MOREL",    "GIRARD",  "ANDRÉ",   "MERCIER",
        "DUPONT",   "LAMBERT", "BONNET",  "FRANÇOIS", "MARTINEZ", "LEGRAND", "GARNIER", "FAURE",
        "ROUSSEAU", "BLANC",   "GUÉRIN",  "MULLER",   "HENRY",    "ROUSSEL", "NICOLAS", "PERRIN"};
    static constexpr const char* FirstNames[] = {
        "Jean",     "Marie",     "Pierre",   "Nathalie",  "Michel",  "Isabelle", "Philippe",   "Sylvie",
        "Alain",    "Catherine", "Patrick",  "Françoise", "Nicolas", "Valérie",  "Christophe", "Sandrine",
        "Daniel",   "Christine", "Bernard",  "Véronique", "Éric",    "Céline",   "Laurent",    "Stéphanie",
        "Frédéric", "Hélène",    "Stéphane", "Sophie",    "David"};
    constexpr int S = int(std::size(Surnames)), F = int(std::size(FirstNames));
    Pools p;
    for (int c = 0; c <= cards; ++c) {
        p.surnames.push_back(QString::fromUtf8(Surnames[c % S]));
        // Beyond S * F cards the first name takes a number, to keep the pairs unique.
        QString first = QString::fromUtf8(FirstNames[(c / S) % F]);
        if (c >= S * F)
            first += QString::number(c / (S * F));
        p.firstNames.push_back(first);
        p.matricules.push_back(c % 20 == 0 ? QString() : QStringLiteral("M%1").arg(c, 5, 10, QLatin1Char('0')));
    }
    return p;
}

// Row i: card 1 + i / dates, date FirstDate + i % dates.
void makeRow(qint64 i, qint64 dates, const Pools& pools, PointVal& r)
{
    const int card = int(1 + i / dates);
    const qint32 date = FirstDate + qint32(i % dates);
    r.CARTE = qint16(card);
    r.MATRICULE = pools.matricules[size_t(card)];
    r.NOM = pools.surnames[size_t(card)];
    r.PRENOM = pools.firstNames[size_t(card)];
    r.DATE = date;
    r.NUM_SEMAINE = quint8(1 + (date - FirstDate) / 7 % 52);
    r.NUM_ANNEE = qint16(2020 + (date - FirstDate) / 364);
    r.MODIF = 0;
    r.INACTIF = 0;
    r.clearPunches();
    r.TOTAL = 0;
    if (date % 7 != 0 && date % 7 != 6) {
        const int j = int((i * 7919) % 13);
        const qint16 p[4] = {qint16(475 + j), qint16(720 + j), qint16(780 - j), qint16(1020 + j)};
        for (int k = 0; k < 4; ++k) {
            r.POINTAGE_ORIGINE[size_t(k)] = p[k];
            r.POINTAGE_PROGRAMME[size_t(k)] = p[k];
            r.POINTAGE_UTILISATEUR[size_t(k)] = p[k];
            r.TERMINAL[size_t(k)] = quint8(1 + card % 3);
        }
        r.TOTAL = qint16(p[1] - p[0] + p[3] - p[2]);
    }
}

// --- the bare side ----------------------------------------------------------------------------------

struct Bare
{
    sqlite3* db = nullptr;
    explicit Bare(const QString& dir)
    {
        sqlite3_open_v2(QDir(dir).filePath(QStringLiteral("Topspeed.tcf")).toUtf8().constData(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
        exec(
            QStringLiteral("ATTACH DATABASE '%1' AS POINTVAL").arg(QDir(dir).filePath(QStringLiteral("PointVal.tps"))));
    }
    ~Bare() { sqlite3_close_v2(db); }
    void exec(const QString& sql) const
    {
        char* msg = nullptr;
        if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &msg) != SQLITE_OK) {
            std::fprintf(stderr, "bare: %s: %s\n", qPrintable(sql), msg);
            std::exit(1);
        }
    }
    sqlite3_stmt* prepare(const QString& sql) const
    {
        sqlite3_stmt* st = nullptr;
        const QByteArray u = sql.toUtf8();
        if (sqlite3_prepare_v2(db, u.constData(), int(u.size()), &st, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "bare: %s: %s\n", u.constData(), sqlite3_errmsg(db));
            std::exit(1);
        }
        return st;
    }
};

void bindText(sqlite3_stmt* st, int i, const QString& s)
{
    sqlite3_bind_text16(st, i, s.utf16(), int(s.size() * 2), SQLITE_STATIC);
}

template <class A> void bindArray(sqlite3_stmt* st, int i, const A& a)
{
    sqlite3_bind_blob(st, i, a.data(), int(sizeof(a)), SQLITE_STATIC);
}

void bindRow(sqlite3_stmt* st, const PointVal& r)
{
    sqlite3_bind_int64(st, 1, r.CARTE);
    bindText(st, 2, r.MATRICULE);
    bindText(st, 3, r.NOM);
    bindText(st, 4, r.PRENOM);
    sqlite3_bind_int64(st, 5, r.DATE);
    sqlite3_bind_int64(st, 6, r.NUM_SEMAINE);
    sqlite3_bind_int64(st, 7, r.NUM_ANNEE);
    sqlite3_bind_int64(st, 8, r.TOTAL);
    sqlite3_bind_int64(st, 9, r.MODIF);
    sqlite3_bind_int64(st, 10, r.INACTIF);
    bindArray(st, 11, r.TERMINAL);
    bindArray(st, 12, r.POINTAGE_ORIGINE);
    bindArray(st, 13, r.POINTAGE_PROGRAMME);
    bindArray(st, 14, r.POINTAGE_UTILISATEUR);
}

QString columnText(sqlite3_stmt* st, int i)
{
    const void* p = sqlite3_column_text16(st, i);
    return p ? QString(static_cast<const QChar*>(p), sqlite3_column_bytes16(st, i) / 2) : QString();
}

template <class A> void columnArray(sqlite3_stmt* st, int i, A& a)
{
    const void* p = sqlite3_column_blob(st, i);
    const size_t n = std::min<size_t>(size_t(sqlite3_column_bytes(st, i)), sizeof(a));
    a.fill({});
    if (p)
        std::memcpy(a.data(), p, n);
}

// Columns: rowid, ROWVER, then the fields in order, as the store selects them.
void readRow(sqlite3_stmt* st, PointVal& r)
{
    r.rowid = sqlite3_column_int64(st, 0);
    r.version = sqlite3_column_int64(st, 1);
    r.CARTE = qint16(sqlite3_column_int64(st, 2));
    r.MATRICULE = columnText(st, 3);
    r.NOM = columnText(st, 4);
    r.PRENOM = columnText(st, 5);
    r.DATE = qint32(sqlite3_column_int64(st, 6));
    r.NUM_SEMAINE = quint8(sqlite3_column_int64(st, 7));
    r.NUM_ANNEE = qint16(sqlite3_column_int64(st, 8));
    r.TOTAL = qint16(sqlite3_column_int64(st, 9));
    r.MODIF = quint8(sqlite3_column_int64(st, 10));
    r.INACTIF = quint8(sqlite3_column_int64(st, 11));
    columnArray(st, 12, r.TERMINAL);
    columnArray(st, 13, r.POINTAGE_ORIGINE);
    columnArray(st, 14, r.POINTAGE_PROGRAMME);
    columnArray(st, 15, r.POINTAGE_UTILISATEUR);
}

QString selectSql()
{
    return QStringLiteral("SELECT rowid, ROWVER, %1 FROM POINTVAL.POINTVAL").arg(tableOf<PointVal>().columnList());
}

// --- measuring ----------------------------------------------------------------------------------------

constexpr int Repeats = 3; // for the figures that leave the file as it was

long peakKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// detail: the store's description of its error; none for the bare loop, which gives its code only.
void fail(const char* what, int code, const QString& detail = {})
{
    std::fprintf(stderr, "store: %s failed: %d %s\n", what, code, qPrintable(detail));
    std::exit(1);
}

void report(const char* figure, qint64 work, const char* unit, double storeS, double bareS)
{
    const double ratio = storeS / bareS;
    if (work > 0)
        std::printf("%-14s store %12.0f %s  bare %12.0f %s  store/bare %.2f %s\n", figure, work / storeS, unit,
                    work / bareS, unit, ratio, ratio <= 1.3 ? "ok" : "OVER 1.3");
    else
        std::printf("%-14s store %12.2f s       bare %12.2f s       store/bare %.2f %s\n", figure, storeS, bareS, ratio,
                    ratio <= 1.3 ? "ok" : "OVER 1.3");
    std::printf("%-14s peak memory %ld KiB\n", "", peakKb());
    std::fflush(stdout);
}

double seconds(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e9;
}

// Runs the two sides alternately three times and keeps the best time of each, so that a passing disturbance
// of the machine does not decide the ratio.
template <class S, class B> std::pair<double, double> bestOf(S&& store, B&& bare)
{
    double storeS = 1e300, bareS = 1e300;
    QElapsedTimer t;
    for (int k = 0; k < Repeats; ++k) {
        t.start();
        store();
        storeS = std::min(storeS, seconds(t));
        t.start();
        bare();
        bareS = std::min(bareS, seconds(t));
    }
    return {storeS, bareS};
}

// --- the figures -----------------------------------------------------------------------------

void benchInsert(const QString& storeDir, const QString& bareDir, const Options& o, const Pools& pools)
{
    const qint64 dates = o.rows / o.cards;
    const TableDecl& table = tableOf<PointVal>();
    if (FileError e = createRecordFile(table, QDir(storeDir).filePath(table.fileName)); !e.ok())
        fail("createRecordFile", e.code, e.description());
    PointVal r;
    QElapsedTimer t;

    double storeS;
    {
        Database db(storeDir);
        RecordFile<PointVal> f(db);
        if (FileError e = f.open(); !e.ok())
            fail("open", e.code, e.description());
        t.start();
        Transaction batch(db, {FileId::PointVal});
        for (qint64 i = 0; i < o.rows; ++i) {
            makeRow(i, dates, pools, r);
            if (FileError e = f.add(r); !e.ok())
                fail("add", e.code, e.description());
        }
        if (FileError e = batch.commit(); !e.ok())
            fail("commit", e.code, e.description());
        storeS = seconds(t);
    }

    double bareS;
    {
        Bare b(bareDir);
        b.exec(table.createTableSql());
        for (const KeyDecl& k : table.keys)
            b.exec(table.createIndexSql(k));
        sqlite3_stmt* st = b.prepare(QStringLiteral("INSERT INTO POINTVAL.POINTVAL (%1) VALUES (%2)")
                                         .arg(table.columnList(), QStringLiteral("?, ").repeated(13) + u'?'));
        t.start();
        b.exec(QStringLiteral("BEGIN"));
        for (qint64 i = 0; i < o.rows; ++i) {
            makeRow(i, dates, pools, r);
            bindRow(st, r);
            if (sqlite3_step(st) != SQLITE_DONE)
                fail("bare insert", sqlite3_errcode(b.db));
            sqlite3_reset(st);
        }
        b.exec(QStringLiteral("COMMIT"));
        bareS = seconds(t);
        sqlite3_finalize(st);
    }
    report("insert", o.rows, "rows/s ", storeS, bareS);
}

// Reads by POV:K_CARTE_DATE. Outside a transaction each read takes and drops the file locks; in batch mode
// (the transfer and the day initialisation read inside one) only the reading itself is left.
void benchReads(const QString& storeDir, const QString& bareDir, const Options& o, bool batch)
{
    const qint64 dates = o.rows / o.cards;
    std::mt19937_64 rng(42);
    std::vector<std::pair<qint16, qint32>> keys(size_t(o.reads));
    for (auto& k : keys) {
        const qint64 i = qint64(rng() % quint64(o.rows));
        k = {qint16(1 + i / dates), qint32(FirstDate + i % dates)};
    }
    Database db(storeDir);
    RecordFile<PointVal> f(db);
    if (FileError e = f.open(); !e.ok())
        fail("open", e.code, e.description());
    Bare b(bareDir);
    sqlite3_stmt* st = b.prepare(selectSql() + QStringLiteral(" WHERE (CARTE, DATE) = (?1, ?2)"));
    qint64 storeSum = 0, bareSum = 0;
    auto storeRun = [&] {
        PointVal r;
        std::optional<Transaction> lecture;
        if (batch)
            lecture.emplace(db, std::initializer_list<FileId>{FileId::PointVal}, Transaction::Lecture);
        for (const auto& [card, date] : keys) {
            r.CARTE = card;
            r.DATE = date;
            if (FileError e = f.get(r, POV_K_CARTE_DATE); !e.ok())
                fail("get", e.code, e.description());
            storeSum += r.TOTAL + r.NOM.size();
        }
    };
    auto bareRun = [&] {
        PointVal r;
        if (batch)
            b.exec(QStringLiteral("BEGIN"));
        for (const auto& [card, date] : keys) {
            sqlite3_bind_int64(st, 1, card);
            sqlite3_bind_int64(st, 2, date);
            if (sqlite3_step(st) != SQLITE_ROW)
                fail("bare get", sqlite3_errcode(b.db));
            readRow(st, r);
            sqlite3_reset(st);
            bareSum += r.TOTAL + r.NOM.size();
        }
        if (batch)
            b.exec(QStringLiteral("COMMIT"));
    };
    const auto [storeS, bareS] = bestOf(storeRun, bareRun);
    sqlite3_finalize(st);
    if (storeSum != bareSum)
        std::fprintf(stderr, "reads: the two sides read different records (%lld, %lld)\n",
                     static_cast<long long>(storeSum), static_cast<long long>(bareSum));
    report(batch ? "reads in batch" : "key reads", o.reads, "reads/s", storeS, bareS);
}

void benchScan(const QString& storeDir, const QString& bareDir, const Options& o)
{
    qint64 storeRows = 0, bareRows = 0;
    Database db(storeDir);
    RecordFile<PointVal> f(db);
    if (FileError e = f.open(); !e.ok())
        fail("open", e.code, e.description());
    Bare b(bareDir);
    auto storeRun = [&] {
        PointVal from, r;
        storeRows = 0;
        Cursor<PointVal> c = f.read(POV_K_CARTE_DATE, from);
        while (c.next(r) == NoError)
            ++storeRows;
    };
    auto bareRun = [&] {
        PointVal r;
        bareRows = 0;
        sqlite3_stmt* st =
            b.prepare(selectSql() + QStringLiteral(" WHERE (CARTE, DATE) >= (?1, ?2) ORDER BY CARTE, DATE"));
        sqlite3_bind_int64(st, 1, 0);
        sqlite3_bind_int64(st, 2, 0);
        while (sqlite3_step(st) == SQLITE_ROW) {
            readRow(st, r);
            ++bareRows;
        }
        sqlite3_finalize(st);
    };
    const auto [storeS, bareS] = bestOf(storeRun, bareRun);
    if (storeRows != o.rows || bareRows != o.rows)
        std::fprintf(stderr, "scan: %lld and %lld rows instead of %lld\n", static_cast<long long>(storeRows),
                     static_cast<long long>(bareRows), static_cast<long long>(o.rows));
    report("ordered scan", o.rows, "rows/s ", storeS, bareS);
}

// The key rebuild after an unclean end against a bare REINDEX of a file of the same records. The rebuild also
// checks every page of the file (the keys it builds agree with the records by construction); the bare side's
// own page check is timed apart to show that share.
void benchRebuild(const QString& storeDir, const QString& bareDir)
{
    const TableDecl& table = tableOf<PointVal>();
    const QString storeFile = QDir(storeDir).filePath(table.fileName);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QDir(bareDir).filePath(table.fileName).toUtf8().constData(), &db, SQLITE_OPEN_READWRITE,
                        nullptr) != SQLITE_OK)
        fail("bare open", sqlite3_errcode(db));
    auto run = [db](const char* sql) {
        if (const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr); rc != SQLITE_OK)
            fail(sql, rc);
    };
    auto storeRun = [&] {
        if (FileError e = rebuildRecordFileKeys(table, storeFile, true); !e.ok())
            fail("rebuildRecordFileKeys", e.code, e.description());
    };
    auto bareRun = [&] { run("REINDEX POINTVAL"); };
    const auto [storeS, bareS] = bestOf(storeRun, bareRun);
    // The store gives its rebuild a 64 MiB cache; the bare REINDEX above keeps SQLite's default. The same
    // REINDEX with the store's cache, once, shows how much of the difference that is.
    QElapsedTimer t;
    run("PRAGMA cache_size = -65536");
    t.start();
    run("REINDEX POINTVAL");
    const double bareCacheS = seconds(t);
    run("PRAGMA cache_size = -2000");
    t.start();
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, &st, nullptr) != SQLITE_OK)
        fail("bare quick_check", sqlite3_errcode(db));
    const bool intact = sqlite3_step(st) == SQLITE_ROW &&
                        std::strcmp(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "ok") == 0;
    sqlite3_finalize(st);
    const double checkS = seconds(t);
    sqlite3_close_v2(db);
    if (!intact)
        std::fprintf(stderr, "rebuild: the bare file fails its page check\n");
    report("key rebuild", 0, "", storeS, bareS);
    std::printf("%-14s store: keys rebuilt and every page checked; bare: REINDEX alone (default cache)\n", "");
    std::printf("%-14s bare REINDEX with the store's 64 MiB cache %.2f s, bare page check %.2f s\n", "", bareCacheS,
                checkS);
}

Options parse(int argc, char** argv)
{
    Options o;
    for (int i = 1; i + 1 < argc; i += 2) {
        const QByteArray a = argv[i];
        if (a == "--rows")
            o.rows = QByteArray(argv[i + 1]).toLongLong();
        else if (a == "--cards")
            o.cards = QByteArray(argv[i + 1]).toInt();
        else if (a == "--reads")
            o.reads = QByteArray(argv[i + 1]).toLongLong();
        else if (a == "--dir")
            o.dir = QString::fromLocal8Bit(argv[i + 1]);
        else if (a == "--only")
            o.only = argv[i + 1];
    }
    o.cards = std::clamp(o.cards, 1, 9999);
    o.rows = std::max<qint64>(o.rows / o.cards, 1) * o.cards;
    return o;
}

} // namespace

int main(int argc, char** argv)
{
    const Options o = parse(argc, argv);
    QTemporaryDir temp(o.dir.isEmpty() ? QDir::tempPath() + QStringLiteral("/store_bench-XXXXXX")
                                       : o.dir + QStringLiteral("/store_bench-XXXXXX"));
    const QString storeDir = temp.path() + QStringLiteral("/store");
    const QString bareDir = temp.path() + QStringLiteral("/bare");
    if (!temp.isValid() || !QDir().mkpath(storeDir) || !QDir().mkpath(bareDir)) {
        std::fprintf(stderr, "store_bench: no working directory\n");
        return 1;
    }
    const Pools pools = makePools(o.cards);
    std::printf("store_bench: POINTVAL, %lld day lines (%d cards x %lld dates), %lld key reads, SQLite %s\n",
                static_cast<long long>(o.rows), o.cards, static_cast<long long>(o.rows / o.cards),
                static_cast<long long>(o.reads), sqlite3_libversion());
    benchInsert(storeDir, bareDir, o, pools);
    if (o.only != "insert") {
        benchReads(storeDir, bareDir, o, false);
        benchReads(storeDir, bareDir, o, true);
    }
    if (o.only != "insert" && o.only != "reads")
        benchScan(storeDir, bareDir, o);
    if (o.only.isEmpty() || o.only == "rebuild")
        benchRebuild(storeDir, bareDir);
    std::printf("peak memory (ru_maxrss) %ld KiB\n", peakKb());
    return 0;
}
