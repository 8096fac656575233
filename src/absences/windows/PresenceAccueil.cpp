// The who-is-here-now panel of the home window: its four groups, read on a worker at each refresh.
#include "PresenceAccueil.h"

#include "calendar/Clock.h"
#include "calendar/Dates.h"
#include "calendar/HeureTexte.h"
#include "data/Files.h"
#include "shell/windows/FenetrePrincipale.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTimerEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kip {

namespace {

constexpr int MsParMinute = 60 * 1000;
constexpr int PeriodeActualisationMs = MsParMinute;
const char* const Titres[] = {"Présents", "Partis", "Absents", "Attendus"};
const QColor Couleurs[] = {QColor(0x2e, 0x8b, 0x57), QColor(0x5b, 0x6b, 0x7d), QColor(0x2f, 0x6f, 0xb3),
                           QColor(0xc0, 0x39, 0x2b)};

} // namespace

PresenceAccueil::PresenceAccueil(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("presenceAccueil"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    auto* colonne = new QVBoxLayout(this);
    m_entete = new QLabel(this);
    m_entete->setObjectName(QStringLiteral("moment"));
    QFont gras = m_entete->font();
    gras.setBold(true);
    m_entete->setFont(gras);
    colonne->addWidget(m_entete);
    auto* groupes = new QHBoxLayout;
    for (int g = 0; g < 4; ++g) {
        auto* bloc = new QVBoxLayout;
        m_titres[size_t(g)] = new QLabel(this);
        m_titres[size_t(g)]->setStyleSheet(QStringLiteral("color:%1;font-weight:bold").arg(Couleurs[g].name()));
        // The hour (or the code) first, in a column of its own, then the name, cut at the right when too long.
        auto* l = new QTreeWidget(this);
        l->setObjectName(QStringLiteral("presence%1").arg(g));
        l->setColumnCount(2);
        l->setHeaderHidden(true);
        l->setRootIsDecorated(false);
        l->setFocusPolicy(Qt::NoFocus);
        l->setSelectionMode(QAbstractItemView::NoSelection);
        l->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        l->setTextElideMode(Qt::ElideRight);
        l->header()->setStretchLastSection(true);
        l->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
        m_listes[size_t(g)] = l;
        bloc->addWidget(m_titres[size_t(g)]);
        bloc->addWidget(m_listes[size_t(g)], 1);
        groupes->addLayout(bloc, 1);
    }
    colonne->addLayout(groupes, 1);
}

QString PresenceAccueil::titre(int groupe) const
{
    return m_titres[size_t(groupe)]->text();
}

void PresenceAccueil::actualiser()
{
    m_relire = true;
    if (!m_lecture)
        lancerLecture();
}

void PresenceAccueil::lancerLecture()
{
    m_relire = false;
    // The date and the time of day read at one instant: a read at midnight pairs no day with the next one's time.
    const QDateTime maintenant = Clock::now();
    const qint32 aujourdhui = dayNumber(maintenant.date());
    const qint32 minute = maintenant.time().msecsSinceStartOfDay() / MsParMinute;
    m_moment = QStringLiteral("Aujourd'hui, %1 %2 à %3")
                   .arg(NomJour(aujourdhui).toLower(), DateTexte(aujourdhui), HeureTexte(minute).trimmed());
    // The files are opened here and held while the worker reads them, then given back: a repair question of
    // their open is asked on this thread, and a restore meanwhile finds them in use.
    auto* lecture = new Lecture(this);
    lecture->tenir({FileId::Personnel, FileId::PointVal, FileId::TypeAbsence, FileId::Absence, FileId::Horaire,
                    FileId::ReglagesAbsences});
    connect(lecture, &Tache::terminee, this, [this, lecture] { lectureTerminee(lecture); });
    m_lecture = lecture;
    lecture->demarrer([dataDir = paths().dataDir, aujourdhui, minute](const SuiviTache&) {
        Database db(dataDir);
        return std::optional<Result<Presences>>(LirePresences(db, aujourdhui, minute));
    });
}

void PresenceAccueil::lectureTerminee(Lecture* lecture)
{
    const std::optional<Result<Presences>> lu = std::exchange(lecture->resultat(), std::nullopt);
    lecture->deleteLater();
    m_lecture = nullptr;
    if (m_relire) {
        lancerLecture();
        return;
    }
    m_entete->setText(m_moment);
    if (!lu || !*lu) {
        // The panel is an aid: a file that cannot be read now is said here, and read again at the next refresh.
        const FileError e = lu ? lu->error() : makeError(DriverError);
        m_entete->setText(m_moment + QStringLiteral(": lecture impossible (%1)").arg(e.description()));
        return;
    }
    afficher(**lu);
}

void PresenceAccueil::afficher(const Presences& p)
{
    const std::vector<PresenceEmploye>* groupes[] = {&p.presents, &p.partis, &p.absents, &p.attendus};
    for (int g = 0; g < 4; ++g) {
        QString t = QStringLiteral("%1 (%2)").arg(QString::fromUtf8(Titres[g])).arg(groupes[g]->size());
        if (g == Attendus && p.aVenir > 0)
            t += QStringLiteral(", %1 à venir").arg(p.aVenir);
        m_titres[size_t(g)]->setText(t);
        QTreeWidget* l = m_listes[size_t(g)];
        l->clear();
        QList<QTreeWidgetItem*> lignes;
        for (const PresenceEmploye& e : *groupes[g]) {
            auto* item = new QTreeWidgetItem({e.court, e.nom});
            item->setToolTip(1, QStringLiteral("%1, %2").arg(e.nom, e.detail));
            item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
            lignes << item;
        }
        l->addTopLevelItems(lignes);
    }
}

void PresenceAccueil::showEvent(QShowEvent* event)
{
    QFrame::showEvent(event);
    actualiser();
    m_minuterie.start(PeriodeActualisationMs, this);
}

void PresenceAccueil::hideEvent(QHideEvent* event)
{
    m_minuterie.stop();
    QFrame::hideEvent(event);
}

void PresenceAccueil::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_minuterie.timerId())
        actualiser();
    else
        QFrame::timerEvent(event);
}

void enregistrerPresenceAccueil()
{
    FenetrePrincipale::enregistrerPanneau([](QWidget* parent) { return new PresenceAccueil(parent); });
}

} // namespace kip

#include "moc_PresenceAccueil.cpp"
