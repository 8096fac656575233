#include "MessageBoxPresenter.h"

#include "data/Files.h"

#include <QApplication>
#include <QFutureWatcher>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QtConcurrent>

namespace kip {

namespace {

QMessageBox::Icon iconOf(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Stop:
        return QMessageBox::Critical;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Information:
        return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

int showOnThisThread(const MessageSpec& spec)
{
    QMessageBox box(iconOf(spec.icon), spec.title, spec.text, QMessageBox::NoButton, QApplication::activeWindow());
    struct Choice
    {
        int button;
        QString text;
        QMessageBox::ButtonRole role;
    };
    const Choice choices[] = {{ButtonOk, QStringLiteral("OK"), QMessageBox::AcceptRole},
                              {ButtonYes, QStringLiteral("&Oui"), QMessageBox::YesRole},
                              {ButtonNo, QStringLiteral("&Non"), QMessageBox::NoRole},
                              {ButtonCancel, QStringLiteral("Annuler"), QMessageBox::RejectRole}};
    QHash<QAbstractButton*, int> buttons;
    for (const Choice& c : choices) {
        if (!(spec.buttons & c.button))
            continue;
        QPushButton* b = box.addButton(c.text, c.role);
        buttons.insert(b, c.button);
        if (c.button == spec.defaultButton)
            box.setDefaultButton(b);
        if (c.button == ButtonCancel || (c.button == ButtonNo && !(spec.buttons & ButtonCancel)))
            box.setEscapeButton(b);
    }
    box.exec();
    return buttons.value(box.clickedButton(), spec.defaultButton);
}

void runRebuildWithWindow(const std::function<void(const RebuildProgress&)>& work)
{
    QProgressDialog window;
    window.setWindowTitle(QStringLiteral("Reconstruction des index sur les fichiers"));
    window.setLabelText(QStringLiteral("Reconstruction des index sur les fichiers"));
    window.setCancelButton(nullptr);
    window.setRange(0, 5);
    window.setMinimumDuration(0);
    window.setWindowModality(Qt::ApplicationModal);
    window.setMinimumWidth(420);
    window.show();
    // The keys are rebuilt on a worker thread so that the window stays alive.
    QFutureWatcher<void> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcher<void>::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(QtConcurrent::run([&work, &window] {
        work([&window](int step, int total, const QString& label) {
            QMetaObject::invokeMethod(&window, [&window, step, total, label] {
                window.setMaximum(total);
                window.setValue(step);
                window.setLabelText(QStringLiteral("Reconstruction des index sur les fichiers\n%1").arg(label));
            });
        });
    }));
    if (!watcher.isFinished())
        loop.exec();
    window.close();
}

MessageBoxPresenter g_presenter;

} // namespace

int MessageBoxPresenter::show(const MessageSpec& spec)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread())
        return showOnThisThread(spec);
    int result = spec.defaultButton;
    QMetaObject::invokeMethod(
        app, [&] { result = showOnThisThread(spec); }, Qt::BlockingQueuedConnection);
    return result;
}

void installerPresentationFenetres()
{
    setMessagePresenter(&g_presenter);
    setRebuildRunner(runRebuildWithWindow);
}

} // namespace kip
