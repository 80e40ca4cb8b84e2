#pragma once

#include <QMetaObject>
#include <QObject>
#include <utility>

#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define MOFENG_THREAD_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_THREAD__)
#define MOFENG_THREAD_SANITIZER 1
#endif

#ifdef MOFENG_THREAD_SANITIZER
extern "C" void __tsan_ignore_thread_begin();
extern "C" void __tsan_ignore_thread_end();
#endif

namespace mofeng::ui {

// Calls fn on target's thread through target's event queue (dropped if target
// is destroyed first). Any thread. Qt builds the call's closure here and hands
// it over under its own locks, which a thread-sanitizer build cannot see (Qt
// is not instrumented): the closure's construction is hidden from it, so the
// hand-off is not taken for a race. What fn reads and writes when it runs is
// checked as usual.
template <typename Fn>
void QueueOnTargetThread(QObject* target, Fn&& fn) {
#ifdef MOFENG_THREAD_SANITIZER
    __tsan_ignore_thread_begin();
#endif
    QMetaObject::invokeMethod(target, std::forward<Fn>(fn), Qt::QueuedConnection);
#ifdef MOFENG_THREAD_SANITIZER
    __tsan_ignore_thread_end();
#endif
}

}  // namespace mofeng::ui
