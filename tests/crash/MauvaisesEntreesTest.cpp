// Bad raw files through kipempty, under the sanitizers of the test build: random bytes, long lines, lone
// CRs, NUL bytes, impossible dates and times, empty and huge files, and things that are not files at all.
// kipempty must end (a hang or a crash fails), store nothing that no valid line holds, and count every
// line it read: what it stored, found already there, left out, skipped and rejected add up to the lines.
#include "InstallationCrash.h"
#include "calendar/Clock.h"
#include "data/Database.h"
#include "data/RecordFile.h"
#include "data/TextFiles.h"
#include "kipgen/Random.h"
#include "punch/CalculerProgramme.h"
#include "punch/CalculerTotal.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>
#include <sys/stat.h>

using namespace crash;
using namespace kip;

namespace {

constexpr int Lots = 3;

// What a raw file holds, seen from outside the program: its complete lines and the valid punches among them.
struct Attendu
{
    int lignes = 0;
    int valides = 0;
    QSet<QByteArray> pointages; // "card date minute" of every valid line
};

QByteArray cle(int carte, qint32 date, int minute)
{
    return QByteArray::number(carte) + ' ' + QByteArray::number(date) + ' ' + QByteArray::number(minute);
}

Attendu attendu(const QByteArray& contenu, qint32 aujourdhui)
{
    static const QRegularExpression punch(
        QStringLiteral("^(\\d{4}).(\\d\\d).(\\d\\d).(\\d{4}).(\\d\\d).(\\d\\d).(\\d\\d)$"));
    const int an = calendarDate(aujourdhui).year();
    Attendu a;
    for (const QByteArray& l : lignesCompletes(contenu)) {
        ++a.lignes;
        const QRegularExpressionMatch m = punch.match(QString::fromLatin1(l));
        if (l.size() != OriginLineLength || !m.hasMatch())
            continue;
        const int carte = m.captured(1).toInt(), heure = m.captured(5).toInt(), minute = m.captured(6).toInt();
        const int terminal = m.captured(7).toInt();
        const QDate d(m.captured(4).toInt(), m.captured(3).toInt(), m.captured(2).toInt());
        if (carte < 1 || heure > 23 || minute > 59 || terminal < 1 || terminal > 16 || !d.isValid() ||
            d.year() < an - 1 || d.year() > an + 1)
            continue;
        ++a.valides;
        a.pointages.insert(cle(carte, dayNumber(d), heure * 60 + minute));
    }
    return a;
}

class MauvaisesEntrees : public ::testing::TestWithParam<int>
{
protected:
    void SetUp() override
    {
        m_racine = std::make_unique<QTemporaryDir>(racineTemporaire() + QStringLiteral("/kip-entrees-XXXXXX"));
        ASSERT_TRUE(m_racine->isValid());
        m_dir = m_racine->path() + QStringLiteral("/Kip");
        (void)genererInstallation(m_dir, 4, 1, 40 + quint64(GetParam()));
        m_data = m_dir + QStringLiteral("/Data");
        Database db(m_data);
        RecordFile<Personnel> staff(db);
        ASSERT_TRUE(staff.open().ok());
        Cursor<Personnel> c = staff.readAll();
        Personnel p;
        while (c.next(p).ok())
            m_staff.insert(p.CARTE, p);
        m_today = Clock::today();
    }

    QString origine() const { return m_data + QStringLiteral("/Origin00.txt"); }

    // A punch line, valid or not by the values given.
    static QByteArray ligne(int carte, int jour, int mois, int annee, int heure, int minute, int terminal)
    {
        char b[64];
        std::snprintf(b, sizeof b, "%04d %02d/%02d/%04d %02d:%02d %02d", carte, jour, mois, annee, heure, minute,
                      terminal);
        return QByteArray(b);
    }
    QByteArray valide(gen::Random& r)
    {
        const qint16 carte = m_staff.keys()[r.below(int(m_staff.size()))];
        const QDate d = calendarDate(m_today - r.below(20));
        return ligne(carte, d.day(), d.month(), d.year(), r.between(0, 23), r.between(0, 59), r.between(1, 16));
    }
    static QByteArray fin(gen::Random& r)
    {
        const int x = r.below(3);
        return x == 0 ? "\r\n" : x == 1 ? "\n" : "\r";
    }

