// Reading, writing and screen-checking the main window's position and size.
#include "MainWindowPlacement.h"

#include "Twips.h"

#include <QLocale>
#include <QSettings>

#include <algorithm>
#include <cmath>
#include <optional>

namespace pixdock::placement {

namespace {
// Far beyond any screen, yet safely inside int after conversion to pixels.
constexpr double Largest = 10'000'000.0;

std::optional<int> twipsValue(const QVariant &stored)
{
    if (!stored.isValid())
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(stored.toString().trimmed(), &ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > Largest)
        return std::nullopt;
    return int(std::lround(value));
}
} // namespace

QString organisation() { return QStringLiteral("Pixdock"); }
QString application() { return QStringLiteral("Pixdock"); }
QString group() { return QStringLiteral("Settings"); }

int coordinate(const QVariant &stored, int fallback) { return twipsValue(stored).value_or(fallback); }

int extent(const QVariant &stored, int fallback)
{
    const std::optional<int> value = twipsValue(stored);
    return value && *value > 0 ? *value : fallback;
}

MainPlacement read(const QSettings &settings)
{
    const MainPlacement defaults;
    return {coordinate(settings.value(KeyLeft), defaults.left),
            coordinate(settings.value(KeyTop), defaults.top),
            extent(settings.value(KeyWidth), defaults.width),
            extent(settings.value(KeyHeight), defaults.height)};
}

void write(QSettings &settings, const MainPlacement &placement)
{
    settings.setValue(KeyLeft, QString::number(placement.left));
    settings.setValue(KeyTop, QString::number(placement.top));
    settings.setValue(KeyWidth, QString::number(placement.width));
    settings.setValue(KeyHeight, QString::number(placement.height));
}

QRect fitOnScreen(const QRect &outer, const QList<ScreenArea> &screens, const QRect &primaryAvailable)
{
    QRect area;
    qint64 covered = 0;
    for (const ScreenArea &screen : screens) {
        if (screen.geometry.contains(outer.topLeft())) {
            area = screen.available;
            break;
        }
        const QRect common = screen.geometry.intersected(outer);
        const qint64 size = qint64(common.width()) * common.height();
        if (!common.isEmpty() && size > covered) {
            covered = size;
            area = screen.available;
        }
    }
    QRect fitted = outer;
    if (area.isEmpty()) {
        const MainPlacement defaults;
        area = primaryAvailable;
        fitted.moveTopLeft(primaryAvailable.topLeft() + twips::pointToPixels(defaults.left, defaults.top));
    }
    if (area.isEmpty())
        return fitted;
    fitted.setSize(fitted.size().boundedTo(area.size()));
    fitted.moveLeft(std::clamp(fitted.left(), area.left(), area.left() + area.width() - fitted.width()));
    fitted.moveTop(std::clamp(fitted.top(), area.top(), area.top() + area.height() - fitted.height()));
    return fitted;
}

} // namespace pixdock::placement
