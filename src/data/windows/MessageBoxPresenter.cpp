#include "MessageBoxPresenter.h"

#include "calendar/windows/CalendrierJour.h"
#include "calendar/windows/CalendrierSemaine.h"
#include "data/Files.h"
#include "data/Tache.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QThread>

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

std::optional<QString> askOnThisThread(const SaveFileQuestion& question)
{
    QFileDialog dialog(QApplication::activeWindow(), question.title, question.directory, question.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.selectFile(question.suggestedName);
    // A name typed without its extension gets the filter's: "*.pdf" gives "pdf".
    const qsizetype star = question.filter.indexOf(QLatin1String("*."));
    if (star >= 0) {
        QString suffix = question.filter.mid(star + 2);
        suffix.truncate(suffix.indexOf(QRegularExpression(QStringLiteral("[^A-Za-z0-9]"))));
        dialog.setDefaultSuffix(suffix);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

// A small window shown at once, its bar following the work, which runs on a worker thread meanwhile so that
// the window stays alive; the start-up waits for it in a local event loop.
void runWithWindow(const QString& title, const ProgressWork& work)
{
    QProgressDialog window;
    window.setWindowTitle(title);
    window.setLabelText(title);
    window.setCancelButton(nullptr);
    window.setRange(0, 0);
    window.setMinimumDuration(0);
    window.setWindowModality(Qt::ApplicationModal);
    window.setMinimumWidth(420);
    window.show();
    // The work runs on a worker thread so that the window stays alive.
    QEventLoop loop;
    TacheDe<void> tache;
    QObject::connect(&tache, &Tache::progression, &window, [&window, title](const Avancement& a) {
        window.setMaximum(a.total);
        window.setValue(a.fait);
        window.setLabelText(QStringLiteral("%1\n%2").arg(title, a.texte));
    });
    QObject::connect(&tache, &Tache::terminee, &loop, &QEventLoop::quit);
    tache.demarrer([&work](const SuiviTache& suivi) {
        work([&suivi](int step, int total, const QString& label) { suivi.avancer(step, total, label); });
    });
    loop.exec();
    window.close();
}

void runRebuildWithWindow(const std::function<void(const RebuildProgress&)>& work)
{
    runWithWindow(QStringLiteral("Reconstruction des index sur les fichiers"), work);
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

std::optional<QString> MessageBoxPresenter::askSaveFile(const SaveFileQuestion& question)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread())
        return askOnThisThread(question);
    std::optional<QString> result;
    QMetaObject::invokeMethod(
        app, [&] { result = askOnThisThread(question); }, Qt::BlockingQueuedConnection);
    return result;
}

std::optional<qint32> MessageBoxPresenter::askDate(qint32 date, QObject* asker)
{
    if (!CalendrierJour::choisir(date, qobject_cast<QWidget*>(asker)))
        return std::nullopt;
    return date;
}

std::optional<Semaine> MessageBoxPresenter::askWeek(const Semaine& week, QObject* asker)
{
    Semaine s = week;
    if (!CalendrierSemaine::choisir(s.numero, s.annee, qobject_cast<QWidget*>(asker)))
        return std::nullopt;
    return s;
}

void installerPresentationFenetres()
{
    setMessagePresenter(&g_presenter);
    setRebuildRunner(runRebuildWithWindow);
    setProgressRunner(runWithWindow);
}

} // namespace kip
