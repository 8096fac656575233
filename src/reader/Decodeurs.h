// The swipe decoders of the two reader makes.
//
// Both makes read track 2 of the card (ISO 7811: digits, '=' field separator). The card number is the first
// field of track 2, from its start sentinel (or the start of the data) to the first '=' or the end sentinel:
// 1 to 19 digits whose value is 1 to 9999, leading zeros allowed ("0042" and "0000000042" are card 42).
// Anything else (a bank card, an empty or unreadable track) is a bad card.
//
// Magtek: ASCII text, one line per swipe ended by CR (LF and CR LF accepted), or by Enter when the reader
// types as a keyboard. The line holds the tracks read, each between its sentinels: track 1 "%...?", track 2
// ";...?", track 3 after it. A track the reader could not read comes as "%E?", ";E?" or "+E?".
//
// Omron: on a serial line every swipe is a frame STX (02h), the track 2 characters without sentinels, ETX
// (03h), then a check byte that is the exclusive or of every byte after STX up to and including ETX. A read
// the reader itself found bad comes as NAK (15h). The keyboard version types the track 2 characters (with
// or without their sentinels) and Enter.
#pragma once

#include "Lecture.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <optional>

namespace kip {

constexpr int ChiffresNumeroMax = 19; // the longest first field of a track 2

// The card number of the first field of a track 2; -1 when it is not one.
int numeroCarte(QByteArrayView champ);

// Track 2 data without its sentinels.
Lecture lirePiste2(QByteArrayView donnees);
// One Magtek line, without its end.
Lecture lireLigneMagtek(QByteArrayView ligne);
// One line typed by a keyboard reader of either make, without its Enter.
Lecture lireLigneClavier(Marque marque, QByteArrayView ligne);

// Turns the bytes of a serial reader into swipes, whatever pieces they arrive in.
class DecodeurSerie
{
public:
    explicit DecodeurSerie(Marque marque) : m_marque(marque) {}

    QList<Lecture> recevoir(QByteArrayView octets);
    // Whether part of a swipe is held, waiting for the rest.
    bool enCours() const { return !m_tampon.isEmpty() || m_etat != Etat::Attente; }
    // No byte came for a while after part of a swipe: the swipe was cut short. A Magtek line that already
    // holds a whole track 2 is read all the same (a reader set to send no end of line).
    std::optional<Lecture> abandonner();

    static constexpr qsizetype TailleMax = 512; // longer than any three tracks: noise on the line

private:
    enum class Etat
    {
        Attente, // Omron: between frames
        Trame,   // Omron: after STX
        Controle // Omron: after ETX, the check byte comes
    };
    void recevoirMagtek(char c, QList<Lecture>& sortie);
    void recevoirOmron(char c, QList<Lecture>& sortie);

    Marque m_marque;
    Etat m_etat = Etat::Attente;
    QByteArray m_tampon;
};

} // namespace kip
