// A sound list of the settings form: the .wav files of the Son directory in one column whose header names
// the sound's use.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>

namespace kip {

class ModeleSons : public QAbstractTableModel
{
    Q_OBJECT

public:
    ModeleSons(const QString& titre, QObject* parent = nullptr) : QAbstractTableModel(parent), m_titre(titre) {}

    void remplir(const QStringList& sons)
    {
        beginResetModel();
        m_sons = sons;
        endResetModel();
    }
    const QStringList& sons() const { return m_sons; }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(m_sons.size()); }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 1; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_sons.size() || index.column() != 0)
            return {};
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
            return m_sons[index.row()];
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && section == 0 && role == Qt::DisplayRole)
            return m_titre;
        return QAbstractTableModel::headerData(section, orientation, role);
    }

private:
    QString m_titre;
    QStringList m_sons;
};

} // namespace kip
