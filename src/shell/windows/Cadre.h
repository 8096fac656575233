// The application frame of Kip and kipother: a main window that holds the button bar, the home window and
// the stack of work windows, keeps the open-window list, re-places every listed window when it moves or is
// resized, and confirms the exit before closing every window and handing over to the shutdown hook.
#pragma once

#include "ListeFenetres.h"
#include "shell/PauseLecteur.h"
#include "shell/Program.h"

#include <QMainWindow>
#include <QPoint>
#include <QSize>
#include <functional>

namespace kip {

class FenetreSommaire;

class Cadre : public QMainWindow
{
    Q_OBJECT

public:
    // positionSommaire: the summary position flag (1 = bar on the right). shutdown is called once, after the
    // exit was confirmed and every listed window was asked to close, just before the frame closes.
    Cadre(Program programme, int positionSommaire, std::function<void()> shutdown, QWidget* parent = nullptr);
    ~Cadre() override;

    Program programme() const { return m_programme; }
    bool sommaireADroite() const { return m_aDroite; }
    // Changes the summary position setting (the settings form, a restore): the bar and every listed window
    // are re-placed at once.
    void setSommaireADroite(bool aDroite);
    // A discreet text in the status bar.
    void afficherStatut(const QString& texte);

    // The end of the session (a signal, the session manager): no question asked; every window closes as on
    // "Quitter" (the grid keeps its edits as its draft), a window busy with a job once the job is over, then
    // the frame with its shutdown hook. While a modal box waits for an answer, the end waits for it.
    void terminer();
    // The same at once, for an event loop that is ending: a window busy with a job is destroyed with the
    // frame, which waits for the job.
    void terminerMaintenant();
    // The frame is ending by terminer(): windows close without a question.
    bool finForcee() const { return m_finForcee; }
    // The exit is under way (confirmed, or asked by the session): the windows are being closed.
    bool enFermeture() const { return m_termine; }

    // The open-window list and the operations every window uses.
    ListeFenetres& liste() { return m_liste; }
    const ListeFenetres& liste() const { return m_liste; }
    // Appends the window's entry (hidden), rebuilds the bar, places the window and shows only the last
    // entry. Returns the window's number (THREADFENETREACTIVE).
    int inscrire(QWidget* fenetre, const QString& nom);
    // Removes the window's own entry wherever it stands, then the last entry becomes the active window.
    void desinscrire(QWidget* fenetre);
    // Puts a work window beside the bar, over the whole height of the frame.
    void placer(QWidget* fenetre) const;

    // The reader's pause from the start-up: the frame holds it until the transfer takes it over, and resumes
    // it when it closes still holding it (closed during the day initialisation, or no transfer at all).
    void confierPause(PauseLecteur pause) { m_pause = std::move(pause); }
    PauseLecteur cederPause() { return std::move(m_pause); }

    // The area that holds the bar and the windows (parent of every listed window).
    QWidget* zone() const { return m_zone; }
    FenetreSommaire* sommaire() const { return m_sommaire; }
    // The frame's position on screen and the size of its area, as of the last open, move or resize.
    QPoint positionCadre() const { return m_position; }
    QSize tailleCadre() const { return m_taille; }

protected:
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* objet, QEvent* event) override;

private:
    void demarrer();
    void memoriserGeometrie();
    void posterDeplace();
    void posterVisibilite();
    // False when a window refused to close: it and the windows under it stay listed.
    bool fermerFenetres();

    Program m_programme;
    bool m_aDroite;
    std::function<void()> m_shutdown;
    PauseLecteur m_pause; // resumed after the windows (and their jobs) are gone
    ListeFenetres m_liste;
    QWidget* m_zone = nullptr;
    FenetreSommaire* m_sommaire = nullptr;
    QPoint m_position;
    QSize m_taille;
    bool m_demarre = false;
    bool m_question = false;  // the exit question is on screen
    bool m_termine = false;   // the exit was confirmed
    bool m_finForcee = false; // terminer(): no question, every window closes
    bool m_finImmediate = false;
};

} // namespace kip
