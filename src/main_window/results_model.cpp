#include "results_model.h"

#include "path_text.h"

#include <QAbstractItemView>
#include <string_view>

namespace scanvale {

ResultsModel::ResultsModel(QObject* parent) : QAbstractTableModel(parent) {}

void ResultsModel::ShowColumn(const QString& header) {
    Q_ASSERT(!header_);
    beginInsertColumns({}, 0, 0);
    header_ = header;
    endInsertColumns();
}

void ResultsModel::Append(QList<QByteArray> paths) {
    if (paths.isEmpty()) {
        return;
    }
    const auto first = static_cast<int>(paths_.size());
    beginInsertRows({}, first, first + static_cast<int>(paths.size()) - 1);
    paths_.append(std::move(paths));
    endInsertRows();
}

void ResultsModel::Clear() {
    if (paths_.isEmpty()) {
        return;
    }
    beginRemoveRows({}, 0, static_cast<int>(paths_.size()) - 1);
    paths_.clear();
    endRemoveRows();
}

int ResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(paths_.size());
}

int ResultsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !header_ ? 0 : 1;
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) {
        return {};
    }
    Q_ASSERT(checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid));
    const QByteArray& path = paths_.at(index.row());
    return DisplayPath(std::string_view(path.constData(), static_cast<std::size_t>(path.size())));
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && section == 0 && role == Qt::DisplayRole && header_) {
        return *header_;
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags ResultsModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren
                           : Qt::NoItemFlags;
}

ResultsModel& RowsOf(const QAbstractItemView& list) {
    auto* rows = qobject_cast<ResultsModel*>(list.model());
    if (rows == nullptr) {
        qFatal("%s shows no results model", qPrintable(list.objectName()));
    }
    return *rows;
}

} // namespace scanvale
