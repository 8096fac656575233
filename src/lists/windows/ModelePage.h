// The table model of a list that shows one page of rows read by key range (PageLignes): a new page is shown
// as the rows that scrolled in or out, inserted or removed, so that the view keeps its place; a page read
// anew resets the model. Rows are known by their position in the file (rowid). The employee list and the
// punch list derive their models from it.
#pragma once

#include <QAbstractTableModel>
#include <algorithm>
#include <vector>

namespace kip {

template <class L> class ModelePage : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    // Shows a new page: rows that scrolled in or out are inserted or removed, a page read anew resets.
    void afficher(const std::vector<L>& nouvelles)
    {
        const int avant = int(m_lignes.size());
        const int apres = int(nouvelles.size());
        auto meme = [&](int i, int j) { return m_lignes[size_t(i)].rowid == nouvelles[size_t(j)].rowid; };
        // The rows kept when the page scrolled d rows down (the old row k + d is the new row k), or 0.
        auto gardeBas = [&](int d) {
            const int garde = std::min(avant - d, apres);
            for (int k = 0; k < garde; ++k)
                if (!meme(k + d, k))
                    return 0;
            return std::max(garde, 0);
        };
        // The rows kept when the page scrolled d rows up (the old row k is the new row k + d), or 0.
        auto gardeHaut = [&](int d) {
            const int garde = std::min(avant, apres - d);
            for (int k = 0; k < garde; ++k)
                if (!meme(k, k + d))
                    return 0;
            return std::max(garde, 0);
        };
        auto retirer = [&](int premiere, int derniere) {
            if (derniere < premiere)
                return;
            beginRemoveRows({}, premiere, derniere);
            m_lignes.erase(m_lignes.begin() + premiere, m_lignes.begin() + derniere + 1);
            endRemoveRows();
        };
        auto inserer = [&](int a, int premiere, int derniere) {
            if (derniere < premiere)
                return;
            beginInsertRows({}, a, a + derniere - premiere);
            m_lignes.insert(m_lignes.begin() + a, nouvelles.begin() + premiere, nouvelles.begin() + derniere + 1);
            endInsertRows();
        };
        bool fait = false;
        for (int d = 0; d < std::max(avant, apres) && !fait; ++d) {
            if (const int garde = gardeBas(d); garde > 0 || (d == 0 && avant == 0)) {
                retirer(0, d - 1);
                retirer(garde, int(m_lignes.size()) - 1);
                inserer(garde, garde, apres - 1);
                fait = true;
            } else if (const int haut = d > 0 ? gardeHaut(d) : 0; haut > 0) {
                retirer(haut, avant - 1);
                inserer(0, 0, d - 1);
                inserer(haut + d, haut + d, apres - 1);
                fait = true;
            }
        }
        if (!fait) {
            beginResetModel();
            m_lignes = nouvelles;
            endResetModel();
            return;
        }
        // The rows kept may have been read again with new values.
        m_lignes = nouvelles;
        if (apres > 0 && columnCount() > 0)
            Q_EMIT dataChanged(index(0, 0), index(apres - 1, columnCount() - 1));
    }

    // Empties the model and shows the page read anew (another order: the columns may have moved too).
    void reinitialiser(const std::vector<L>& nouvelles)
    {
        beginResetModel();
        m_lignes = nouvelles;
        endResetModel();
    }

    const L& ligne(int rangee) const { return m_lignes[size_t(rangee)]; }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(m_lignes.size()); }

protected:
    std::vector<L> m_lignes;
};

} // namespace kip
