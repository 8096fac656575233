#include "TraductionsQt.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace kip {

bool installerTraductionsQt()
{
    auto* traducteur = new QTranslator(QCoreApplication::instance());
    // qtbase holds the texts of every dialog and button of QtWidgets and QtPrintSupport.
    if (!traducteur->load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(traducteur)) {
        delete traducteur;
        return false;
    }
    return true;
}

} // namespace kip
