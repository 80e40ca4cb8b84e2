#pragma once

#include <QEventLoop>
#include <QTimer>

#include <functional>

// Runs the UI thread's event loop until done() holds or timeoutMs passes;
// returns done(). Unlike QTRY_*, which sleeps between rounds, this serves
// queued calls from workers as fast as they come.
inline bool RunEventLoopUntil(const std::function<bool()>& done, int timeoutMs = 60000) {
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) {
            loop.quit();
        }
    });
    poll.start(1);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (!done()) {
        loop.exec();
    }
    return done();
}
