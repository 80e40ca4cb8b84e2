#pragma once

#include <QLocale>

class QCoreApplication;
class QTranslator;

namespace mofeng::ui {

// Loads Qt's own texts (message box buttons, file dialogs, edit menus) for
// locale: the "qtbase" catalogue from QLibraryInfo::TranslationsPath,
// installed on app, which owns it. Null, and nothing changed, when no
// catalogue for the locale is installed: Qt's English texts stay. UI thread,
// after the application object exists.
QTranslator* InstallQtTranslations(QCoreApplication& app,
                                   const QLocale& locale = QLocale::system());

}  // namespace mofeng::ui
