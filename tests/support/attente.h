#pragma once

#include <functional>

class QSignalSpy;

// Waiting on the event loop for what a window or a thread brings about.
namespace testenv {

// Waits until the spy has recorded n signals; false when `delaiMs` passes
// with no new signal.
bool attendSignaux(QSignalSpy &spy, int n, int delaiMs);

// Runs the event loop until the condition holds; false once `delaiMs` has
// passed without it.
bool attendCondition(const std::function<bool()> &condition, int delaiMs);

} // namespace testenv
