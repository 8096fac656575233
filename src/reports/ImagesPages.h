// The queue of page images of one report: one file per page, in page order, in a directory of its own that
// goes with the queue. PRINTPREVIEWIMAGE holds the file names; the pages themselves stay on disk, so that a
// report of a thousand pages costs no more memory than a report of one.
#pragma once

#include "ImagePage.h"

#include <QString>
#include <QStringList>
#include <memory>

class QTemporaryDir;

namespace kip {

class ImagesPages
{
public:
    ImagesPages();
    ~ImagesPages();
    ImagesPages(ImagesPages&&) noexcept;
    ImagesPages& operator=(ImagesPages&&) noexcept;
    ImagesPages(const ImagesPages&) = delete;
    ImagesPages& operator=(const ImagesPages&) = delete;

    // The directory of the pages, made with the first page; empty before.
    QString repertoire() const;

    // Writes the page as the next page image; false when it could not be written (erreurEcriture() says why
    // the first one failed).
    bool ajouter(const ImagePage& page);
    const FileError& erreurEcriture() const { return m_erreurEcriture; }
    int nombre() const { return int(PRINTPREVIEWIMAGE.size()); }
    bool vide() const { return PRINTPREVIEWIMAGE.isEmpty(); }
    // Page 1 to nombre(); nothing when it cannot be read.
    std::optional<ImagePage> page(int numero) const;
    // Forgets every page and removes their files.
    void vider();

    // The file name of each page image, page 1 first.
    QStringList PRINTPREVIEWIMAGE;

private:
    FileError m_erreurEcriture;
    std::unique_ptr<QTemporaryDir> m_repertoire;
};

} // namespace kip
