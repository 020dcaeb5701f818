// The one order of picture names, the one people read: letters without regard to case, accented
// and other letters beside their base letters as the user's language sorts them (ICU collation
// through QCollator), runs of digits by their value (9 before 10). Names that this leaves equal
// (a.jpg and A.jpg, 01 and 1) are ordered by their exact text, so the order is total: two names
// compare equal only when they are the same text. The folder listing, the catalogue list and
// the catalogue's stored order all sort with it.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <vector>

namespace pixdock::names {

// Negative, zero or positive like strcmp. Safe to call from any thread.
int compare(QStringView a, QStringView b);
inline bool lessThan(QStringView a, QStringView b) { return compare(a, b) < 0; }

// Sorts names in place; large lists through collation keys, which is several times faster.
void sort(QStringList &names);
// The permutation that sorts `names` (indexes into it), equal names kept in their given order.
std::vector<qsizetype> sortedOrder(const QStringList &names);

// What the order depends on (the collation locale and the Qt that collates), as a short text. An
// order kept somewhere (a file) under another identity is no longer this order.
QString identity();
// Bumped whenever the order follows a new locale; a listing sorted under an older generation
// is sorted afresh.
int generation();

// Makes the order follow the default locale as it is now (QLocale::setDefault, the system's);
// when that changes the order, the callbacks given to onChange run (on this thread).
void followLocale();
// Runs `callback` after every change of the order from now on.
void onChange(std::function<void()> callback);
// Follows the locale from now on whenever the application is told that it changed
// (QEvent::LocaleChange). Call from the interface thread; calling again does nothing.
void watchLocaleChanges();

} // namespace pixdock::names
