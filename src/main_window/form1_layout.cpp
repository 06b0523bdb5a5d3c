#include "form1_layout.h"

#include "picture_button.h"
#include "results_model.h"
#include "twips.h"

#include <QCheckBox>
#include <QFrame>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTreeWidget>
#include <algorithm>
#include <array>
#include <limits>
#include <string_view>

namespace scanvale {

namespace {

// One row of the design table. Positions and sizes are in twips; a font size of 0 keeps the
// platform's default font; a tab index of -1 means the control takes no focus.
struct Design {
    std::string_view name;
    const char* caption;
    int left, top, width, height;
    double fontPoints;
    int tabIndex;
};

constexpr std::array DesignTable{
    Design{"Check1", "Search!", 2295, 1920, 2055, 1215, 11.25, 10},
    Design{"Check6", "Clear Results", 120, 5880, 6375, 405, 11.25, 9},
    Design{"Text1", "Text1", 120, 3600, 6375, 285, 9.0, 8},
    Design{"Check5", "Search In Subfolders Also", 3960, 3330, 2535, 255, 9.0, 6},
    Design{"Check4", "Match Case", 2520, 3330, 1335, 255, 9.0, 5},
    Design{"Check3", "Add Folder to Search", 120, 1920, 2055, 1215, 11.25, 3},
    Design{"Command1", "Command1", -720, 2640, 615, 495, 0.0, 0},
    Design{"Check2", "Save Results To Text File", 4485, 1920, 2000, 1215, 11.25, 1},
    Design{"ListView1", "", 120, 120, 6375, 1695, 9.0, 2},
    Design{"ListView2", "", 120, 3960, 6375, 1815, 9.0, 4},
    // A line from (120, 3240) to (6480, 3240), one pixel thick.
    Design{"Line1", "", 120, 3240, 6360, 15, 0.0, -1},
    Design{"Label1", " Search for what phrase:", 120, 3330, 2175, 255, 9.0, 7},
};

constexpr const char* ListTip = "Double-click item to remove it. Move bar to right and out of "
                                "window to reveal full names.";

const Design& DesignOf(std::string_view name) {
    return *std::find_if(DesignTable.begin(), DesignTable.end(),
                         [name](const Design& row) { return row.name == name; });
}

QFont ArialBold(double points) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setWeight(QFont::Bold);
    return font;
}

// A picture of the given size whose every pixel is transparent.
QIcon TransparentPicture(int side) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    return QIcon(pixmap);
}

template <typename Control> Control* Place(QWidget& form, std::string_view name) {
    const Design& design = DesignOf(name);
    auto* control = new Control(&form);
    control->setObjectName(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    control->setGeometry(PxRect(design.left, design.top, design.width, design.height));
    if (design.fontPoints > 0.0) {
        control->setFont(ArialBold(design.fontPoints));
    }
    const QString caption = QString::fromLatin1(design.caption);
    if constexpr (requires { control->setText(caption); }) {
        control->setText(caption);
        control->setAccessibleName(caption.trimmed());
    }
    return control;
}

PictureButton* PlacePictureButton(QWidget& form, std::string_view name, const QIcon& picture,
                                  int side, bool checkable) {
    auto* button = Place<PictureButton>(form, name);
    button->setIcon(picture);
    button->setIconSize({side, side});
    button->setCheckable(checkable);
    button->setFocusPolicy(Qt::StrongFocus);
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, Qt::white);
    button->setPalette(palette);
    return button;
}

QCheckBox* PlaceOption(QWidget& form, std::string_view name) {
    auto* option = Place<QCheckBox>(form, name);
    // The tick box sits to the right of the caption; both options start unticked.
    option->setLayoutDirection(Qt::RightToLeft);
    option->setChecked(false);
    option->setAutoFillBackground(true);
    return option;
}

// What both lists share: the tip, the accessible name, no editing, one selected row at most.
void ShareListLook(QAbstractItemView& list, const QString& role) {
    list.setEditTriggers(QAbstractItemView::NoEditTriggers);
    list.setSelectionMode(QAbstractItemView::SingleSelection);
    list.setSelectionBehavior(QAbstractItemView::SelectRows);
    list.setToolTip(QString::fromLatin1(ListTip));
    list.setAccessibleName(role);
}

// The header of a one-column list: visible, its divider dragged by the user, nothing else.
void ShareHeaderLook(QHeaderView& header) {
    header.setSectionsMovable(false);
    header.setSectionsClickable(false);
    header.setHighlightSections(false);
    header.setSectionResizeMode(QHeaderView::Interactive);
    header.setStretchLastSection(false);
    header.setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

// The height the list's style gives a row of one line of text in the list's font.
int TextRowHeight(const QAbstractItemView& list) {
    QStyleOptionViewItem option;
    option.initFrom(&list);
    // The option's font is the application's, which each platform sets its own way; the rows
    // show the list's font.
    option.font = list.font();
    option.features = QStyleOptionViewItem::HasDisplay;
    option.text = QStringLiteral("Xg");
    option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    option.textElideMode = list.textElideMode();
    return list.style()
        ->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), &list)
        .height();
}

