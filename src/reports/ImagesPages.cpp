// The page image files of a report.
#include "ImagesPages.h"

#include <QDir>
#include <QTemporaryDir>

namespace kip {

ImagesPages::ImagesPages() = default;

ImagesPages::~ImagesPages() = default;
ImagesPages::ImagesPages(ImagesPages&&) noexcept = default;
ImagesPages& ImagesPages::operator=(ImagesPages&&) noexcept = default;

QString ImagesPages::repertoire() const
{
    return m_repertoire && m_repertoire->isValid() ? m_repertoire->path() : QString();
}

bool ImagesPages::ajouter(const ImagePage& page)
{
    if (!m_repertoire)
        m_repertoire = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/kip-apercu-XXXXXX"));
    if (!m_repertoire->isValid())
        return false;
    const QString nom =
        m_repertoire->filePath(QStringLiteral("page%1.kpi").arg(PRINTPREVIEWIMAGE.size() + 1, 5, 10, QLatin1Char('0')));
    m_erreurEcriture = page.ecrire(nom);
    if (!m_erreurEcriture.ok())
        return false;
    PRINTPREVIEWIMAGE << nom;
    return true;
}

void ImagesPages::vider()
{
    PRINTPREVIEWIMAGE.clear();
    m_repertoire.reset();
}

std::optional<ImagePage> ImagesPages::page(int numero) const
{
    if (numero < 1 || numero > nombre())
        return std::nullopt;
    return ImagePage::lireFichier(PRINTPREVIEWIMAGE[numero - 1]);
}

} // namespace kip
