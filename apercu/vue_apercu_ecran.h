#pragma once

#include "apercu/apercu_ecran.h"
#include "apercu/image_travail.h"

#include <QFileSystemWatcher>
#include <QWidget>

#include <functional>

class ThemeDocument;

// The device-screen preview panel of the main window. It redraws itself on
// every colour, UseStartImage and format change of the document and when a
// working picture changes in the program folder; clicks on the navigation
// bar's three hot zones show or hide the normal notification, the critical
// notification (with its icon row) and the Start menu.
class VueApercuEcran : public QWidget
{
    Q_OBJECT
public:
    VueApercuEcran(ThemeDocument &document, const QString &dossierAppli, QWidget *parent = nullptr);

    QSize sizeHint() const override { return GeometrieApercu::Panneau; }

    // The panel as last drawn, and its parts (the detail goes to Image9).
    const QImage &imageApercu() const { return m_panneau; }
    const ImagesApercu &images() const { return m_images; }
    QImage detail() const { return m_images.detail; }
    Surimpression surimpression() const { return m_surimpression; }

    // The slots' colours and include flags as of the last drawing (sent to
    // the device by the hue calculator).
    const CouleursApercu &couleursTheme() const { return m_couleursTheme; }
    const std::array<bool, 22> &couleursIncluses() const { return m_couleursIncluses; }

    // Tests and captures fix the clock.
    void setHorloge(std::function<QDateTime()> horloge);

public slots:
    // Draws the Today screen, the bars, the detail and the shown overlay.
    void AffImage();
    // A tool rewrote a working picture: decode the files again.
    void imagesChangees();
    // The hot-zone action for zone 1, 2 or 3 (0 does nothing).
    void basculeZone(int zone);

signals:
    void detailChange(const QImage &detail);
    void apercuRedessine();

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void leaveEvent(QEvent *) override;

private:
    int zoneSous(QPointF position) const;
    void surveilleFichiers();

    ThemeDocument &m_document;
    QString m_dossier;
    RessourcesApercu m_ressources;
    ImageTravail m_today;
    ImageTravail m_start;
    QFileSystemWatcher m_surveillance;
    std::function<QDateTime()> m_horloge;

    // Scaled backgrounds, kept while picture and format stay.
    QImage m_fondToday;
    quint64 m_cleFondToday = 0;
    QSize m_visibleFondToday;
    bool m_fondTodayStart = false;
    QImage m_fondMenu;
    quint64 m_cleFondMenu = 0;
    QRect m_sourceFondMenu;
    QSize m_tailleFondMenu;

    Surimpression m_surimpression = Surimpression::Aucune;
    CouleursApercu m_couleursTheme{};
    std::array<bool, 22> m_couleursIncluses{};
    ImagesApercu m_images;
    QImage m_panneau;
};
