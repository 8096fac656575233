// The one installation of the tests: a temporary directory named Kip with its Data, the paths set on it, a
// fixed today and time of day, the scripted presenter, and helpers that write and read employees and day lines
// through the store. Everything goes through the installation's one Database, so that the store under it can
// change without the tests knowing. The core part has no test framework in it: a helper that fails records why
// in `pannes`, which the GoogleTest fixture (InstallationTest) and the window tests check at the end.
#pragma once

#include "QStringPrinter.h"
#include "calendar/Clock.h"
#include "calendar/Dates.h"
#include "data/Database.h"
#include "data/FileAdmin.h"
#include "data/Files.h"
#include "data/Pack.h"
#include "data/RecordFile.h"
#include "data/ScriptedPresenter.h"
#include "data/TextFiles.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTime>
#include <initializer_list>
#include <memory>
#include <optional>
#include <sqlite3.h>
#include <vector>

namespace essai {

constexpr int h(int heures, int minutes = 0)
{
    return heures * 60 + minutes;
}

class Installation
{
public:
    QTemporaryDir tmp;
    kip::ScriptedPresenter presenter;
    std::unique_ptr<kip::Database> base;        // the connection of the helpers and of most tests
    qint32 today = kip::dayNumber(2026, 12, 9); // a Wednesday
    QStringList pannes;                         // what a helper could not do
    // The record files made at each start; the store tests start with none.
    std::vector<kip::FileId> fichiers{kip::FileId::Parametre, kip::FileId::Personnel, kip::FileId::PointVal};

    // A fresh installation with empty files: the first one, or a new one in place of the last.
    bool vider()
    {
        base.reset();
        if (!tmp.isValid())
            return panne(QStringLiteral("no temporary directory"));
        const QString dir = tmp.path() + QStringLiteral("/Kip");
        QDir(dir).removeRecursively();
        for (const char* sous : {"Data", "SaveAuto", "SaveManu", "Son"})
            QDir().mkpath(dir + QLatin1Char('/') + QLatin1String(sous));
        kip::setPaths(kip::Paths::forInstallation(dir));
        kip::setMessagePresenter(&presenter);
        kip::Clock::setToday(today);
        kip::Clock::setTimeOfDay(QTime(10, 20, 30));
        for (kip::FileId id : fichiers)
            kip::commonOpen(id);
        base = std::make_unique<kip::Database>(dataDir());
        presenter.clear();
        return base->valid() || panne(QStringLiteral("the store did not open"));
    }
    // The installation's connection closed (the files left to the program under test) and opened again.
    void fermer() { base.reset(); }
    void rouvrir() { base = std::make_unique<kip::Database>(dataDir()); }
    void terminer()
    {
        base.reset();
        kip::setMessagePresenter(nullptr);
        kip::Clock::setToday(0);
        kip::Clock::setTimeOfDay(QTime());
    }

    // Another connection to the installation's store, as a second program or workstation holds one.
    kip::Database connexion() const { return kip::Database(dataDir()); }

    // The Monday of today's week, or of a week before it.
    qint32 lundi(int semainesAvant = 0) const { return kip::LundiDimanche(today).lundi - 7 * semainesAvant; }

    QString dir() const { return kip::paths().installDir; }
    QString dataDir() const { return kip::paths().dataDir; }
    QString origine(int g = 0) const { return kip::paths().origin(g); }

    // An employee hired for good whose punches are kept as they are (not yet stored).
    static kip::Personnel employe(qint16 carte, const QString& nom = {}, const QString& prenom = QStringLiteral("Paul"),
                                  const QString& matricule = {})
    {
        kip::Personnel p;
        p.CARTE = carte;
        p.NOM = nom.isNull() ? QStringLiteral("NOM%1").arg(carte) : nom;
        p.PRENOM = prenom;
        p.MATRICULE = matricule.isNull() ? QStringLiteral("M%1").arg(carte, 4, 10, QLatin1Char('0')) : matricule;
        p.NOMBRE = 4;
        p.ARRONDI_ENTREE = p.ARRONDI_SORTIE = QStringLiteral("00");
        p.ARRONDI_SEMAINE = QStringLiteral("000");
        p.DATE_EMBAUCHE = kip::dayNumber(2020, 1, 1);
        p.DATE_DEBAUCHE = kip::dayNumber(2099, 12, 31);
        return p;
    }
    kip::Personnel ajouter(kip::Personnel p)
    {
        kip::RecordFile<kip::Personnel> file(*base);
        if (!file.open().ok() || !file.add(p).ok())
            panne(QStringLiteral("employee %1 not added").arg(p.CARTE));
        return p;
    }
    kip::Personnel ajouter(qint16 carte, const QString& nom = {}) { return ajouter(employe(carte, nom)); }
    // An employee whose rules the test sets first.
    template <class F> kip::Personnel ajouter(qint16 carte, const QString& nom, F regler)
    {
        kip::Personnel p = employe(carte, nom);
        regler(p);
        return ajouter(p);
    }

