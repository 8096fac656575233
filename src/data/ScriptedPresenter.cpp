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

void ScriptedPresenter::clear()
{
    QMutexLocker lock(&m_mutex);
    m_shown.clear();
    m_answers.clear();
}

} // namespace kip
