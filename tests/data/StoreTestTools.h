// Tools of the record-store tests: damaging a file's page, making a file read-only (also for root), and
// recording the messages of a death test's child where the parent can read them.
#pragma once

#include "data/Messages.h"
#include "data/ScriptedPresenter.h"

#include <QFile>
#include <QStringList>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace storetest {

constexpr int PageSize = 4096; // the page size of every record file

// Points a key of POINTVAL at another column: the common open finds the keys invalid and asks (run it with
// essai::Installation::sql on the day lines).
inline const QString ClesFaussees = QStringLiteral(
    "PRAGMA writable_schema = ON;"
    "UPDATE sqlite_master SET sql = replace(sql, '(DATE, CARTE)', '(TOTAL, CARTE)') WHERE name = 'K_DATE_CARTE';");

// Writes 4 KB of garbage over the given page (1 is the file's header page).
inline void damagePage(const QString& path, int page)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_GE(f.size(), qint64(page) * PageSize) << "the file has no page " << page;
    ASSERT_TRUE(f.seek(qint64(page - 1) * PageSize));
    QByteArray garbage(PageSize, '\0');
    for (int i = 0; i < PageSize; ++i)
        garbage[i] = char((i * 7919 + 13) % 251);
    ASSERT_EQ(f.write(garbage), PageSize);
}

inline int pagesOf(const QString& path)
{
    return int(QFile(path).size() / PageSize);
}

// Makes a file read-only for the length of the scope. Root ignores permissions: for root the file is also
// made immutable. ok() is false when the file could still be written (a file system without that flag).
class ReadOnlyFile
{
public:
    explicit ReadOnlyFile(const QString& path) : m_path(QFile::encodeName(path))
    {
        ::chmod(m_path.constData(), 0444);
        if (::geteuid() == 0)
            setImmutable(true);
        const int fd = ::open(m_path.constData(), O_WRONLY);
        m_ok = fd < 0;
        if (fd >= 0)
            ::close(fd);
    }
    ~ReadOnlyFile()
    {
        if (::geteuid() == 0)
            setImmutable(false);
        ::chmod(m_path.constData(), 0644);
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    bool ok() const { return m_ok; }

private:
    void setImmutable(bool on)
    {
        const int fd = ::open(m_path.constData(), O_RDONLY);
        if (fd < 0)
            return;
        int flags = 0;
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
            (void)::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        ::close(fd);
    }
    QByteArray m_path;
    bool m_ok = false;
};

// A scripted presenter that also writes each box to a file as it is shown ("number|title|text"), and a stop
// handler that adds "stop|final text|exit code": what a death test's child showed before it ended, for the
// parent to check.
class RecordingPresenter : public kip::ScriptedPresenter
{
public:
    explicit RecordingPresenter(const QString& file) : m_file(file) {}
    int show(const kip::MessageSpec& spec) override
    {
        append(QStringLiteral("%1|%2|%3").arg(spec.number).arg(spec.title, spec.text));
        return ScriptedPresenter::show(spec);
    }
    void append(const QString& line) const
    {
        QFile f(m_file);
        if (f.open(QIODevice::Append))
            f.write(line.toUtf8() + '\n');
    }
    // Installs this presenter and a stop handler that records the stop.
    void install()
    {
        kip::setMessagePresenter(this);
        kip::setStopHandler(
            [this](const QString& text, int code) { append(QStringLiteral("stop|%1|%2").arg(text).arg(code)); });
    }
    QStringList recorded() const
    {
        QFile f(m_file);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private:
    QString m_file;
};

} // namespace storetest
