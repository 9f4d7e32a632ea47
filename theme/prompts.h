#pragma once

#include "theme/couleur.h"

#include <QFont>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Every modal interaction of the program: message boxes, questions, colour,
// font, file and folder dialogs, beeps and sounds. The program uses the Qt
// dialogs; tests answer from a script, so nothing ever blocks in exec().
class Prompts
{
public:
    enum class Icon { None, Information, Warning, Error, Question };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    struct FileDialog
    {
        QString title;
        QString initialDir;
        QString fileName;      // proposed name
        QString defaultSuffix; // without the dot, e.g. "ini"
        // Windows form: "Colors File (*.ini)|*.ini|All (*.*)|*.*"
        QString filter;
        // Save dialogs: when set, receives the filter chosen (1-based, 0 unknown).
        int *chosenFilter = nullptr;
        // Save dialogs: when set, a change of filter renames the proposed
        // file to what this gives for (current name, new filter 1-based).
        std::function<QString(const QString &, int)> nameForFilter{};
    };

    virtual ~Prompts() = default;

    virtual void message(const QString &text, const QString &caption = {}, Icon icon = Icon::None) = 0;
    // Asks; the default button (Enter) and Escape give safeAnswer(buttons).
    virtual Answer question(const QString &text, const QString &caption, Buttons buttons,
                            Icon icon = Icon::Question) = 0;
    // The answer that changes nothing: Cancel when the question offers it,
    // else No (Ok when it is the only button). Every question the program
    // asks confirms a step that may drop work (closing without the theme,
    // overwriting a file, quitting without saving, changing or erasing
    // device keys), so a stray Enter or Escape must never take it.
    static Answer safeAnswer(Buttons buttons);
    virtual std::optional<TColor> chooseColor(TColor initial) = 0;
    virtual std::optional<QFont> chooseFont(const QFont &initial) = 0;
    virtual std::optional<QString> openFile(const FileDialog &options) = 0;
    // Opens a picture with a preview of the selected file. Without a picture
    // dialog of its own, an implementation shows the plain open dialog.
    virtual std::optional<QString> openPicture(const FileDialog &options) { return openFile(options); }
    // Opens a theme package with a preview of the pictures inside the selected
    // one. Without a package dialog of its own, the plain open dialog.
    virtual std::optional<QString> openPackage(const FileDialog &options) { return openFile(options); }
    virtual std::optional<QString> saveFile(const FileDialog &options) = 0;
    virtual std::optional<QString> chooseFolder(const QString &title, const QString &start) = 0;
    virtual void beep() = 0;
    // Plays one of the embedded sounds by its resource name ("CLIC", ...).
    virtual void playSound(const QString &name) = 0;
};

// "Colors File (*.ini)|*.ini" -> "Colors File (*.ini)" entries for Qt dialogs.
QStringList filtreVersQt(const QString &windowsFilter);
