// The origin transfer window: reads the raw punch file on a worker thread, lists the rejected punches
// ("Pointages non traités"), then archives the raw file ([SUPPRIMER]) or keeps it ([GARDER]). It holds the
// card reader's pause from its opening: the reader resumes when the window ends, whatever way it ends.
#pragma once

#include "shell/PauseLecteur.h"
#include "shell/windows/FenetreTravail.h"

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QWidget;

namespace kip {

class TacheTransfert;

class TransfertOrigine : public FenetreTravail
{
    Q_OBJECT

public:
    // lignes: the line count of the raw file, for the progress bar; pause: the reader's pause, resumed when
    // the window ends.
    TransfertOrigine(Cadre& cadre, int lignes, PauseLecteur pause);
    ~TransfertOrigine() override;

    // Takes the reader's pause over from the frame and opens the raw file as the common open does (created
    // when missing; a file that cannot be read is reported and left as it is). Opens the window when the file
    // holds complete lines; otherwise the reader resumes at once and no window opens.
    static FenetreTravail* ouvrir(Cadre& cadre);

    enum class Etat
    {
        Attente,
        Lecture,
        Decision,
        Fin
    };
    Etat etat() const { return m_etat; }
    QStringList rejets() const;

protected:
    void boutonSommaire(int evenement) override;
    void lancer() override;

private:
    void lue();
    void archiver();
    void garder();

    Etat m_etat = Etat::Attente;
    qint64 m_octetsLus = 0;
    QListWidget* m_liste = nullptr;
    QWidget* m_progression = nullptr;
    QProgressBar* m_barre = nullptr;
    QLabel* m_carte = nullptr;
    QLabel* m_nom = nullptr;
    QPlainTextEdit* m_explication = nullptr;
    TacheTransfert* m_tache = nullptr;
    PauseLecteur m_pause;
};

} // namespace kip
