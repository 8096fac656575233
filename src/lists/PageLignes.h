// The page of a list that reads its rows by key range: the rows that fit in the list and the current one.
// Moving and scrolling read only the rows that come into view through the list's source (the employees, the
// day lines); the page never holds more than its size. The employee list and the punch list share it, and
// their window base moves it through PageListe whatever its rows.
#pragma once

#include "data/FileError.h"
#include "data/RecordFile.h"

#include <algorithm>
#include <vector>

namespace kip {

// What a list reads, in the order of its key. The rows must carry their position in the file (rowid), by
// which the page and its model know a row again.
template <class L> class SourceLignes
{
public:
    virtual ~SourceLignes() = default;
    // Up to n rows after (Forward) or before (Backward) a row read from the file, nearest first.
    virtual FileError voisins(const L& ancre, Direction sens, int n, std::vector<L>& out) = 0;
    // Up to n rows from the first one whose key is not below that of cle, in order.
    virtual FileError depuis(const L& cle, int n, std::vector<L>& out) = 0;
    // The first n, in order, or the last n, the last one first.
    virtual FileError premiers(int n, std::vector<L>& out) = 0;
    virtual FileError derniers(int n, std::vector<L>& out) = 0;
};

// What a list window asks of its page, whatever its rows.
class PageListe
{
public:
    virtual ~PageListe() = default;
    virtual int taille() const = 0;
    virtual bool vide() const = 0;
    // The current row, -1 when the page is empty.
    virtual int courante() const = 0;
    virtual void choisir(int ligne) = 0;
    virtual void fixerTaille(int taille) = 0;
    virtual FileError changerTaille(int taille) = 0;
    virtual FileError deplacer(int n) = 0;
    virtual FileError defiler(int n) = 0;
    virtual FileError allerDebut() = 0;
    virtual FileError allerFin() = 0;
    // The scroll bar: positions 1 to PositionsDefilement laid out over the keys of the order.
    virtual FileError allerPosition(int p) = 0;
    virtual int position() const = 0;
    // Reads the page again around the current row (another program changed the rows).
    virtual FileError rafraichir() = 0;
};

template <class L> class PageLignes : public PageListe
{
public:
    explicit PageLignes(int taille) : m_taille(std::max(1, taille)) {}

    int taille() const override { return m_taille; }
    const std::vector<L>& lignes() const { return m_lignes; }
    bool vide() const override { return m_lignes.empty(); }
    int courante() const override { return m_courante; }
    const L* ligneCourante() const
    {
        return m_courante >= 0 && m_courante < int(m_lignes.size()) ? &m_lignes[size_t(m_courante)] : nullptr;
    }

    FileError allerDebut() override
    {
        std::vector<L> suite;
        const FileError e = m_source->premiers(m_taille, suite);
        if (e.ok())
            placer({}, std::move(suite), 0);
        return e;
    }

    FileError allerFin() override
    {
        std::vector<L> avant;
        const FileError e = m_source->derniers(m_taille, avant);
        if (!e.ok())
            return e;
        m_lignes.assign(avant.rbegin(), avant.rend());
        m_courante = int(m_lignes.size()) - 1;
        return {};
    }

    // Moves the current row n rows down (up when n < 0), reading the rows that come into view.
    FileError deplacer(int n) override
    {
        if (m_lignes.empty() || n == 0)
            return {};
        int cible = m_courante + n;
        std::vector<L> plus;
        if (cible >= int(m_lignes.size())) {
            if (FileError e =
                    m_source->voisins(m_lignes.back(), Direction::Forward, cible - int(m_lignes.size()) + 1, plus);
                !e.ok())
                return e;
            m_lignes.insert(m_lignes.end(), plus.begin(), plus.end());
            const int surplus = int(m_lignes.size()) - m_taille;
            if (surplus > 0) {
                m_lignes.erase(m_lignes.begin(), m_lignes.begin() + surplus);
                cible -= surplus;
            }
            cible = std::min(cible, int(m_lignes.size()) - 1);
        } else if (cible < 0) {
            if (FileError e = m_source->voisins(m_lignes.front(), Direction::Backward, -cible, plus); !e.ok())
                return e;
            m_lignes.insert(m_lignes.begin(), plus.rbegin(), plus.rend());
            cible += int(plus.size());
            if (int(m_lignes.size()) > m_taille)
                m_lignes.resize(size_t(m_taille));
            cible = std::max(cible, 0);
        }
        m_courante = cible;
        return {};
    }

    // Scrolls the page n rows down (up when n < 0); the current row stays current while it is in view.
    FileError defiler(int n) override
    {
        if (m_lignes.empty() || n == 0)
            return {};
        std::vector<L> plus;
        if (n > 0) {
            if (FileError e = m_source->voisins(m_lignes.back(), Direction::Forward, n, plus); !e.ok())
                return e;
            m_lignes.insert(m_lignes.end(), plus.begin(), plus.end());
            const int surplus = std::max(0, int(m_lignes.size()) - m_taille);
            m_lignes.erase(m_lignes.begin(), m_lignes.begin() + surplus);
            m_courante = std::max(0, m_courante - surplus);
        } else {
            if (FileError e = m_source->voisins(m_lignes.front(), Direction::Backward, -n, plus); !e.ok())
                return e;
            m_lignes.insert(m_lignes.begin(), plus.rbegin(), plus.rend());
            m_courante += int(plus.size());
            if (int(m_lignes.size()) > m_taille)
                m_lignes.resize(size_t(m_taille));
            m_courante = std::min(m_courante, int(m_lignes.size()) - 1);
        }
        return {};
    }

    // Makes a row of the page current (a click).
    void choisir(int ligne) override
    {
        if (ligne >= 0 && ligne < int(m_lignes.size()))
            m_courante = ligne;
    }

    // Makes current the first row whose key is not below that of cle, shown at row rang when the rows around
    // it allow; the page is filled around it.
    FileError remplirAutour(const L& cle, int rang)
    {
        std::vector<L> suite;
        if (FileError e = m_source->depuis(cle, m_taille, suite); !e.ok())
            return e;
        if (suite.empty())
            return allerFin();
        std::vector<L> avant;
        if (FileError e = m_source->voisins(suite.front(), Direction::Backward, m_taille - 1, avant); !e.ok())
            return e;
        placer(std::move(avant), std::move(suite), rang);
        return {};
    }

    // Reads the page again around the current row, or around its place when it is gone.
    FileError rafraichir() override
    {
        const L* courant = ligneCourante();
        if (!courant)
            return allerDebut();
        const L cle = *courant;
        return remplirAutour(cle, m_courante);
    }

    // Another page size (the list's height changed).
    FileError changerTaille(int taille) override
    {
        taille = std::max(1, taille);
        if (taille == m_taille)
            return {};
        m_taille = taille;
        const L* courant = ligneCourante();
        if (!courant)
            return allerDebut();
        const L cle = *courant;
        return remplirAutour(cle, std::min(m_courante, taille - 1));
    }

    // The page size before the page is first filled; nothing is read.
    void fixerTaille(int taille) override { m_taille = std::max(1, taille); }

protected:
    // The source that the moves read; it must outlive its use by the page.
    void fixerSource(SourceLignes<L>* source) { m_source = source; }
    // Shows the first rows of the order, read by the page's own means (with the ends of its order).
    void montrerDebut(std::vector<L> lignes) { placer({}, std::move(lignes), 0); }
    // Forgets the rows (the source now reads other rows).
    void vider()
    {
        m_lignes.clear();
        m_courante = -1;
    }

private:
    void placer(std::vector<L> avant, std::vector<L> suite, int rang)
    {
        int nb = std::min(int(avant.size()), std::max(rang, 0));
        // Near the end of the order the rows before fill what the rows after leave empty.
        if (int(suite.size()) < m_taille - nb)
            nb = std::min(int(avant.size()), m_taille - int(suite.size()));
        m_lignes.clear();
        for (int i = nb - 1; i >= 0; --i)
            m_lignes.push_back(std::move(avant[size_t(i)]));
        for (int i = 0; i < int(suite.size()) && int(m_lignes.size()) < m_taille; ++i)
            m_lignes.push_back(std::move(suite[size_t(i)]));
        m_courante = m_lignes.empty() ? -1 : std::min(nb, int(m_lignes.size()) - 1);
    }

    SourceLignes<L>* m_source = nullptr;
    int m_taille;
    std::vector<L> m_lignes;
    int m_courante = -1;
};

} // namespace kip