    // A day line whose raw, programme and user lines hold the punches (minutes), with its total (not stored).
    static kip::PointVal journee(const kip::Personnel& p, qint32 date, std::initializer_list<int> punches = {},
                                 bool inactif = false)
    {
        kip::PointVal v;
        v.clearPunches();
        v.CARTE = p.CARTE;
        v.NOM = p.NOM;
        v.PRENOM = p.PRENOM;
        v.MATRICULE = p.MATRICULE;
        v.DATE = date;
        const kip::Semaine s = kip::NumeroSemaine(date);
        v.NUM_SEMAINE = s.numero;
        v.NUM_ANNEE = s.annee;
        v.INACTIF = inactif ? 1 : 0;
        size_t i = 0;
        for (int m : punches) {
            v.POINTAGE_ORIGINE[i] = v.POINTAGE_PROGRAMME[i] = v.POINTAGE_UTILISATEUR[i] = qint16(m);
            ++i;
        }
        v.TOTAL = qint16(total(v.POINTAGE_UTILISATEUR));
        return v;
    }
    kip::PointVal ajouter(const kip::PointVal& v)
    {
        kip::RecordFile<kip::PointVal> file(*base);
        kip::PointVal copie = v;
        if (!file.open().ok() || !file.add(copie).ok())
            panne(QStringLiteral("day line %1/%2 not added").arg(v.CARTE).arg(v.DATE));
        return copie;
    }
    kip::PointVal ajouterJournee(const kip::Personnel& p, qint32 date, std::initializer_list<int> punches = {},
                                 bool inactif = false)
    {
        return ajouter(journee(p, date, punches, inactif));
    }
    // The punches of a line, without its empty slots.
    static std::vector<int> pointages(const kip::PunchLine& l)
    {
        std::vector<int> v;
        for (qint16 x : l)
            if (x >= 0)
                v.push_back(x);
        return v;
    }
    static int total(const kip::PunchLine& l)
    {
        int t = 0;
        for (size_t i = 0; i + 1 < l.size(); i += 2)
            if (l[i] >= 0 && l[i + 1] >= 0)
                t += l[i + 1] - l[i];
        return t;
    }

    // The stored employee of a card, or nullopt.
    std::optional<kip::Personnel> employeLu(qint16 carte) { return lu<kip::Personnel>(kip::PER_K_CARTE, carte, 0); }
    // The stored day line of a card and date, or nullopt.
    std::optional<kip::PointVal> lire(qint16 carte, qint32 date)
    {
        return lu<kip::PointVal>(kip::POV_K_CARTE_DATE, carte, date);
    }

    // Every record of a file, packed with its row version, by position: what "nothing changed" compares.
    template <class R> static QMap<qint64, QByteArray> contenu(kip::Database& base)
    {
        kip::RecordFile<R> f(base);
        QMap<qint64, QByteArray> tout;
        if (!f.open().ok())
            return tout;
        kip::Cursor<R> c = f.readAll();
        R r;
        while (c.next(r).ok())
            tout.insert(r.rowid, kip::pack(r) + '/' + QByteArray::number(r.version));
        return tout;
    }
    template <class R> QMap<qint64, QByteArray> contenu()
    {
        if (base)
            return contenu<R>(*base);
        kip::Database c = connexion(); // while the installation's own connection is closed
        return contenu<R>(c);
    }
    // The same of a copy of the files in another directory (a backup).
    template <class R> static QMap<qint64, QByteArray> contenu(const QString& autreDir)
    {
        kip::Database autre(autreDir);
        return contenu<R>(autre);
    }
    // Every employee's card, in file order.
    QList<int> cartes()
    {
        QList<int> out;
        each<kip::Personnel>([&](const kip::Personnel& p) { out << p.CARTE; });
        return out;
    }
    // The dates of a card's day lines, with their inactivity flag.
    QMap<qint32, int> journees(qint16 carte)
    {
        QMap<qint32, int> out;
        each<kip::PointVal>([&](const kip::PointVal& v) {
            if (v.CARTE == carte)
                out.insert(v.DATE, v.INACTIF);
        });
        return out;
    }

