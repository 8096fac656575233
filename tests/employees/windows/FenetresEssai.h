// A temporary installation for the tests of the employee windows: the files, scripted message answers, a
// fixed today, and the two windows registered as Kip and kipother register them.
#pragma once

#include "calendar/Clock.h"
#include "data/Database.h"
#include "data/Files.h"
#include "data/RecordFile.h"
#include "data/ScriptedPresenter.h"
#include "employees/windows/FenetresPersonnel.h"
#include "employees/windows/SaisiePersonnel.h"
#include "employees/windows/TablePersonnel.h"
#include "shell/windows/Cadre.h"
#include "shell/windows/Evenements.h"
#include "shell/windows/Fabriques.h"
#include "shell/windows/NomsFenetres.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <sqlite3.h>

struct Installation
{
    QTemporaryDir tmp;
    kip::ScriptedPresenter presenter;
    std::unique_ptr<kip::Database> db;
    qint32 today = kip::dayNumber(2026, 12, 9); // a Wednesday

    void preparer()
    {
        QVERIFY(tmp.isValid());
        kip::setMessagePresenter(&presenter);
        kip::Clock::setToday(today);
        kip::enregistrerFenetresPersonnel();
        vider();
    }

    // A fresh installation with empty files, and a fresh run of the program.
    void vider()
    {
        db.reset();
        const QString dir = tmp.path() + QStringLiteral("/Kip");
        QDir(dir).removeRecursively();
        QDir().mkpath(dir + QStringLiteral("/Data"));
        kip::setPaths(kip::Paths::forInstallation(dir));
        for (kip::FileId id : {kip::FileId::Parametre, kip::FileId::Personnel, kip::FileId::PointVal})
            kip::commonOpen(id);
        db = std::make_unique<kip::Database>(kip::paths().dataDir);
        presenter.clear();
        kip::oublierOrdre();
    }

    void terminer()
    {
        db.reset();
        kip::setMessagePresenter(nullptr);
        kip::Clock::setToday(0);
    }

    static kip::Personnel employe(qint16 carte, const QString& nom, const QString& prenom = QStringLiteral("Paul"))
    {
        kip::Personnel p;
        p.CARTE = carte;
        p.NOM = nom;
        p.PRENOM = prenom;
        p.MATRICULE = QStringLiteral("M%1").arg(carte, 4, 10, QLatin1Char('0'));
        p.NOMBRE = 4;
        p.ARRONDI_ENTREE = p.ARRONDI_SORTIE = QStringLiteral("00");
        p.ARRONDI_SEMAINE = QStringLiteral("000");
        p.DATE_EMBAUCHE = kip::dayNumber(2020, 1, 1);
        p.DATE_DEBAUCHE = kip::dayNumber(2099, 12, 31);
        return p;
    }

    kip::Personnel ajouter(kip::Personnel p)
    {
        kip::RecordFile<kip::Personnel> file(*db);
        if (!file.open().ok() || !file.add(p).ok())
            qWarning("employee not added");
        return p;
    }

    kip::Personnel lire(qint16 carte)
    {
        kip::RecordFile<kip::Personnel> file(*db);
        kip::Personnel p;
        p.CARTE = carte;
        if (!file.open().ok() || !file.get(p, kip::PER_K_CARTE).ok())
            qWarning("employee not found");
        return p;
    }

    QList<int> cartes()
    {
        kip::RecordFile<kip::Personnel> file(*db);
        QList<int> out;
        if (!file.open().ok())
            return out;
        kip::Cursor<kip::Personnel> c = file.readAll();
        kip::Personnel p;
        while (c.next(p).ok())
            out << p.CARTE;
        return out;
    }

    QMap<qint32, int> journees(qint16 carte)
    {
        kip::RecordFile<kip::PointVal> file(*db);
        QMap<qint32, int> out;
        if (!file.open().ok())
            return out;
        kip::Cursor<kip::PointVal> c = file.readAll();
        kip::PointVal v;
        while (c.next(v).ok())
            if (v.CARTE == carte)
                out.insert(v.DATE, v.INACTIF);
        return out;
    }

    void ajouterJournee(const kip::Personnel& p, qint32 date)
    {
        kip::RecordFile<kip::PointVal> file(*db);
        kip::PointVal v;
        v.clearPunches();
        v.CARTE = p.CARTE;
        v.NOM = p.NOM;
        v.PRENOM = p.PRENOM;
        v.MATRICULE = p.MATRICULE;
        v.DATE = date;
        if (!file.open().ok() || !file.add(v).ok())
            qWarning("day line not added");
    }

    void sql(kip::FileId fichier, const char* texte)
    {
        sqlite3* raw = nullptr;
        QCOMPARE(sqlite3_open(kip::paths().file(fichier).toUtf8().constData(), &raw), SQLITE_OK);
        QCOMPARE(sqlite3_exec(raw, texte, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(raw);
    }

    kip::TablePersonnel* ouvrirListe(kip::Cadre& cadre)
    {
        auto* liste = qobject_cast<kip::TablePersonnel*>(kip::ouvrirFenetre(kip::nom::TablePersonnel, cadre));
        if (liste)
            QTest::qWait(0); // the posted show and hide events
        return liste;
    }

    // The form on screen, if any (a closed one may wait for its deletion).
    static kip::SaisiePersonnel* formulaire(kip::Cadre& cadre)
    {
        for (kip::SaisiePersonnel* f : cadre.zone()->findChildren<kip::SaisiePersonnel*>())
            if (f->numeroFenetre() != 0)
                return f;
        return nullptr;
    }
};
