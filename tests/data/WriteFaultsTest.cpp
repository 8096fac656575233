// The write-fault seam itself: the faults it makes, where they land, and the one writer proven against them at
// every operation (the record-file copy is, with every writer, in test_pannes).
#include "PannesEcriture.h"
#include "QStringPrinter.h"
#include "data/FileAdmin.h"
#include "data/FileWriter.h"
#include "data/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

QByteArray contenu(const QString& chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
}

QStringList fichiers(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

TEST(WriteFaults, ReadsTheFaultOfTheEnvironment)
{
    struct Cas
    {
        const char* texte;
        bool valide;
        kip::WriteFaultKind genre;
        int a, nombre;
    } cas[] = {
        {"plein:3", true, kip::WriteFaultKind::NoSpace, 3, 0},
        {"court:1:1", true, kip::WriteFaultKind::ShortWrite, 1, 1},
        {"es:12:2", true, kip::WriteFaultKind::IoError, 12, 2},
        {"plein:0", false, {}, 0, 0},
        {"plein", false, {}, 0, 0},
        {"vide:2", false, {}, 0, 0},
        {"plein:2x", false, {}, 0, 0},
        {"", false, {}, 0, 0},
    };
    for (const Cas& c : cas) {
        kip::WriteFault f;
        ASSERT_EQ(kip::parseWriteFault(c.texte, &f), c.valide) << c.texte;
        if (c.valide) {
            EXPECT_EQ(f.kind, c.genre) << c.texte;
            EXPECT_EQ(f.at, c.a) << c.texte;
            EXPECT_EQ(f.count, c.nombre) << c.texte;
        }
    }
}

TEST(WriteFaults, TheCausesThatReachTheUserAreFrenchWithTheirCode)
{
    EXPECT_EQ(kip::systemError(QStringLiteral("/x"), ENOSPC).description(),
              QStringLiteral("Plus de place sur le disque (28)"));
    EXPECT_EQ(kip::systemError(QStringLiteral("/x"), EISDIR).description(),
              QStringLiteral("Le nom désigne un répertoire (21)"));
    EXPECT_EQ(kip::systemError(QStringLiteral("/x"), 4095).description(), QStringLiteral("Erreur du système (4095)"));
    EXPECT_EQ(kip::errorOfSqlite(SQLITE_FULL, QStringLiteral("database or disk is full")).description(),
              QStringLiteral("Base de données ou disque plein (13)"));
    EXPECT_EQ(kip::errorOfSqlite(SQLITE_CANTOPEN, QStringLiteral("unable to open database file")).description(),
              QStringLiteral("Impossible d'ouvrir le fichier de données (14)"));
    EXPECT_EQ(kip::errorOfSqlite(SQLITE_IOERR_WRITE, QStringLiteral("disk I/O error")).description(),
              QStringLiteral("Erreur d'entrée-sortie du disque (778)"));
    // The keys' errors keep SQLite's text, which names the key's columns, and show their own.
    const kip::FileError doublon =
        kip::errorOfSqlite(SQLITE_CONSTRAINT_UNIQUE, QStringLiteral("UNIQUE constraint failed: PERSONNEL.CARTE"));
    EXPECT_EQ(doublon.fileText, QStringLiteral("UNIQUE constraint failed: PERSONNEL.CARTE"));
    EXPECT_EQ(doublon.description(), QStringLiteral("Doublon dans une clé unique (40)"));
    // Through a real SQLite write that meets a full disk.
    ASSERT_TRUE(kip::installWriteFaultVfs());
    QTemporaryDir tmp;
    const kip::ScopedWriteFault panne({kip::WriteFaultKind::NoSpace, 1, 0});
    EXPECT_EQ(kip::createRecordFile(kip::tableOf(kip::FileId::Personnel), tmp.filePath(QStringLiteral("p.tps")))
                  .description(),
              QStringLiteral("Base de données ou disque plein (13)"));
}

TEST(WriteFaults, AnAtomicFileIsWholeOrTheFormerOne)
{
    QTemporaryDir tmp;
    const QString chemin = tmp.filePath(QStringLiteral("Origin00.txt"));
    const QByteArray ancien = "ancien contenu\r\n";
    QByteArray nouveau;
    for (int i = 0; i < 30000; ++i)
        nouveau += "0042 07/12/2026 12:28 01\r\n";
    // Written in chunks, as a copy does, so that there are several writes to fail.
    const auto b = essayerChaquePanne([&] { ASSERT_TRUE(kip::writeFileAtomically(chemin, ancien).ok()); },
                                      [&] {
                                          kip::AtomicFile f(chemin);
                                          if (!f.open().ok())
                                              return false;
                                          for (qsizetype at = 0; at < nouveau.size(); at += 1 << 16)
                                              if (!f.write(nouveau.mid(at, 1 << 16)).ok())
                                                  return false;
                                          return f.commit().ok();
                                      },
                                      [&](bool reussi) {
                                          if (fichiers(tmp.path()) != QStringList{QStringLiteral("Origin00.txt")})
                                              return QStringLiteral("reste: ") + fichiers(tmp.path()).join(u' ');
                                          if (contenu(chemin) != (reussi ? nouveau : ancien))
                                              return QStringLiteral("%1 octets au lieu de %2")
                                                  .arg(contenu(chemin).size())
                                                  .arg((reussi ? nouveau : ancien).size());
                                          return QString();
                                      });
    b.imprimer("AtomicFile");
    EXPECT_GE(b.operations, 13);
    EXPECT_EQ(b.echecs, 0) << b.pertes.join(u'\n').toStdString();
    // A link stays a link: the file it names is the one rewritten.
    const QString lien = tmp.filePath(QStringLiteral("lien.txt"));
    ASSERT_TRUE(QFile::link(chemin, lien));
    ASSERT_TRUE(kip::writeFileAtomically(lien, "par le lien").ok());
    EXPECT_TRUE(QFileInfo(lien).isSymLink());
    EXPECT_EQ(contenu(chemin), "par le lien");
}

} // namespace
