#include "picture_button.h"

#include <QStyleOptionToolButton>
#include <QStylePainter>

namespace scanvale {

namespace {

constexpr int Padding = 3;
constexpr int PictureGap = 2;

} // namespace

PictureButton::PictureButton(QWidget* parent) : QToolButton(parent) {
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setAutoRaise(false);
}

bool PictureButton::TakePress() {
    if (!isChecked()) {
        return false;
    }
    setChecked(false);
    return true;
}

void PictureButton::paintEvent(QPaintEvent* /*event*/) {
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);

    // The style draws the bevel (raised, or sunken while pressed or checked) and the focus
    // mark; the picture and the caption are laid out here so the caption can wrap.
    QStyleOptionToolButton panel = option;
    panel.text.clear();
    panel.icon = QIcon();
    painter.drawComplexControl(QStyle::CC_ToolButton, panel);

    const QRect inner = rect().adjusted(Padding, Padding, -Padding, -Padding);
    const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
    const QRect textBounds = painter.fontMetrics().boundingRect(inner, flags, text());
    // A button too low for picture and caption together shows its caption alone.
    const bool fits = iconSize().height() + PictureGap + textBounds.height() <= inner.height();
    const bool hasPicture = !icon().isNull() && fits;
    const QSize picture = hasPicture ? iconSize() : QSize(0, 0);
    const int gap = hasPicture ? PictureGap : 0;
    const int blockHeight = picture.height() + gap + textBounds.height();
    int top = inner.top() + std::max(0, (inner.height() - blockHeight) / 2);

    // A sunken button shifts its contents by the style's offset, as push buttons do.
    const bool sunken = (option.state & (QStyle::State_Sunken | QStyle::State_On)) != 0;
    const int shift =
        sunken ? style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this) : 0;
    top += shift;
    if (hasPicture) {
        const QRect pictureRect(inner.left() + (inner.width() - picture.width()) / 2 + shift, top,
                                picture.width(), picture.height());
        icon().paint(&painter, pictureRect, Qt::AlignCenter,
                     isEnabled() ? QIcon::Normal : QIcon::Disabled);
        top += picture.height() + gap;
    }
    const QRect textRect(inner.left() + shift, top, inner.width(), inner.bottom() - top + 1);
    painter.drawItemText(textRect, flags, palette(), isEnabled(), text(), QPalette::ButtonText);
}

} // namespace scanvale
