// The open-window list: the windows of the program in opening order, through which the bar knows the
// window in front and the windows find each other. Entry 1 is the bar, entry 2 the home window, then the
// work windows. The record buffer (THREADFENETREACTIVE, NOMFENETREACTIVE) names the entry last read or
// appended, so after a registration or an unregistration it names the active window.
#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace kip {

struct EntreeFenetre
{
    int THREADFENETREACTIVE = 0; // the window's number, unique among the open windows (1..255)
    QString NOMFENETREACTIVE;    // procedure name, at most 20 characters
    QPointer<QWidget> fenetre;
};

class ListeFenetres
{
public:
    int THREADFENETREACTIVE = 0;
    QString NOMFENETREACTIVE;

    // Appends an entry for the window with a fresh number; the buffer then names it. Returns the number.
    int ajouter(QWidget* fenetre, const QString& nom);
    // Appends an entry as it was, number and all (a window that refused to close stays where it was).
    void reprendre(const EntreeFenetre& entree);
    // Removes the window's own entry wherever it stands; false when the window is not listed.
    bool retirer(const QWidget* fenetre);
    // Reads the last entry into the buffer; false when the list is empty.
    bool lireDernier();
    void vider();

    const QList<EntreeFenetre>& entrees() const { return m_entrees; }
    int taille() const { return int(m_entrees.size()); }
    int indexDe(const QWidget* fenetre) const; // -1 when not listed
    // The window the buffer names (null when the buffer names no open window).
    QWidget* fenetreActive() const;

private:
    int numeroLibre();

    QList<EntreeFenetre> m_entrees;
    int m_dernierNumero = 0;
};

} // namespace kip