    // The contents of bad raw file number i.
    QByteArray contenu(int i, gen::Random& r)
    {
        QByteArray c;
        switch (i % 9) {
        case 0: // random bytes, line ends among them
            for (int n = r.below(8192); n > 0; --n)
                c += char(r.chance(30) ? (r.chance(500) ? '\r' : '\n') : r.below(256));
            break;
        case 1: // valid lines and garbage, every kind of line end
            for (int n = r.between(1, 60); n > 0; --n)
                c += (r.chance(700) ? valide(r) : QByteArray(r.below(40), char('0' + r.below(10)))) + fin(r);
            break;
        case 2: // long lines hiding a valid punch
            for (int n = r.between(1, 4); n > 0; --n)
                c += QByteArray(r.between(25, 300000), 'x') + valide(r) + fin(r) + valide(r) + fin(r);
            break;
        case 3: // NUL bytes in lines
            for (int n = r.between(1, 40); n > 0; --n) {
                QByteArray l = valide(r);
                if (r.chance(500))
                    l[r.below(int(l.size()))] = '\0';
                c += l + (r.chance(200) ? QByteArray(1, '\0') : QByteArray()) + fin(r);
            }
            break;
        case 4: { // impossible dates and times
            const QDate d = calendarDate(m_today);
            const qint16 carte = m_staff.firstKey();
            const QList<QByteArray> faux = {ligne(carte, d.day(), d.month(), d.year(), 24, 0, 1),
                                            ligne(carte, d.day(), d.month(), d.year(), 10, 75, 1),
                                            ligne(carte, d.day(), d.month(), d.year(), 22, 99, 1),
                                            ligne(carte, d.day(), d.month(), d.year(), 0, 60, 1),
                                            ligne(carte, 30, 2, d.year(), 8, 0, 1),
                                            ligne(carte, 0, d.month(), d.year(), 8, 0, 1),
                                            ligne(carte, 32, 1, d.year(), 8, 0, 1),
                                            ligne(carte, 1, 13, d.year(), 8, 0, 1),
                                            ligne(carte, 1, 0, d.year(), 8, 0, 1),
                                            ligne(carte, 1, 1, 0, 8, 0, 1),
                                            ligne(carte, 1, 1, 9999, 8, 0, 1),
                                            ligne(0, d.day(), d.month(), d.year(), 8, 0, 1),
                                            ligne(carte, d.day(), d.month(), d.year(), 8, 0, 0),
                                            ligne(carte, d.day(), d.month(), d.year(), 8, 0, 17),
                                            ligne(carte, d.day(), d.month(), d.year() - 2, 8, 0, 1)};
            for (int n = r.between(1, 30); n > 0; --n)
                c += (r.chance(300) ? valide(r) : faux[r.below(int(faux.size()))]) + fin(r);
            break;
        }
        case 5: // empty, line ends only, or a partial line only
            c = r.chance(300)   ? QByteArray()
                : r.chance(500) ? QByteArray(r.below(50), '\n') + "\r\r\n"
                                : valide(r).left(r.below(24));
            break;
        case 6: // lone CRs only
            for (int n = r.between(2, 30); n > 0; --n)
                c += valide(r) + '\r';
            break;
        case 7: // unknown cards and duplicates among valid lines
            for (int n = r.between(1, 50); n > 0; --n) {
                QByteArray l = valide(r);
                if (r.chance(200))
                    l.replace(0, 4, QByteArray::number(9000 + r.below(999)));
                c += l + "\r\n" + (r.chance(200) ? l + "\r\n" : QByteArray());
            }
            break;
        case 8: // a valid file whose last line is still being written
            for (int n = r.between(1, 30); n > 0; --n)
                c += valide(r) + "\r\n";
            c += valide(r).left(r.between(1, 23));
            break;
        }
        return c;
    }

    // Day lines as the rules make them, on active days, holding only punches of valid lines read so far.
    void verifierDonnees(const QSet<QByteArray>& lus)
    {
        Database db(m_data);
        RecordFile<PointVal> file(db);
        ASSERT_TRUE(file.open().ok());
        Cursor<PointVal> c = file.readAll();
        PointVal v;
        while (c.next(v).ok()) {
            ASSERT_TRUE(m_staff.contains(v.CARTE)) << v.CARTE;
            PointVal again = v;
            CalculerProgramme(again, m_staff[v.CARTE]);
            CalculerTotal(again);
            EXPECT_EQ(again.POINTAGE_PROGRAMME, v.POINTAGE_PROGRAMME);
            EXPECT_EQ(again.TOTAL, v.TOTAL);
            int previous = -3;
            for (int s = 0; s < PunchSlots; ++s) {
                const qint16 x = v.POINTAGE_ORIGINE[size_t(s)];
                if (x == PunchEmpty)
                    continue;
                EXPECT_LT(s, PunchSlotsUsed);
                EXPECT_GE(x, previous + 3);
                EXPECT_LE(x, 2879);
                previous = x;
                EXPECT_TRUE(lus.contains(cle(v.CARTE, v.DATE + x / 1440, x % 1440)))
                    << "stored without a valid line: card " << v.CARTE << " date " << v.DATE << " value " << x;
            }
        }
    }

    std::unique_ptr<QTemporaryDir> m_racine;
    QString m_dir, m_data;
    QMap<qint16, Personnel> m_staff;
    qint32 m_today = 0;
};

} // namespace

