#include "Messages.h"

#include <QMutex>
#include <QTextStream>
#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace kip {

namespace {

StderrPresenter g_stderrPresenter;
std::atomic<MessagePresenter*> g_presenter{&g_stderrPresenter};
QMutex g_mutex; // guards the stop handler
StopHandler g_stop;

QString buttonName(int b)
{
    switch (b) {
    case ButtonOk:
        return QStringLiteral("OK");
    case ButtonYes:
        return QStringLiteral("Oui");
    case ButtonNo:
        return QStringLiteral("Non");
    case ButtonCancel:
        return QStringLiteral("Annuler");
    }
    return QString();
}

struct Row
{
    int number;
    const char* title;
    MessageIcon icon;
    int buttons;
    int defaultButton;
    const char* stopText; // nullptr when the message returns
};

constexpr int YesNo = ButtonYes | ButtonNo;
constexpr int YesNoCancel = ButtonYes | ButtonNo | ButtonCancel;
constexpr auto Ex = MessageIcon::Exclamation;
constexpr auto Qu = MessageIcon::Question;

constexpr Row Rows[] = {
    {1, "Fichier invalide", Ex, ButtonOk, ButtonOk, "Fichier invalide!"},
    {2, "Clé invalide", Qu, YesNo, ButtonYes, "Clé invalide!"},
    {3, "Erreur reconstruction des clés", Ex, ButtonOk, ButtonOk, "Erreur reconstruction des clés !"},
    {4, "Erreur création fichier", Ex, ButtonOk, ButtonOk, "Erreur création fichier !"},
    {5, "Erreur création fichier", Ex, ButtonOk, ButtonOk, "Erreur création fichier !"},
    {14, "Erreur création enregistrement", Ex, ButtonOk, ButtonOk, nullptr},
    {15, "Erreur en mise à jour", Ex, ButtonOk, ButtonOk, nullptr},
    {16, "Erreur en mise à jour", Ex, YesNoCancel, ButtonCancel, nullptr},
    {17, "Erreur de suppression", Ex, ButtonOk, ButtonOk, nullptr},
    {18, "Erreur en mise à jour", Ex, YesNoCancel, ButtonCancel, nullptr},
    {21, "Demande invalide", Ex, ButtonOk, ButtonOk, nullptr},
    {24, "Erreur clé dupliquée", Ex, ButtonOk, ButtonOk, nullptr},
    {30, "Erreur accès fichier", Ex, ButtonOk, ButtonOk, nullptr},
    {32, "Confirmer suppression", Qu, ButtonOk | ButtonCancel, ButtonCancel, nullptr},
    {34, "Erreur transaction", Ex, ButtonOk, ButtonOk, nullptr},
    {35, "Erreur de lecture", Ex, ButtonOk, ButtonOk, nullptr},
    {36, "Erreur ouverture Vue", Ex, ButtonOk, ButtonOk, nullptr},
    {40, "Travail interrompu", MessageIcon::Information, ButtonOk, ButtonOk, nullptr},
    {41, "Fichier reconstruit", MessageIcon::Information, ButtonOk, ButtonOk, nullptr},
};

const Row* rowOf(int number)
{
    for (const Row& r : Rows)
        if (r.number == number)
            return &r;
    return nullptr;
}

QString textOf(int number, const FileError& err, const QString& t1, const QString& t2)
{
    const QString e = err.description();
    switch (number) {
    case 1:
        return QStringLiteral("Erreur: (%1) accès fichier %2. Cliquez OK pour terminer l'application.").arg(e, t1);
    case 2:
        return t1 + QStringLiteral(" : clé invalide.  Voulez-vous reconstruire les clés?");
    case 3:
        return QStringLiteral("Erreur: (%1) lors de la réparation des clés de %2.  Cliquez OK pour terminer "
                              "l'application.")
            .arg(e, t1);
    case 4:
        return QStringLiteral("Erreur: (%1) à la création %2.  Cliquez OK pour terminer l'application.").arg(e, t1);
    case 5:
        return QStringLiteral("Erreur: (%1) ouverture après création fichier:%2.  Cliquez OK pour terminer "
                              "l'application.")
            .arg(e, t1);
    case 14:
        return QStringLiteral("Une erreur s'est produite pendant la mise à jour. Erreur: %1.").arg(e);
    case 15:
        if (err.code == ChangedElsewhere || err.code == NoError)
            return QStringLiteral("Cet enregistrement a été modifié par une autre station.");
        return QStringLiteral("Une erreur (%1) s'est produite lors de la mise à jour d'un fichier. Cause probable : "
                              "%2.")
            .arg(e, t1);
    case 16:
        return QStringLiteral("Une erreur s'est produite lors de la mise à jour de cet enregistrement. Voulez-vous "
                              "essayer de nouveau?");
    case 17:
        return QStringLiteral("Une erreur (%1) s'est produite lors de la suppression de cet enregistrement %2.")
            .arg(e, t1);
    case 18:
        return QStringLiteral("Une erreur s'est produite pendant la suppression. Voulez-vous essayer de nouveau?");
    case 21:
        return QStringLiteral("Vous avez demandé de supprimer un enregistrement. Cette opération est interdite par le "
                              "programme. Cliquez OK pour revenir à la fenêtre précédente.");
    case 24:
        return QStringLiteral("L'ajout de cet enregistrement crée un doublon dans la clé :") + t1;
    case 30:
        return QStringLiteral("Ouverture fichier (%1) impossible.  Erreur: %2.").arg(t1, e);
    case 32:
        return QStringLiteral("L'enregistrement sélectionné va être supprimé. Cliquez OK pour confirmer votre "
                              "intention.");
    case 34:
        return QStringLiteral("Erreur: (%1) ouverture de transaction %2 sur fichier %3. %4 Transaction annulée.")
            .arg(e, t1.toLower(), t2, t1);
    case 35:
        return QStringLiteral("Erreur: (%1) lors de la lecture du fichier %2. Retour à la fenêtre précédente.")
            .arg(e, t1);
    case 36:
        return QStringLiteral("Erreur: (%1) lors de l'ouverture de la Vue Logique. Les filtres et les sélecteurs sont "
                              "ignorés.")
            .arg(e);
    case 40:
        return t1;
    case 41:
        return QStringLiteral("Les clés de %1 ne pouvaient pas être reconstruites: le fichier a été refait à partir de "
                              "ses enregistrements lisibles. %2 enregistrement(s) gardé(s). Le fichier endommagé est "
                              "conservé sous %1.endommage.")
            .arg(t1, t2);
    }
    return QString();
}

} // namespace

