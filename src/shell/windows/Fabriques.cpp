// The factory registry, and the stand-in for the day initialisation.
#include "Fabriques.h"

#include "FenetreTravail.h"

#include <QHash>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace kip {

namespace {

const QString DayInitialisation = QStringLiteral("InitialiseJournee");

// Shows that the day is being prepared, then leaves the home window in front.
class InitialiseJourneeProvisoire : public FenetreTravail
{
public:
    explicit InitialiseJourneeProvisoire(Cadre& cadre) : FenetreTravail(cadre, DayInitialisation)
    {
        auto* texte = new QLabel(QStringLiteral("Initialisation de la journée…"), this);
        texte->setAlignment(Qt::AlignCenter);
        auto* disposition = new QVBoxLayout(this);
        disposition->addWidget(texte);
        QTimer::singleShot(1500, this, &QWidget::close);
    }
};

QHash<QString, FabriqueFenetre>& fabriques()
{
    static QHash<QString, FabriqueFenetre> table;
    return table;
}

} // namespace

void enregistrerFabrique(const QString& nom, FabriqueFenetre fabrique)
{
    fabriques().insert(nom, std::move(fabrique));
}

void retirerFabrique(const QString& nom)
{
    fabriques().remove(nom);
}

bool aUneFabrique(const QString& nom)
{
    return fabriques().contains(nom) || nom == DayInitialisation;
}

FenetreTravail* ouvrirFenetre(const QString& nom, Cadre& cadre)
{
    const auto it = fabriques().constFind(nom);
    if (it != fabriques().constEnd())
        return it.value() ? it.value()(cadre) : nullptr;
    if (nom == DayInitialisation)
        return new InitialiseJourneeProvisoire(cadre);
    return nullptr;
}

} // namespace kip
