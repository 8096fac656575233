// The message procedure: every numbered French message, and the boxes of the start-up, go through one
// pluggable presenter (a message box, standard error, or scripted answers in tests). The same presenter asks
// the user for a file name, a date or a week: a window asks it, and tests script the answer.
#pragma once

#include "FileError.h"
#include "calendar/Dates.h"

#include <QString>
#include <functional>
#include <optional>

class QObject;

namespace kip {

enum class MessageIcon
{
    Stop,
    Exclamation,
    Question,
    Information
};

enum MessageButton : int
{
    ButtonOk = 1,
    ButtonYes = 2,
    ButtonNo = 4,
    ButtonCancel = 8
};

struct MessageSpec
{
    int number = 0; // 0 for the unnumbered boxes
    QString title;
    QString text;
    MessageIcon icon = MessageIcon::Exclamation;
    int buttons = ButtonOk;
    int defaultButton = ButtonOk;
};

// A question for the name of a file to write: the dialog's title, the directory it opens in, the name it
// proposes and its filter ("Documents PDF (*.pdf)").
struct SaveFileQuestion
{
    QString title;
    QString directory;
    QString suggestedName;
    QString filter;
};

class MessagePresenter
{
public:
    virtual ~MessagePresenter() = default;
    // Shows the box and returns the button pressed. May be called from any thread.
    virtual int show(const MessageSpec& spec) = 0;
    // Asks for a file to write: its full path, or nothing when the user gave up. The default answers
    // nothing, as a program without a display must.
    virtual std::optional<QString> askSaveFile(const SaveFileQuestion& question);
    // Asks for a date with the day picker, opened on date (0: today), over the window that asks: the date
    // picked, or nothing when the user gave up. The default answers nothing.
    virtual std::optional<qint32> askDate(qint32 date, QObject* asker);
    // Asks for a week with the week picker, opened on week: as askDate.
    virtual std::optional<Semaine> askWeek(const Semaine& week, QObject* asker);
};

// Answers every box with its default button and writes it to standard error (programs run without a
// display); asks no file name.
class StderrPresenter : public MessagePresenter
{
public:
    int show(const MessageSpec& spec) override;
    std::optional<QString> askSaveFile(const SaveFileQuestion& question) override;
};

void setMessagePresenter(MessagePresenter* presenter); // nullptr restores the standard-error presenter
MessagePresenter& messagePresenter();

// How the program stops after a stopping message: the final text and the exit code. The default writes the
// text to standard error and ends the process at once, leaving the crash marker set.
using StopHandler = std::function<void(const QString& finalText, int exitCode)>;
void setStopHandler(StopHandler handler);
[[noreturn]] void stopProgram(const QString& finalText, int exitCode = 1);

// The box of a numbered message about the error that the failed call returned (the messages that report
// one: 1, 3, 4, 5, 14, 15, 17, 30, 34, 35, 36; message 15 with no error names another station).
MessageSpec messageSpec(int number, const FileError& error, const QString& text1 = {}, const QString& text2 = {});
// The box of a numbered message that reports no error (the questions and notices: 2, 16, 18, 21, 24, 32).
MessageSpec messageSpec(int number, const QString& text1 = {}, const QString& text2 = {});

// Shows a numbered message and returns the button; the stopping messages end the program.
int Message(int number, const FileError& error, const QString& text1 = {}, const QString& text2 = {});
int Message(int number, const QString& text1 = {}, const QString& text2 = {});

// Shows an unnumbered box.
int showBox(const QString& title, const QString& text, MessageIcon icon, int buttons = ButtonOk,
            int defaultButton = ButtonOk);

// Asks, through the presenter, for the name of a file to write, a date or a week. Called on the GUI thread.
std::optional<QString> askSaveFile(const SaveFileQuestion& question);
std::optional<qint32> askDate(qint32 date, QObject* asker);
std::optional<Semaine> askWeek(const Semaine& week, QObject* asker);

} // namespace kip
