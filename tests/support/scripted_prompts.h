#pragma once

#include "theme/prompts.h"

#include <QStringList>

#include <deque>
#include <variant>

// Answers the program's modal interactions from a script. Each interaction
// takes the next scripted answer of its kind; one with no answer left fails
// the running test and is answered with Cancel (or nothing). Every message and
// question text is recorded for assertions.
class ScriptedPrompts : public Prompts
{
public:
    void answer(Answer a) { m_answers.push_back(a); }
    // The next question is answered with Enter: its default button.
    void answerDefault() { m_answers.push_back(std::nullopt); }
    void color(std::optional<TColor> c) { m_colors.push_back(c); }
    void font(std::optional<QFont> f) { m_fonts.push_back(f); }
    void openFileName(std::optional<QString> f) { m_openFiles.push_back(f); }
    void openPictureName(std::optional<QString> f) { m_openPictures.push_back(f); }
    void openPackageName(std::optional<QString> f) { m_openPackages.push_back(f); }
    void saveFileName(std::optional<QString> f) { m_saveFiles.push_back(f); }
    // The filter (1-based) the next save dialog reports as chosen, when it asks.
    void saveFilter(int filtre) { m_saveFilters.push_back(filtre); }
    void folder(std::optional<QString> f) { m_folders.push_back(f); }

    QStringList messages;  // texts of message boxes, in order
    QStringList questions; // texts of questions, in order
    QStringList sounds;
    QList<FileDialog> fileDialogs;
    int beeps = 0;

    // True when every scripted answer has been used.
    bool exhausted() const;

    void message(const QString &text, const QString &caption, Icon icon) override;
    Answer question(const QString &text, const QString &caption, Buttons buttons, Icon icon) override;
    std::optional<TColor> chooseColor(TColor initial) override;
    std::optional<QFont> chooseFont(const QFont &initial) override;
    std::optional<QString> openFile(const FileDialog &options) override;
    std::optional<QString> openPicture(const FileDialog &options) override;
    std::optional<QString> openPackage(const FileDialog &options) override;
    std::optional<QString> saveFile(const FileDialog &options) override;
    std::optional<QString> chooseFolder(const QString &title, const QString &start) override;
    void beep() override { ++beeps; }
    void playSound(const QString &name) override { sounds << name; }

private:
    std::deque<std::optional<Answer>> m_answers; // nothing: Enter
    std::deque<std::optional<TColor>> m_colors;
    std::deque<std::optional<QFont>> m_fonts;
    std::deque<int> m_saveFilters;
    std::deque<std::optional<QString>> m_openFiles, m_openPictures, m_openPackages, m_saveFiles, m_folders;
};
