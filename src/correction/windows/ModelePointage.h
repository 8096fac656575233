// The punch list as a table model over the page it shows: one row per day line, five groups of columns
// ("Date", "N°", "Nom et Prénom", "Matricule", "Total") whose order follows the tab.
#pragma once

#include "correction/LecturePointage.h"
#include "data/Records.h"
#include "lists/windows/ModelePage.h"

#include <array>

namespace kip {

class ModelePointage : public ModelePage<PointVal>
{
    Q_OBJECT

public:
    enum Groupe
    {
        Date,
        Numero,
        NomPrenom,
        Matricule,
        Total,
        NombreGroupes
    };

    explicit ModelePointage(QObject* parent = nullptr);

    // The groups in the tab's order; the model is read anew.
    void changerOrdre(OrdrePointage ordre, const std::vector<PointVal>& lignes);
    Groupe groupe(int colonne) const { return m_groupes[size_t(colonne)]; }
    static std::array<Groupe, NombreGroupes> groupes(OrdrePointage ordre);
    static QString titre(Groupe groupe);
    // The text of a group for a day line.
    static QString texte(const PointVal& ligne, Groupe groupe);

    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::array<Groupe, NombreGroupes> m_groupes;
};

} // namespace kip
