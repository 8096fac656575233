// Where swipes come from: a serial reader, a reader that types like a keyboard (read from its Linux input
// device, taken exclusively so that what it types reaches no window), or card numbers typed on standard
// input for the demo.
#pragma once

#include "Clavier.h"
#include "Decodeurs.h"
#include "data/FileError.h"

#include <QObject>
#include <QTimer>
#include <memory>

class QSerialPort;
class QSocketNotifier;

namespace kip {

// A swipe whose bytes stop coming for this long was cut short.
constexpr int DelaiFinLectureMs = 500;

class Entree : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    // Opens the device; the error names it, and its text says why it cannot be read.
    virtual FileError ouvrir() = 0;
    virtual QString description() const = 0;

Q_SIGNALS:
    void lue(const kip::Lecture& lecture);
    // The device went away (a USB adapter pulled out): the input is closed and may be opened again later.
    void perdue(const QString& erreur);
};

// A serial reader at 9600 bauds, 8 data bits, no parity, one stop bit, no flow control.
class EntreeSerie : public Entree
{
    Q_OBJECT
public:
    EntreeSerie(const QString& peripherique, Marque marque, QObject* parent = nullptr);
    ~EntreeSerie() override;
    FileError ouvrir() override;
    QString description() const override { return m_peripherique; }

private:
    void recevoir();

    QString m_peripherique;
    DecodeurSerie m_decodeur;
    QSerialPort* m_port;
    QTimer m_delai;
};

// A keyboard reader's input device (/dev/input/event*), grabbed with EVIOCGRAB.
class EntreeClavier : public Entree
{
    Q_OBJECT
public:
    EntreeClavier(const QString& peripherique, Marque marque, QObject* parent = nullptr);
    ~EntreeClavier() override;
    FileError ouvrir() override;
    QString description() const override { return m_peripherique; }

private:
    void recevoir();
    void fermer();
    void ligne(const QByteArray& texte);

    QString m_peripherique;
    Marque m_marque;
    int m_fd = -1;
    QSocketNotifier* m_notificateur = nullptr;
    SaisieClavier m_saisie;
    QTimer m_delai;
};

// Simulated swipes on standard input, one per line: a number alone is a good read of that card (a bad card
// outside 1 to 9999); any other line is what a keyboard reader of the make would type ("E" for a bad read).
class EntreeSimulation : public Entree
{
    Q_OBJECT
public:
    explicit EntreeSimulation(Marque marque, int fd = 0, QObject* parent = nullptr);
    FileError ouvrir() override;
    QString description() const override { return QStringLiteral("simulation (entrée standard)"); }

    // One line as the simulation reads it.
    static Lecture lireLigne(Marque marque, QByteArrayView ligne);

Q_SIGNALS:
    // The end of the input, once its last line (with or without its line end) was read.
    void terminee();

private:
    void recevoir();
    void ligne(const QByteArray& texte);

    Marque m_marque;
    int m_fd;
    QSocketNotifier* m_notificateur = nullptr;
    QByteArray m_tampon;
};

// Opens the right kind of input for a device.
std::unique_ptr<Entree> creerEntree(const QString& peripherique, Marque marque);

} // namespace kip