TEST_P(MauvaisesEntrees, KipemptyEndsStoresOnlyValidPunchesAndCountsEveryLine)
{
    gen::Random r(gen::Random::mix(0xE17, quint64(GetParam())));
    QSet<QByteArray> lus;
    static const QRegularExpression resume(
        QStringLiteral("(\\d+) ligne\\(s\\), (\\d+) pointage\\(s\\) enregistré\\(s\\), (\\d+) déjà présent\\(s\\), "
                       "(\\d+) écarté\\(s\\), "
                       "(\\d+) ignorée\\(s\\), (\\d+) non traité\\(s\\)"));
    QMap<QString, int> figures;
    for (int i = 0; i < g_fichiersParLot; ++i) {
        const int numero = GetParam() * g_fichiersParLot + i;
        for (int g = 0; g <= 10; ++g)
            QFile::remove(m_data + QStringLiteral("/Origin%1.txt").arg(g, 2, 10, QLatin1Char('0')));
        // Now and then no file at all: a directory, a FIFO, a link to a device, a link to nothing.
        const QMap<int, std::function<bool()>> pasUnFichier{
            {5, [&] { return QDir().mkdir(origine()); }},
            {11, [&] { return ::mkfifo(QFile::encodeName(origine()).constData(), 0644) == 0; }},
            {17, [&] { return QFile::link(QStringLiteral("/dev/zero"), origine()); }},
            {23, [&] { return QFile::link(QStringLiteral("Origin00.txt"), origine()); }}};
        const bool fichier = !pasUnFichier.contains(numero % 37);
        QByteArray c;
        if (!fichier) {
            ASSERT_TRUE(pasUnFichier[numero % 37]());
        } else {
            c = numero == 1 ? QByteArray() : contenu(numero, r);
            if (numero == 2) // huge: a hundred thousand lines
                for (int n = 0; n < 100000; ++n)
                    c += (n % 7 ? valide(r) : QByteArray("0012 31/02/2026 08:00 01")) + "\r\n";
            QFile f(origine());
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c);
        }
        const Execution ex = executer(m_dir);
        if (!fichier) {
            EXPECT_EQ(ex.code, 1) << numero;
            EXPECT_TRUE(ex.erreurs.contains(QStringLiteral("Ouverture fichier (%1) impossible").arg(origine())))
                << ex.erreurs.toStdString();
            EXPECT_FALSE(QFileInfo(origine()).isFile() && !QFileInfo(origine()).isSymLink()) << numero;
            ++figures[QStringLiteral("not a regular file, reported, exit 1")];
            QDir().rmdir(origine());
            QFile::remove(origine());
            continue;
        }
        ASSERT_EQ(ex.code, 0) << numero << "\n" << ex.erreurs.toStdString();
        const Attendu a = attendu(c, m_today);
        lus.unite(a.pointages);
        const QRegularExpressionMatch m = resume.match(ex.erreurs);
        if (a.lignes == 0) {
            EXPECT_FALSE(m.hasMatch()) << numero;
            EXPECT_EQ(lire(origine()), c) << "a file without a complete line stays as it is";
            ++figures[QStringLiteral("no complete line, left as it is")];
            continue;
        }
        ASSERT_TRUE(m.hasMatch()) << numero << "\n" << ex.erreurs.toStdString();
        const int lignes = m.captured(1).toInt(), stockes = m.captured(2).toInt(), doublons = m.captured(3).toInt();
        const int ecartes = m.captured(4).toInt(), ignorees = m.captured(5).toInt(), rejets = m.captured(6).toInt();
        EXPECT_EQ(lignes, a.lignes) << numero;
        EXPECT_EQ(ignorees, a.lignes - a.valides) << numero;
        EXPECT_EQ(lignes, stockes + doublons + ecartes + ignorees + rejets) << numero;
        figures[QStringLiteral("lines read")] += lignes;
        figures[QStringLiteral("punches stored")] += stockes;
        figures[QStringLiteral("lines skipped")] += ignorees;
        figures[QStringLiteral("punches rejected")] += rejets;
        ++figures[rejets ? QStringLiteral("file kept (rejections)") : QStringLiteral("file archived")];
        if (HasFailure())
            return;
    }
    verifierDonnees(lus);
    std::printf("bad raw files %d to %d:\n", GetParam() * g_fichiersParLot, (GetParam() + 1) * g_fichiersParLot - 1);
    for (auto it = figures.cbegin(); it != figures.cend(); ++it)
        std::printf("  %8d  %s\n", it.value(), qPrintable(it.key()));
    std::fflush(stdout);
}

INSTANTIATE_TEST_SUITE_P(Lots, MauvaisesEntrees, ::testing::Range(0, Lots));
