// kiptool: the command-line companion of Kip for scripts and scheduled jobs (reports as PDF). It never
// shows a window: it draws on the offscreen platform, with or without a display.
#include "Commandes.h"

#include <QDir>
#include <QGuiApplication>

namespace {

QtMessageHandler g_suivant = nullptr;

// A scheduled job mails whatever a program writes: the platform's own notices (no runtime directory under
// cron, say) are kept out; kiptool's messages are written directly.
void notices(QtMsgType type, const QMessageLogContext& contexte, const QString& texte)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        g_suivant(type, contexte, texte);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    g_suivant = qInstallMessageHandler(notices);
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("kiptool"));
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return kip::outil::executer(arguments, QDir::currentPath());
}
