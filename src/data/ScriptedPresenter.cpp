#include "ScriptedPresenter.h"

namespace kip {

void ScriptedPresenter::answer(int button)
{
    QMutexLocker lock(&m_mutex);
    m_answers.push_back(button);
}

int ScriptedPresenter::show(const MessageSpec& spec)
{
    QMutexLocker lock(&m_mutex);
    m_shown << spec;
    if (m_answers.empty())
        return spec.defaultButton;
    const int b = m_answers.front();
    m_answers.pop_front();
    return b;
}

QList<MessageSpec> ScriptedPresenter::shown() const
{
    QMutexLocker lock(&m_mutex);
    return m_shown;
}

void ScriptedPresenter::answerFile(const std::optional<QString>& path)
{
    QMutexLocker lock(&m_mutex);
    m_fileAnswers.push_back({path.has_value(), path.value_or(QString())});
}

std::optional<QString> ScriptedPresenter::askSaveFile(const SaveFileQuestion& question)
{
    QMutexLocker lock(&m_mutex);
    m_fileQuestions << question;
    if (m_fileAnswers.empty())
        return std::nullopt;
    const FileAnswer a = m_fileAnswers.front();
    m_fileAnswers.pop_front();
    if (!a.given)
        return std::nullopt;
    return a.path;
}

QList<SaveFileQuestion> ScriptedPresenter::fileQuestions() const
{
    QMutexLocker lock(&m_mutex);
    return m_fileQuestions;
}

void ScriptedPresenter::clear()
{
    QMutexLocker lock(&m_mutex);
    m_shown.clear();
    m_answers.clear();
    m_fileAnswers.clear();
    m_fileQuestions.clear();
}

} // namespace kip