    // SQLite text run on a record file by a connection of its own, as another program would (to damage a file,
    // add a trigger that refuses a write...): the one helper that knows the engine under the store.
    bool sql(kip::FileId fichier, const QString& texte)
    {
        sqlite3* autre = nullptr;
        const bool ok = sqlite3_open(kip::paths().file(fichier).toUtf8().constData(), &autre) == SQLITE_OK &&
                        sqlite3_exec(autre, texte.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
        if (!ok)
            panne(QStringLiteral("%1: %2").arg(texte, QString::fromUtf8(sqlite3_errmsg(autre))));
        sqlite3_close(autre);
        return ok;
    }

    // The raw punch line of a card at that date and time, as the card reader writes it.
    static QByteArray pointage(int carte, qint32 date, int heure, int minute, int terminal = 1)
    {
        const QDate d = kip::calendarDate(date);
        return kip::formatOriginLine(carte, d.day(), d.month(), d.year(), heure, minute, terminal) + "\r\n";
    }
    bool ecrire(const QString& chemin, const QByteArray& octets)
    {
        QFile f(chemin);
        return (f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(octets) == octets.size()) ||
               panne(QStringLiteral("%1 not written").arg(chemin));
    }
    static QByteArray lireFichier(const QString& chemin)
    {
        QFile f(chemin);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray(); // empty when absent
    }

protected:
    bool panne(const QString& pourquoi)
    {
        pannes << pourquoi;
        return false;
    }

private:
    template <class R> std::optional<R> lu(const kip::KeyDecl& cle, qint16 carte, qint32 date)
    {
        kip::RecordFile<R> file(*base);
        R r;
        r.CARTE = carte;
        if constexpr (requires { r.DATE; })
            r.DATE = date;
        if (!file.open().ok() || !file.get(r, cle).ok())
            return std::nullopt;
        return r;
    }
    template <class R, class F> void each(F f)
    {
        kip::RecordFile<R> file(*base);
        if (!file.open().ok()) {
            panne(QStringLiteral("file not opened"));
            return;
        }
        kip::Cursor<R> c = file.readAll();
        R r;
        while (c.next(r).ok())
            f(r);
    }
};

} // namespace essai

// An employee hired for good with no first name nor number, for the tests that build an installation of their own.
inline kip::Personnel employeEssai(qint16 carte, const QString& nom)
{
    return essai::Installation::employe(carte, nom, QStringLiteral(""), QStringLiteral(""));
}

// An installation in dir (emptied first) with its Data directory, the paths set on it, the staff in PERSONNEL and
// the raw file; false when something could not be written.
inline bool installationEssai(const QString& dir, const QList<kip::Personnel>& employes, const QByteArray& origine)
{
    QDir(dir).removeRecursively();
    if (!QDir().mkpath(dir + QStringLiteral("/Data")))
        return false;
    kip::setPaths(kip::Paths::forInstallation(dir));
    if (!kip::createRecordFile(kip::tableOf(kip::FileId::Personnel), kip::paths().file(kip::FileId::Personnel)).ok())
        return false;
    kip::Database db(kip::paths().dataDir);
    kip::RecordFile<kip::Personnel> file(db);
    if (!file.open().ok())
        return false;
    for (kip::Personnel p : employes)
        if (!file.add(p).ok())
            return false;
    QFile f(kip::paths().origin(0));
    return f.open(QIODevice::WriteOnly) && f.write(origine) == origine.size();
}
