// SPDX-License-Identifier: GPL-3.0-or-later
// Where the programs keep their saved files. A copy of vardo or vardo-cli without the build
// tree's marker beside it (installed, or unpacked from the package) uses the user's data folder,
// the same one for both; with the marker it uses its own folder; --data-dir wins over both.
// What the package carries besides the programs, as the build installs it.

#include <QImage>
#include <QtTest>

#include "filebytes.h"
#include "processrun.h"

using namespace vardo::test;

class InstallTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(prefix_.isValid());
        const ProcessRun run = RunProcess(QStringLiteral("cmake"), {"--install", qEnvironmentVariable("VARDO_BIN") + "/..",
                                                                    "--prefix", prefix_.path()});
        QVERIFY2(run.status == 0, qPrintable(run.err));
    }

    // Each file: its first bytes (empty: any), a line it holds, and a PNG icon's size.
    void installedFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("begins");
        QTest::addColumn<QByteArray>("holds");
        QTest::addColumn<int>("iconSize");
        for (const int size : {16, 24, 32, 48, 64, 128, 256})
            QTest::addRow("icon %d", size) << QStringLiteral("share/icons/hicolor/%1x%1/apps/org.vardo.Vardo.png").arg(size)
                                           << QByteArray("\x89PNG") << QByteArray() << size;
        const auto row = [](const char* name, const char* path, const QByteArray& begins, const QByteArray& holds = {}) {
            QTest::newRow(name) << QString::fromLatin1(path) << begins << holds << 0;
        };
        row("scalable icon", "share/icons/hicolor/scalable/apps/org.vardo.Vardo.svg", {});
        row("readme", "share/doc/vardo/README.md", "# Vardo\n");
        row("copyright is the licence", "share/doc/vardo/copyright",
            "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/", "\nLicense: GPL-3.0+\n");
        const QByteArray gzip("\x1f\x8b");
        for (const char* page : {"vardo", "vardo-cli", "vardo-sim"})
            QTest::addRow("manual %s", page) << QStringLiteral("share/man/man1/%1.1.gz").arg(page) << gzip << QByteArray() << 0;
        row("changelog", "share/doc/vardo/changelog.gz", gzip);
        row("menu entry", "share/applications/org.vardo.Vardo.desktop", "[Desktop Entry]\n");
        row("metainfo", "share/metainfo/org.vardo.Vardo.metainfo.xml", "<?xml ");
    }
    void installedFile()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, begins);
        QFETCH(QByteArray, holds);
        QFETCH(int, iconSize);
        const QByteArray bytes = FileBytes(prefix_.filePath(path));
        QVERIFY2(!bytes.isEmpty(), qPrintable(path));
        QVERIFY2(bytes.startsWith(begins), qPrintable(path));
        QVERIFY2(bytes.contains(holds), bytes.constData());
        if (iconSize)
            QCOMPARE(QImage::fromData(bytes).size(), QSize(iconSize, iconSize));
    }

    void savedFilesFolder_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<bool>("buildTree");
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<QString>("expected");  // "user", "own" or "chosen"
        for (const char* program : {"vardo", "vardo-cli"}) {
            const QString name = QString::fromLatin1(program);
            QTest::addRow("%s installed", program) << name << false << false << "user";
            QTest::addRow("%s in its build tree", program) << name << true << false << "own";
            QTest::addRow("%s installed, --data-dir", program) << name << false << true << "chosen";
            QTest::addRow("%s in its build tree, --data-dir", program) << name << true << true << "chosen";
        }
    }
    void savedFilesFolder()
    {
        QFETCH(QString, program);
        QFETCH(bool, buildTree);
        QFETCH(bool, chosen);
        QFETCH(QString, expected);
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString bin = tmp.filePath("bin");
        QVERIFY(QDir().mkpath(bin));
        // The windowed program as its test build, which answers its own message box.
        const QString built = program == "vardo" ? QCoreApplication::applicationDirPath() + "/vardo-test"
                                                 : qEnvironmentVariable("VARDO_BIN") + "/" + program;
        QVERIFY(QFile::copy(built, bin + "/" + program));
        if (buildTree)
            QVERIFY(PutFile(bin + "/" VARDO_BUILD_TREE_MARKER, {}));
        const QMap<QString, QString> folders{
            {"user", tmp.filePath("xdg/Vardo")}, {"own", bin}, {"chosen", tmp.filePath("chosen")}};

        QStringList args;
        if (chosen)
            args << "--data-dir" << folders["chosen"];
        // vardo makes its data folder, finds no radio on a missing port and ends; vardo-cli saves
        // the emulator's channels into its folder.
        const bool windowed = program == "vardo";
        args << (windowed ? QStringList{"--port", tmp.filePath("no-such-port")} : QStringList{"--simulate", "read", "99"});
        const ProcessRun run = RunProcess(bin + "/" + program, args,
                                          {"XDG_DATA_HOME=" + tmp.filePath("xdg")});
        QVERIFY2(!run.crashed && run.status >= 0, qPrintable(run.err));

        for (auto it = folders.cbegin(); it != folders.cend(); ++it) {
            if (windowed && it.key() == "own")
                continue;  // there anyway: that no other folder is made tells
            const bool used = windowed ? QFileInfo(it.value()).isDir() : QFileInfo::exists(it.value() + "/99Mem.txt");
            QVERIFY2(used == (it.key() == expected), qPrintable(it.key() + ": " + run.err));
        }
    }

private:
    QTemporaryDir prefix_;
};

QTEST_GUILESS_MAIN(InstallTest)
#include "install_test.moc"
