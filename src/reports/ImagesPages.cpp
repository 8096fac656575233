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
    if (!m_repertoire->isValid()) {
        if (m_erreurEcriture.ok()) {
            m_erreurEcriture = plainError(QStringLiteral("le répertoire des pages n'a pu être créé"));
            m_erreurEcriture.path = QDir::tempPath();
        }
        return false;
    }
    const QString nom =
        m_repertoire->filePath(QStringLiteral("page%1.kpi").arg(PRINTPREVIEWIMAGE.size() + 1, 5, 10, QLatin1Char('0')));
    // The first failure is the one said: a later, smaller page may well be written.
    if (const FileError e = page.ecrire(nom); !e.ok()) {
        if (m_erreurEcriture.ok())
            m_erreurEcriture = e;
        return false;
    }
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
