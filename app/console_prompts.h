#pragma once

#include "theme/prompts.h"

// Prompts for a run without anyone at the screen (ORVANDEL_BATCH=1): messages
// go to standard error, questions and dialogs are cancelled.
class ConsolePrompts : public Prompts
{
public:
    void message(const QString &text, const QString &caption, Icon icon) override;
    Answer question(const QString &text, const QString &caption, Buttons buttons, Icon icon) override;
    std::optional<TColor> chooseColor(TColor) override { return std::nullopt; }
    std::optional<QFont> chooseFont(const QFont &) override { return std::nullopt; }
    std::optional<QString> openFile(const FileDialog &) override { return std::nullopt; }
    std::optional<QString> saveFile(const FileDialog &) override { return std::nullopt; }
    std::optional<QString> chooseFolder(const QString &, const QString &) override { return std::nullopt; }
    void beep() override {}
    void playSound(const QString &) override {}
};
