// The wait cursor over a write that the user waits for, released however the write ends.
#pragma once

#include <QApplication>
#include <functional>

namespace kip {

class CurseurAttente
{
public:
    CurseurAttente() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CurseurAttente() { QApplication::restoreOverrideCursor(); }
    CurseurAttente(const CurseurAttente&) = delete;
    CurseurAttente& operator=(const CurseurAttente&) = delete;
};

// The same as a switch, for the core's writes that take one.
inline std::function<void(bool)> attenteCurseur()
{
    return [](bool attendre) {
        if (attendre)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    };
}

} // namespace kip
