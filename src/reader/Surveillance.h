// The card-reader program's work: one raw punch line per good swipe, on disk before the good-read sound;
// nothing written for a bad read; while paused, swipes held in the spool and handed over at resume, in
// order; the port test. The programs' messages come through message(); the swipes through the inputs.
#pragma once

#include "Attente.h"
#include "DernieresLectures.h"
#include "Entrees.h"
#include "Reglages.h"
#include "data/Files.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

namespace kip {

class Sons;

struct OptionsSurveillance
{
    PeripheriquesImposes peripheriques; // --port n=DEVICE
    int terminal = 1;                   // the terminal number written in each line
    bool simulation = false;            // card numbers on standard input stand for the reader
};

class Surveillance : public QObject
{
    Q_OBJECT
public:
    static constexpr int DelaiNouvelEssaiMs = 5000;

    Surveillance(const Paths& chemins, const OptionsSurveillance& options, Sons& sons, QObject* parent = nullptr);
    ~Surveillance() override;

    using FabriqueEntree = std::function<std::unique_ptr<Entree>(int port, const QString& peripherique, Marque)>;
    // Replaces the inputs made for the ports (tests).
    void setFabriqueEntree(FabriqueEntree fabrique) { m_fabrique = std::move(fabrique); }

    // Repairs the spool, reads KipGuard.txt, opens the reader and hands over what the spool holds. False
    // when the spool cannot be repaired (the data directory is out of reach).
    bool demarrer();

    // A message of a program (the numbers of LecteurCartes); the answer: 1 for a message understood, else 0.
    int message(int numero);
    void pause();
    void reprise();
    void testerPort(int port);

    bool enPause() const { return m_pause; }
    const ReglagesLecteur& reglages() const { return m_reglages; }
    // The port and its device, and what is wrong with it, for the window.
    QString descriptionPort() const;
    QString etatPort() const { return m_erreurPort; }
    int enAttente() const { return m_attente.nombre(); }
    int portEnTest() const { return m_portTest; }
    DernieresLectures* dernieres() { return &m_dernieres; }

    void lecture(const Lecture& lecture, int port);

Q_SIGNALS:
    // The state, the port or the spool changed.
    void changement();
    // One line for the journal (standard error of a service).
    void journal(const QString& texte);
    // The simulated input came to its end: no swipe will come any more.
    void entreeTerminee();

private:
    void ouvrirEntree();
    void nouvelEssai();
    void verser();
    void enregistrer(int carte);
    void noter(int carte, const QString& resultat, const QString& texte, bool enAttente = false);
    QString cheminSon(const QString& nom) const;
    std::unique_ptr<Entree> creer(int port, const QString& peripherique);

    Paths m_chemins;
    OptionsSurveillance m_options;
    Sons& m_sons;
    Attente m_attente;
    ReglagesLecteur m_reglages;
    DernieresLectures m_dernieres;
    FabriqueEntree m_fabrique;
    std::unique_ptr<Entree> m_entree;     // the reader of the port of KipGuard.txt
    std::unique_ptr<Entree> m_entreeTest; // the port under test, when it is another one
    QString m_peripherique;
    QString m_erreurPort;
    QString m_erreurVersement;
    bool m_pause = false;
    int m_portTest = 0;
    QTimer m_nouvelEssai;
};

} // namespace kip
