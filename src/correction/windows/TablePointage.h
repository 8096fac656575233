// TablePointage, the punch list: the day lines between two dates and two cards in one of four orders (tabs,
// the last one chosen remembered while the program runs), filtered by attendance with six coloured buttons.
// From a line the operator opens the correction grid on that employee and week, or clears the user punches
// of that day; the list is read again around its place when the grid returns. Only the rows shown are read.
#pragma once

#include "correction/BornesPointage.h"
#include "correction/PagePointage.h"
#include "data/Database.h"
#include "data/Files.h"
#include "employees/Echanges.h"
#include "lists/windows/FenetreListe.h"

#include <array>
#include <functional>
#include <optional>

class QLabel;
class QPushButton;
class QToolButton;

namespace kip {

class ModelePointage;
class SelecteurEmploye;

// The order of the list while the program runs.
OrdrePointage ordrePointageMemorise();
void memoriserOrdrePointage(OrdrePointage ordre);
void oublierOrdrePointage();

class TablePointage : public FenetreListe
{
    Q_OBJECT

public:
    explicit TablePointage(Cadre& cadre);
    ~TablePointage() override;

    static FenetreTravail* ouvrir(Cadre& cadre);

    const PagePointage& page() const { return m_page; }
    const BornesPointage& bornes() const { return *m_bornes; }
    Presence presence() const { return m_presence; }
    ModelePointage* modele() const { return m_modele; }
    QPushButton* boutonPresence(Presence p) const { return m_presences[size_t(p)]; }
    SelecteurEmploye* selecteur(bool fin) const { return fin ? m_selecteurFin : m_selecteurDebut; }

    // The commands.
    void nouveau() override;
    void modifier() override;
    void supprimer() override;
    void choisirOrdre(OrdrePointage ordre);
    void choisirPresence(Presence presence);
    void choisirDate(bool fin);
    void choisirSemaine(bool fin);
    void choisirEmploye(bool fin, const Personnel& employe);

Q_SIGNALS:
    // The list was read again after the grid returned (or the clear was answered).
    void grilleTerminee(kip::Reponse reponse);

protected:
    PageListe& pageListe() override { return m_page; }
    void construire() override;
    bool ouvrirListe() override;
    void afficherLignes() override;
    void afficherAutour() override { afficherBornes(); }
    int indexOrdre() const override { return static_cast<int>(m_page.ordre()) - 1; }
    void choisirOrdreIndex(int index) override { choisirOrdre(static_cast<OrdrePointage>(index + 1)); }

private:
    QWidget* construireBornes();
    QWidget* construirePresences();
    QWidget* construireEmployes();
    void afficherBornes();
    // The range or the filter changed: the list is read again and takes the focus.
    void relire();
    void appeler(Requete requete, qint16 carte, qint32 date);
    void apresGrille();
    bool relireCourant(PointVal& ligne);

    FileUse m_usageParametre;
    FileUse m_usagePersonnel;
    FileUse m_usagePointVal;
    Database m_db;
    std::optional<BornesPointage> m_bornes;
    Presence m_presence = Presence::Tous;
    PagePointage m_page;
    ModelePointage* m_modele = nullptr;
    QLabel* m_dateDebut = nullptr;
    QLabel* m_dateFin = nullptr;
    QToolButton* m_semaineDebut = nullptr;
    QToolButton* m_semaineFin = nullptr;
    std::array<QPushButton*, 6> m_presences{};
    SelecteurEmploye* m_selecteurDebut = nullptr;
    SelecteurEmploye* m_selecteurFin = nullptr;
    QLabel* m_texteDebut = nullptr;
    QLabel* m_texteFin = nullptr;
};

} // namespace kip
