// Ends the event loop on SIGTERM and SIGINT (systemctl stop, Ctrl-C) once the work in hand is done, so that
// the program leaves by its ordinary way and removes its socket. A kill -9 loses nothing either: every
// swipe is on disk when it is acknowledged.
#pragma once

#include <QObject>

namespace kip {

class ArretSignal : public QObject
{
    Q_OBJECT
public:
    explicit ArretSignal(QObject* parent = nullptr);
    ~ArretSignal() override;
};

} // namespace kip
