// The about window, opened from the bar's logo: the program's icon and name, the build version, the runtime
// library's version, and the web page and mail address of the maker as lines that open them when clicked.
#pragma once

#include "shell/Program.h"

#include <QDialog>
#include <QLabel>
#include <QUrl>

namespace kip {

// The maker's web page and mail address.
QUrl adresseSite();
QString adresseEmail();

// A text line that turns blue under the mouse and opens its address when the mouse is released over it.
class LigneLien : public QLabel
{
    Q_OBJECT

public:
    LigneLien(const QString& texte, const QUrl& adresse, QWidget* parent);
    const QUrl& adresse() const { return m_adresse; }
    QColor couleur() const;

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void setCouleur(const QColor& couleur);

    QUrl m_adresse;
};

class FenetreAPropos : public QDialog
{
    Q_OBJECT

public:
    explicit FenetreAPropos(Program programme, QWidget* parent = nullptr);

    LigneLien* lienSite() const { return m_site; }
    LigneLien* lienEmail() const { return m_email; }

private:
    LigneLien* m_site;
    LigneLien* m_email;
};

} // namespace kip
