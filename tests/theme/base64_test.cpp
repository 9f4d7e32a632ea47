#include "theme/base64.h"

#include <gtest/gtest.h>

TEST(TBase64, ResultCodesAndBytes)
{
    struct Cas { const char *in; int code; QByteArray out; };
    const Cas cas[] = {
        {"", 0, ""}, {"TWFu", 0, "Man"}, {"TWE=", 0, "Ma"}, {"TQ==", 0, "M"}, {"TWF", 3, ""},
        {"T=Fu", 2, ""}, {"TW=u", 5, "M"}, {"TQ==TWFu", 4, "M"}, {"TWFu\nTQ==", 0, "ManM"},
        {" \t\r\n", 0, ""}, {"LpfjAA==", 0, QByteArray("\x2E\x97\xE3\x00", 4)}, {"=TWF", 2, ""},
    };
    for (const Cas &c : cas) {
        QByteArray out("junk");
        EXPECT_EQ(TBase64().Decode(QString::fromLatin1(c.in), out), c.code) << c.in;
        EXPECT_EQ(out, c.out) << c.in;
        EXPECT_EQ(DecoderBase64(QString::fromLatin1(c.in), out), c.code != 0) << c.in;
    }
}
