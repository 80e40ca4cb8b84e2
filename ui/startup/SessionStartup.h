#pragma once

#include <QString>

namespace mofeng::ui {

class MainWindow;

// The QSettings key that says whether the last session's lists come back at
// start (default true). Off: the program starts empty, and the session keeps
// the new lists from then on.
inline constexpr char kRestoreSessionKey[] = "session/restore";

// The session database in the user's data folder.
QString SessionDatabasePath();

// Opens the session (a broken database is moved aside), restores its lists
// into window unless the setting is off, and keeps them from then on. The
// status line says what happened. UI thread, once, before the event loop.
void StartSession(MainWindow& window);

}  // namespace mofeng::ui
