// Runs a program of the system as a separate process and waits for its end within a time limit. A program
// that does not end in time is killed and fails the test, as does one that crashes: a hang or a crash is
// never taken for a result.
#pragma once

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

struct FinProcessus
{
    bool fini = false; // ended by itself, normally, within the limit
    int code = -1;
    QString sortie;
    QString erreurs;
};

// Without a display (as under a scheduler) unless the environment given says otherwise.
inline QProcessEnvironment environnementSansAffichage()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    return env;
}

inline FinProcessus lancerJusquaLaFin(const QString& programme, const QStringList& arguments, const QString& repertoire,
                                      const QProcessEnvironment& env = environnementSansAffichage(),
                                      int limiteMs = 60000)
{
    FinProcessus fin;
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(repertoire);
    p.start(programme, arguments);
    if (!p.waitForStarted(limiteMs)) {
        ADD_FAILURE() << programme.toStdString() << " did not start";
        return fin;
    }
    if (!p.waitForFinished(limiteMs)) {
        ADD_FAILURE() << programme.toStdString() << " did not end within " << limiteMs << " ms";
        p.kill();
        p.waitForFinished(limiteMs);
    } else if (p.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << programme.toStdString() << " crashed";
    } else {
        fin.fini = true;
        fin.code = p.exitCode();
    }
    fin.sortie = QString::fromUtf8(p.readAllStandardOutput());
    fin.erreurs = QString::fromUtf8(p.readAllStandardError());
    return fin;
}

// The SHA-1 of every file under a directory, by path: what a program that must change nothing compares.
inline QMap<QString, QByteArray> empreintes(const QString& dir)
{
    QMap<QString, QByteArray> out;
    QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        out.insert(f.fileName(), f.open(QIODevice::ReadOnly)
                                     ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1)
                                     : QByteArray("<illisible>"));
    }
    return out;
}