int StderrPresenter::show(const MessageSpec& spec)
{
    QTextStream err(stderr);
    err << spec.title << QStringLiteral(": ") << spec.text << QStringLiteral(" [") << buttonName(spec.defaultButton)
        << QStringLiteral("]\n");
    err.flush();
    return spec.defaultButton;
}

std::optional<QString> MessagePresenter::askSaveFile(const SaveFileQuestion&)
{
    return std::nullopt;
}

std::optional<qint32> MessagePresenter::askDate(qint32, QObject*)
{
    return std::nullopt;
}

std::optional<Semaine> MessagePresenter::askWeek(const Semaine&, QObject*)
{
    return std::nullopt;
}

std::optional<QString> StderrPresenter::askSaveFile(const SaveFileQuestion& question)
{
    QTextStream err(stderr);
    err << question.title << QStringLiteral(": ") << question.suggestedName << QStringLiteral(" [Annuler]\n");
    err.flush();
    return std::nullopt;
}

void setMessagePresenter(MessagePresenter* presenter)
{
    g_presenter = presenter ? presenter : &g_stderrPresenter;
}

MessagePresenter& messagePresenter()
{
    return *g_presenter.load();
}

void setStopHandler(StopHandler handler)
{
    QMutexLocker lock(&g_mutex);
    g_stop = std::move(handler);
}

void stopProgram(const QString& finalText, int exitCode)
{
    StopHandler handler;
    {
        QMutexLocker lock(&g_mutex);
        handler = g_stop;
    }
    if (handler)
        handler(finalText, exitCode);
    // The crash marker stays set: the next start rebuilds the keys.
    std::fprintf(stderr, "%s\n", finalText.toLocal8Bit().constData());
    std::fflush(stderr);
    std::_Exit(exitCode);
}

MessageSpec messageSpec(int number, const FileError& err, const QString& text1, const QString& text2)
{
    MessageSpec spec;
    spec.number = number;
    const Row* row = rowOf(number);
    if (!row)
        return spec;
    spec.title = QString::fromUtf8(row->title);
    spec.text = textOf(number, err, text1.trimmed(), text2.trimmed());
    spec.icon = row->icon;
    spec.buttons = row->buttons;
    spec.defaultButton = row->defaultButton;
    // Message 15 names another station whenever that is the error in force.
    if (number == 15 && (err.code == ChangedElsewhere || err.code == NoError))
        spec.title = QStringLiteral("Erreur en modification");
    return spec;
}

MessageSpec messageSpec(int number, const QString& text1, const QString& text2)
{
    return messageSpec(number, FileError{}, text1, text2);
}

int Message(int number, const QString& text1, const QString& text2)
{
    return Message(number, FileError{}, text1, text2);
}

int Message(int number, const FileError& error, const QString& text1, const QString& text2)
{
    const MessageSpec spec = messageSpec(number, error, text1, text2);
    const int button = messagePresenter().show(spec);
    const Row* row = rowOf(number);
    if (row && row->stopText && (number != 2 || button != ButtonYes))
        stopProgram(QString::fromUtf8(row->stopText));
    return button;
}

int showBox(const QString& title, const QString& text, MessageIcon icon, int buttons, int defaultButton)
{
    MessageSpec spec;
    spec.title = title;
    spec.text = text;
    spec.icon = icon;
    spec.buttons = buttons;
    spec.defaultButton = defaultButton;
    return messagePresenter().show(spec);
}

std::optional<QString> askSaveFile(const SaveFileQuestion& question)
{
    return messagePresenter().askSaveFile(question);
}

std::optional<qint32> askDate(qint32 date, QObject* asker)
{
    return messagePresenter().askDate(date, asker);
}

std::optional<Semaine> askWeek(const Semaine& week, QObject* asker)
{
    return messagePresenter().askWeek(week, asker);
}

} // namespace kip
