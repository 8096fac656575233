// A small installation for the tests of the programs and their windows: the directories, the paths, a staff
// in PERSONNEL and a raw punch file.
#pragma once

#include "calendar/Clock.h"
#include "data/Database.h"
#include "data/FileAdmin.h"
#include "data/Files.h"
#include "data/RecordFile.h"

#include <QDir>
#include <QFile>
#include <QList>

// An employee hired for good, whose punches are kept as they are.
inline kip::Personnel employeEssai(qint16 carte, const QString& nom)
{
    kip::Personnel p;
    p.CARTE = carte;
    p.NOM = nom;
    p.ARRONDI_ENTREE = p.ARRONDI_SORTIE = QStringLiteral("00");
    p.DATE_EMBAUCHE = kip::dayNumber(2020, 1, 1);
    p.DATE_DEBAUCHE = kip::dayNumber(2099, 1, 1);
    return p;
}

// Makes the installation dir (emptied first) with its Data directory, sets the paths and writes the staff
// and the raw file. False when something could not be written.
inline bool installationEssai(const QString& dir, const QList<kip::Personnel>& employes, const QByteArray& origine)
{
    QDir(dir).removeRecursively();
    if (!QDir().mkpath(dir + QStringLiteral("/Data")))
        return false;
    kip::setPaths(kip::Paths::forInstallation(dir));
    if (!kip::createRecordFile(kip::tableOf(kip::FileId::Personnel), kip::paths().file(kip::FileId::Personnel)).ok())
        return false;
    kip::Database db(kip::paths().dataDir);
    kip::RecordFile<kip::Personnel> file(db);
    if (!file.open().ok())
        return false;
    for (kip::Personnel p : employes)
        if (!file.add(p).ok())
            return false;
    QFile f(kip::paths().origin(0));
    return f.open(QIODevice::WriteOnly) && f.write(origine) == origine.size();
}
