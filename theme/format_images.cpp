#include "theme/format_images.h"

#include <algorithm>

namespace {

struct Ligne
{
    int td[2], st[2], portrait[2], paysage[2];
};

// Format 6 takes its picture sizes from TaillesPerso; its row here only gives
// the landscape area.
constexpr Ligne kFormats[FormatImages::NbFormats] = {
    {{240, 287}, {152, 287}, {240, 268}, {240, 268}},
    {{240, 293}, {239, 292}, {240, 268}, {240, 268}},
    {{320, 293}, {319, 292}, {240, 268}, {320, 188}},
    {{640, 588}, {399, 586}, {480, 536}, {640, 376}},
    {{240, 294}, {240, 294}, {240, 268}, {320, 188}},
    {{480, 588}, {480, 588}, {480, 536}, {640, 376}},
    {{0, 0}, {0, 0}, {0, 0}, {640, 376}},
    {{240, 214}, {240, 214}, {240, 214}, {240, 214}},
    {{480, 428}, {480, 428}, {480, 428}, {480, 428}},
};

} // namespace

void FixeTailles(FormatImages &f, int format)
{
    if (format < 0 || format >= FormatImages::NbFormats)
        return;
    const Ligne &l = kFormats[format];
    auto &t = f.TailleImages;
    if (format == FormatImages::FormatPerso) {
        // A custom size below 1, or a Today height of 19 rows or less, would
        // give the preview an empty or negative screen area: keep every size
        // at least 1 so that no consumer divides by zero.
        const auto p = [&f](int i) { return std::max(1, f.TaillesPerso[i]); };
        t = {p(0), p(1), p(2), p(3), p(0), std::max(1, p(1) - FormatImages::DecalageHauteur),
             l.paysage[0], l.paysage[1]};
        return;
    }
    t = {l.td[0], l.td[1], l.st[0], l.st[1], l.portrait[0], l.portrait[1], l.paysage[0], l.paysage[1]};
}

QString NomFormatTheme(int format)
{
    static const char *const kNoms[FormatImages::NbFormats] = {
        "Tessary Like (TD 240x287,  ST 152x287)",
        "Standard (TD 240x293, ST 239x292)",
        "QVGA (TD 320x293, ST 319x292)",
        "VGA (TD 640x588, ST 399x586)",
        "QVGA P + L (240x294, 320x214)",
        "VGA P + L (480x588, 640x428)",
        "Customized",
        "240 x 240 (TD, ST : 240x214)",
        "480 x 480 (TD, ST : 480x428)",
    };
    if (format < 0 || format >= FormatImages::NbFormats)
        return {};
    return QString::fromLatin1(kNoms[format]);
}
