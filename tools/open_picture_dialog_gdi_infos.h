#pragma once

#include <QCache>
#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QIcon>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QSize>
#include <QSortFilterProxyModel>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include <optional>

class QFileSystemModel;

// What the picture-open dialog sorts and groups by, read without decoding the
// picture: the EXIF date taken and camera model, and the picture's size from
// its header.
struct InfosFichierImage
{
    QDateTime datePrise; // invalid when the file has none (or a bad one)
    QString apn;
    QSize dimensions; // invalid when the file is not a readable picture
};
InfosFichierImage LitInfosFichierImage(const QString &chemin);

// A picture file decoded straight at (at most) the given size, aspect kept:
// JPEG is scaled while it is decoded; icons and metafiles take their own
// readers. Null when the file is not a readable picture.
QImage VignetteFichierImage(const QString &chemin, QSize cote);

// Facts and thumbnails of the pictures of a folder, read on worker threads
// and kept per file (path, size and modification time), so that browsing a
// folder of hundreds of photos never waits on a decode. Asking for something
// not yet read starts reading it and answers nothing; a signal tells when it
// is there.
class CacheImagesDossier : public QObject
{
    Q_OBJECT
public:
    explicit CacheImagesDossier(QObject *parent = nullptr);
    ~CacheImagesDossier() override;

    // The file as the list knows it (its size and time are part of the key).
    std::optional<InfosFichierImage> infos(const QFileInfo &fichier);
    std::optional<QImage> vignette(const QFileInfo &fichier);
    // The thumbnail size; a change forgets the thumbnails made at another size.
    void setCoteVignette(QSize cote);
    QSize coteVignette() const { return m_cote; }
    // Reads still running or waiting.
    int enAttente() const { return int(m_infosDemandees.size() + m_vignettesDemandees.size()); }

signals:
    void infosPretes(const QString &chemin);
    void vignettePrete(const QString &chemin);

private:
    static QString cle(const QFileInfo &fichier);

    QThreadPool m_pool;
    QSize m_cote{96, 96};
    QHash<QString, InfosFichierImage> m_infos;
    QCache<QString, QImage> m_vignettes;
    QSet<QString> m_infosDemandees;
    QSet<QString> m_vignettesDemandees;
};

// The file list's model as the picture-open dialog shows it: folders first,
// then the files in the chosen order (name, size, type, modification date,
// date taken, camera, picture size), optionally grouped (the group's key
// first, groups shaded in turn); picture files show their own thumbnail.
class ProxyTriImages : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    enum class Cle { Colonne, Nom, Taille, Type, Modification, DatePrise, Apn, Dimensions };

    ProxyTriImages(CacheImagesDossier *cache, QObject *parent = nullptr);

    // The key of the sorts to come (the header's column when Colonne); the
    // caller sorts next. setCleEtTrie sorts again at once (a header click).
    void setCle(Cle cle);
    void setCleEtTrie(Cle cle);
    Cle cle() const { return m_cle; }
    void setGroupage(bool groupe);
    bool groupage() const { return m_groupage; }
    void setVignettes(bool actives);
    // The text of the group a row belongs to (what its tooltip says when grouped).
    QString groupe(const QModelIndex &index) const;

    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

protected:
    bool lessThan(const QModelIndex &gauche, const QModelIndex &droite) const override;

private:
    QFileSystemModel *fichiers() const;
    Cle cleEffective() const;
    QFileInfo infoDe(const QModelIndex &source) const;
    QVariant valeurTri(const QModelIndex &source, Cle cle) const;
    QString groupeSource(const QModelIndex &source) const;
    void recalculeTeintes();

    CacheImagesDossier *m_cache;
    Cle m_cle = Cle::Colonne;
    Cle m_cleTriee = Cle::Colonne;
    bool m_groupage = false;
    bool m_vignettes = false;
    QTimer m_retri;
    QHash<QString, int> m_parite; // group shading per file, when grouped
    mutable QHash<QString, QIcon> m_icones;
};