QTreeWidget* PlaceFolderList(QWidget& form, std::string_view name, const QString& role) {
    auto* list = Place<QTreeWidget>(form, name);
    list->setColumnCount(0);
    list->setHeaderHidden(false);
    ShareHeaderLook(*list->header());
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    ShareListLook(*list, role);
    // A search writes the header for every folder it enters. The list and its header view
    // each lay themselves out again after any change of header text, in case the header's
    // size changed; this header always holds one line in one font, so the header's repaint is
    // all a new text needs.
    const QAbstractItemModel* model = list->model();
    QHeaderView* header = list->header();
    QObject::disconnect(model, &QAbstractItemModel::headerDataChanged, list, nullptr);
    QObject::disconnect(model, &QAbstractItemModel::headerDataChanged, header, nullptr);
    QObject::connect(model, &QAbstractItemModel::headerDataChanged, header,
                     &QHeaderView::headerDataChanged);
    return list;
}

// The results list is a table of one column, not a tree: a tree lays out every row again after
// each insertion, so a search appending many results would slow down as the list grows. Rows of
// one fixed height are appended at the same cost however long the list is. Its rows live in a
// model of its own, which keeps each path's bytes and takes a search's results a batch at a
// time.
QTableView* PlaceResultsList(QWidget& form, std::string_view name, const QString& role) {
    auto* list = Place<QTableView>(form, name);
    list->setModel(new ResultsModel(list)); // owned by the list
    ShareHeaderLook(*list->horizontalHeader());
    list->verticalHeader()->hide();
    const int rowHeight = TextRowHeight(*list);
    list->verticalHeader()->setMinimumSectionSize(rowHeight);
    list->verticalHeader()->setDefaultSectionSize(rowHeight);
    list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list->setShowGrid(false);
    list->setCornerButtonEnabled(false);
    list->setWordWrap(false);
    // Tab moves to the next control, as it does from the folder list, not to the next cell.
    list->setTabKeyNavigation(false);
    // The column may be dragged wider than the list; it then scrolls by pixels, not by column.
    list->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    ShareListLook(*list, role);
    return list;
}

void SetTabOrder(QWidget& form) {
    std::array<const Design*, DesignTable.size()> order{};
    std::transform(DesignTable.begin(), DesignTable.end(), order.begin(),
                   [](const Design& row) { return &row; });
    std::sort(order.begin(), order.end(),
              [](const Design* a, const Design* b) { return a->tabIndex < b->tabIndex; });
    QWidget* previous = nullptr;
    for (const Design* row : order) {
        auto* control = form.findChild<QWidget*>(QString::fromLatin1(row->name.data()));
        if (row->tabIndex < 0 || control->focusPolicy() == Qt::NoFocus) {
            continue;
        }
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, control);
        }
        previous = control;
    }
}

} // namespace

Form1Controls Form1Layout::Build(QWidget& form) {
    form.setWindowTitle(QStringLiteral("Form1"));
    form.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                        Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    form.setFixedSize(ClientSize);
    form.setWindowIcon(TransparentPicture(32));
    QPalette palette = form.palette();
    palette.setColor(QPalette::Window, Qt::white);
    form.setPalette(palette);
    form.setAutoFillBackground(true);

    Form1Controls c;
    c.Check1 =
        PlacePictureButton(form, "Check1", QIcon(QStringLiteral(":/assets/search.svg")), 24, false);
    c.Check6 = PlacePictureButton(form, "Check6", TransparentPicture(32), 32, true);
    c.Text1 = Place<QLineEdit>(form, "Text1");
    c.Text1->setAccessibleName(QStringLiteral("Search for what phrase"));
    // At 19 pixels high the style's inner padding would cut the bold 9-point text; the sunken
    // frame stays, the padding goes.
    c.Text1->setStyleSheet(QStringLiteral("QLineEdit { padding: 0px; }"));
    // The phrase has no length limit: the toolkit's default would cut it at 32,767 characters.
    c.Text1->setMaxLength(std::numeric_limits<int>::max());
    c.Check5 = PlaceOption(form, "Check5");
    c.Check4 = PlaceOption(form, "Check4");
    c.Check3 = PlacePictureButton(form, "Check3", QIcon(QStringLiteral(":/assets/add_folder.svg")),
                                  32, true);
    c.Command1 = Place<QPushButton>(form, "Command1");
    c.Command1->setAutoDefault(false);
    c.Command1->setDefault(false);
    c.Check2 =
        PlacePictureButton(form, "Check2", QIcon(QStringLiteral(":/assets/save.svg")), 32, true);
    c.ListView1 = PlaceFolderList(form, "ListView1", QStringLiteral("Folder list"));
    c.ListView2 = PlaceResultsList(form, "ListView2", QStringLiteral("Results list"));
    c.Line1 = Place<QFrame>(form, "Line1");
    c.Line1->setFrameShape(QFrame::HLine);
    c.Line1->setFrameShadow(QFrame::Plain);
    c.Line1->setLineWidth(1);
    c.Line1->setAccessibleName(QStringLiteral("Line"));
    c.Label1 = Place<QLabel>(form, "Label1");
    c.Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    c.Label1->setAutoFillBackground(true);
    c.Label1->setFocusPolicy(Qt::NoFocus);

    SetTabOrder(form);
    c.Command1->setFocus(Qt::OtherFocusReason);
    return c;
}

} // namespace scanvale
