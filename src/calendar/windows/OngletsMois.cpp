#include "OngletsMois.h"

#include "calendar/CalendrierAnnee.h"

#include <QButtonGroup>
#include <QDialog>
#include <QGridLayout>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>

namespace kip {

OngletsMois::OngletsMois(QWidget* parent) : QWidget(parent), m_groupe(new QButtonGroup(this))
{
    auto* grille = new QGridLayout(this);
    grille->setContentsMargins(0, 0, 0, 0);
    grille->setSpacing(4);
    for (int m = 1; m <= 12; ++m) {
        auto* onglet = new QToolButton(this);
        onglet->setObjectName(QStringLiteral("onglet_%1").arg(m));
        onglet->setProperty("role", QStringLiteral("onglet"));
        onglet->setText(NomMois(m));
        onglet->setCheckable(true);
        onglet->setAutoRaise(true);
        onglet->setFocusPolicy(Qt::TabFocus);
        onglet->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        m_groupe->addButton(onglet, m);
        grille->addWidget(onglet, (m - 1) / 4, (m - 1) % 4);
    }
    m_groupe->setExclusive(true);
    connect(m_groupe, &QButtonGroup::idClicked, this, &OngletsMois::moisChoisi);
}

int OngletsMois::mois() const
{
    return m_groupe->checkedId();
}

void OngletsMois::setMois(int mois)
{
    const QSignalBlocker bloque(m_groupe);
    if (QAbstractButton* b = m_groupe->button(mois))
        b->setChecked(true);
}

QAbstractButton* OngletsMois::onglet(int mois) const
{
    return m_groupe->button(mois);
}

void appliquerStyleCalendrier(QDialog* fenetre)
{
    QFont police = fenetre->font();
    police.setPointSizeF(qMax(police.pointSizeF(), 10.0));
    fenetre->setFont(police);
    fenetre->setStyleSheet(QStringLiteral(R"(
QDialog { background: #f7f8fa; }
QLabel#titre { font-size: 15pt; font-weight: 600; color: #1f2937; padding: 2px 0 6px 0; }
QLabel[role="entete"] { color: #6b7280; font-weight: 600; }
QPushButton#aujourdhui, QPushButton#cetteSemaine {
    background: #2563eb; color: white; border: none; border-radius: 5px; padding: 5px 14px; font-weight: 600; }
QPushButton#aujourdhui:hover, QPushButton#cetteSemaine:hover { background: #1d4ed8; }
QToolButton[role="onglet"] { border: 1px solid #d6dbe3; border-radius: 4px; background: white; color: #374151;
    padding: 4px 2px; }
QToolButton[role="onglet"]:hover { background: #eef2fb; }
QToolButton[role="onglet"]:checked { background: #2563eb; border-color: #2563eb; color: white; font-weight: 600; }
QFrame#feuille { background: white; border: 1px solid #d6dbe3; border-radius: 6px; }
QPushButton[role="jour"] { border: none; border-radius: 17px; background: transparent; color: #1f2937; }
QPushButton[role="jour"][weekend="true"] { color: #6b7280; }
QPushButton[role="jour"]:hover:enabled { background: #e8eefc; }
QPushButton[role="jour"][aujourdhui="true"] { border: 1px solid #2563eb; }
QPushButton[role="jour"][marque="true"] { background: #2563eb; color: white; font-weight: 600; }
QPushButton[role="ligne"] { border: 1px solid transparent; border-radius: 5px; background: transparent;
    text-align: left; }
QPushButton[role="ligne"]:hover { background: #eef2fb; border-color: #c7d4f5; }
QPushButton[role="ligne"][choisie="true"] { background: #fdecec; border-color: #f3b4b4; }
QPushButton[role="ligne"] QLabel { color: #1d4ed8; }
QPushButton[role="ligne"][choisie="true"] QLabel { color: #dc2626; font-weight: 600; }
)"));
}

void reglerSpinAnnee(QSpinBox* spin, int annee)
{
    const QSignalBlocker bloque(spin);
    spin->setMinimumWidth(76);
    spin->setRange(qMin(PremiereAnneeCalendrier, annee), qMax(DerniereAnneeCalendrier, annee));
    spin->setValue(annee);
}

void repolir(QWidget* widget)
{
    widget->style()->unpolish(widget);
    widget->style()->polish(widget);
    for (QWidget* enfant : widget->findChildren<QWidget*>()) {
        enfant->style()->unpolish(enfant);
        enfant->style()->polish(enfant);
    }
    widget->update();
}

} // namespace kip

#include "moc_OngletsMois.cpp"
