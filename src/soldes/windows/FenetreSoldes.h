// FenetreSoldes, the balances set by hand (Kip only, reached from the absence window): the operator picks an
// employee and sees the balances of today (the working-time account, paid leave of the previous and current
// periods, RTT, REC) with the balance records already set, then sets a starting balance (the account in hours,
// CP in days) or credits RTT or REC, with a date and a comment. Reads and the write run on a worker; the
// balances are read again after each write.
#pragma once

#include "data/Database.h"
#include "data/Files.h"
#include "data/Tache.h"
#include "shell/Program.h"
#include "shell/windows/FenetreTravail.h"
#include "soldes/FichierSoldes.h"

#include <optional>
#include <variant>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace kip {

class SelecteurEmploye;

class FenetreSoldes : public FenetreTravail
{
    Q_OBJECT

public:
    explicit FenetreSoldes(Cadre& cadre);
    ~FenetreSoldes() override;

    // For tests and the controls.
    SelecteurEmploye* selecteur() const { return m_selecteur; }
    QListWidget* enregistres() const { return m_enregistres; }
    QString soldesAffiches() const;
    QString statut() const;
    bool enAttente() const { return m_tache.enCours(); }
    void choisirEmploye(const Personnel& employe);
    // Checks what is typed and writes it on a worker; false (and a message) when it is refused at once.
    bool enregistrer();

protected:
    void boutonSommaire(int evenement) override;

private:
    // What the worker gives back: the employees for the picker, an employee's balances, or the write's end.
    struct Employes
    {
        std::vector<Personnel> liste;
    };
    struct Lus
    {
        Personnel employe;
        SoldesLus soldes;
    };
    using Lecture = std::variant<std::monostate, Result<Employes>, Result<Lus>, FileError>;

    void construire();
    void lancer(std::function<Lecture(Database&)> travail, const QString& texte);
    void termine();
    void afficher(const Lus& lus);
    void ajusterSaisie();
    void dire(const QString& texte);

    FileUse m_usagePersonnel, m_usagePointVal, m_usageTypes, m_usageAbsences, m_usageHoraires, m_usageReglages,
        m_usageSoldes, m_usageJournal;
    Database m_db;
    SelecteurEmploye* m_selecteur = nullptr;
    QLabel* m_soldes = nullptr;
    QListWidget* m_enregistres = nullptr;
    QComboBox* m_nature = nullptr;
    QComboBox* m_compte = nullptr;
    QLineEdit* m_valeur = nullptr;
    QLabel* m_texteAcquis = nullptr;
    QLineEdit* m_acquis = nullptr;
    QLineEdit* m_date = nullptr;
    QLineEdit* m_commentaire = nullptr;
    QPushButton* m_bouton = nullptr;
    QLabel* m_statut = nullptr;
    std::optional<Personnel> m_employe;
    QString m_annonce;     // said after the next read
    bool m_relire = false; // an employee was chosen while the worker was busy
    TacheDe<Lecture> m_tache;
};

// Registers the window with the windows of Kip (the balances are set with the settings: Kip only).
void enregistrerFenetreSoldes(Program programme);

} // namespace kip
