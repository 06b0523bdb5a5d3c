#include "form1.h"

#include "center_form.h"
#include "dialogs.h"
#include "file_exists.h"
#include "folder_list_drag.h"
#include "form1_layout.h"
#include "hover_pointer.h"
#include "path_text.h"
#include "picture_button.h"
#include "pointer_image.h"
#include "result_actions.h"
#include "results_model.h"
#include "twips.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QTreeWidget>

namespace scanvale {

namespace {

constexpr int ColumnWidthTwips = 5300;

// Collapses each pair of adjacent separators into one, in a single left-to-right pass that
// does not rescan what it wrote: "a//b" becomes "a/b" and "a///b" becomes "a//b".
QByteArray CollapseSeparatorPairs(const QByteArray& path) {
    QByteArray collapsed = path;
    collapsed.replace("//", "/");
    return collapsed;
}

void GiveOneColumn(QTreeWidget& list, const QString& header) {
    list.setHeaderLabels({header});
    list.setColumnWidth(0, Px(ColumnWidthTwips));
}

void GiveOneColumn(QTableView& list, const QString& header) {
    RowsOf(list).ShowColumn(header);
    list.setColumnWidth(0, Px(ColumnWidthTwips));
}

} // namespace

Form1::Form1(Form1Services services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)), controls_(Form1Layout::Build(*this)) {
    Q_ASSERT(services_.dialogs != nullptr);
    // Check3, Check2 and Check6 are check boxes drawn as push buttons: their handlers run on
    // every change of their value, including the change back to unchecked that each handler
    // makes itself (PictureButton::TakePress).
    connect(controls_.Check3, &QAbstractButton::toggled, this, &Form1::Check3_Click);
    connect(controls_.Check1, &QAbstractButton::clicked, this, &Form1::Check1_Click);
    connect(controls_.Check2, &QAbstractButton::toggled, this, &Form1::Check2_Click);
    connect(controls_.Check6, &QAbstractButton::toggled, this, &Form1::Check6_Click);
    // All three are owned by the widgets they handle.
    new HoverPointer(*this, controls_);
    new FolderListDrag(*controls_.ListView1, PointerFolder(),
                       [this] { HoverPointer::Apply(*this, PointerKind::Default); });
    new ResultActions(*controls_.ListView2, *services_.dialogs);
}

QString Form1::PointerFolder() const {
    return services_.pointerImageFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                                  : services_.pointerImageFolder;
}

void Form1::Form_Load() {
    controls_.Text1->setText(QString());
    CenterForm(*this);
    setWindowTitle(ApplicationTitle);
    LoadMouseIcon();
    if (services_.maybeOpenHomePage) {
        services_.maybeOpenHomePage();
    }
    GiveOneColumn(*controls_.ListView1, QStringLiteral("Folder(s)"));
    GiveOneColumn(*controls_.ListView2, QStringLiteral("Results"));
}

void Form1::LoadMouseIcon() {
    const QString path = QDir(PointerFolder()).filePath(QStringLiteral("HAND-M.CUR"));
    if (!FileExists(path)) {
        return;
    }
    // An image that is there but cannot be read leaves the window without a custom pointer,
    // as a missing one does. Loading it changes no pointer shape.
    const PointerImage image = PointerImage::Load(path);
    if (!image.IsNull()) {
        mouseIcon_ = image.Cursor();
    }
}

void Form1::Form_Unload(bool& /*cancel*/) {
    // Ending the process runs no destructors: a save under way removes its temporary file now.
    activeSaves_.AbandonAll();
    if (services_.endProcess) {
        services_.endProcess();
    }
}

void Form1::closeEvent(QCloseEvent* event) {
    bool cancel = false;
    Form_Unload(cancel);
    event->accept();
}

void Form1::changeEvent(QEvent* event) {
    // The window has one size and is not maximised. Where the toolkit draws the frame itself
    // (on Wayland without the compositor's decorations) that frame offers maximising all the
    // same, and the compositor would then move the window into its corner marked maximised;
    // the window stays as it is instead.
    if (event->type() == QEvent::WindowStateChange && windowState().testFlag(Qt::WindowMaximized)) {
        setWindowState(windowState() & ~Qt::WindowMaximized);
    }
    QWidget::changeEvent(event);
}

void Form1::Check3_Click() {
    if (!controls_.Check3->TakePress()) {
        return;
    }
    const QByteArray folder =
        services_.dialogs->BrowseForFolder(this, QStringLiteral("Please select folder to add:"));
    if (folder.isEmpty()) {
        return;
    }
    SetMousePointer(PointerKind::Hourglass);
    // The item keeps the folder's exact bytes for the search and shows them readably.
    const QByteArray path = CollapseSeparatorPairs(folder);
    AppendPathItem(*controls_.ListView1, {path.constData(), static_cast<size_t>(path.size())});
    SetMousePointer(PointerKind::Default);
}

void Form1::SetMousePointer(PointerKind kind) {
    mousePointer_ = kind;
    // The hourglass shows over the controls too, also over those with a pointer of their own.
    if (kind == PointerKind::Hourglass) {
        busyCover_.Cover();
    } else {
        busyCover_.Uncover();
    }
    switch (kind) {
    case PointerKind::Default:
        unsetCursor();
        break;
    case PointerKind::Arrow:
        setCursor(Qt::ArrowCursor);
        break;
    case PointerKind::Hourglass:
        setCursor(Qt::WaitCursor);
        break;
    case PointerKind::Custom:
        // Without a hand image the custom kind shows the desktop's own pointing hand.
        setCursor(mouseIcon_ ? *mouseIcon_ : QCursor(Qt::PointingHandCursor));
        break;
    }
    emit MousePointerChanged(kind);
}

} // namespace scanvale
