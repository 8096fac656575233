// The one pass of kipempty after its start-up: the day initialisation, then the transfer, which decides
// alone (archive when nothing was rejected, keep the raw file otherwise), then the end. Progress goes to a
// small window when there is a display, to standard error otherwise.
#pragma once

#include <QObject>
#include <QStringList>

class QLabel;
class QListWidget;
class QProgressBar;
class QWidget;

namespace kip {

class Demarrage;
class TacheInitialisation;
class TacheTransfert;

class ExecutionKipempty : public QObject
{
    Q_OBJECT

public:
    ExecutionKipempty(Demarrage& demarrage, bool fenetre);
    ~ExecutionKipempty() override;

    // Starts the pass; the application's loop ends with the pass.
    void demarrer();

private:
    void etape(const QString& texte, int fait, int total);
    void initialisationTerminee(const QString& erreur);
    void transfertLu();
    void terminer(int code);

    Demarrage& m_demarrage;
    QWidget* m_fenetre = nullptr;
    QLabel* m_etape = nullptr;
    QProgressBar* m_barre = nullptr;
    QListWidget* m_rejets = nullptr;
    TacheInitialisation* m_init = nullptr;
    TacheTransfert* m_transfert = nullptr;
    QString m_dernierTexte;
};

} // namespace kip
