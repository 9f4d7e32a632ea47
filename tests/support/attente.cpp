#include "tests/support/attente.h"

#include <QSignalSpy>
#include <QTest>

namespace testenv {

bool attendSignaux(QSignalSpy &spy, int n, int delaiMs)
{
    while (spy.count() < n)
        if (!spy.wait(delaiMs))
            return false;
    return true;
}

bool attendCondition(const std::function<bool()> &condition, int delaiMs)
{
    return QTest::qWaitFor(condition, delaiMs);
}

} // namespace testenv
