#include "tests/support/scripted_prompts.h"

#include <gtest/gtest.h>

// GCC 12 warns falsely about moving out of a std::optional<QString> here.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace {

template<typename T>
T take(std::deque<T> &q, const char *what, T fallback)
{
    if (q.empty()) {
        ADD_FAILURE() << "unscripted " << what;
        return fallback;
    }
    T v(std::move(q.front()));
    q.pop_front();
    return v;
}

} // namespace

bool ScriptedPrompts::exhausted() const
{
    return m_answers.empty() && m_colors.empty() && m_fonts.empty() && m_openFiles.empty() && m_openPictures.empty() && m_openPackages.empty()
           && m_saveFiles.empty() && m_saveFilters.empty() && m_folders.empty();
}

void ScriptedPrompts::message(const QString &text, const QString &, Icon)
{
    messages << text;
}

Prompts::Answer ScriptedPrompts::question(const QString &text, const QString &, Buttons buttons, Icon)
{
    questions << text;
    return take(m_answers, ("question: " + text.toStdString()).c_str(), std::optional<Answer>(Answer::Cancel))
        .value_or(safeAnswer(buttons));
}

std::optional<TColor> ScriptedPrompts::chooseColor(TColor)
{
    return take(m_colors, "colour dialog", std::optional<TColor>());
}

std::optional<QFont> ScriptedPrompts::chooseFont(const QFont &)
{
    return take(m_fonts, "font dialog", std::optional<QFont>());
}

std::optional<QString> ScriptedPrompts::openFile(const FileDialog &options)
{
    fileDialogs << options;
    return take(m_openFiles, "open dialog", std::optional<QString>());
}

std::optional<QString> ScriptedPrompts::openPicture(const FileDialog &options)
{
    fileDialogs << options;
    return take(m_openPictures, "picture open dialog", std::optional<QString>());
}

std::optional<QString> ScriptedPrompts::openPackage(const FileDialog &options)
{
    fileDialogs << options;
    return take(m_openPackages, "package open dialog", std::optional<QString>());
}

std::optional<QString> ScriptedPrompts::saveFile(const FileDialog &options)
{
    fileDialogs << options;
    if (options.chosenFilter && !m_saveFilters.empty()) {
        *options.chosenFilter = m_saveFilters.front();
        m_saveFilters.pop_front();
    }
    return take(m_saveFiles, "save dialog", std::optional<QString>());
}

std::optional<QString> ScriptedPrompts::chooseFolder(const QString &, const QString &)
{
    return take(m_folders, "folder dialog", std::optional<QString>());
}
