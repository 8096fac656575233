// Shows one picker on a fixed date for a screenshot: calendar_shots jour|semaine [seconds]. Prints the
// window id so that a script can grab it with `import -window <id>`.
#include "calendar/windows/CalendrierJour.h"
#include "calendar/windows/CalendrierSemaine.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool semaine = args.size() > 1 && args[1] == QStringLiteral("semaine");
    const int secondes = args.size() > 2 ? args[2].toInt() : 5;
    kip::Clock::setToday(kip::dayNumber(2005, 3, 23));
    std::unique_ptr<QDialog> fenetre;
    if (semaine)
        fenetre = std::make_unique<kip::CalendrierSemaine>(12, 2005);
    else
        fenetre = std::make_unique<kip::CalendrierJour>(kip::dayNumber(2005, 3, 18));
    fenetre->move(40, 40);
    fenetre->show();
    QTimer::singleShot(300, [&] {
        std::printf("0x%llx\n", static_cast<unsigned long long>(fenetre->winId()));
        std::fflush(stdout);
    });
    QTimer::singleShot(secondes * 1000, &app, &QApplication::quit);
    return app.exec();
}
