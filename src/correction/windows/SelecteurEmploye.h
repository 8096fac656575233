// The employee selectors of the punch list and the correction grid: an entry with a drop list of every
// employee (card, name and first name in the order the window wants), the chosen row on light green.
#pragma once

#include "data/Records.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <vector>

namespace kip {

class ModeleSelecteur : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum class Champ
    {
        Carte,
        Nom,
        Prenom
    };
    ModeleSelecteur(std::vector<Champ> colonnes, QObject* parent = nullptr);

    void remplir(std::vector<Personnel> employes);
    const std::vector<Personnel>& employes() const { return m_employes; }
    // The row of the card, -1 when it is not listed.
    int rangee(qint16 carte) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    std::vector<Champ> m_colonnes;
    std::vector<Personnel> m_employes;
};

class SelecteurEmploye : public QComboBox
{
    Q_OBJECT

public:
    SelecteurEmploye(std::vector<ModeleSelecteur::Champ> colonnes, const QString& bulle, QWidget* parent = nullptr);

    ModeleSelecteur* modele() const { return m_modele; }
    // Shows the employee of that card as the chosen one, without a signal.
    void montrer(qint16 carte);

Q_SIGNALS:
    // The operator chose an employee.
    void employeChoisi(const kip::Personnel& employe);

private:
    ModeleSelecteur* m_modele;
};

} // namespace kip
