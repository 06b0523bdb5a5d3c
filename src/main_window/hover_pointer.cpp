#include "hover_pointer.h"

#include "form1.h"
#include "form1_controls.h"
#include "picture_button.h"

#include <QEvent>
#include <QFrame>
#include <QLineEdit>
#include <QMouseEvent>

namespace scanvale {

void HoverPointer::Apply(Form1& form, PointerKind value) {
    if (form.MousePointer() == PointerKind::Hourglass) {
        return;
    }
    form.SetMousePointer(value);
}

HoverPointer::HoverPointer(Form1& form, const Form1Controls& controls)
    : QObject(&form), form_(form), phraseBox_(controls.Text1) {
    Watch(&form, PointerKind::Default);
    Watch(controls.Check1, PointerKind::Custom);
    Watch(controls.Check2, PointerKind::Custom);
    Watch(controls.Check3, PointerKind::Custom);
    Watch(controls.Check6, PointerKind::Custom);
    Watch(controls.Text1, PointerKind::Default);
    // The line is drawn on the window's surface: moves over it are moves over the surface.
    controls.Line1->setAttribute(Qt::WA_TransparentForMouseEvents);
    // Controls without a pointer of their own show the window's; the phrase box has its text
    // cursor, so it is told about the busy pointer explicitly.
    connect(&form, &Form1::MousePointerChanged, this, &HoverPointer::FollowWindowKind);
}

void HoverPointer::Watch(QWidget* element, PointerKind value) {
    // Moves without a button held reach a widget only while it tracks the mouse.
    element->setMouseTracking(true);
    element->installEventFilter(this);
    values_.insert(element, value);
}

bool HoverPointer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseMove) {
        return false;
    }
    const auto value = values_.constFind(watched);
    if (value == values_.constEnd()) {
        return false;
    }
    // A move over a control without a response of its own is passed on to the window; only
    // moves where no control covers the window are moves over its surface.
    if (watched == &form_) {
        const auto* move = static_cast<QMouseEvent*>(event);
        if (form_.childAt(move->position().toPoint()) != nullptr) {
            return false;
        }
    }
    Apply(form_, *value);
    return false;
}

void HoverPointer::FollowWindowKind(PointerKind kind) {
    phraseBox_->setCursor(kind == PointerKind::Hourglass ? Qt::WaitCursor : Qt::IBeamCursor);
}

} // namespace scanvale
