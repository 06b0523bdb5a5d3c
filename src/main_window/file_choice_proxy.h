#pragma once

#include <QSortFilterProxyModel>

class QFileDialog;

namespace scanvale {

// What a widget-based file dialog lists for the file type chosen in it. The dialog takes a
// choice's patterns from its parentheses, so "All Files (*.*)" would list only the names that
// hold a dot, while on this system many files have none. Through this model the dialog lists
// every file while a choice whose pattern is *.* is selected, the files that match the choice
// otherwise, and every folder.
class FileChoiceProxy : public QSortFilterProxyModel {
    Q_OBJECT

public:
    // Makes a new proxy `dialog`'s model (owned by the dialog) and follows the file type chosen
    // in it. The dialog must be widget-based (QFileDialog::DontUseNativeDialog) and have its
    // name filters and selected filter set.
    static void Install(QFileDialog& dialog);

    // True when the choice `filter` ("All Files (*.*)") stands for every file: its patterns,
    // the words inside its closing parentheses, include *.*.
    static bool ListsEveryFile(const QString& filter);

    Qt::ItemFlags flags(const QModelIndex& index) const override;
    void setSourceModel(QAbstractItemModel* source) override;

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override;

private:
    explicit FileChoiceProxy(QObject* parent) : QSortFilterProxyModel(parent) {}
    void Choose(const QString& filter);

    bool everyFile_ = false;
};

} // namespace scanvale
