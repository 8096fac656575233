// A page of a report recorded once as drawing commands: texts, lines, boxes and check boxes, at positions
// in thousandths of an inch from the paper's top left corner. A page image is written to a small file of
// its own and drawn by peindrePage (PeintrePage.h) onto the preview, a printer or a PDF at any scale.
//
// Texts are recorded where they stand, already cut into lines and aligned: the painter lays nothing out,
// so that a page looks the same on every device whatever its resolution.
#pragma once

#include "data/FileError.h"

#include <QByteArray>
#include <QFont>
#include <QString>
#include <optional>
#include <vector>

namespace kip {

// The reports' font: Arial (Liberation Sans where Arial is absent), at a size in tenths of a point.
struct PoliceRapport
{
    qint16 dixiemesPoint = 80;
    bool gras = false;
    friend bool operator==(const PoliceRapport&, const PoliceRapport&) = default;
};

// The Qt font of a report font, sized in thousandths of an inch: the unit of the page images, whatever
// device the page is drawn on.
QFont policeQt(const PoliceRapport& police);

enum class Alignement : quint8
{
    Gauche,
    Droite,
    Centre
};

struct ElementPage
{
    enum class Genre : quint8
    {
        Texte, // one line of text in the box (x, y, l, h), top-aligned
        Ligne, // from (x, y) to (x + l, y + h)
        Cadre, // a rectangle
        Case   // a check box of side l, ticked when coche
    };
    Genre genre = Genre::Texte;
    qint32 x = 0;
    qint32 y = 0;
    qint32 l = 0;
    qint32 h = 0;
    quint8 police = 0; // Texte: index in the page's fonts
    Alignement alignement = Alignement::Gauche;
    quint8 epaisseur = 0; // Ligne, Cadre, Case: pen width in thousandths of an inch
    bool coche = false;
    QString texte;
};

class ImagePage
{
public:
    ImagePage() = default;
    ImagePage(qint32 largeur, qint32 hauteur) : m_largeur(largeur), m_hauteur(hauteur) {}

    // The paper, in thousandths of an inch.
    qint32 largeur() const { return m_largeur; }
    qint32 hauteur() const { return m_hauteur; }
    const std::vector<PoliceRapport>& polices() const { return m_polices; }
    const std::vector<ElementPage>& elements() const { return m_elements; }
    bool vide() const { return m_elements.empty(); }

    void texte(qint32 x, qint32 y, qint32 l, qint32 h, const QString& texte, const PoliceRapport& police,
               Alignement alignement = Alignement::Gauche);
    void ligne(qint32 x1, qint32 y1, qint32 x2, qint32 y2, quint8 epaisseur);
    void cadre(qint32 x, qint32 y, qint32 l, qint32 h, quint8 epaisseur);
    void caseACocher(qint32 x, qint32 y, qint32 cote, bool coche, quint8 epaisseur);

    // The page image file's contents, and back; nothing when the bytes are not a page image.
    QByteArray serialiser() const;
    static std::optional<ImagePage> lire(const QByteArray& octets);
    FileError ecrire(const QString& chemin) const;
    static std::optional<ImagePage> lireFichier(const QString& chemin);

    // The texts of the page from top to bottom and left to right, each line of the page joined by a space:
    // what a reader sees, for searches and tests.
    QStringList lignesDeTexte() const;

private:
    quint8 indexPolice(const PoliceRapport& police);

    qint32 m_largeur = 0;
    qint32 m_hauteur = 0;
    std::vector<PoliceRapport> m_polices;
    std::vector<ElementPage> m_elements;
};

} // namespace kip
