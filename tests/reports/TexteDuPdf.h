// The texts of a PDF as pdftotext reads them, for the tests that check what a report or the preview wrote.
#pragma once

#include <QProcess>
#include <QString>

// The texts of a PDF file as pdftotext lays them out; empty when pdftotext could not run (which fails).
inline QString texteDuPdf(const QString& chemin)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), chemin, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}
