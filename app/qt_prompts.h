#pragma once

#include "theme/prompts.h"

#include <QSize>

#include <functional>
#include <map>
#include <memory>

class QSoundEffect;

class QWidget;

// A message whose lines hold TAB-separated columns (a size estimate, a
// colour report) as rich text: a table in which each run of TABs starts the
// next column, so the columns line up whatever the font; a line without TAB
// spans the table. A text without TAB is returned as it is.
QString TexteEnColonnes(const QString &texte);

// The longest file name, in bytes, that the folder's file system takes
// (255 when it does not say).
int LongueurMaxNomFichier(const QString &dossier);
// What a save dialog says under a name of `octets` bytes that is longer.
QString TexteNomTropLong(qsizetype octets, int limite);

// The colour-set open dialog opens at this size.
namespace TailleDialogueCouleurs {
constexpr const char *Filtre = "Colors File (*.ini)|*.ini";
constexpr QSize Taille{732, 549};
} // namespace TailleDialogueCouleurs

// The program's prompts: Qt's modal dialogs, parented to a window.
class QtPrompts : public Prompts
{
public:
    explicit QtPrompts(QWidget *parent = nullptr);
    ~QtPrompts() override;
    void setParent(QWidget *parent) { m_parent = parent; }

    // The picture dialog lives above this layer; the program hands it in.
    using DialogueImage = std::function<std::optional<QString>(QWidget *parent, const FileDialog &options)>;
    void setPictureDialog(DialogueImage dialogue) { m_dialogueImage = std::move(dialogue); }
    // Likewise the package dialog.
    void setPackageDialog(DialogueImage dialogue) { m_dialoguePaquet = std::move(dialogue); }

    void message(const QString &text, const QString &caption, Icon icon) override;
    Answer question(const QString &text, const QString &caption, Buttons buttons, Icon icon) override;
    std::optional<TColor> chooseColor(TColor initial) override;
    std::optional<QFont> chooseFont(const QFont &initial) override;
    std::optional<QString> openFile(const FileDialog &options) override;
    std::optional<QString> openPicture(const FileDialog &options) override;
    std::optional<QString> openPackage(const FileDialog &options) override;
    std::optional<QString> saveFile(const FileDialog &options) override;
    std::optional<QString> chooseFolder(const QString &title, const QString &start) override;
    void beep() override;
    void playSound(const QString &name) override;

private:
    QWidget *m_parent;
    DialogueImage m_dialogueImage;
    DialogueImage m_dialoguePaquet;
    // One effect per sound, loaded at its first use and kept for the run.
    std::map<QString, std::unique_ptr<QSoundEffect>> m_sons;
};
