// A reader that types like a keyboard: its key codes (Linux input events) back into the characters it
// typed. The codes are read raw from the device, before any keyboard layout of the machine applies, so they
// are read as the US layout that such readers type in by default, whatever layout the desktop uses.
#pragma once

#include <QByteArray>
#include <optional>

namespace kip {

// The character of a key in the US layout, or 0 for a key that types none.
char caractereUs(int code, bool majuscule);

// Gathers the key presses of one swipe; the line comes out at Enter.
class SaisieClavier
{
public:
    // One key event: code, and value 0 release, 1 press, 2 repeat.
    std::optional<QByteArray> touche(int code, int valeur);
    bool enCours() const { return !m_ligne.isEmpty(); }
    // What was typed so far, given up (no Enter came).
    QByteArray abandonner();

    static constexpr qsizetype TailleMax = 512;

private:
    bool m_majGauche = false;
    bool m_majDroite = false;
    QByteArray m_ligne;
};

} // namespace kip
