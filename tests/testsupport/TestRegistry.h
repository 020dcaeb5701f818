// One test executable per subsystem holds several QtTest classes; each registers itself here
// and TestMain runs them all (or the one named as the first argument).
#pragma once

#include <QObject>

#include <functional>
#include <memory>

namespace pixdock::test {

using TestFactory = std::function<std::unique_ptr<QObject>()>;
int registerTestClass(const char *name, TestFactory factory);

} // namespace pixdock::test

#define PIXDOCK_REGISTER_TEST(Class)                                                               \
    static const int pixdock_registered_##Class = pixdock::test::registerTestClass(                \
        #Class, [] { return std::unique_ptr<QObject>(new Class); });
