// Playing a .wav file of the Son directory without waiting for it: the settings form's "Ecouter le son".
// The sounds play on a thread of their own, so that a machine whose sound output is slow to answer, or that
// has none, never holds the window up; such a machine simply plays nothing.
#pragma once

#include <QString>
#include <memory>

class QThread;

namespace kip {

class JoueurSons
{
public:
    virtual ~JoueurSons() = default;
    // Starts playing the file (full path) and returns at once.
    virtual void jouer(const QString& fichier) = 0;

    // The player of the program; tests put one of their own in its place (nullptr restores the program's).
    static JoueurSons& programme();
    static void remplacer(JoueurSons* joueur);
};

class LecteurEffets;

// The player on Qt Multimedia's sound effects.
class JoueurSonsQt : public JoueurSons
{
public:
    JoueurSonsQt();
    ~JoueurSonsQt() override;
    void jouer(const QString& fichier) override;

private:
    std::unique_ptr<QThread> m_thread;
    LecteurEffets* m_lecteur; // lives on m_thread
};

} // namespace kip
