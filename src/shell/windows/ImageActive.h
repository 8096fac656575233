// A picture in three states covered by a hot area with the hand cursor: state 1 under the mouse, 0 when the
// mouse leaves, 2 while pressed (drawn at once), 1 again on release. The press is reported by appuye(); the
// owner decides what to do and when.
#pragma once

#include <QLabel>
#include <QString>

namespace kip {

class ImageActive : public QLabel
{
    Q_OBJECT

public:
    explicit ImageActive(QWidget* parent = nullptr);

    // Loads the pictures bt0_<nom> .. bt2_<nom> and shows state 0; an empty name shows nothing.
    void charger(const QString& nom);
    const QString& nom() const { return m_nom; }
    int etat() const { return m_etat; }
    void setEtat(int etat);

Q_SIGNALS:
    void appuye();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString m_nom;
    int m_etat = 0;
};

} // namespace kip
