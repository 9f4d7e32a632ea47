#include "resources/strings.h"

#include <algorithm>
#include <iterator>

namespace {

struct Entry
{
    int id;
    const char16_t *text;
};

// One .inc per subsystem, each a list of { id, u"text" }, lines.
constexpr Entry kTable[] = {
#include "resources/strings_theme.inc"
#include "resources/strings_app.inc"
#include "resources/strings_tools.inc"
#include "resources/strings_device.inc"
};

} // namespace

QString chaineRes(int id)
{
    const auto it = std::find_if(std::begin(kTable), std::end(kTable),
                                 [id](const Entry &e) { return e.id == id; });
    return it == std::end(kTable) ? QString() : QString::fromUtf16(it->text);
}
