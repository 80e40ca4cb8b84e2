#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <unordered_set>
#include <vector>

#include "app/SessionWriter.h"
#include "runtime/Table.h"

namespace mofeng::ui {

class KeywordListModel;

// Keeps lists in the session database: it notes which rows change (from the
// models' signals, which costs the UI thread next to nothing), and every
// kSessionTickMs hands the changed rows, at most kSessionRowsPerTick at a
// time, to the SessionWriter's thread. So a crash loses at most about the
// last tick's changes. UI thread only.
class SessionKeeper final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SessionKeeper)

public:
    static constexpr int kSessionTickMs = 250;
    static constexpr std::size_t kSessionRowsPerTick = 50'000;

    SessionKeeper(std::unique_ptr<app::SessionWriter> writer, QObject* parent = nullptr);
    ~SessionKeeper() override;  // hands over what is left and waits for it to be written

    // Keeps model as list (app::kSessionMainList, app::kSessionMiningList):
    // the stored list is replaced by the model's rows, and follows them from
    // now on. A model tracked before under that list is let go.
    void Track(KeywordListModel* model, int list);
    bool Tracks(int list) const;
    // Hands every noted change to the writer and waits until it is written.
    void FlushNow();
    // The writer, for what else goes into the session database (the history).
    app::SessionWriter& Writer() { return *m_writer; }

private:
    struct Tracked {
        int list = 0;
        QPointer<KeywordListModel> model;
        std::unordered_set<runtime::RowId> dirty;
        bool cleared = false;
        std::vector<QMetaObject::Connection> connections;
    };

    void MarkRows(Tracked& tracked, int first, int last);
    void Collect(std::size_t limit);
    Tracked* Find(int list);

    std::unique_ptr<app::SessionWriter> m_writer;
    std::vector<std::unique_ptr<Tracked>> m_tracked;
    QTimer m_timer;
};

}  // namespace mofeng::ui
