// The origin transfer window: reads the raw punch file on a worker thread, lists the rejected punches
// ("Pointages non traités"), then archives the raw file ([SUPPRIMER]) or keeps it ([GARDER]). The card
// reader is told to resume whenever the window ends.
#pragma once

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
    // lignes: the line count of the raw file, for the progress bar.
    TransfertOrigine(Cadre& cadre, int lignes);
    ~TransfertOrigine() override;

    // Opens the window when the raw file holds lines; otherwise only tells the reader to resume.
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
};

} // namespace kip
