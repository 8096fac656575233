// The last swipes, newest first, as the reader's window lists them.
#pragma once

#include <QAbstractTableModel>
#include <QDateTime>
#include <QList>

namespace kip {

class DernieresLectures : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Colonne
    {
        Heure,
        Carte,
        Resultat,
        NombreColonnes
    };
    static constexpr int Garde = 100; // swipes kept

    using QAbstractTableModel::QAbstractTableModel;

    // carte 0 when the read gave no card; enAttente for a swipe held in the spool, not yet in the raw file.
    void ajouter(const QDateTime& quand, int carte, const QString& resultat, bool enAttente = false);
    // The held swipes are in the raw file now: their rows say so.
    void attenteVersee(const QString& resultat);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Ligne
    {
        QDateTime quand;
        int carte;
        QString resultat;
        bool enAttente;
    };
    QList<Ligne> m_lignes;
};

} // namespace kip
