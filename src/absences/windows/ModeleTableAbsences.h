// The absence window's table: a Qt model over ModeleAbsences (employees as rows, days as columns) and the
// delegate that paints a cell: week-ends and public holidays shaded, the absence code on its type's colour,
// a morning and an afternoon as the two halves of the cell, hours as a band at its foot, and a mark in the
// corner of a day whose line holds punches (red when a whole day of absence lies on it).
#pragma once

#include "absences/ModeleAbsences.h"

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <optional>

namespace kip {

class ModeleTableAbsences : public QAbstractTableModel
{
    Q_OBJECT

public:
    // What the delegate reads from a cell.
    enum Role
    {
        RoleJour = Qt::UserRole + 1, // the cell as CelluleAffichee
    };

    explicit ModeleTableAbsences(QObject* parent = nullptr);

    // Takes the loaded model (a new period, order or range).
    void remplacerModele(ModeleAbsences modele);
    ModeleAbsences* modele() { return m_modele ? &*m_modele : nullptr; }
    const ModeleAbsences* modele() const { return m_modele ? &*m_modele : nullptr; }
    // The cells of the days given changed: repaint them.
    void joursChanges(const std::vector<JourAbsences>& jours);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::optional<ModeleAbsences> m_modele;
};

// What a cell shows, as the delegate paints it.
struct CelluleAffichee
{
    struct Partie
    {
        QString code;
        QColor couleur;
    };
    Partie journee, matin, apresMidi, heures;
    QString texteHeures; // "2.30" for an absence in hours
    bool finDeSemaine = false;
    bool ferie = false;
    bool horsActivite = false;
    bool pointe = false;
    bool prevu = false; // planned hours that day
};
CelluleAffichee celluleAffichee(const ModeleAbsences& m, int ligne, int colonne);

class DelegueAbsences : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace kip

Q_DECLARE_METATYPE(kip::CelluleAffichee)
