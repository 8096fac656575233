// A message presenter for tests: answers from a script and remembers every box shown and every file, date and
// week question asked.
#pragma once

#include "Messages.h"

#include <QList>
#include <QMutex>
#include <deque>

namespace kip {

class ScriptedPresenter : public MessagePresenter
{
public:
    // The next boxes are answered with these buttons, in order; then the default button is pressed.
    void answer(int button);
    int show(const MessageSpec& spec) override;
    QList<MessageSpec> shown() const;

    // The next file questions are answered with these paths in order (nothing: the user gave up); then
    // nothing.
    void answerFile(const std::optional<QString>& path);
    std::optional<QString> askSaveFile(const SaveFileQuestion& question) override;
    QList<SaveFileQuestion> fileQuestions() const;

    // The next date and week questions are answered with these in order (nothing: the user gave up); then
    // nothing. What each question opened on is remembered.
    void answerDate(const std::optional<qint32>& date);
    void answerWeek(const std::optional<Semaine>& week);
    std::optional<qint32> askDate(qint32 date, QObject* asker) override;
    std::optional<Semaine> askWeek(const Semaine& week, QObject* asker) override;
    QList<qint32> dateQuestions() const;
    QList<Semaine> weekQuestions() const;

    void clear();

private:
    mutable QMutex m_mutex;
    std::deque<int> m_answers;
    QList<MessageSpec> m_shown;
    // A file answer is kept as a flag and a path rather than as an optional: the optimiser takes the copy of a
    // queued optional text for a read of uninitialised memory.
    struct FileAnswer
    {
        bool given = false;
        QString path;
    };
    std::deque<FileAnswer> m_fileAnswers;
    QList<SaveFileQuestion> m_fileQuestions;
    std::deque<std::optional<qint32>> m_dateAnswers;
    QList<qint32> m_dateQuestions;
    std::deque<std::optional<Semaine>> m_weekAnswers;
    QList<Semaine> m_weekQuestions;
};

} // namespace kip
