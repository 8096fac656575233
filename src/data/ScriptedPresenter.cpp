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

namespace {

template <class T> std::optional<T> nextAnswer(std::deque<std::optional<T>>& answers)
{
    if (answers.empty())
        return std::nullopt;
    std::optional<T> a = answers.front();
    answers.pop_front();
    return a;
}

} // namespace

void ScriptedPresenter::answerDate(const std::optional<qint32>& date)
{
    QMutexLocker lock(&m_mutex);
    m_dateAnswers.push_back(date);
}

void ScriptedPresenter::answerWeek(const std::optional<Semaine>& week)
{
    QMutexLocker lock(&m_mutex);
    m_weekAnswers.push_back(week);
}

std::optional<qint32> ScriptedPresenter::askDate(qint32 date, QObject*)
{
    QMutexLocker lock(&m_mutex);
    m_dateQuestions << date;
    return nextAnswer(m_dateAnswers);
}

std::optional<Semaine> ScriptedPresenter::askWeek(const Semaine& week, QObject*)
{
    QMutexLocker lock(&m_mutex);
    m_weekQuestions << week;
    return nextAnswer(m_weekAnswers);
}

QList<qint32> ScriptedPresenter::dateQuestions() const
{
    QMutexLocker lock(&m_mutex);
    return m_dateQuestions;
}

QList<Semaine> ScriptedPresenter::weekQuestions() const
{
    QMutexLocker lock(&m_mutex);
    return m_weekQuestions;
}

void ScriptedPresenter::clear()
{
    QMutexLocker lock(&m_mutex);
    m_shown.clear();
    m_answers.clear();
    m_fileAnswers.clear();
    m_fileQuestions.clear();
    m_dateAnswers.clear();
    m_dateQuestions.clear();
    m_weekAnswers.clear();
    m_weekQuestions.clear();
}

} // namespace kip
