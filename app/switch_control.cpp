#include "app/switch_control.h"

#include <QBitmap>
#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace {

const char *const kDefauts[2] = {":/art/switch_off.png", ":/art/switch_on.png"};

// Pictures without an alpha channel take their bottom-left colour as the
// transparent one, as bitmaps drawn transparently always have.
QPixmap avecTransparence(const QPixmap &image)
{
    if (image.isNull() || image.hasAlphaChannel())
        return image;
    const QImage img = image.toImage();
    QPixmap resultat = image;
    resultat.setMask(QBitmap::fromImage(img.createMaskFromColor(img.pixel(0, img.height() - 1))));
    return resultat;
}

} // namespace

TSwitch::TSwitch(QWidget *parent) : QWidget(parent)
{
    resize(50, 60);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    fixeGlyphe(0, {});
    fixeGlyphe(1, {});
}

void TSwitch::fixeGlyphe(int i, const QPixmap &image)
{
    m_glyphes[i] = avecTransparence(image.isNull() ? QPixmap(QString::fromLatin1(kDefauts[i])) : image);
    m_desactives[i] = QPixmap();
    update();
}

QPixmap TSwitch::glypheDesactive(bool on) const
{
    const int i = on ? 1 : 0;
    const QRgb clair = palette().color(QPalette::Light).rgba();
    const QRgb sombre = palette().color(QPalette::Dark).rgba();
    if (m_desactives[i].isNull() || m_couleursDesactives[i][0] != clair || m_couleursDesactives[i][1] != sombre) {
        m_desactives[i] = CopieDesactivee(m_glyphes[i], palette());
        m_couleursDesactives[i][0] = clair;
        m_couleursDesactives[i][1] = sombre;
    }
    return m_desactives[i];
}

void TSwitch::setGlyphOff(const QPixmap &image)
{
    fixeGlyphe(0, image);
}

void TSwitch::setGlyphOn(const QPixmap &image)
{
    fixeGlyphe(1, image);
}

void TSwitch::setStateOn(bool on)
{
    if (on == m_on)
        return;
    m_on = on;
    update();
    if (on)
        emit OnOn();
    else
        emit OnOff();
}

void TSwitch::setBorderStyle(TBorderStyle style)
{
    m_bordure = style;
    update();
}

void TSwitch::setShowFocus(bool montre)
{
    m_montreFocus = montre;
    update();
}

void TSwitch::setTextPosition(TTextPos position)
{
    m_positionTexte = position;
    update();
}

void TSwitch::setCaption(const QString &texte)
{
    m_caption = texte;
    delete m_raccourci;
    m_raccourci = nullptr;
    const QKeySequence mnemonique = QKeySequence::mnemonic(texte);
    if (!mnemonique.isEmpty()) {
        m_raccourci = new QShortcut(mnemonique, this);
        m_raccourci->setContext(Qt::WindowShortcut);
        connect(m_raccourci, &QShortcut::activated, this, [this] { setFocus(Qt::ShortcutFocusReason); });
    }
    update();
}

QRect TSwitch::rectangleImage() const
{
    const QSize t = m_glyphes[m_on ? 1 : 0].deviceIndependentSize().toSize();
    const QRect r = rect();
    switch (m_positionTexte) {
    case tpNone:
        return QRect(r.left() + (r.width() - t.width()) / 2, r.top() + (r.height() - t.height()) / 2, t.width(),
                     t.height());
    case tpLeft:
        return QRect(r.right() + 1 - t.width(), r.top() + (r.height() - t.height()) / 2, t.width(), t.height());
    case tpRight:
        return QRect(r.left(), r.top() + (r.height() - t.height()) / 2, t.width(), t.height());
    case tpAbove:
        return QRect(r.left() + (r.width() - t.width()) / 2, r.bottom() + 1 - t.height(), t.width(), t.height());
    case tpBelow:
        return QRect(r.left() + (r.width() - t.width()) / 2, r.top(), t.width(), t.height());
    }
    return {};
}

QPixmap TSwitch::CopieDesactivee(const QPixmap &image, const QPalette &palette)
{
    if (image.isNull())
        return {};
    // The mask: every visible pixel that is not near white, as a monochrome
    // copy on a white background keeps it.
    const QImage source = image.toImage().convertToFormat(QImage::Format_ARGB32);
    QImage masque(source.size(), QImage::Format_ARGB32);
    masque.fill(Qt::transparent);
    for (int y = 0; y < source.height(); ++y) {
        const QRgb *s = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        QRgb *m = reinterpret_cast<QRgb *>(masque.scanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            const QRgb c = s[x];
            const bool blanc = qRed(c) > 0xF0 && qGreen(c) > 0xF0 && qBlue(c) > 0xF0;
            if (qAlpha(c) >= 128 && !blanc)
                m[x] = 0xFF000000;
        }
    }
    auto teinte = [&masque](const QColor &couleur) {
        QImage t = masque;
        QPainter p(&t);
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(t.rect(), couleur);
        return t;
    };
    QImage resultat(source.size(), QImage::Format_ARGB32);
    resultat.fill(Qt::transparent);
    QPainter p(&resultat);
    p.drawImage(1, 1, teinte(palette.color(QPalette::Light)));
    p.drawImage(0, 0, teinte(palette.color(QPalette::Dark)));
    p.end();
    return QPixmap::fromImage(resultat);
}

void TSwitch::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    const QRect ri = rectangleImage();
    const int i = m_on ? 1 : 0;
    p.drawPixmap(ri.topLeft(), isEnabled() ? m_glyphes[i] : glypheDesactive(m_on));

    if (m_positionTexte != tpNone && !m_caption.isEmpty()) {
        QRect reste = rect();
        switch (m_positionTexte) {
        case tpLeft:
            reste.setRight(ri.left() - 1);
            break;
        case tpRight:
            reste.setLeft(ri.right() + 1);
            break;
        case tpAbove:
            reste.setBottom(ri.top() - 1);
            break;
        case tpBelow:
            reste.setTop(ri.bottom() + 1);
            break;
        case tpNone:
            break;
        }
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        p.drawText(reste, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, m_caption);
    }
    if (m_montreFocus && hasFocus()) {
        QStyleOptionFocusRect o;
        o.initFrom(this);
        o.rect = ri.adjusted(-1, -1, 1, 1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &o, &p, this);
    }
    if (m_bordure == bsSingle) {
        p.setPen(palette().color(QPalette::Shadow));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void TSwitch::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(e);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    m_presse = true;
    setStateOn(!m_on);
}

void TSwitch::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton && m_presse) {
        m_presse = false;
        if (rect().contains(e->position().toPoint()))
            emit clicked();
        return;
    }
    QWidget::mouseReleaseEvent(e);
}

void TSwitch::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == m_touche) {
        if (!e->isAutoRepeat())
            setStateOn(!m_on);
        e->accept();
        return;
    }
    QWidget::keyPressEvent(e);
}

void TSwitch::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::EnabledChange || e->type() == QEvent::PaletteChange)
        update();
}
