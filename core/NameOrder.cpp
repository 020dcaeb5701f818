// The name order over QCollator. Each thread keeps collators of its own (a QCollator is not to
// be shared between threads), made again when the order follows a new locale.
#include "NameOrder.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QCoreApplication>
#include <QEvent>
#include <QLocale>
#include <QObject>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <numeric>
#include <vector>

namespace pixdock::names {

namespace {

// Past this many names a sort goes through collation keys.
constexpr qsizetype KeySortFrom = 256;

struct Settings
{
    QLocale locale;
    QString identity;
};

std::mutex g_mutex;
std::shared_ptr<const Settings> g_settings; // guarded by g_mutex
std::atomic<int> g_generation{0};
std::vector<std::function<void()>> g_listeners; // guarded by g_mutex

// A locale without a language (C, POSIX) has no collation of its own: its users get the
// common root order, not the code-point order C would give (where Ä comes after z).
QLocale collationLocale(const QLocale &locale)
{
    if (locale.language() == QLocale::C || locale.language() == QLocale::AnyLanguage)
        return QLocale(QLocale::English, QLocale::UnitedStates);
    return locale;
}

std::shared_ptr<const Settings> makeSettings()
{
    auto s = std::make_shared<Settings>();
    s->locale = collationLocale(QLocale());
    // The settings below are part of the identity: change them, change the version.
    s->identity = QStringLiteral("names 1; %1; Qt %2").arg(s->locale.bcp47Name(), QLatin1String(qVersion()));
    return s;
}

std::shared_ptr<const Settings> settings()
{
    std::lock_guard lock(g_mutex);
    if (!g_settings)
        g_settings = makeSettings();
    return g_settings;
}

QCollator makeCollator(const QLocale &locale)
{
    QCollator c(locale);
    c.setCaseSensitivity(Qt::CaseInsensitive);
    c.setNumericMode(true);
    c.setIgnorePunctuation(false);
    return c;
}

struct ThreadCollator
{
    int generation = -1;
    std::unique_ptr<QCollator> collator;
};

const QCollator &collator()
{
    thread_local ThreadCollator mine;
    const int now = g_generation.load(std::memory_order_acquire);
    if (!mine.collator || mine.generation != now) {
        mine.collator = std::make_unique<QCollator>(makeCollator(settings()->locale));
        mine.generation = now;
    }
    return *mine.collator;
}

int exactly(QStringView a, QStringView b)
{
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

class LocaleWatcher : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == QCoreApplication::instance() && event->type() == QEvent::LocaleChange)
            followLocale();
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int compare(QStringView a, QStringView b)
{
    if (a == b)
        return 0;
    const int c = collator().compare(a, b);
    if (c != 0)
        return c < 0 ? -1 : 1;
    return exactly(a, b);
}

std::vector<qsizetype> sortedOrder(const QStringList &names)
{
    std::vector<qsizetype> order(size_t(names.size()));
    std::iota(order.begin(), order.end(), qsizetype(0));
    if (names.size() < KeySortFrom) {
        std::stable_sort(order.begin(), order.end(),
                         [&](qsizetype x, qsizetype y) { return compare(names.at(x), names.at(y)) < 0; });
        return order;
    }
    const QCollator &c = collator();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(size_t(names.size()));
    for (const QString &name : names)
        keys.push_back(c.sortKey(name));
    std::stable_sort(order.begin(), order.end(), [&](qsizetype x, qsizetype y) {
        const int k = keys[size_t(x)].compare(keys[size_t(y)]);
        if (k != 0)
            return k < 0;
        return exactly(names.at(x), names.at(y)) < 0;
    });
    return order;
}

void sort(QStringList &names)
{
    const std::vector<qsizetype> order = sortedOrder(names);
    QStringList sorted;
    sorted.reserve(names.size());
    for (const qsizetype i : order)
        sorted.append(names.at(i));
    names = std::move(sorted);
}

QString identity() { return settings()->identity; }

int generation() { return g_generation.load(std::memory_order_acquire); }

void followLocale()
{
    auto fresh = makeSettings();
    std::vector<std::function<void()>> listeners;
    {
        std::lock_guard lock(g_mutex);
        if (g_settings && g_settings->identity == fresh->identity)
            return;
        g_settings = std::move(fresh);
        listeners = g_listeners;
    }
    g_generation.fetch_add(1, std::memory_order_acq_rel);
    for (const auto &listener : listeners)
        listener();
}

void onChange(std::function<void()> callback)
{
    std::lock_guard lock(g_mutex);
    g_listeners.push_back(std::move(callback));
}

void watchLocaleChanges()
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || app->findChild<QObject *>(QStringLiteral("pixdock-locale-watcher"), Qt::FindDirectChildrenOnly))
        return;
    auto *watcher = new LocaleWatcher(app);
    watcher->setObjectName(QStringLiteral("pixdock-locale-watcher"));
    app->installEventFilter(watcher);
}

} // namespace pixdock::names
