#include "app/qt_prompts.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QSoundEffect>
#include <QUrl>

namespace {

QMessageBox::Icon toQt(Prompts::Icon icon)
{
    switch (icon) {
    case Prompts::Icon::Information: return QMessageBox::Information;
    case Prompts::Icon::Warning: return QMessageBox::Warning;
    case Prompts::Icon::Error: return QMessageBox::Critical;
    case Prompts::Icon::Question: return QMessageBox::Question;
    case Prompts::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

QString caption(const QString &c)
{
    return c.isEmpty() ? QApplication::applicationName() : c;
}

QFileDialog *makeDialog(QWidget *parent, const Prompts::FileDialog &o, QFileDialog::AcceptMode mode)
{
    auto *dlg = new QFileDialog(parent, o.title, o.initialDir);
    dlg->setAcceptMode(mode);
    dlg->setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dlg->setNameFilters(filtreVersQt(o.filter));
    dlg->setDefaultSuffix(o.defaultSuffix);
    if (!o.fileName.isEmpty())
        dlg->selectFile(o.fileName);
    return dlg;
}

std::optional<QString> runFileDialog(QFileDialog *dlg)
{
    std::optional<QString> out;
    if (dlg->exec() == QDialog::Accepted && !dlg->selectedFiles().isEmpty())
        out = dlg->selectedFiles().constFirst();
    delete dlg;
    return out;
}

} // namespace

QtPrompts::QtPrompts(QWidget *parent) : m_parent(parent) {}

QtPrompts::~QtPrompts() = default;

void QtPrompts::message(const QString &text, const QString &cap, Icon icon)
{
    QMessageBox box(toQt(icon), caption(cap), text, QMessageBox::Ok, m_parent);
    box.exec();
}

Prompts::Answer QtPrompts::question(const QString &text, const QString &cap, Buttons buttons, Icon icon)
{
    QMessageBox::StandardButtons b;
    switch (buttons) {
    case Buttons::Ok: b = QMessageBox::Ok; break;
    case Buttons::OkCancel: b = QMessageBox::Ok | QMessageBox::Cancel; break;
    case Buttons::YesNo: b = QMessageBox::Yes | QMessageBox::No; break;
    case Buttons::YesNoCancel: b = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
    }
    QMessageBox box(toQt(icon), caption(cap), text, b, m_parent);
    switch (box.exec()) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

std::optional<TColor> QtPrompts::chooseColor(TColor initial)
{
    const QColor c = QColorDialog::getColor(QColor::fromRgb(initial.toQRgb()), m_parent);
    if (!c.isValid())
        return std::nullopt;
    return TColor::fromQRgb(c.rgb());
}

std::optional<QFont> QtPrompts::chooseFont(const QFont &initial)
{
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, initial, m_parent);
    return ok ? std::optional<QFont>(f) : std::nullopt;
}

std::optional<QString> QtPrompts::openFile(const FileDialog &options)
{
    QFileDialog *dlg = makeDialog(m_parent, options, QFileDialog::AcceptOpen);
    // The colour-set open dialog is roomier than the others (OpenDialog2Show).
    if (options.filter == QLatin1String(TailleDialogueCouleurs::Filtre))
        dlg->resize(TailleDialogueCouleurs::Taille);
    return runFileDialog(dlg);
}

std::optional<QString> QtPrompts::openPicture(const FileDialog &options)
{
    if (m_dialogueImage)
        return m_dialogueImage(m_parent, options);
    return openFile(options);
}

std::optional<QString> QtPrompts::openPackage(const FileDialog &options)
{
    if (m_dialoguePaquet)
        return m_dialoguePaquet(m_parent, options);
    return openFile(options);
}

std::optional<QString> QtPrompts::saveFile(const FileDialog &options)
{
    return runFileDialog(makeDialog(m_parent, options, QFileDialog::AcceptSave));
}

std::optional<QString> QtPrompts::chooseFolder(const QString &title, const QString &start)
{
    const QString d = QFileDialog::getExistingDirectory(m_parent, title, start);
    return d.isEmpty() ? std::nullopt : std::optional<QString>(d);
}

void QtPrompts::beep()
{
    QApplication::beep();
}

void QtPrompts::playSound(const QString &name)
{
    // Played without waiting; without an audio device the effect stays silent.
    std::unique_ptr<QSoundEffect> &effet = m_sons[name];
    if (!effet) {
        effet = std::make_unique<QSoundEffect>();
        effet->setSource(QUrl(QStringLiteral("qrc:/art/") + name.toLower() + QStringLiteral(".wav")));
    }
    effet->stop();
    effet->play();
}
