// The sounds of the card reader: the two .wav files of the Son directory that KipGuard.txt names, and the
// test ring of the port test. Playing never holds up a swipe: the sounds play from a thread of their own,
// and a machine without a sound card plays nothing and says so once, without failing.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

class QThread;

namespace kip {

class Sons
{
public:
    virtual ~Sons() = default;
    // Plays a .wav file (full path) without waiting for it; an empty path plays nothing.
    virtual void jouer(const QString& fichier) = 0;
    virtual void sonnerieTest() = 0;
};

// The test ring as a .wav file: two tones in turn, three times.
QByteArray sonnerieTestWav();

class JoueurSons;

class SonsQt : public Sons
{
public:
    SonsQt();
    ~SonsQt() override;
    void jouer(const QString& fichier) override;
    void sonnerieTest() override;

    // The longest wait, at the end, for sound files still being read.
    static constexpr int FinMaxMs = 2000;

private:
    std::unique_ptr<QThread> m_thread;
    JoueurSons* m_joueur; // lives on m_thread
};

} // namespace kip
