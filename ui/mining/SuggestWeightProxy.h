#pragma once

#include <QIdentityProxyModel>

namespace mofeng::ui {

class KeywordListModel;

// The mining list as shown: the weight column reads the weight rounded to an
// integer (with the locale's group separators), its tooltip the decimal as
// the reply wrote it; the stored cell keeps the decimal. Every other cell is
// the list's own. UI thread only.
class SuggestWeightProxy final : public QIdentityProxyModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SuggestWeightProxy)

public:
    SuggestWeightProxy(KeywordListModel* list, int weightColumn, QObject* parent = nullptr);

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    KeywordListModel* m_list;
    int m_weightColumn;
};

}  // namespace mofeng::ui
