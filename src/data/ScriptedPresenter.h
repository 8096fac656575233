// A message presenter for tests: answers from a script and remembers every box shown.
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
    void clear();

private:
    mutable QMutex m_mutex;
    std::deque<int> m_answers;
    QList<MessageSpec> m_shown;
};

} // namespace kip
