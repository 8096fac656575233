// The utilities window ("Utilitaires", Kip only): the purge of old weeks up to a chosen week, the rebuild
// of all keys, the manual backup into SaveManu, and the restore from the copy of SaveAuto, of SaveManu or of the
// files before one of the last restores. Each section is an explanation text and its buttons; each action that
// succeeded runs once per opening of the window (a failed backup can be asked again). The bar
// shows only Quitter (event 1025), which presses the hidden "Fermer".
#pragma once

#include "shell/windows/FenetreTravail.h"
#include "utilities/Purge.h"
#include "utilities/Restauration.h"

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace kip {

class FileUse;
class TachePurge;
class TacheRestauration;
class TacheSauvegarde;

class Utilitaires : public FenetreTravail
{
    Q_OBJECT

public:
    explicit Utilitaires(Cadre& cadre);
    ~Utilitaires() override;

    // The wait after the card reader's pause request (one second); tests shorten it.
    static void setAttentePause(int ms);

    const FinPurge& finPurge() const { return m_fin; }
    const FinPurge& limitePurge() const { return m_limite; }
    bool occupe() const; // a purge, backup or restore is running

    // Controls, also found by objectName.
    QPlainTextEdit* textePurge() const { return m_textePurge; }
    QPlainTextEdit* texteSauvegarde() const { return m_texteSauvegarde; }
    QPlainTextEdit* texteIndexage() const { return m_texteIndexage; }
    QPlainTextEdit* texteRestauration() const { return m_texteRestauration; }
    QPushButton* boutonLancerPurge() const { return m_lancerPurge; }
    QPushButton* boutonConfirmer() const { return m_confirmer; }
    QPushButton* boutonSemaine() const { return m_choisirSemaine; }
    QLabel* texteSemaine() const { return m_semaine; }
    QPushButton* boutonSauvegarder() const { return m_sauvegarder; }
    QPushButton* boutonIndexer() const { return m_indexer; }
    QPushButton* boutonRestaurer() const { return m_restaurer; }
    QPushButton* boutonConfirmerRestauration() const { return m_confirmerRestauration; }
    QRadioButton* choixSaveAuto() const { return m_saveAuto; }
    QRadioButton* choixSaveManu() const { return m_saveManu; }
    QRadioButton* choixAvantRestauration() const { return m_avantRestauration; }
    QComboBox* copiesAvantRestauration() const { return m_copiesAvant; }
    QPushButton* boutonFermer() const { return m_fermer; }

Q_SIGNALS:
    // A purge, backup, re-index or restore has ended (also a refused one).
    void actionTerminee();

protected:
    void boutonSommaire(int evenement) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* construireSections();
    void choisirSemaine();
    void lancerPurge();
    void confirmerPurge();
    void purgeTerminee();
    void sauvegarder();
    void sauvegardeTerminee();
    void indexer();
    void restaurer();
    void confirmerRestauration();
    void restaurationTerminee();
    void changerSource();
    void afficher(QPlainTextEdit* champ, const QString& texte);
    void occuper(bool oui);
    CopieRestaurable source() const;
    void remplirCopiesAvant();

    std::unique_ptr<FileUse> m_dateSave;
    FinPurge m_limite;
    FinPurge m_fin;
    QString m_explicationPurge;
    QString m_explicationRestauration;
    bool m_fermerApres = false;
    int m_occupations = 0;

    QPlainTextEdit* m_textePurge = nullptr;
    QPlainTextEdit* m_texteSauvegarde = nullptr;
    QPlainTextEdit* m_texteIndexage = nullptr;
    QPlainTextEdit* m_texteRestauration = nullptr;
    QPushButton* m_lancerPurge = nullptr;
    QPushButton* m_confirmer = nullptr;
    QPushButton* m_choisirSemaine = nullptr;
    QLabel* m_semaine = nullptr;
    QProgressBar* m_progressionPurge = nullptr;
    QPushButton* m_sauvegarder = nullptr;
    QPushButton* m_indexer = nullptr;
    QRadioButton* m_saveAuto = nullptr;
    QRadioButton* m_saveManu = nullptr;
    QRadioButton* m_avantRestauration = nullptr;
    QComboBox* m_copiesAvant = nullptr;
    QPushButton* m_restaurer = nullptr;
    QPushButton* m_confirmerRestauration = nullptr;
    QProgressBar* m_progressionRestauration = nullptr;
    QPushButton* m_fermer = nullptr;

    TachePurge* m_tachePurge = nullptr;
    TacheSauvegarde* m_tacheSauvegarde = nullptr;
    TacheRestauration* m_tacheRestauration = nullptr;
};

// Makes "Utilitaires" a window that the bar can start (Kip only).
void enregistrerUtilitaires();

} // namespace kip
