#include "app/qt_prompts.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QSoundEffect>
#include <QSpacerItem>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

#include <unistd.h>

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

QMessageBox::StandardButton boutonQt(Prompts::Answer answer)
{
    switch (answer) {
    case Prompts::Answer::Ok: return QMessageBox::Ok;
    case Prompts::Answer::Yes: return QMessageBox::Yes;
    case Prompts::Answer::No: return QMessageBox::No;
    case Prompts::Answer::Cancel: break;
    }
    return QMessageBox::Cancel;
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

// The save dialog greys its Save button, without a word, while the name is
// longer than a file name may be: a red line under the name says why.
void ditNomTropLong(QFileDialog *dlg)
{
    auto *champ = dlg->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    auto *grille = qobject_cast<QGridLayout *>(dlg->layout());
    if (!champ || !grille)
        return; // the platform's own dialog
    auto *raison = new QLabel(dlg);
    raison->setObjectName(QStringLiteral("NomTropLongLbl"));
    raison->setWordWrap(true);
    QPalette p = raison->palette();
    p.setColor(QPalette::WindowText, QColor(0xC0, 0x00, 0x00));
    raison->setPalette(p);
    grille->addWidget(raison, grille->rowCount(), 0, 1, grille->columnCount());
    const auto maj = [dlg, champ, raison] {
        const QString nom = QFileInfo(champ->text()).fileName();
        const int limite = LongueurMaxNomFichier(dlg->directory().absolutePath());
        const qsizetype octets = QFile::encodeName(nom).size();
        const bool tropLong = nom.size() > limite || octets > limite;
        raison->setText(tropLong ? TexteNomTropLong(octets, limite) : QString());
        raison->setVisible(tropLong);
    };
    QObject::connect(champ, &QLineEdit::textChanged, raison, maj);
    QObject::connect(dlg, &QFileDialog::directoryEntered, raison, maj);
    maj();
}

std::optional<QString> runFileDialog(QFileDialog *dlg)
{
    std::optional<QString> out;
    if (dlg->exec() == QDialog::Accepted && !dlg->selectedFiles().isEmpty())
        out = dlg->selectedFiles().constFirst();
    delete dlg;
    return out;
}

// A message box sizes itself by its text and buttons only: with a short
// text the window manager cuts its title ("O... !"). Its layout gets a strut
// as wide as the title needs (the title bar's buttons included).
void largeurDuTitre(QMessageBox &box)
{
    auto *grille = qobject_cast<QGridLayout *>(box.layout());
    if (!grille)
        return;
    QFont police = box.font();
    police.setBold(true);
    const int largeur = QFontMetrics(police).horizontalAdvance(box.windowTitle()) + 140;
    grille->addItem(new QSpacerItem(largeur, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grille->rowCount(), 0,
                    1, grille->columnCount());
}

} // namespace

int LongueurMaxNomFichier(const QString &dossier)
{
    const long n = ::pathconf(QFile::encodeName(dossier).constData(), _PC_NAME_MAX);
    return n > 0 && n < 4096 ? int(n) : 255;
}

QString TexteNomTropLong(qsizetype octets, int limite)
{
    return QStringLiteral("This name is too long to save: a file name holds at most %1 bytes, this one has %2. "
                          "Shorten it.")
        .arg(limite)
        .arg(octets);
}

QString TexteEnColonnes(const QString &texte)
{
    if (!texte.contains(QLatin1Char('\t')))
        return texte;
    static const QRegularExpression tabulations(QStringLiteral("\t+"));
    QList<QStringList> lignes;
    for (QString ligne : texte.split(QLatin1Char('\n'))) {
        ligne.remove(QLatin1Char('\r'));
        lignes << ligne.split(tabulations);
    }
    // Lines without TAB stand on their own; each run of lines with columns
    // is one table. Blanks do not break: a line is as wide as its text.
    const auto html_ = [](const QString &t) {
        return t.toHtmlEscaped().replace(QLatin1Char(' '), QLatin1String("&nbsp;"));
    };
    QString html;
    for (qsizetype i = 0; i < lignes.size();) {
        if (lignes[i].size() == 1) {
            const QString &t = lignes[i][0];
            html += QStringLiteral("<div style=\"white-space:pre\">%1</div>")
                        .arg(t.isEmpty() ? QStringLiteral("&nbsp;") : html_(t));
            ++i;
            continue;
        }
        qsizetype fin = i, colonnes = 0;
        while (fin < lignes.size() && lignes[fin].size() > 1)
            colonnes = std::max(colonnes, lignes[fin++].size());
        html += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"0\">");
        for (; i < fin; ++i) {
            html += QStringLiteral("<tr>");
            for (qsizetype k = 0; k < colonnes; ++k)
                html += QStringLiteral("<td style=\"white-space:pre; padding-right:%1px\">%2</td>")
                            .arg(k + 1 < colonnes ? 10 : 0)
                            .arg(k < lignes[i].size() ? html_(lignes[i][k]) : QString());
            html += QStringLiteral("</tr>");
        }
        html += QStringLiteral("</table>");
    }
    return html;
}

