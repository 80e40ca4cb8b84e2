#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTranslator>

#include "ui/startup/QtTranslations.h"

namespace {

bool ChineseCatalogueInstalled() {
    return QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                             QStringLiteral("/qtbase_zh_CN.qm"));
}

QString YesButtonText() {
    QMessageBox box(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("x"),
                    QMessageBox::Yes | QMessageBox::No);
    return box.button(QMessageBox::Yes)->text();
}

// The texts of Qt's own file dialog (not the desktop's).
QStringList FileDialogTexts() {
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        texts << label->text();
    }
    for (const QAbstractButton* button : dialog.findChildren<QPushButton*>()) {
        texts << button->text();
    }
    texts.removeAll(QString());
    return texts;
}

bool HasChinese(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF) {
            return true;
        }
    }
    return false;
}

}  // namespace

class QtTranslationsTest final : public QObject {
    Q_OBJECT

private slots:
    void chineseSystemLocaleGivesQtsTextsInChinese() {
        if (!ChineseCatalogueInstalled()) {
            QSKIP("qtbase_zh_CN.qm is not installed (qt6-translations-l10n)");
        }
        QCOMPARE(QLocale::system().name(), QStringLiteral("zh_CN"));  // from LANG
        QTranslator* translator = mofeng::ui::InstallQtTranslations(*qApp);
        QVERIFY(translator != nullptr);
        QVERIFY2(YesButtonText().contains(QStringLiteral("是")), qPrintable(YesButtonText()));
        const QStringList texts = FileDialogTexts();
        QVERIFY(!texts.isEmpty());
        for (const QString& text : texts) {
            QVERIFY2(HasChinese(text), qPrintable(text));
        }
        QCoreApplication::removeTranslator(translator);
        delete translator;
        QCOMPARE(YesButtonText(), QStringLiteral("&Yes"));
    }

    void localeWithoutCatalogueKeepsQtsEnglishTexts_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<bool>("mayLoad");  // an English catalogue may be installed
        QTest::newRow("C") << QLocale::c() << false;
        QTest::newRow("unknown name") << QLocale(QStringLiteral("xx_YY")) << false;
        QTest::newRow("no catalogue") << QLocale(QLocale::Zulu, QLocale::SouthAfrica) << false;
        QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates) << true;
    }
    void localeWithoutCatalogueKeepsQtsEnglishTexts() {
        QFETCH(QLocale, locale);
        QFETCH(bool, mayLoad);
        QTranslator* translator = mofeng::ui::InstallQtTranslations(*qApp, locale);
        QVERIFY(mayLoad || translator == nullptr);
        QCOMPARE(YesButtonText(), QStringLiteral("&Yes"));
        QVERIFY(!FileDialogTexts().isEmpty());
        for (const QString& text : FileDialogTexts()) {
            QVERIFY2(!HasChinese(text), qPrintable(text));
        }
        if (translator != nullptr) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }
};

int main(int argc, char** argv) {
    // The locale a Chinese desktop gives the program.
    qunsetenv("LC_ALL");
    qunsetenv("LC_MESSAGES");
    qunsetenv("LANGUAGE");
    qputenv("LANG", "zh_CN.UTF-8");
    QApplication app(argc, argv);
    QtTranslationsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "QtTranslationsTest.moc"
