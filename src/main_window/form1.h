#pragma once

#include "active_saves.h"
#include "busy_cover.h"
#include "form1_controls.h"
#include "form1_services.h"
#include "pointer_kind.h"

#include <QCursor>
#include <QWidget>
#include <optional>

namespace scanvale {

// The window's caption, which is also the title of every message box that names none of its own.
inline const QString ApplicationTitle = QStringLiteral("Scanvale");

// The program's one window. It owns its controls for the life of the process, connects their
// events to the handlers below and keeps the state that handlers share between events. Every
// handler runs on the window's thread, one at a time, though one may run inside another's
// yield to the event loop.
class Form1 : public QWidget {
    Q_OBJECT

public:
    // Builds the window as designed: caption "Form1", phrase box "Text1", empty lists without
    // columns. `services.dialogs` must be set.
    explicit Form1(Form1Services services, QWidget* parent = nullptr);

    // Prepares the window before it is first shown; call once, before show().
    void Form_Load();

    // Runs when the window is being closed: ends the process at once. `cancel` is left alone.
    void Form_Unload(bool& cancel);

    // "Add Folder to Search": on a press, asks for a folder and appends it to the folder list.
    void Check3_Click();

    // "Search!": starts a search over the listed folders and returns when it ends; "Stop!":
    // asks the running search to stop and returns at once.
    void Check1_Click();

    // "Save Results To Text File": on a press, asks for a file name and writes the results
    // list to it, one path per line; a failure is reported with its reason, never as "Done.".
    void Check2_Click();

    // "Clear Results": on a press, empties the results list.
    void Check6_Click();

    // The window's pointer kind; setting it shows the matching pointer over the window.
    PointerKind MousePointer() const { return mousePointer_; }
    void SetMousePointer(PointerKind kind);

    // The hand pointer image loaded at start-up, if HAND-M.CUR was there and readable.
    const std::optional<QCursor>& MouseIcon() const { return mouseIcon_; }

signals:
    void MousePointerChanged(scanvale::PointerKind kind);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void LoadMouseIcon();
    // Where HAND-M.CUR and drag.ico are looked for.
    QString PointerFolder() const;

    Form1Services services_;
    Form1Controls controls_;
    PointerKind mousePointer_ = PointerKind::Default;
    std::optional<QCursor> mouseIcon_;
    // The saves under way, abandoned when the window closes.
    ActiveSaves activeSaves_;
    BusyCover busyCover_{*this};
};

} // namespace scanvale
