// The employee list as a table model over the page that the list shows: one row per employee, six columns
// that each group a few fields one below the other ("Identité": name and first name, "Identifiant": card and
// matricule, "Entrée" and "Sortie": rounding, tolerance and offset, "Arrondi": the week's, "Dates": hiring,
// leaving, first and last punch). Its delegate draws the lines of a cell, the first one on light cyan, and
// its header the group titles over their sub-headers.
#pragma once

#include "data/Records.h"
#include "lists/windows/ModelePage.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QStyledItemDelegate>
#include <vector>

namespace kip {

class ModelePersonnel : public ModelePage<Personnel>
{
    Q_OBJECT

public:
    enum Colonne
    {
        Identite,
        Identifiant,
        Entree,
        Sortie,
        Arrondi,
        Dates,
        NombreColonnes
    };
    // The lines of a cell, or of a header's sub-headers, as a QStringList.
    static constexpr int LignesRole = Qt::UserRole + 1;
    static constexpr int LignesParRangee = 4;

    explicit ModelePersonnel(QObject* parent = nullptr);

    const Personnel& employe(int rangee) const { return ligne(rangee); }

    static QStringList lignes(const Personnel& p, int colonne);
    static QStringList sousTitres(int colonne);
    static QString titre(int colonne);
    // The widest text a column shows, in characters, for its width.
    static int largeurCaracteres(int colonne);

    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
};

// Draws the lines of a cell, the first one on the list's light cyan.
class DelegueLignes : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    static int hauteurLigne(const QFont& police);
};

// The column header: each group's title over its sub-headers, one per line of the cells.
class EnteteGroupes : public QHeaderView
{
    Q_OBJECT

public:
    explicit EnteteGroupes(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int section) const override;
};

} // namespace kip
