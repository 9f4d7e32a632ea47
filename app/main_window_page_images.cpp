// The pictures page: which of the ten working pictures exist, whether the
// format's Today and Start pictures are all there, the create-state pictures
// and the picture commands.
#include "app/orvandel_main_window.h"

#include "ui/charge_image_res.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// A check box that only shows a state: the user cannot change it.
QCheckBox *caseAffichage(const QString &texte, const QString &nom, QWidget *parent)
{
    auto *c = new QCheckBox(texte, parent);
    c->setObjectName(nom);
    c->setAttribute(Qt::WA_TransparentForMouseEvents);
    c->setFocusPolicy(Qt::NoFocus);
    return c;
}

QLabel *libelle(const QString &texte, const char *nom, QWidget *parent)
{
    auto *l = new QLabel(texte, parent);
    l->setObjectName(QLatin1String(nom));
    return l;
}

} // namespace

QWidget *TOrvandel::construitPageImages()
{
    auto *page = new QWidget;
    m_pageImages = page;
    page->setObjectName(QStringLiteral("ImgTabS"));
    auto *colonne = new QVBoxLayout(page);

    // The ten working pictures.
    auto *liste = new QGridLayout;
    liste->addWidget(libelle(QStringLiteral("Available"), "DispoLbl", page), 0, 0, 1, 2);
    const auto &noms = NomsImagesTravail();
    for (int k = 0; k < NbImagesTravail; ++k) {
        const QString n = QString::number(k + 1);
        m_checkImages[k] = caseAffichage({}, QStringLiteral("CheckBox") + n, page);
        m_ficLbl[k] = new QLabel(noms[k], page);
        m_ficLbl[k]->setObjectName(QStringLiteral("FicLbl") + n);
        liste->addWidget(m_checkImages[k], k + 1, 0);
        liste->addWidget(m_ficLbl[k], k + 1, 1);
    }
    liste->setColumnStretch(1, 1);
    colonne->addLayout(liste);

    // The format's pictures, the create state.
    auto *dispo = new QGridLayout;
    dispo->addWidget(libelle(QStringLiteral("Today"), "TDLbl", page), 0, 0);
    m_tdyDispo = caseAffichage(QStringLiteral("tdywater Available"), QStringLiteral("TdyDispoCB"), page);
    dispo->addWidget(m_tdyDispo, 0, 1);
    dispo->addWidget(libelle(QStringLiteral("Start"), "STLbl", page), 1, 0);
    m_stDispo = caseAffichage(QStringLiteral("stwater Available"), QStringLiteral("StDispoCB"), page);
    dispo->addWidget(m_stDispo, 1, 1);
    m_feuImg = new QLabel(page);
    m_feuImg->setObjectName(QStringLiteral("FeuImg"));
    m_feuImg->setFixedSize(21, 42);
    m_cocheImg = new QLabel(page);
    m_cocheImg->setObjectName(QStringLiteral("CocheImg"));
    m_cocheImg->setFixedSize(24, 24);
    dispo->addWidget(m_feuImg, 0, 2, 2, 1);
    dispo->addWidget(m_cocheImg, 0, 3, 2, 1);
    dispo->setColumnStretch(4, 1);
    colonne->addLayout(dispo);

    // The picture commands.
    auto *ligne = new QHBoxLayout;
    auto *imgChoix = new QPushButton(QStringLiteral("Images"), page);
    imgChoix->setObjectName(QStringLiteral("ImgChoix"));
    imgChoix->setToolTip(QStringLiteral("Choose/Modify the Images (Today and Start)"));
    imgChoix->setIcon(QIcon(QPixmap::fromImage(bandeEtats().copy(2 * 42, 0, 42, 42))));
    imgChoix->setIconSize(QSize(42, 42));
    connect(imgChoix, &QPushButton::clicked, this, &TOrvandel::ImagesBtnClick);

    m_addText = new QToolButton(page);
    m_addText->setObjectName(QStringLiteral("AddTextSBtn"));
    m_addText->setText(QStringLiteral("Text"));
    m_addText->setIcon(QIcon(QPixmap::fromImage(ChargeImageRes(QStringLiteral("addtexte.png")))));
    m_addText->setIconSize(QSize(24, 24));
    m_addText->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_addText->setToolTip(QStringLiteral("Add text on images"));
    connect(m_addText, &QToolButton::clicked, this, &TOrvandel::AddTextSBtnClick);

    m_tailleTsk = new QPushButton(QStringLiteral("TSK Size"), page);
    m_tailleTsk->setObjectName(QStringLiteral("TailleTskBtn"));
    m_tailleTsk->setToolTip(QStringLiteral("TSK Size Evaluation"));
    connect(m_tailleTsk, &QPushButton::clicked, this, &TOrvandel::TailleTskBtnClick);

    auto *preview = new QToolButton(page);
    preview->setObjectName(QStringLiteral("PreviewSBtn"));
    preview->setText(QStringLiteral("Preview"));
    preview->setIcon(QIcon(QPixmap::fromImage(ChargeImageRes(QStringLiteral("previewtsk24.png")))));
    preview->setIconSize(QSize(24, 24));
    preview->setToolButtonStyle(Qt::ToolButtonIconOnly);
    preview->setToolTip(QStringLiteral("Preview depending on choices : sizes, WM5 compatible...") +
                        QStringLiteral("\r\n") + QStringLiteral("Adapt Theme format if needed !"));
    connect(preview, &QToolButton::clicked, this, &TOrvandel::PreviewSBtnClick);

    ligne->addWidget(imgChoix);
    ligne->addWidget(preview);
    ligne->addWidget(m_addText);
    ligne->addWidget(m_tailleTsk);
    ligne->addStretch(1);
    colonne->addLayout(ligne);
    colonne->addStretch(1);
    return page;
}
