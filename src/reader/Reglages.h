// What the card-reader program reads from KipGuard.txt, and where each of the ports 1 to 8 that the settings
// form offers is found on this machine.
//
// Port n is, in this order: the device given for it on the command line (--port n=DEVICE); the device
// /dev/kip-port<n> when it exists (a name that a udev rule gives to a USB adapter or a keyboard reader);
// the PC's own serial port /dev/ttyS<n-1> (COM1 is ttyS0). A device that is a Linux input device
// (/dev/input/event*, or a link to one) is read as a reader that types like a keyboard; any other as a
// serial line.
#pragma once

#include "Lecture.h"

#include <QMap>
#include <QString>

namespace kip {

constexpr int PortMin = 1;
constexpr int PortMax = 8;

struct ReglagesLecteur
{
    int port = 0; // 1 to 8; 0 when none was chosen
    QString sonCarteLue;
    QString sonMauvaiseCarte;
    Marque marque = Marque::Magtek;

    // The four lines of KipGuard.txt; a missing file or line keeps the value's default, and a port that is
    // not a number from 1 to 8 is no port.
    static ReglagesLecteur lire(const QString& cheminKipGuard);
    bool operator==(const ReglagesLecteur&) const = default;
};

// Devices given on the command line, by port.
using PeripheriquesImposes = QMap<int, QString>;

QString peripheriquePort(int port, const PeripheriquesImposes& imposes);
// Whether a device is a Linux input device (character device of the input major).
bool estPeripheriqueSaisie(const QString& peripherique);

} // namespace kip
