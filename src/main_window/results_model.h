#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

class QAbstractItemView;

namespace scanvale {

// The rows of the results list, one per file found, in the order found. A row keeps the file's
// path exactly as the file system gave it (bytes, not necessarily UTF-8), and every action on a
// result reads those bytes: the save, opening, the containing folder, copying. What the list
// shows is DisplayPath of the bytes, made whenever a row is drawn and never read back, so no
// action can take the shown text (where a byte that is not UTF-8 reads as "\xNN") for a name.
//
// The list has no column until ShowColumn gives it one. Rows can be selected, but neither edited,
// checked nor dragged.
class ResultsModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit ResultsModel(QObject* parent = nullptr);

    // Gives the list its one column, headed `header`; call once.
    void ShowColumn(const QString& header);

    // Appends `paths` at the end of the list, in their order, as one insertion: a view lays
    // itself out once for the whole batch, not once per row. An empty batch changes nothing.
    void Append(QList<QByteArray> paths);

    // Removes every row. The column and its header stay, and so does the width a view gave the
    // column (which resetting the model would lose).
    void Clear();

    // The exact path bytes of `row`, which must exist.
    const QByteArray& Path(int row) const { return paths_.at(row); }
    // Every row's path bytes, in list order. A copy shares them until either side changes.
    const QList<QByteArray>& Paths() const { return paths_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QList<QByteArray> paths_;
    std::optional<QString> header_;
};

// The rows of `list`, a view of a ResultsModel (the window's results list). Ends the program
// with a message when `list` shows another model: that is a fault in the program itself.
ResultsModel& RowsOf(const QAbstractItemView& list);

} // namespace scanvale
