#pragma once

#include <QMetaObject>
#include <QObject>

#include <type_traits>
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
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);
extern "C" void __tsan_ignore_thread_begin();
extern "C" void __tsan_ignore_thread_end();
#endif

namespace mofeng::ui {
namespace detail {

// A queued call's closure, kept on the heap. Qt orders the hand-over of a
// queued call (the caller posts, the target thread takes it) with the lock of
// its event queue; Qt is not instrumented, so a thread-sanitizer build cannot
// see that order. It is stated here instead: the caller releases the closure
// once it is built, and the target thread acquires it before it runs or
// destroys it, so every access to the closure and what it captured is
// checked as usual.
template <typename Fn>
class QueuedClosure {
public:
    explicit QueuedClosure(Fn* fn) : m_fn(fn) {
#ifdef MOFENG_THREAD_SANITIZER
        __tsan_release(m_fn);
#endif
    }
    QueuedClosure(QueuedClosure&& other) noexcept : m_fn(std::exchange(other.m_fn, nullptr)) {}
    QueuedClosure(const QueuedClosure&) = delete;
    QueuedClosure& operator=(const QueuedClosure&) = delete;
    QueuedClosure& operator=(QueuedClosure&&) = delete;
    ~QueuedClosure() {
        if (m_fn != nullptr) {
            Acquire();
            delete m_fn;
        }
    }

    void operator()() {
        Acquire();
        (*m_fn)();
    }

private:
    void Acquire() {
#ifdef MOFENG_THREAD_SANITIZER
        __tsan_acquire(m_fn);
#endif
    }

    Fn* m_fn;
};

}  // namespace detail

// Calls fn on target's thread through target's event queue (dropped if target
// is destroyed first). Any thread.
template <typename Fn>
void QueueOnTargetThread(QObject* target, Fn&& fn) {
    using Closure = std::decay_t<Fn>;
    detail::QueuedClosure<Closure> call(new Closure(std::forward<Fn>(fn)));
#ifdef MOFENG_THREAD_SANITIZER
    // What is left unseen: Qt's own call object, built here around the one
    // pointer above and read by Qt's event loop on the target thread (inline
    // Qt code, so instrumented, on both sides of Qt's uninstrumented lock).
    __tsan_ignore_thread_begin();
#endif
    QMetaObject::invokeMethod(target, std::move(call), Qt::QueuedConnection);
#ifdef MOFENG_THREAD_SANITIZER
    __tsan_ignore_thread_end();
#endif
}

}  // namespace mofeng::ui
