// Growing controls to their texts, measured in each control's own font.
#include "TextFit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>

namespace pixdock {

QString shownText(QString text)
{
    text.replace(QLatin1String("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    return text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

int widestWord(const QFontMetrics &fm, const QString &text)
{
    int widest = 0;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        widest = std::max(widest, fm.horizontalAdvance(word));
    return widest;
}

namespace {
void growTo(QWidget *control, int width, int height)
{
    control->resize(std::max(control->width(), width), std::max(control->height(), height));
}
} // namespace

void fitText(QLabel *label)
{
    if (label->textFormat() == Qt::RichText || !label->pixmap().isNull() || label->text().isEmpty())
        return;
    const QFontMetrics fm(label->font());
    const QString text = shownText(label->text());
    // What the frame and margins take from the label's size.
    const int margin = label->margin();
    const int extraWidth = label->width() - label->contentsRect().width() + 2 * margin;
    const int extraHeight = label->height() - label->contentsRect().height() + 2 * margin;
    if (!label->wordWrap()) {
        // Its lines as they stand (a text may hold line breaks).
        const QSize lines = fm.boundingRect(QRect(), 0, text).size();
        growTo(label, lines.width() + extraWidth, lines.height() + extraHeight);
        return;
    }
    int width = label->width();
    if (widestWord(fm, text) + extraWidth > width) {
        width = widestWord(fm, text) + extraWidth;
        if (const QWidget *parent = label->parentWidget())
            width = std::max(label->width(), std::min(width, parent->width() - label->x()));
    }
    const QRect lines = fm.boundingRect(QRect(0, 0, width - extraWidth, 1000000), Qt::TextWordWrap, text);
    growTo(label, width, lines.height() + extraHeight);
}

void fitText(QAbstractButton *button)
{
    const QString text = shownText(button->text());
    if (text.isEmpty())
        return;
    if (qobject_cast<QRadioButton *>(button) || qobject_cast<QCheckBox *>(button)) {
        const QSize hint = button->sizeHint();
        growTo(button, hint.width(), hint.height());
        return;
    }
    // The control panel's tall buttons wrap their captions; they are drawn to fit.
    if (!qobject_cast<QPushButton *>(button) || button->inherits("pixdock::PanelButton"))
        return;
    QStyleOptionButton option;
    option.initFrom(button);
    const QRect contents = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    const QFontMetrics fm(button->font());
    growTo(button, fm.horizontalAdvance(text) + button->width() - contents.width(),
           fm.height() + button->height() - contents.height());
}

void fitTexts(QWidget *window)
{
    for (QLabel *label : window->findChildren<QLabel *>())
        fitText(label);
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>())
        fitText(button);
}

} // namespace pixdock
