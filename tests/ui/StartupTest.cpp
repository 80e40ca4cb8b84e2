#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <string>

#include "ui/startup/StartupOptions.h"
#include "ui/startup/WebPages.h"

// What the desktop program decides before Qt opens a window: its options
// (read without a QApplication), whether a display can be expected, and
// where the help page is.
class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void missingDisplay_data() {
        QTest::addColumn<QString>("platformOption");
        QTest::addColumn<QString>("qpaPlatform");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("waylandDisplay");
        QTest::addColumn<bool>("missing");
        QTest::newRow("nothing") << ""
                                 << ""
                                 << ""
                                 << "" << true;
        QTest::newRow("x11") << ""
                             << ""
                             << ":0"
                             << "" << false;
        QTest::newRow("wayland") << ""
                                 << ""
                                 << ""
                                 << "wayland-0" << false;
        QTest::newRow("xcb without DISPLAY") << ""
                                             << "xcb"
                                             << ""
                                             << "wayland-0" << true;
        QTest::newRow("wayland without WAYLAND_DISPLAY") << ""
                                                         << "wayland"
                                                         << ":0"
                                                         << "" << true;
        QTest::newRow("list, second usable") << ""
                                             << "wayland;xcb"
                                             << ":0"
                                             << "" << false;
        QTest::newRow("offscreen") << ""
                                   << "offscreen"
                                   << ""
                                   << "" << false;
        QTest::newRow("plugin arguments") << ""
                                          << "vnc:size=800x600"
                                          << ""
                                          << "" << false;
        QTest::newRow("option beats variable") << "xcb"
                                               << "offscreen"
                                               << ""
                                               << "" << true;
        QTest::newRow("option offscreen") << "offscreen"
                                          << "xcb"
                                          << ""
                                          << "" << false;
    }

    void missingDisplay() {
        QFETCH(QString, platformOption);
        QFETCH(QString, qpaPlatform);
        QFETCH(QString, display);
        QFETCH(QString, waylandDisplay);
        QFETCH(bool, missing);
        const std::map<std::string, QString> environment = {{"QT_QPA_PLATFORM", qpaPlatform},
                                                            {"DISPLAY", display},
                                                            {"WAYLAND_DISPLAY", waylandDisplay}};
        const QString reason =
            mofeng::ui::MissingDisplayReason(platformOption, [&](const char* name) {
                const auto found = environment.find(name);
                return found == environment.end() ? QString() : found->second;
            });
        QCOMPARE(!reason.isEmpty(), missing);
        QVERIFY(!reason.contains(QLatin1Char('\n')));  // one line on stderr
    }

    void optionsReadWithoutAnApplication() {
        using mofeng::ui::ParseStartupOptions;
        QVERIFY(QCoreApplication::instance() == nullptr);  // as in RunGuiProgram
        const auto qtOption =
            ParseStartupOptions({"/usr/bin/mofeng", "-platform", "offscreen", "--demo"});
        QVERIFY2(qtOption.error.isEmpty(), qPrintable(qtOption.error));
        QCOMPARE(qtOption.options.platform, QStringLiteral("offscreen"));
        QVERIFY(qtOption.options.demo);

        QVERIFY(ParseStartupOptions({"mofeng", "-v"}).options.showVersion);
        const auto help = ParseStartupOptions({"/usr/bin/mofeng", "-h"});
        QVERIFY(help.options.showHelp);
        QVERIFY(help.options.helpText.startsWith(QStringLiteral("Usage: mofeng ")));
        QVERIFY(!help.options.helpText.contains(QStringLiteral("-platform")));
    }

    // Installed, the help page is in share/mofeng beside bin/; in the build
    // tree it is beside the program, which wins when both exist.
    void helpPageFoundInstalledOrBesideTheProgram() {
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("usr/bin")));
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("usr/share/mofeng/help")));
        const QString bin = root.filePath(QStringLiteral("usr/bin"));
        const QString installed = root.filePath(QStringLiteral("usr/share/mofeng/help/index.html"));
        QVERIFY(Touch(installed));
        QCOMPARE(mofeng::ui::WebPages::FromEnvironment(bin).site, QUrl::fromLocalFile(installed));

        QVERIFY(QDir(bin).mkpath(QStringLiteral("help")));
        const QString beside = QDir(bin).filePath(QStringLiteral("help/index.html"));
        QVERIFY(Touch(beside));
        QCOMPARE(mofeng::ui::WebPages::FromEnvironment(bin).site, QUrl::fromLocalFile(beside));
    }

private:
    static bool Touch(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write("<html></html>") > 0;
    }
};

QTEST_APPLESS_MAIN(StartupTest)
#include "StartupTest.moc"
