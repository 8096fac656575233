// The lists of the report selection: the eight reports, and the employees in the order of one key with the
// columns that order shows first.
#pragma once

#include "data/Records.h"

#include <QAbstractTableModel>
#include <vector>

namespace kip {

// One row per report: NOMEDITION shown, CONTROLEEDITION under Qt::UserRole.
class ModeleEditions : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
};

class ModeleEmployes : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum class Ordre
    {
        Carte,    // card, name, first name, matricule
        Nom,      // name, first name, card, matricule
        Matricule // matricule, card, name, first name
    };
    enum Champ
    {
        CARTE,
        NOM,
        PRENOM,
        MATRICULE
    };

    explicit ModeleEmployes(Ordre ordre, QObject* parent = nullptr);

    void remplir(std::vector<Personnel> employes);
    const Personnel& employe(int ligne) const { return m_employes[size_t(ligne)]; }
    Ordre ordre() const { return m_ordre; }
    // The field shown in a column.
    Champ champ(int colonne) const;
    // The first row whose key field (card, name, matricule by the order) equals the value; -1 when none.
    int ligneDe(const Personnel& valeur) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    Ordre m_ordre;
    std::vector<Personnel> m_employes;
};

} // namespace kip
