#include "file_choice_proxy.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QRegularExpression>

namespace scanvale {

bool FileChoiceProxy::ListsEveryFile(const QString& filter) {
    static const QRegularExpression patterns(QStringLiteral("\\(([^()]*)\\)\\s*$"));
    const QRegularExpressionMatch match = patterns.match(filter);
    return match.hasMatch() &&
           match.captured(1).split(u' ', Qt::SkipEmptyParts).contains(QStringLiteral("*.*"));
}

void FileChoiceProxy::Install(QFileDialog& dialog) {
    auto* proxy = new FileChoiceProxy(&dialog);
    dialog.setProxyModel(proxy);
    proxy->Choose(dialog.selectedNameFilter());
    connect(&dialog, &QFileDialog::filterSelected, proxy, &FileChoiceProxy::Choose);
}

void FileChoiceProxy::setSourceModel(QAbstractItemModel* source) {
    // The dialog's own model then hides no file for its name; it only marks those that do not
    // match the choice as disabled, and this model decides what is listed.
    if (auto* files = qobject_cast<QFileSystemModel*>(source)) {
        files->setNameFilterDisables(true);
    }
    QSortFilterProxyModel::setSourceModel(source);
}

void FileChoiceProxy::Choose(const QString& filter) {
    everyFile_ = ListsEveryFile(filter);
    invalidateFilter();
}

bool FileChoiceProxy::filterAcceptsRow(int row, const QModelIndex& parent) const {
    return everyFile_ ||
           sourceModel()->flags(sourceModel()->index(row, 0, parent)).testFlag(Qt::ItemIsEnabled);
}

Qt::ItemFlags FileChoiceProxy::flags(const QModelIndex& index) const {
    const Qt::ItemFlags flags = QSortFilterProxyModel::flags(index);
    return everyFile_ && index.isValid() ? flags | Qt::ItemIsEnabled : flags;
}

} // namespace scanvale
