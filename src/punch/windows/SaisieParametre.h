// The settings form ("SaisieParametre", Kip only): the summary position of the frame, which is the one field
// of PARAMETRE on the form, and the card reader's configuration of KipGuard.txt (serial port, make, the two
// sounds, which it can play). The card-reader program is paused from the opening of the form to its closing,
// however it closes, and can be asked to test its port. The bar's Accepter (1024) saves, Annuler (1025)
// leaves without saving.
#pragma once

#include "data/Database.h"
#include "data/Files.h"
#include "punch/ConfigurationLecteur.h"
#include "punch/EnregistrementParametre.h"
#include "shell/PauseLecteur.h"
#include "shell/windows/FenetreTravail.h"

#include <array>

class QButtonGroup;
class QCheckBox;
class QPushButton;
class QRadioButton;
class QTableView;

namespace kip {

class ModeleSons;
class Sons;

class SaisieParametre : public FenetreTravail
{
    Q_OBJECT

public:
    explicit SaisieParametre(Cadre& cadre);
    ~SaisieParametre() override;

    // The wait after the pause request before KipGuard.txt is read (one second); tests shorten it.
    static void setAttentePause(int ms);
    // The sounds that "Ecouter le son" plays through: the card reader's own player (on a thread of its own,
    // silent on a machine without sound), unless a test puts another in its place (nullptr restores it).
    static void setSons(Sons* sons);

    // KipGuard.txt has been read (after the pause's wait): the form can be saved.
    bool pret() const { return m_pret; }
    bool insertion() const { return m_saisie.insertion; }
    const ConfigurationLecteur& configuration() const { return m_config; }

    // Controls, also found by objectName.
    QCheckBox* caseSommaire() const { return m_sommaire; }
    QTableView* listeCarteLue() const { return m_listeCarteLue; }
    QTableView* listeMauvaiseCarte() const { return m_listeMauvaiseCarte; }
    ModeleSons* modeleCarteLue() const { return m_modeleCarteLue; }
    ModeleSons* modeleMauvaiseCarte() const { return m_modeleMauvaiseCarte; }
    QPushButton* ecouterCarteLue() const { return m_ecouterCarteLue; }
    QPushButton* ecouterMauvaiseCarte() const { return m_ecouterMauvaiseCarte; }
    QRadioButton* magtek() const { return m_magtek; }
    QRadioButton* omron() const { return m_omron; }
    QRadioButton* port(int n) const { return m_ports[size_t(n - 1)]; } // 1..8
    QPushButton* tester() const { return m_tester; }
    QPushButton* ok() const { return m_ok; }
    QPushButton* annuler() const { return m_annuler; }

Q_SIGNALS:
    void pretAEditer();

protected:
    void boutonSommaire(int evenement) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void construire();
    void lireConfiguration();
    void ecouter(QTableView* liste);
    void testerPort();
    void enregistrer();
    QString sonChoisi(QTableView* liste) const;
    int portChoisi() const;

    // The pause first and the resume last: the files are closed before the reader may go on.
    PauseLecteur m_pause = PauseLecteur::demander();
    FileUse m_fichier{FileId::Parametre};
    Database m_db;
    SaisieParametres m_saisie;
    ConfigurationLecteur m_config;
    bool m_pret = false;

    QWidget* m_panneau = nullptr;
    QCheckBox* m_sommaire = nullptr;
    QTableView* m_listeCarteLue = nullptr;
    QTableView* m_listeMauvaiseCarte = nullptr;
    ModeleSons* m_modeleCarteLue = nullptr;
    ModeleSons* m_modeleMauvaiseCarte = nullptr;
    QPushButton* m_ecouterCarteLue = nullptr;
    QPushButton* m_ecouterMauvaiseCarte = nullptr;
    QRadioButton* m_magtek = nullptr;
    QRadioButton* m_omron = nullptr;
    std::array<QRadioButton*, PortLecteurMax> m_ports{};
    QButtonGroup* m_groupePorts = nullptr;
    QPushButton* m_tester = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_annuler = nullptr;
};

// Makes "SaisieParametre" a window that the bar can start (Kip only).
void enregistrerSaisieParametre();

} // namespace kip
