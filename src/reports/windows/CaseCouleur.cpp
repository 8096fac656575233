// The coloured selector boxes of the report selection.
#include "CaseCouleur.h"

#include <QMouseEvent>

namespace kip {

CaseCouleur::CaseCouleur(const QString& texte, QWidget* parent) : QLabel(texte, parent)
{
    setAlignment(Qt::AlignCenter);
    setMinimumHeight(26);
    setCursor(Qt::PointingHandCursor);
    setEtat(Etat::Gris);
}

void CaseCouleur::setEtat(Etat etat)
{
    m_etat = etat;
    // Light green (80FF80) active, pink (FF8080) inactive, grey (808080) disabled.
    const char* fond = etat == Etat::Actif ? "#80ff80" : etat == Etat::Inactif ? "#ff8080" : "#808080";
    const char* encre = etat == Etat::Gris ? "#d0d0d0" : "#000000";
    setStyleSheet(QStringLiteral("QLabel { background: %1; color: %2; border: 1px solid #404040; padding: 2px 6px; }")
                      .arg(QLatin1String(fond), QLatin1String(encre)));
}

void CaseCouleur::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && isEnabled() && rect().contains(event->position().toPoint()))
        Q_EMIT clique();
    QLabel::mouseReleaseEvent(event);
}

} // namespace kip

#include "moc_CaseCouleur.cpp"
