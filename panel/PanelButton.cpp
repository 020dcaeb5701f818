// Drawing a button with a word-wrapped caption: the style draws the button without text,
// then the caption goes into the contents rectangle, wrapped and centred.
#include "PanelButton.h"

#include <QFontMetrics>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace pixdock {

PanelButton::PanelButton(const QString &caption, QWidget *parent)
    : QPushButton(caption, parent)
{
}

QRect PanelButton::captionRect() const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
}

void PanelButton::fitCaption()
{
    const QRect room = captionRect();
    const QRect needed = fontMetrics().boundingRect(QRect(0, 0, room.width(), 1000000),
                                                    Qt::AlignCenter | Qt::TextWordWrap, text());
    if (needed.height() > room.height())
        resize(width(), height() + needed.height() - room.height());
}

void PanelButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    if (isDown())
        contents.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                           style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    painter.drawItemText(contents, Qt::AlignCenter | Qt::TextWordWrap, option.palette, isEnabled(), caption,
                         QPalette::ButtonText);
}

} // namespace pixdock
