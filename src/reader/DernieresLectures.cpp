#include "DernieresLectures.h"

namespace kip {

void DernieresLectures::ajouter(const QDateTime& quand, int carte, const QString& resultat, bool enAttente)
{
    if (m_lignes.size() == Garde) {
        beginRemoveRows({}, Garde - 1, Garde - 1);
        m_lignes.removeLast();
        endRemoveRows();
    }
    beginInsertRows({}, 0, 0);
    m_lignes.prepend({quand, carte, resultat, enAttente});
    endInsertRows();
}

void DernieresLectures::attenteVersee(const QString& resultat)
{
    for (qsizetype i = 0; i < m_lignes.size(); ++i) {
        if (!m_lignes[i].enAttente)
            continue;
        m_lignes[i].enAttente = false;
        m_lignes[i].resultat = resultat;
        const QModelIndex cellule = index(int(i), Resultat);
        Q_EMIT dataChanged(cellule, cellule, {Qt::DisplayRole});
    }
}

int DernieresLectures::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_lignes.size());
}

int DernieresLectures::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : NombreColonnes;
}

QVariant DernieresLectures::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_lignes.size())
        return {};
    const Ligne& l = m_lignes.at(index.row());
    if (role == Qt::TextAlignmentRole && index.column() != Resultat)
        return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case Heure:
        return l.quand.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    case Carte:
        return l.carte > 0 ? QStringLiteral("%1").arg(l.carte, 4, 10, QLatin1Char('0')) : QString();
    case Resultat:
        return l.resultat;
    }
    return {};
}

QVariant DernieresLectures::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case Heure:
        return QStringLiteral("Heure");
    case Carte:
        return QStringLiteral("Carte");
    case Resultat:
        return QStringLiteral("Résultat");
    }
    return {};
}

} // namespace kip

#include "moc_DernieresLectures.cpp"
