#include "ui/common/SessionKeeper.h"

#include <limits>

#include "ui/common/KeywordListModel.h"

namespace mofeng::ui {

SessionKeeper::SessionKeeper(std::unique_ptr<app::SessionWriter> writer, QObject* parent)
    : QObject(parent), m_writer(std::move(writer)) {
    m_timer.setInterval(kSessionTickMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { Collect(kSessionRowsPerTick); });
    m_timer.start();
}

SessionKeeper::~SessionKeeper() {
    FlushNow();
}

SessionKeeper::Tracked* SessionKeeper::Find(int list) {
    for (auto& tracked : m_tracked) {
        if (tracked->list == list) {
            return tracked.get();
        }
    }
    return nullptr;
}

bool SessionKeeper::Tracks(int list) const {
    for (const auto& tracked : m_tracked) {
        if (tracked->list == list && tracked->model) {
            return true;
        }
    }
    return false;
}

void SessionKeeper::Track(KeywordListModel* model, int list) {
    if (Tracked* old = Find(list)) {
        for (const auto& connection : old->connections) {
            disconnect(connection);
        }
        std::erase_if(m_tracked, [old](const auto& t) { return t.get() == old; });
    }
    auto tracked = std::make_unique<Tracked>();
    Tracked& t = *tracked;
    t.list = list;
    t.model = model;
    t.cleared = true;  // the stored rows give way to the model's
    t.connections.push_back(connect(model, &QAbstractItemModel::rowsInserted, this,
                                    [this, &t](const QModelIndex&, int first, int last) {
                                        if (last + 1 == t.model->rowCount()) {
                                            MarkRows(t, first, last);
                                        } else {
                                            t.dirty.clear();
                                            t.cleared = true;
                                            MarkRows(t, 0, t.model->rowCount() - 1);
                                        }
                                    }));
    t.connections.push_back(
        connect(model, &QAbstractItemModel::dataChanged, this,
                [this, &t](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                    MarkRows(t, topLeft.row(), bottomRight.row());
                }));
    // Rows inserted or removed in the middle move the rows below them, and a
    // reset may leave rows (a scattered removal): the list is written anew.
    const auto rewrite = [this, &t] {
        t.dirty.clear();
        t.cleared = true;
        MarkRows(t, 0, t.model ? t.model->rowCount() - 1 : -1);
    };
    t.connections.push_back(connect(model, &QAbstractItemModel::modelReset, this, rewrite));
    t.connections.push_back(connect(model, &QAbstractItemModel::rowsRemoved, this, rewrite));
    MarkRows(t, 0, model->rowCount() - 1);
    m_tracked.push_back(std::move(tracked));
}

void SessionKeeper::MarkRows(Tracked& tracked, int first, int last) {
    if (!tracked.model) {
        return;
    }
    const runtime::TableData& data = tracked.model->Data();
    for (int row = std::max(first, 0); row <= last; ++row) {
        tracked.dirty.insert(data.IdOfRow(row));
    }
}

void SessionKeeper::Collect(std::size_t limit) {
    app::SessionBatch batch;
    std::size_t budget = limit;
    for (auto& tracked : m_tracked) {
        if (!tracked->model) {
            continue;
        }
        if (tracked->cleared) {
            batch.clearedLists.push_back(tracked->list);
            tracked->cleared = false;
        }
        const runtime::TableData& data = tracked->model->Data();
        const int columns = data.ColumnCount();
        for (auto it = tracked->dirty.begin(); it != tracked->dirty.end() && budget > 0;) {
            const int row = data.RowOfId(*it);
            if (row >= 0) {
                runtime::Row cells;
                cells.reserve(static_cast<std::size_t>(columns));
                for (int c = 0; c < columns; ++c) {
                    cells.push_back(data.Cell(row, c));
                }
                batch.rows.push_back({tracked->list, *it, row, std::move(cells)});
                --budget;
            }
            it = tracked->dirty.erase(it);
        }
    }
    m_writer->Post(std::move(batch));
}

void SessionKeeper::FlushNow() {
    Collect(std::numeric_limits<std::size_t>::max());
    m_writer->Flush();
}

}  // namespace mofeng::ui
