// Measuring each control's text in its font against the room the control gives it.
#include "CutOffTexts.h"

#include "TextFit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace pixdock::test {

namespace {
// Whether `text` fits `room`, on one line or wrapped at word boundaries.
bool fits(const QFontMetrics &fm, const QString &text, QSize room, bool wrap)
{
    if (!wrap) // line breaks kept
        return room.expandedTo(fm.boundingRect(QRect(), 0, text).size()) == room;
    return widestWord(fm, text) <= room.width()
        && fm.boundingRect(QRect(0, 0, room.width(), 100000), Qt::TextWordWrap, text).height() <= room.height();
}

bool labelFits(const QLabel *label)
{
    if (label->textFormat() == Qt::RichText || !label->pixmap().isNull())
        return true;
    const int margin = label->margin();
    const QSize room = label->contentsRect().adjusted(margin, margin, -margin, -margin).size();
    return fits(QFontMetrics(label->font()), shownText(label->text()), room, label->wordWrap());
}

bool buttonFits(const QAbstractButton *button)
{
    const QFontMetrics fm(button->font());
    const QString text = shownText(button->text());
    const QStyle *style = button->style();
    if (const bool radio = qobject_cast<const QRadioButton *>(button); radio || qobject_cast<const QCheckBox *>(button)) {
        const int indicator = style->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorWidth : QStyle::PM_IndicatorWidth,
                                                 nullptr, button);
        const int spacing = style->pixelMetric(radio ? QStyle::PM_RadioButtonLabelSpacing : QStyle::PM_CheckBoxLabelSpacing,
                                               nullptr, button);
        return indicator + spacing + fm.horizontalAdvance(text) <= button->width()
            && fm.height() <= button->height();
    }
    QStyleOptionButton option;
    option.initFrom(button);
    const QRect contents = style->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    // The control panel's tall buttons wrap their captions; other buttons keep one line.
    const bool wraps = button->inherits("pixdock::PanelButton");
    return fits(fm, text, contents.size(), wraps);
}
} // namespace

QStringList cutOffTexts(QWidget *window)
{
    QStringList cut;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        const auto *label = qobject_cast<QLabel *>(w);
        const auto *button = qobject_cast<QAbstractButton *>(w);
        const bool measured = button && !button->text().isEmpty()
            && (qobject_cast<QPushButton *>(w) || qobject_cast<QRadioButton *>(w) || qobject_cast<QCheckBox *>(w));
        if (w->isVisibleTo(window) && (label ? !labelFits(label) : measured && !buttonFits(button)))
            cut << QStringLiteral("%1: %2").arg(w->objectName(), label ? label->text() : button->text());
    }
    return cut;
}

} // namespace pixdock::test
