// The link to the card-reader program: a local socket whose name derives from the title of the reader's
// window. A message is its number with both parameters 0; the answer is read and not tested. When nothing
// listens, messages go nowhere and nothing is reported.
//
// On the wire a message is three little-endian 32-bit integers (number, 0, 0) and the answer one.
#pragma once

#include <QString>

namespace kip {

class LecteurCartes
{
public:
    static constexpr int Pause = 1024;
    static constexpr int Reprise = 1025;
    static constexpr int TestPort1 = 1026; // 1025 + n for port n = 1..8

    static QString titreFenetre() { return QStringLiteral("Module de suveillance du lecteur magnétique"); }
    // The socket name that stands for the reader's window title, the same in every program. The environment
    // variable KIP_LECTEUR_SOCKET replaces it, so that tests (and several installations on one machine) can
    // each have a reader of their own.
    static QString nomSocket();

    // The link of this program, looked up at the frame's opening and used by every window.
    static LecteurCartes& programme();

    // Looks the reader up once; later messages go to what was found, or nowhere.
    void chercher();
    bool trouve() const { return m_trouve; }
    // Whether this program looked the reader up (Kip and kipempty at their start; kipother never does).
    bool cherche() const { return m_cherche; }
    // Sends a message synchronously when the reader was found; returns the answer (0 when none).
    int envoyer(int message) const;

private:
    bool m_trouve = false;
    bool m_cherche = false;
    QString m_nom;
};

} // namespace kip
