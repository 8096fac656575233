// The journal of one day line, as the correction grid shows it on F3 or its bar command: a small read-only
// list of the entries of that card and date, newest first (when, by which program and user, the values before
// and after, and why).
#pragma once

#include "data/Journal.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <vector>

class QTableView;

namespace kip {

class ModeleJournal : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Colonne
    {
        Moment,
        Programme,
        Utilisateur,
        Avant,
        Apres,
        Cause,
        NombreColonnes
    };

    explicit ModeleJournal(std::vector<Journal> entrees, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<Journal> m_entrees;
};

class JournalJournee : public QDialog
{
    Q_OBJECT

public:
    // entrees newest first; titre names the day line ("0012 MARTIN Paul, Lundi 07/12/2026").
    JournalJournee(const QString& titre, std::vector<Journal> entrees, QWidget* parent = nullptr);

    QTableView* liste() const { return m_liste; }
    ModeleJournal* modele() const { return m_modele; }

private:
    QTableView* m_liste = nullptr;
    ModeleJournal* m_modele = nullptr;
};

} // namespace kip
