// Page images: recording, the file format and reading back.
//
// The file: the magic "KIPP", a format version, the paper size, the fonts used, then the elements in the
// order they were drawn. Numbers are big-endian (QDataStream), texts UTF-16.
#include "ImagePage.h"

#include "data/FileWriter.h"

#include <QDataStream>
#include <QFile>
#include <algorithm>

namespace kip {

namespace {
constexpr quint32 Magic = 0x4b495050; // "KIPP"
constexpr quint16 Version = 1;
constexpr int MaxElements = 1 << 20; // a damaged file must not make us allocate without end
} // namespace

QFont policeQt(const PoliceRapport& police)
{
    QFont f;
    f.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    f.setStyleHint(QFont::SansSerif);
    // Tenths of a point in thousandths of an inch: a point is 1/72 inch.
    f.setPixelSize(std::max(1, int((police.dixiemesPoint * 100 + 36) / 72)));
    f.setBold(police.gras);
    // Outlines without hinting: the advances are the same at every scale, on screen as on paper.
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::ForceOutline | QFont::PreferQuality));
    f.setKerning(false);
    return f;
}

quint8 ImagePage::indexPolice(const PoliceRapport& police)
{
    const auto it = std::find(m_polices.begin(), m_polices.end(), police);
    if (it != m_polices.end())
        return quint8(it - m_polices.begin());
    m_polices.push_back(police);
    return quint8(m_polices.size() - 1);
}

void ImagePage::texte(qint32 x, qint32 y, qint32 l, qint32 h, const QString& texte, const PoliceRapport& police,
                      Alignement alignement)
{
    ElementPage e;
    e.genre = ElementPage::Genre::Texte;
    e.x = x;
    e.y = y;
    e.l = l;
    e.h = h;
    e.police = indexPolice(police);
    e.alignement = alignement;
    e.texte = texte;
    m_elements.push_back(std::move(e));
}

void ImagePage::ligne(qint32 x1, qint32 y1, qint32 x2, qint32 y2, quint8 epaisseur)
{
    ElementPage e;
    e.genre = ElementPage::Genre::Ligne;
    e.x = x1;
    e.y = y1;
    e.l = x2 - x1;
    e.h = y2 - y1;
    e.epaisseur = epaisseur;
    m_elements.push_back(std::move(e));
}

void ImagePage::cadre(qint32 x, qint32 y, qint32 l, qint32 h, quint8 epaisseur)
{
    ElementPage e;
    e.genre = ElementPage::Genre::Cadre;
    e.x = x;
    e.y = y;
    e.l = l;
    e.h = h;
    e.epaisseur = epaisseur;
    m_elements.push_back(std::move(e));
}

void ImagePage::caseACocher(qint32 x, qint32 y, qint32 cote, bool coche, quint8 epaisseur)
{
    ElementPage e;
    e.genre = ElementPage::Genre::Case;
    e.x = x;
    e.y = y;
    e.l = cote;
    e.h = cote;
    e.coche = coche;
    e.epaisseur = epaisseur;
    m_elements.push_back(std::move(e));
}

QByteArray ImagePage::serialiser() const
{
    QByteArray octets;
    QDataStream out(&octets, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << Magic << Version << m_largeur << m_hauteur;
    out << quint16(m_polices.size());
    for (const PoliceRapport& p : m_polices)
        out << p.dixiemesPoint << quint8(p.gras ? 1 : 0);
    out << quint32(m_elements.size());
    for (const ElementPage& e : m_elements) {
        out << quint8(e.genre) << e.x << e.y << e.l << e.h << e.epaisseur;
        switch (e.genre) {
        case ElementPage::Genre::Texte:
            out << e.police << quint8(e.alignement) << e.texte;
            break;
        case ElementPage::Genre::Case:
            out << quint8(e.coche ? 1 : 0);
            break;
        default:
            break;
        }
    }
    return octets;
}

std::optional<ImagePage> ImagePage::lire(const QByteArray& octets)
{
    QDataStream in(octets);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0;
    quint16 version = 0;
    ImagePage page;
    in >> magic >> version >> page.m_largeur >> page.m_hauteur;
    if (in.status() != QDataStream::Ok || magic != Magic || version != Version || page.m_largeur <= 0 ||
        page.m_hauteur <= 0)
        return std::nullopt;
    quint16 polices = 0;
    in >> polices;
    for (int i = 0; i < polices && in.status() == QDataStream::Ok; ++i) {
        PoliceRapport p;
        quint8 gras = 0;
        in >> p.dixiemesPoint >> gras;
        p.gras = gras != 0;
        page.m_polices.push_back(p);
    }
    quint32 nombre = 0;
    in >> nombre;
    if (nombre > quint32(MaxElements))
        return std::nullopt;
    page.m_elements.reserve(nombre);
    for (quint32 i = 0; i < nombre && in.status() == QDataStream::Ok; ++i) {
        ElementPage e;
        quint8 genre = 0;
        in >> genre >> e.x >> e.y >> e.l >> e.h >> e.epaisseur;
        if (genre > quint8(ElementPage::Genre::Case))
            return std::nullopt;
        e.genre = ElementPage::Genre(genre);
        if (e.genre == ElementPage::Genre::Texte) {
            quint8 alignement = 0;
            in >> e.police >> alignement >> e.texte;
            if (e.police >= page.m_polices.size() || alignement > quint8(Alignement::Centre))
                return std::nullopt;
            e.alignement = Alignement(alignement);
        } else if (e.genre == ElementPage::Genre::Case) {
            quint8 coche = 0;
            in >> coche;
            e.coche = coche != 0;
        }
        page.m_elements.push_back(std::move(e));
    }
    if (in.status() != QDataStream::Ok)
        return std::nullopt;
    return page;
}

FileError ImagePage::ecrire(const QString& chemin) const
{
    // A page image lives as long as its report's preview: it is checked as any file, never synced to disk.
    return writeFileAtomically(chemin, serialiser(), Durability::Plain);
}

std::optional<ImagePage> ImagePage::lireFichier(const QString& chemin)
{
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return lire(f.readAll());
}

QStringList ImagePage::lignesDeTexte() const
{
    // Texts whose tops are this close share a line of the page.
    constexpr qint32 Tolerance = 20;
    std::vector<const ElementPage*> textes;
    for (const ElementPage& e : m_elements)
        if (e.genre == ElementPage::Genre::Texte && !e.texte.trimmed().isEmpty())
            textes.push_back(&e);
    std::stable_sort(textes.begin(), textes.end(),
                     [](const ElementPage* a, const ElementPage* b) { return a->y < b->y; });
    QStringList lignes;
    size_t i = 0;
    while (i < textes.size()) {
        const qint32 haut = textes[i]->y;
        std::vector<const ElementPage*> ligne;
        while (i < textes.size() && textes[i]->y - haut <= Tolerance)
            ligne.push_back(textes[i++]);
        std::stable_sort(ligne.begin(), ligne.end(),
                         [](const ElementPage* a, const ElementPage* b) { return a->x < b->x; });
        QStringList mots;
        for (const ElementPage* e : ligne)
            mots << e->texte.trimmed();
        lignes << mots.join(QLatin1Char(' '));
    }
    return lignes;
}

} // namespace kip