QtPrompts::QtPrompts(QWidget *parent) : m_parent(parent) {}

QtPrompts::~QtPrompts() = default;

void QtPrompts::message(const QString &text, const QString &cap, Icon icon)
{
    const QString colonnes = TexteEnColonnes(text);
    if (colonnes == text) {
        QMessageBox box(toQt(icon), caption(cap), text, QMessageBox::Ok, m_parent);
        largeurDuTitre(box);
        box.exec();
        return;
    }
    // A text in columns: a window as wide as its columns, nothing wrapped.
    QDialog boite(m_parent);
    boite.setWindowTitle(caption(cap));
    auto *texte = new QLabel(colonnes, &boite);
    texte->setObjectName(QStringLiteral("TexteLbl"));
    texte->setTextFormat(Qt::RichText);
    texte->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *boutons = new QDialogButtonBox(QDialogButtonBox::Ok, &boite);
    QObject::connect(boutons, &QDialogButtonBox::accepted, &boite, &QDialog::accept);
    auto *colonne = new QVBoxLayout(&boite);
    colonne->setSizeConstraint(QLayout::SetFixedSize);
    colonne->addWidget(texte);
    colonne->addWidget(boutons);
    boite.exec();
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
    largeurDuTitre(box);
    // Left alone, the box makes its first accepting button (OK, Yes) the
    // default: Enter would take the step the question warns about.
    const QMessageBox::StandardButton sur = boutonQt(safeAnswer(buttons));
    box.setDefaultButton(sur);
    box.setEscapeButton(sur);
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
    QFileDialog *dlg = makeDialog(m_parent, options, QFileDialog::AcceptSave);
    ditNomTropLong(dlg);
    const QStringList filtres = dlg->nameFilters();
    if (options.nameForFilter)
        QObject::connect(dlg, &QFileDialog::filterSelected, dlg, [dlg, filtres, renomme = options.nameForFilter](const QString &f) {
            const QString actuel = dlg->selectedFiles().value(0);
            if (!actuel.isEmpty())
                dlg->selectFile(QFileInfo(renomme(QFileInfo(actuel).fileName(), int(filtres.indexOf(f)) + 1)).fileName());
        });
    int *choisi = options.chosenFilter;
    if (choisi)
        QObject::connect(dlg, &QFileDialog::accepted, dlg,
                         [dlg, filtres, choisi] { *choisi = int(filtres.indexOf(dlg->selectedNameFilter())) + 1; });
    return runFileDialog(dlg);
}

std::optional<QString> QtPrompts::chooseFolder(const QString &title, const QString &start)
{
    // The browser's own title; the caller's text is the prompt inside it.
    QFileDialog dlg(m_parent, QStringLiteral("Choose Dir for Theme"), start);
    dlg.setObjectName(QStringLiteral("ChoisirDossierDlg"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setOption(QFileDialog::ShowDirsOnly);
    dlg.setFileMode(QFileDialog::Directory);
    auto *invite = new QLabel(title, &dlg);
    invite->setObjectName(QStringLiteral("InviteLbl"));
    invite->setWordWrap(true);
    if (auto *grille = qobject_cast<QGridLayout *>(dlg.layout())) {
        // The prompt on a row of its own above the dialog's rows.
        struct Place { QLayoutItem *item; int ligne, colonne, lignes, colonnes; };
        std::vector<Place> places;
        while (grille->count() > 0) {
            Place p{};
            grille->getItemPosition(0, &p.ligne, &p.colonne, &p.lignes, &p.colonnes);
            p.item = grille->takeAt(0);
            places.push_back(p);
        }
        const int colonnes = std::max(1, grille->columnCount());
        grille->addWidget(invite, 0, 0, 1, colonnes);
        for (const Place &p : places)
            grille->addItem(p.item, p.ligne + 1, p.colonne, p.lignes, p.colonnes);
    }
    // Given a folder to start in, the browser opens in the middle of the screen.
    if (!start.isEmpty()) {
        if (const QScreen *ecran = m_parent ? m_parent->screen() : QGuiApplication::primaryScreen()) {
            dlg.adjustSize();
            QRect r(QPoint(), dlg.size());
            r.moveCenter(ecran->availableGeometry().center());
            dlg.move(r.topLeft());
        }
    }
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return std::nullopt;
    const QString d = dlg.selectedFiles().constFirst();
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
