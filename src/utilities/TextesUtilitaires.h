// The explanation texts of the utilities window, as they stand, and what each action appends to them. Lines
// end with CR LF.
#pragma once

#include <QString>
#include <QStringList>

namespace kip {

QString TexteExplicationPurge();
QString TexteExplicationIndexage();
// dateManu: DAT:DATEMANU (0 when no manual backup was ever made).
QString TexteExplicationSauvegarde(qint32 dateManu);
QString TexteExplicationRestauration();

// Appended to the purge text.
QString TextePurgeFaite(qint32 finPurge);
// autresPostes: the server's clause naming the stations connected, when they are the reason.
QString TextePurgeRefusee(const QString& autresPostes = {});
QString TextePurgeEchouee(const QString& erreur);
// Appended to the re-index text.
QString TexteIndexageFait();
// The re-index refused (the administrator's role needed on a server).
QString TexteIndexageRefuse(const QString& erreur);
// The backup text after a manual backup: the new date, or which copies could not be written (else the cause of
// the failure) and the date of the last backup that was made.
QString TexteSauvegardeFaite(qint32 dateManu);
QString TexteSauvegardeIncomplete(const QStringList& echecs, qint32 dateManu, const QString& cause = {});

} // namespace kip
