// The swipes held while the card reader is paused: a spool file of the data directory, one raw punch line
// per swipe, each appended and synced before the swipe is acknowledged, so that a killed reader or a power
// cut loses none.
//
// At resume the held lines are handed over to Origin00.txt in their order, once and only once, even when
// the reader is killed in the middle. The hand-over never appends into the raw file: it writes the new raw
// file whole beside it (the current lines, then the held ones) and renames it over Origin00.txt. The names
// of the files on disk say at every moment how far it went:
//   1. Origin00.txt.kipguard is written and synced;
//   2. the spool KipGuardAttente.txt is renamed KipGuardVersement.txt: the new raw file is complete;
//   3. Origin00.txt.kipguard is renamed Origin00.txt: the held lines are in the raw file;
//   4. KipGuardVersement.txt is removed.
// A run that finds KipGuardVersement.txt but no Origin00.txt.kipguard knows that step 3 was done; with both,
// it undoes step 2; with only Origin00.txt.kipguard, it removes that file.
#pragma once

#include "EcritureDurable.h"

#include <QString>
#include <functional>

namespace kip {

class Attente
{
public:
    explicit Attente(const QString& dataDir);

    static QString nomAttente() { return QStringLiteral("KipGuardAttente.txt"); }
    static QString nomVersement() { return QStringLiteral("KipGuardVersement.txt"); }
    static QString nomNouvelleOrigine() { return QStringLiteral("Origin00.txt.kipguard"); }
    QString chemin() const { return m_attente; }

    // Finishes or undoes a hand-over that a previous run left halfway, and drops a last line cut short by a
    // crash (it was never acknowledged). Called once before anything else.
    FileError reparer();
    // Holds one raw punch line (24 characters, without its end).
    FileError ajouter(const QByteArray& ligne);
    // The number of lines held.
    int nombre() const { return m_nombre; }
    // Hands the held lines over to the raw punch file, after the lines already there.
    FileError verser(const QString& origine);

    // Called between the steps of a hand-over with the number of the step done; false stops it there, as a
    // kill would. For tests.
    void setArret(std::function<bool(int etape)> arret) { m_arret = std::move(arret); }

    static constexpr int TailleLigne = 26; // 24 characters and CR LF

private:
    FileError annulerVersement();
    bool arret(int etape) const { return m_arret && !m_arret(etape); }

    QString m_attente;
    QString m_versement;
    QString m_nouvelle;
    int m_nombre = 0;
    std::function<bool(int)> m_arret;
};

} // namespace kip
