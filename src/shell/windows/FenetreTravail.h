// The base of every window of the stack (home window, transfer, day initialisation, employee list, ...).
// It registers under its procedure name when constructed, shows itself only while it is the last listed
// window, re-places itself when the frame moves or is resized, receives the bar's buttons while in front,
// and unregisters when it closes (it is then deleted) or is destroyed.
//
// A derived window builds its contents in its constructor and handles its bar row by overriding
// boutonSommaire(): 1024 (slot 1 of a form), 1025 (slot 13) or 1027 + n (slot n = 1..7 of a list). To end,
// it calls close().
#pragma once

#include <QBasicTimer>
#include <QString>
#include <QWidget>

namespace kip {

class Cadre;

class FenetreTravail : public QWidget
{
    Q_OBJECT

public:
    FenetreTravail(Cadre& cadre, const QString& nomProcedure);
    ~FenetreTravail() override;

    const QString& nomProcedure() const { return m_nom; }
    Cadre& cadre() const { return m_cadre; }
    // The window's number in the open-window list (THREADFENETREACTIVE); 0 once unregistered.
    int numeroFenetre() const { return m_numero; }

protected:
    // A button of the bar was pressed while this window was in front. The default does nothing.
    virtual void boutonSommaire(int evenement);
    // The window was just re-placed because the frame moved or was resized.
    virtual void deplacee() {}

    // Batch windows start their work by themselves a moment after they appear: lancer() is called at the
    // third tick of a timer of the given period.
    void lancerAuTroisiemeTop(int periodeMs);
    virtual void lancer() {}
    void timerEvent(QTimerEvent* event) override;

    bool event(QEvent* event) override;

private:
    void desinscrire();

    Cadre& m_cadre;
    QString m_nom;
    int m_numero = 0;
    QBasicTimer m_minuterie;
    int m_tops = 0;
};

} // namespace kip
