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
//
// It is drawn when first needed (painted, or its pictures asked for), not
// when made; while its owner holds its drawings back (a window being set up,
// whose document changes many times), the requests only mark it to be drawn,
// and it is drawn once when they are let through.
class VueApercuEcran : public QWidget
{
    Q_OBJECT
public:
    VueApercuEcran(ThemeDocument &document, const QString &dossierAppli, QWidget *parent = nullptr);

    QSize sizeHint() const override { return GeometrieApercu::Panneau; }

    // The panel as last drawn, and its parts (the detail goes to Image9);
    // a drawing still owed is made first.
    const QImage &imageApercu() const { assureDessin(); return m_panneau; }
    const ImagesApercu &images() const { assureDessin(); return m_images; }
    QImage detail() const { assureDessin(); return m_images.detail; }
    Surimpression surimpression() const { return m_surimpression; }

    // The slots' colours and include flags as of the last drawing (sent to
    // the device by the hue calculator).
    const CouleursApercu &couleursTheme() const { assureDessin(); return m_couleursTheme; }
    const std::array<bool, 22> &couleursIncluses() const { assureDessin(); return m_couleursIncluses; }

    // Holds the drawings back until as many reprendDessins() as calls; the
    // last one draws the panel if it was asked for meanwhile. Reading the
    // pictures meanwhile still draws them.
    void suspendDessins() { ++m_suspensions; }
    void reprendDessins();
    // How many times the panel has been drawn.
    int nombreDessins() const { return m_dessins; }

    // Tests and captures fix the clock.
    void setHorloge(std::function<QDateTime()> horloge);

public slots:
    // Draws the Today screen, the bars, the detail and the shown overlay.
    void AffImage();
    // A tool rewrote a working picture: decode the files again.
    void imagesChangees();
    // The hot-zone action for zone 1, 2 or 3 (0 does nothing).
    void basculeZone(int zone);
    // The Start menu over the preview (Image6) goes away; other overlays stay.
    void masqueMenuDemarrer();

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
    void dessine();
    void assureDessin() const;
    void annonce();
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
    bool m_aDessiner = true;
    bool m_annonceDue = false; // drawn, detailChange and apercuRedessine not sent yet
    int m_suspensions = 0;
    int m_dessins = 0;
};
