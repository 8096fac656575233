// A message presenter for tests: answers from a script and remembers every box shown and every file
// question asked.
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
};

} // namespace kip
