#include "TextFiles.h"

#include "Cp1252.h"

#include <QFile>

namespace kip {

namespace {

int digits(const char* line, qsizetype length, int from, int count)
{
    if (from + count > length)
        return -1;
    int v = 0;
    for (int i = from; i < from + count; ++i) {
        const char c = line[i];
        if (c < '0' || c > '9')
            return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

} // namespace

OriginLine OriginLine::parse(const char* line, qsizetype length)
{
    OriginLine o;
    o.carte = digits(line, length, 0, 4);
    o.jour = digits(line, length, 5, 2);
    o.mois = digits(line, length, 8, 2);
    o.annee = digits(line, length, 11, 4);
    o.heure = digits(line, length, 16, 2);
    o.minute = digits(line, length, 19, 2);
    o.terminal = digits(line, length, 22, 2);
    return o;
}

QByteArray formatOriginLine(int carte, int jour, int mois, int annee, int heure, int minute, int terminal)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d %02d/%02d/%04d %02d:%02d %02d", carte, jour, mois, annee, heure, minute,
                  terminal);
    return QByteArray(buf, OriginLineLength);
}

QStringList readKipGuardLines(const QString& path)
{
    QStringList lines;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return lines;
    const QList<QByteArray> raw = f.readAll().split('\n');
    for (int i = 0; i < raw.size(); ++i) {
        QByteArray l = raw[i];
        if (i == raw.size() - 1 && l.isEmpty())
            break;
        if (l.endsWith('\r'))
            l.chop(1);
        lines << clipField(fromCp1252(l.left(KipGuardLineLength)), KipGuardLineLength);
    }
    return lines;
}

KipGuard KipGuard::read(const QString& path)
{
    const QStringList lines = readKipGuardLines(path);
    KipGuard k;
    if (lines.size() > 0)
        k.port = lines[0];
    if (lines.size() > 1)
        k.sonCarteLue = lines[1];
    if (lines.size() > 2)
        k.sonMauvaiseCarte = lines[2];
    if (lines.size() > 3)
        k.typeLecteur = lines[3];
    return k;
}

FileError KipGuard::write(const QString& path) const
{
    QByteArray out;
    for (const QString& l : {port, sonCarteLue, sonMauvaiseCarte, typeLecteur.left(6)})
        out += toCp1252(clipField(l, KipGuardLineLength)) + "\r\n";
    return writeFileAtomically(path, out);
}

} // namespace kip
