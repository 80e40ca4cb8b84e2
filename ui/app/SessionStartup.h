#pragma once

#include <QString>

#include "ui/settings/RememberedSettings.h"

namespace mofeng::ui {

class MainWindow;

// The session database in the user's data folder.
QString SessionDatabasePath();

// Opens the session (a broken database is moved aside), restores its lists
// into window unless kRestoreSessionKey is off, and keeps them from then on. The
// status line says what happened. UI thread, once, before the event loop.
void StartSession(MainWindow& window);

}  // namespace mofeng::ui
