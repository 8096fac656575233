#include "Journal.h"

#include "Postes.h"
#include "RecordFile.h"
#include "Transaction.h"
#include "calendar/Dates.h"
#include "calendar/HeureTexte.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMutex>
#include <QTime>
#include <algorithm>
#include <limits>
#include <utility>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

namespace kip {

namespace {

QMutex g_programmeMutex;
QString g_programme;

// The employee fields that hold dates: the journal shows them as dd/mm/yyyy.
bool estDate(const char* nom)
{
    for (const char* d : {"PREMIER_POINTAGE", "DERNIER_POINTAGE", "PREMIER_JOUR", "DERNIER_JOUR", "DATE_EMBAUCHE",
                          "DATE_DEBAUCHE", "PERIODE_INACTIVITE_DEBUT", "PERIODE_INACTIVITE_FIN"})
        if (qstrcmp(nom, d) == 0)
            return true;
    return false;
}

// Each field of a record as NAME=value; the elements of an array as NAME[1]=value and so on.
class Valeurs
{
public:
    std::vector<std::pair<QString, QString>> champs;

    template <class T> void field(const char* nom, const T& v) { ajouter(QLatin1String(nom), nombre(nom, qint64(v))); }
    void text(const char* nom, const QString& v, int size) { ajouter(QLatin1String(nom), clipField(v, size)); }
    template <class T, size_t N> void array(const char* nom, const std::array<T, N>& a)
    {
        for (size_t i = 0; i < N; ++i)
            ajouter(QStringLiteral("%1[%2]").arg(QLatin1String(nom)).arg(i + 1), nombre(nom, qint64(a[i])));
    }
    template <size_t N> void textArray(const char* nom, const std::array<QString, N>& a, int size)
    {
        for (size_t i = 0; i < N; ++i)
            ajouter(QStringLiteral("%1[%2]").arg(QLatin1String(nom)).arg(i + 1), clipField(a[i], size));
    }

private:
    static QString nombre(const char* nom, qint64 v)
    {
        return estDate(nom) ? DateTexte(qint32(v)) : QString::number(v);
    }
    void ajouter(const QString& nom, const QString& valeur) { champs.emplace_back(nom, valeur); }
};

Valeurs valeursDe(const Personnel& p)
{
    Valeurs v;
    const_cast<Personnel&>(p).visit(v);
    return v;
}

} // namespace

Journal entreeJournal(const Personnel& employe, qint32 jour)
{
    Journal j;
    j.CARTE = employe.CARTE;
    j.MATRICULE = employe.MATRICULE;
    j.NOM = employe.NOM;
    j.PRENOM = employe.PRENOM;
    j.JOUR = jour;
    return j;
}

Journal entreeJournal(const PointVal& journee)
{
    Journal j;
    j.CARTE = journee.CARTE;
    j.MATRICULE = journee.MATRICULE;
    j.NOM = journee.NOM;
    j.PRENOM = journee.PRENOM;
    j.JOUR = journee.DATE;
    return j;
}

QString texteJournee(const PunchLine& utilisateur, qint16 total)
{
    QStringList pointages;
    for (int i = 0; i < PunchSlotsUsed; ++i) {
        const qint16 v = utilisateur[size_t(i)];
        if (v >= 0 && v <= DerniereMinute)
            pointages << HeureTexte(v).trimmed();
        else if (v >= MinutesJour && v <= DerniereMinuteStockee)
            pointages << QLatin1Char('+') + HeureTexte(v - MinutesJour).trimmed();
    }
    const QString texte = pointages.isEmpty() ? QStringLiteral("(aucun)") : pointages.join(QLatin1Char(' '));
    return texte + QStringLiteral(" = ") + HeureTexte(total).trimmed();
}

void differencesEmploye(const Personnel* a, const Personnel* b, QString* avant, QString* apres)
{
    QStringList av, ap;
    if (a && b) {
        const Valeurs va = valeursDe(*a);
        const Valeurs vb = valeursDe(*b);
        for (size_t i = 0; i < va.champs.size() && i < vb.champs.size(); ++i) {
            if (va.champs[i].second == vb.champs[i].second)
                continue;
            av << va.champs[i].first + QLatin1Char('=') + va.champs[i].second;
            ap << vb.champs[i].first + QLatin1Char('=') + vb.champs[i].second;
        }
    } else if (const Personnel* seul = a ? a : b) {
        QStringList& liste = a ? av : ap;
        for (const auto& [nom, valeur] : valeursDe(*seul).champs)
            if (!valeur.isEmpty() && valeur != QLatin1String("0"))
                liste << nom + QLatin1Char('=') + valeur;
    }
    *avant = av.join(QStringLiteral("; "));
    *apres = ap.join(QStringLiteral("; "));
}

void setProgrammeJournal(const QString& nom)
{
    QMutexLocker lock(&g_programmeMutex);
    g_programme = nom;
}

QString programmeJournal()
{
    {
        QMutexLocker lock(&g_programmeMutex);
        if (!g_programme.isEmpty())
            return g_programme;
    }
    return QCoreApplication::applicationName();
}

QString utilisateurSysteme()
{
#ifdef Q_OS_UNIX
    // The account of the process, not a variable anyone may set.
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
#endif
    for (const char* variable : {"USERNAME", "USER", "LOGNAME"})
        if (const QString nom = qEnvironmentVariable(variable); !nom.isEmpty())
            return nom;
    return QStringLiteral("?");
}

FileError ajouterAuJournal(Transaction& t, Journal& entree)
{
    if (!t.ok())
        return t.error().ok() ? makeError(DriverError, 0, QStringLiteral("transaction terminée")) : t.error();
    if (!t.holds(FileId::Journal))
        return detail::labelled(makeError(DriverError, 0, QStringLiteral("JOURNAL hors de la transaction")),
                                QStringLiteral("JOURNAL"));
    const QDateTime maintenant = Clock::now();
    entree.DATE = dayNumber(maintenant.date());
    entree.HEURE = maintenant.time().msecsSinceStartOfDay() / 1000;
    entree.PROGRAMME = programmeJournal();
    entree.UTILISATEUR = utilisateurSysteme();
    // On the server the stations share the journal: the entry names the station too, "marie@atelier", the station
    // kept whole within the field's 32 characters.
    if (t.database().isServer()) {
        const QString poste = QLatin1Char('@') + nomPoste();
        entree.UTILISATEUR = entree.UTILISATEUR.left(std::max<qsizetype>(1, 32 - poste.size())) + poste;
    }
    RecordFile<Journal> journal(t.database());
    return journal.add(entree);
}

namespace {

// Reads every entry that the statement selects, in its order.
FileError lireEntrees(Database& db, Statement& st, std::vector<Journal>& entrees)
{
    for (;;) {
        const int rc = st.step();
        if (rc == SqliteDone)
            break;
        if (rc != SqliteRow)
            return detail::stepError(db, rc, QStringLiteral("JOURNAL"));
        Journal j;
        j.rowid = st.columnInt(0);
        j.version = st.columnInt(1);
        detail::Reader r(st, 2);
        j.visit(r);
        entrees.push_back(std::move(j));
    }
    return {};
}

// Whether the journal exists: a read must not leave an empty database under its name, which its common open
// would then take for a damaged file.
bool existe(Database& db)
{
    // On the server the table is made by the first common open of the journal.
    return db.isServer() || QFileInfo::exists(db.pathOf(Journal::FileName));
}

// The journal's read under the condition; an invalid statement that carries the error when the journal cannot
// be attached or read.
Statement preparer(Database& db, const QString& condition)
{
    RecordFile<Journal> journal(db);
    if (FileError e = journal.open(); !e.ok())
        return Statement(std::move(e));
    Statement st = db.prepare(
        QStringLiteral("SELECT rowid, ROWVER, %1 FROM JOURNAL.JOURNAL WHERE ").arg(journal.table().columnList()) +
        condition);
    if (!st.valid())
        return Statement(detail::labelled(st.error(), QStringLiteral("JOURNAL")));
    return st;
}

} // namespace

FileError lireJournal(Database& db, const FiltreJournal& filtre, std::vector<Journal>& entrees)
{
    entrees.clear();
    if (!existe(db))
        return {}; // nothing was ever journalled
    Statement st =
        preparer(db, QStringLiteral("DATE >= ?1 AND DATE <= ?2 AND CARTE >= ?3 AND CARTE <= ?4 ORDER BY rowid"));
    if (!st.valid())
        return st.error();
    st.bind(1, qint64(filtre.debut));
    st.bind(2, qint64(filtre.fin ? filtre.fin : std::numeric_limits<qint32>::max()));
    st.bind(3, qint64(filtre.carteDebut));
    st.bind(4, qint64(filtre.carteFin));
    return lireEntrees(db, st, entrees);
}

FileError lireJournalJournee(Database& db, qint16 carte, qint32 jour, std::vector<Journal>& entrees)
{
    entrees.clear();
    if (!existe(db))
        return {}; // nothing was ever journalled
    Statement st = preparer(db, QStringLiteral("CARTE = ?1 AND JOUR = ?2 ORDER BY rowid DESC"));
    if (!st.valid())
        return st.error();
    st.bind(1, qint64(carte));
    st.bind(2, qint64(jour));
    return lireEntrees(db, st, entrees);
}

QDateTime momentJournal(const Journal& entree)
{
    return QDateTime(calendarDate(entree.DATE), QTime::fromMSecsSinceStartOfDay(entree.HEURE * 1000));
}

} // namespace kip
