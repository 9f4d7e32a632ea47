#pragma once

#include "apercu/image_travail.h"
#include "theme/couleur.h"

#include <QFileSystemWatcher>
#include <QImage>
#include <QWidget>

#include <array>
#include <optional>

class QLabel;
class QFrame;
class ThemeDocument;
struct TeintesImages;

// A thumbnail: the picture fitted into the box (never enlarged, centred)
// over the background colour.
QImage DessineMiniature(const QImage &image, QSize taille, QColor fond);

// The working picture a thumbnail shows for a format: 0 Today portrait,
// 1 Start portrait, 2 Today landscape, 3 Start landscape; landscape pictures
// exist only in formats 4 and 5 (empty name otherwise).
QString NomImageMiniature(int emplacement, int format);

// The four thumbnails of the working pictures (MinTD, MinST, MinTDL, MinSTL)
// with the dominant-colour swatch of each (PanelTD, PanelST, PanelTDL,
// PanelSTL). Each picture's hue analysis goes into the shared TeintesImages.
// A thumbnail is shown when its picture loads; a swatch when the picture has
// a coloured pixel. The landscape pair exists only in formats 4 and 5.
class Miniatures : public QWidget
{
    Q_OBJECT
public:
    static constexpr QSize TaillePortrait{64, 80};
    static constexpr QSize TaillePaysage{80, 64};

    Miniatures(ThemeDocument &document, const QString &dossierAppli, TeintesImages &teintes,
               QWidget *parent = nullptr);

    QLabel *miniature(int emplacement) const { return m_miniatures.at(emplacement); }
    QFrame *panneau(int emplacement) const { return m_panneaux.at(emplacement); }
    // The swatch colour: HLS(dominant hue, 90, 240), none when hidden.
    std::optional<TColor> couleurDominante(int emplacement) const { return m_couleurs.at(emplacement); }
    QImage imageMiniature(int emplacement) const { return m_images.at(emplacement); }

public slots:
    void AffMiniaturesPortrait(bool today);
    void AffMiniaturesPaysage(bool today);
    // All four, after a format change or a picture change.
    void AffMiniatures();
    void imagesChangees();
    // Which thumbnails the theme may show (the idle pass's rule by format,
    // pictures present and UseStartImage); a thumbnail is shown only when
    // allowed and its picture loads, its swatch only with its thumbnail.
    void setPermises(const std::array<bool, 4> &permises);

signals:
    void miniatureCliquee(int emplacement);
    void panneauClique(int emplacement, TColor couleur);

protected:
    bool eventFilter(QObject *objet, QEvent *e) override;

private:
    void AffMiniature(int emplacement);
    void appliqueVisibilite(int emplacement);

    ThemeDocument &m_document;
    QString m_dossier;
    TeintesImages &m_teintes;
    QFileSystemWatcher m_surveillance;
    std::array<ImageTravail, 4> m_fichiers;
    std::array<quint64, 4> m_versionsAnalysees{};
    std::array<QLabel *, 4> m_miniatures{};
    std::array<QFrame *, 4> m_panneaux{};
    std::array<std::optional<TColor>, 4> m_couleurs{};
    std::array<QImage, 4> m_images{};
    std::array<bool, 4> m_permises{true, true, true, true};
};
