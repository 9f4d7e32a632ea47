#include "app/console_prompts.h"

#include <cstdio>

void ConsolePrompts::message(const QString &text, const QString &, Icon)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
    std::fflush(stderr);
}

Prompts::Answer ConsolePrompts::question(const QString &text, const QString &, Buttons buttons, Icon)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
    std::fflush(stderr);
    return safeAnswer(buttons);
}
