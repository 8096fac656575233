// The worked example of the employee form: its sentence, then five ranges in green boxes over the five
// values that they are retained as, in red boxes.
#pragma once

#include "employees/ExempleArrondi.h"

#include <QFrame>
#include <array>

class QLabel;

namespace kip {

class ExempleVue : public QFrame
{
    Q_OBJECT

public:
    explicit ExempleVue(QWidget* parent = nullptr);

    void montrer(const ExempleArrondi& exemple);

    QString titre() const;
    QStringList plages() const;
    QStringList retenues() const;

private:
    QLabel* m_titre = nullptr;
    std::array<QLabel*, ValeursExemple> m_plages{};
    std::array<QLabel*, ValeursExemple> m_retenues{};
};

} // namespace kip
