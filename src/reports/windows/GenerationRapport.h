// The progress window of a report run, "Génération rapport": a bar from 0 to 100, a line of text that the
// report leaves empty, the percentage followed by "% terminé", and "&Annuler".
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace kip {

class GenerationRapport : public QDialog
{
    Q_OBJECT

public:
    explicit GenerationRapport(QWidget* parent = nullptr);

    // The percentage shown; once 100 is shown nothing more changes.
    void montrer(int pourcent);
    int pourcent() const { return m_pourcent; }
    QString textePourcent() const;
    QPushButton* boutonAnnuler() const { return m_annuler; }

Q_SIGNALS:
    void annulation();

protected:
    void reject() override;

private:
    int m_pourcent = 0;
    QProgressBar* m_barre = nullptr;
    QLabel* m_texte = nullptr;
    QLabel* m_pourcentage = nullptr;
    QPushButton* m_annuler = nullptr;
};

} // namespace kip
