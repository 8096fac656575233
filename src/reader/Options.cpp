#include "Options.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace kip {

namespace {
constexpr int TerminalMax = 16;
}

Result<OptionsKipguard> lireOptions(const QStringList& arguments)
{
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Module de suveillance du lecteur magnétique: écrit une ligne dans Data/Origin00.txt à chaque carte lue."));
    const QCommandLineOption optAide({QStringLiteral("h"), QStringLiteral("help")},
                                     QStringLiteral("Affiche cette aide."));
    const QCommandLineOption optRepertoire(
        QStringLiteral("repertoire"), QStringLiteral("Répertoire d'installation (Kip); le répertoire courant sinon."),
        QStringLiteral("répertoire"));
    const QCommandLineOption optPort(
        QStringLiteral("port"),
        QStringLiteral("Périphérique du port n (1 à 8), par exemple 1=/dev/ttyUSB0; l'option se répète."),
        QStringLiteral("n=périphérique"));
    const QCommandLineOption optTerminal(QStringLiteral("terminal"),
                                         QStringLiteral("Numéro du terminal écrit dans chaque ligne (1 par défaut)."),
                                         QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption optSimulation(
        QStringLiteral("simulation"),
        QStringLiteral("Lit des numéros de carte sur l'entrée standard au lieu du lecteur, un par ligne."));
    const QCommandLineOption optService(QStringLiteral("service"),
                                        QStringLiteral("Sans fenêtre, même avec un affichage."));
    p.addOptions({optAide, optRepertoire, optPort, optTerminal, optSimulation, optService});
    if (!p.parse(arguments))
        return plainError(p.errorText());
    OptionsKipguard o;
    if (p.isSet(optAide)) {
        o.aide = p.helpText();
        // Before the application exists the parser knows no program name.
        o.aide.replace(QStringLiteral("<executable_name>"), QFileInfo(arguments.value(0)).fileName());
        return o;
    }
    if (!p.positionalArguments().isEmpty())
        return plainError(QStringLiteral("Argument inattendu: %1").arg(p.positionalArguments().first()));
    o.repertoire = p.isSet(optRepertoire) ? p.value(optRepertoire) : QDir::currentPath();
    for (const QString& v : p.values(optPort)) {
        const qsizetype egal = v.indexOf(QLatin1Char('='));
        bool nombre = false;
        const int port = egal > 0 ? v.left(egal).toInt(&nombre) : 0;
        if (!nombre || port < PortMin || port > PortMax || egal + 1 >= v.size())
            return plainError(QStringLiteral("--port attend n=périphérique, n de 1 à 8: %1").arg(v));
        o.surveillance.peripheriques.insert(port, v.mid(egal + 1));
    }
    bool nombre = false;
    o.surveillance.terminal = p.value(optTerminal).toInt(&nombre);
    if (!nombre || o.surveillance.terminal < 1 || o.surveillance.terminal > TerminalMax)
        return plainError(QStringLiteral("--terminal attend un numéro de 1 à 16: %1").arg(p.value(optTerminal)));
    o.surveillance.simulation = p.isSet(optSimulation);
    o.service = p.isSet(optService);
    return o;
}

} // namespace kip
