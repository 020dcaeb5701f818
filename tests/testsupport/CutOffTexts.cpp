// Measuring each control's text in its font against the room the control gives it.
#include "CutOffTexts.h"

#include "TextFit.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace pixdock::test {

// Whether `text` fits `room`, on one line (line breaks kept) or wrapped at word boundaries.
static bool fits(const QFontMetrics &fm, const QString &text, QSize room, bool wrap)
{
    if (!wrap)
        return room.expandedTo(fm.boundingRect(QRect(), 0, text).size()) == room;
    return widestWord(fm, text) <= room.width()
        && fm.boundingRect(QRect(0, 0, room.width(), 100000), Qt::TextWordWrap, text).height() <= room.height();
}

static bool labelFits(const QLabel *label)
{
    const int m = label->margin();
    return label->textFormat() == Qt::RichText || !label->pixmap().isNull()
        || fits(label->fontMetrics(), shownText(label->text()), label->contentsRect().adjusted(m, m, -m, -m).size(),
                label->wordWrap());
}

static bool buttonFits(const QAbstractButton *button)
{
    const QFontMetrics fm = button->fontMetrics();
    const QString text = shownText(button->text());
    const QStyle *style = button->style();
    if (const bool radio = qobject_cast<const QRadioButton *>(button); radio || qobject_cast<const QCheckBox *>(button)) {
        const int indicator = style->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorWidth : QStyle::PM_IndicatorWidth,
                                                 nullptr, button);
        const int spacing = style->pixelMetric(radio ? QStyle::PM_RadioButtonLabelSpacing : QStyle::PM_CheckBoxLabelSpacing,
                                               nullptr, button);
        return indicator + spacing + fm.horizontalAdvance(text) <= button->width() && fm.height() <= button->height();
    }
    QStyleOptionButton option;
    option.initFrom(button);
    // The control panel's tall buttons wrap their captions; other buttons keep one line.
    return fits(fm, text, style->subElementRect(QStyle::SE_PushButtonContents, &option, button).size(),
                button->inherits("pixdock::PanelButton"));
}

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
