// Hints and hint sounds: the two latching buttons of the options page, the
// hints shown or not in the whole program, and the short "TOE" sound played
// at most every 500 ms when the mouse reaches a control with a hint. Both
// choices are kept in the options file.
#include "app/orvandel_main_window.h"

#include "app/filtre_bulles.h"
#include "ui/charge_image_res.h"
#include "theme/prompts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

#include <chrono>

namespace {

constexpr qint64 kIntervalleSonMs = 500;

QToolButton *boutonBascule(QWidget *parent, const char *nom, const QString &image, const QString &bulle)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QLatin1String(nom));
    b->setCheckable(true);
    b->setAutoRaise(true);
    b->setIcon(QIcon(QPixmap::fromImage(ChargeImageRes(image))));
    b->setIconSize(QSize(24, 24));
    b->setToolTip(bulle);
    return b;
}

qint64 horlogeMonotone()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

QWidget *TOrvandel::construitBulles(QWidget *parent)
{
    auto *zone = new QWidget(parent);
    zone->setObjectName(QStringLiteral("ZoneBulles"));
    auto *ligne = new QHBoxLayout(zone);
    ligne->setContentsMargins(0, 0, 0, 0);
    // Pressed means off.
    m_hintSP = boutonBascule(zone, "HintSP", QStringLiteral("hintonoff.png"), QStringLiteral("Stop Hints"));
    auto *supHint = new QLabel(QStringLiteral("Stop Hints"), zone);
    supHint->setObjectName(QStringLiteral("SupHintLbl"));
    supHint->setBuddy(m_hintSP);
    m_sonSP = boutonBascule(zone, "SonSP", QStringLiteral("sononoff.png"), QStringLiteral("Stop Sounds"));
    auto *supSon = new QLabel(QStringLiteral("Stop Sounds"), zone);
    supSon->setObjectName(QStringLiteral("SupSonLbl"));
    supSon->setBuddy(m_sonSP);
    ligne->addWidget(m_hintSP);
    ligne->addWidget(supHint);
    ligne->addSpacing(16);
    ligne->addWidget(m_sonSP);
    ligne->addWidget(supSon);
    ligne->addStretch(1);
    ligne->addWidget(construitRaccourcis(zone));
    connect(m_hintSP, &QToolButton::clicked, this, &TOrvandel::HintSPClick);
    connect(m_sonSP, &QToolButton::clicked, this, &TOrvandel::HintSPClick);

    m_filtreBulles = new FiltreBulles(this);
    return zone;
}

void TOrvandel::crochetAppliqueBulles()
{
    const QSignalBlocker b1(m_hintSP), b2(m_sonSP);
    m_hintSP->setChecked(m_ctx.options.Hints);
    m_sonSP->setChecked(m_ctx.options.Sons);
    AppliqueBulles();
}

void TOrvandel::HintSPClick()
{
    m_ctx.options.Hints = m_hintSP->isChecked();
    m_ctx.options.Sons = m_sonSP->isChecked();
    AppliqueBulles();
}

void TOrvandel::AppliqueBulles()
{
    m_filtreBulles->setBullesVisibles(!m_hintSP->isChecked());
    if (m_sonSP->isChecked())
        m_filtreBulles->surBulle = nullptr;
    else
        m_filtreBulles->surBulle = [this] { JoueSonClic(); };
}

bool TOrvandel::bullesVisibles() const
{
    return m_filtreBulles && m_filtreBulles->bullesVisibles();
}

bool TOrvandel::sonDesBulles() const
{
    return m_filtreBulles && m_filtreBulles->surBulle;
}

void TOrvandel::JoueSonClic()
{
    const qint64 maintenant = m_horlogeSons ? m_horlogeSons() : horlogeMonotone();
    if (m_dernierSon && maintenant - *m_dernierSon <= kIntervalleSonMs)
        return;
    if (m_ctx.prompts)
        m_ctx.prompts->playSound(QStringLiteral("TOE"));
    m_dernierSon = maintenant;
}
