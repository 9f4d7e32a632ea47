#include "tools/open_picture_dialog_gdi_infos.h"

#include "theme/fichier_ordinaire.h"
#include "tools/charger_bitmap_metafichier.h"
#include "tools/exif_photo.h"
#include "ui/fonctions_indep.h"

#include <QFile>
#include <QFileSystemModel>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>

namespace {

constexpr int TagDatePrise = 0x9003;
constexpr qint64 CoutMaxVignettes = 96LL * 1024 * 1024; // bytes of thumbnails kept
constexpr int DelaiRetriMs = 150;

bool estImage(const QFileInfo &f)
{
    static const QStringList suffixes = {QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("bmp"),
                                         QStringLiteral("ico"), QStringLiteral("emf"),  QStringLiteral("wmf"),
                                         QStringLiteral("tif"), QStringLiteral("tiff"), QStringLiteral("png"),
                                         QStringLiteral("gif")};
    return f.isFile() && suffixes.contains(f.suffix().toLower());
}

// Names as people read them: case ignored, runs of digits compared as
// numbers ("Alpha 2" before "Alpha 10"), whatever the collation of the system.
int compareTextes(const QString &a, const QString &b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype fi = i, fj = j;
            while (fi < a.size() && a[fi] == QLatin1Char('0'))
                ++fi;
            while (fj < b.size() && b[fj] == QLatin1Char('0'))
                ++fj;
            qsizetype ei = fi, ej = fj;
            while (ei < a.size() && a[ei].isDigit())
                ++ei;
            while (ej < b.size() && b[ej].isDigit())
                ++ej;
            if (ei - fi != ej - fj)
                return ei - fi < ej - fj ? -1 : 1;
            const int c = QStringView(a).mid(fi, ei - fi).compare(QStringView(b).mid(fj, ej - fj));
            if (c != 0)
                return c < 0 ? -1 : 1;
            i = ei;
            j = ej;
            continue;
        }
        const QChar ca = a[i].toCaseFolded(), cb = b[j].toCaseFolded();
        if (ca != cb)
            return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

} // namespace

InfosFichierImage LitInfosFichierImage(const QString &chemin)
{
    InfosFichierImage r;
    if (const auto date = TagExifTexte(chemin, TagDatePrise); date && date->size() >= 19) {
        const QDateTime d = QDateTime::fromString(QString::fromLatin1(date->left(19)), QStringLiteral("yyyy:MM:dd HH:mm:ss"));
        if (d.isValid())
            r.datePrise = d;
    }
    r.apn = ModeleExif(chemin);
    if (const QSize m = TailleMetafichier(chemin); m.isValid()) {
        r.dimensions = m;
    } else if (QFile f; OuvreFichierOrdinaire(f, chemin)) {
        QImageReader lecteur(&f);
        lecteur.setDecideFormatFromContent(true);
        r.dimensions = lecteur.size(); // the header only
    }
    return r;
}

QImage VignetteFichierImage(const QString &chemin, QSize cote)
{
    if (!cote.isValid() || cote.isEmpty())
        return {};
    const auto ajuste = [cote](const QImage &image) {
        if (image.isNull() || (image.width() <= cote.width() && image.height() <= cote.height()))
            return image;
        return image.scaled(cote, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    };
    if (QFileInfo(chemin).suffix().toLower() == QLatin1String("ico"))
        return ajuste(IconeVersBitmap(chemin, TColor::fromRgb(255, 255, 255)));
    QFile f;
    if (!OuvreFichierOrdinaire(f, chemin))
        return {};
    if (DetecteMetafichier(f.peek(88)) != TypeMetafichier::Aucun)
        return ChargeMetafichier(chemin, cote, qRgb(255, 255, 255)).value_or(QImage());
    QImageReader lecteur(&f);
    lecteur.setDecideFormatFromContent(true);
    const QSize taille = lecteur.size();
    if (taille.isValid() && (taille.width() > cote.width() || taille.height() > cote.height()))
        lecteur.setScaledSize(taille.scaled(cote, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    return ajuste(lecteur.read());
}

// ---- The cache ---------------------------------------------------------------

CacheImagesDossier::CacheImagesDossier(QObject *parent) : QObject(parent)
{
    // Two readers at most: the machine is shared with the rest of the program.
    m_pool.setMaxThreadCount(2);
    m_vignettes.setMaxCost(CoutMaxVignettes);
}

CacheImagesDossier::~CacheImagesDossier()
{
    m_pool.clear();
    m_pool.waitForDone();
}

QString CacheImagesDossier::cle(const QFileInfo &fichier)
{
    return fichier.absoluteFilePath() + QLatin1Char('|') + QString::number(fichier.size()) + QLatin1Char('|')
           + QString::number(fichier.lastModified().toMSecsSinceEpoch());
}

std::optional<InfosFichierImage> CacheImagesDossier::infos(const QFileInfo &fichier)
{
    const QString c = cle(fichier);
    if (const auto it = m_infos.constFind(c); it != m_infos.cend())
        return *it;
    if (!m_infosDemandees.contains(c)) {
        m_infosDemandees.insert(c);
        const QString chemin = fichier.absoluteFilePath();
        m_pool.start([this, c, chemin] {
            InfosFichierImage lu = LitInfosFichierImage(chemin);
            QMetaObject::invokeMethod(
                this,
                [this, c, chemin, lu = std::move(lu)] {
                    m_infosDemandees.remove(c);
                    m_infos.insert(c, lu);
                    emit infosPretes(chemin);
                },
                Qt::QueuedConnection);
        });
    }
    return std::nullopt;
}

std::optional<QImage> CacheImagesDossier::vignette(const QFileInfo &fichier)
{
    const QString c = cle(fichier);
    if (const QImage *image = m_vignettes.object(c))
        return *image;
    if (!m_vignettesDemandees.contains(c)) {
        m_vignettesDemandees.insert(c);
        const QString chemin = fichier.absoluteFilePath();
        const QSize cote = m_cote;
        m_pool.start([this, c, chemin, cote] {
            QImage image = VignetteFichierImage(chemin, cote);
            QMetaObject::invokeMethod(
                this,
                [this, c, chemin, cote, image = std::move(image)] {
                    m_vignettesDemandees.remove(c);
                    if (cote != m_cote)
                        return; // made for another size
                    m_vignettes.insert(c, new QImage(image), qMax<qint64>(1, image.sizeInBytes()));
                    emit vignettePrete(chemin);
                },
                Qt::QueuedConnection);
        });
    }
    return std::nullopt;
}

void CacheImagesDossier::setCoteVignette(QSize cote)
{
    if (cote == m_cote)
        return;
    m_cote = cote;
    m_vignettes.clear();
    m_vignettesDemandees.clear();
}

// ---- The sorting and grouping model --------------------------------------------

ProxyTriImages::ProxyTriImages(CacheImagesDossier *cache, QObject *parent) : QSortFilterProxyModel(parent), m_cache(cache)
{
    m_retri.setSingleShot(true);
    m_retri.setInterval(DelaiRetriMs);
    connect(&m_retri, &QTimer::timeout, this, [this] {
        invalidate();
        recalculeTeintes();
    });
    connect(m_cache, &CacheImagesDossier::infosPretes, this, [this] {
        const Cle c = cleEffective();
        if (c == Cle::DatePrise || c == Cle::Apn || c == Cle::Dimensions || m_groupage)
            m_retri.start();
    });
    connect(m_cache, &CacheImagesDossier::vignettePrete, this, [this](const QString &chemin) {
        m_icones.remove(chemin);
        if (!fichiers())
            return;
        const QModelIndex source = fichiers()->index(chemin);
        const QModelIndex ici = mapFromSource(source);
        if (ici.isValid())
            emit dataChanged(ici, ici, {Qt::DecorationRole});
    });
    connect(this, &QAbstractItemModel::layoutChanged, this, [this] {
        if (m_groupage)
            recalculeTeintes();
    });
    connect(this, &QAbstractItemModel::rowsInserted, this, [this] {
        if (m_groupage || cleEffective() >= Cle::DatePrise)
            m_retri.start();
    });
}

QFileSystemModel *ProxyTriImages::fichiers() const
{
    return qobject_cast<QFileSystemModel *>(sourceModel());
}

ProxyTriImages::Cle ProxyTriImages::cleEffective() const
{
    if (m_cle != Cle::Colonne)
        return m_cle;
    switch (sortColumn()) {
    case 1: return Cle::Taille;
    case 2: return Cle::Type;
    case 3: return Cle::Modification;
    default: return Cle::Nom;
    }
}

void ProxyTriImages::sort(int column, Qt::SortOrder order)
{
    const bool autreCle = m_cleTriee != m_cle;
    const bool memeTri = column == sortColumn() && order == sortOrder();
    m_cleTriee = m_cle;
    QSortFilterProxyModel::sort(column, order);
    // The base class does nothing for the same column and order: a new key
    // on the same column needs a new pass.
    if (autreCle && memeTri)
        invalidate();
    recalculeTeintes();
}

void ProxyTriImages::setCle(Cle cle)
{
    m_cle = cle;
}

void ProxyTriImages::setCleEtTrie(Cle cle)
{
    if (cle == m_cle)
        return;
    m_cle = m_cleTriee = cle;
    invalidate();
    recalculeTeintes();
}

void ProxyTriImages::setGroupage(bool groupe)
{
    if (groupe == m_groupage)
        return;
    m_groupage = groupe;
    invalidate();
    recalculeTeintes();
}

void ProxyTriImages::setVignettes(bool actives)
{
    if (actives == m_vignettes)
        return;
    m_vignettes = actives;
    m_icones.clear();
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
}

QFileInfo ProxyTriImages::infoDe(const QModelIndex &source) const
{
    return fichiers() ? fichiers()->fileInfo(source) : QFileInfo();
}

QVariant ProxyTriImages::valeurTri(const QModelIndex &source, Cle cle) const
{
    const QFileInfo f = infoDe(source);
    switch (cle) {
    case Cle::Colonne:
    case Cle::Nom: return f.fileName();
    case Cle::Taille: return f.size();
    case Cle::Type: return f.suffix().toLower();
    case Cle::Modification: return f.lastModified();
    case Cle::DatePrise:
    case Cle::Apn:
    case Cle::Dimensions: {
        if (!estImage(f))
            return {};
        const auto infos = m_cache->infos(f);
        if (!infos)
            return {};
        if (cle == Cle::DatePrise)
            return infos->datePrise.isValid() ? QVariant(infos->datePrise) : QVariant();
        if (cle == Cle::Apn)
            return infos->apn.isEmpty() ? QVariant() : QVariant(infos->apn);
        return infos->dimensions.isValid() ? QVariant(qlonglong(infos->dimensions.width()) * infos->dimensions.height())
                                           : QVariant();
    }
    }
    return {};
}

QString ProxyTriImages::groupeSource(const QModelIndex &source) const
{
    const QFileInfo f = infoDe(source);
    if (f.isDir())
        return QStringLiteral("Dossiers");
    const Cle c = cleEffective();
    const QVariant v = valeurTri(source, c);
    switch (c) {
    case Cle::Colonne:
    case Cle::Nom: return f.fileName().left(1).toUpper();
    case Cle::Taille: {
        const qint64 t = f.size();
        return t < 100 * 1024 ? QStringLiteral("< 100 Kb") : t < 1024 * 1024 ? QStringLiteral("< 1 Mb")
                                                                             : QStringLiteral(">= 1 Mb");
    }
    case Cle::Type: return f.suffix().toUpper();
    case Cle::Modification: return f.lastModified().date().toString(Qt::ISODate);
    case Cle::DatePrise: return v.isValid() ? v.toDateTime().date().toString(Qt::ISODate) : QStringLiteral("?");
    case Cle::Apn: return v.isValid() ? v.toString() : QStringLiteral("?");
    case Cle::Dimensions: {
        if (!v.isValid())
            return QStringLiteral("?");
        const auto infos = m_cache->infos(f);
        return infos ? QStringLiteral("%1 x %2").arg(infos->dimensions.width()).arg(infos->dimensions.height())
                     : QStringLiteral("?");
    }
    }
    return {};
}

QString ProxyTriImages::groupe(const QModelIndex &index) const
{
    return groupeSource(mapToSource(index));
}

bool ProxyTriImages::lessThan(const QModelIndex &gauche, const QModelIndex &droite) const
{
    const QFileInfo fg = infoDe(gauche), fd = infoDe(droite);
    // Folders first whatever the order: the view reverses the whole list for
    // a descending sort, so the rule follows the order.
    const bool inverse = sortOrder() == Qt::DescendingOrder;
    if (fg.isDir() != fd.isDir())
        return inverse ? !fg.isDir() : fg.isDir();
    // What is not known (yet) goes last, in either order.
    enum { Inconnu = 2 };
    const auto compare = [this](const QModelIndex &a, const QModelIndex &b, Cle cle) -> int {
        const QVariant va = valeurTri(a, cle), vb = valeurTri(b, cle);
        if (!va.isValid() || !vb.isValid())
            return va.isValid() == vb.isValid() ? 0 : va.isValid() ? -Inconnu : Inconnu;
        if (va.typeId() == QMetaType::QString) {
            const int c = compareTextes(va.toString(), vb.toString());
            return c < 0 ? -1 : c > 0 ? 1 : 0;
        }
        const QPartialOrdering o = QVariant::compare(va, vb);
        return o == QPartialOrdering::Less ? -1 : o == QPartialOrdering::Greater ? 1 : 0;
    };
    if (m_groupage && cleEffective() != Cle::Nom) {
        const int g = compareTextes(groupeSource(gauche), groupeSource(droite));
        if (g != 0) {
            // The group "?" of what is not known goes last too.
            const bool ig = groupeSource(gauche) == QLatin1String("?"), id = groupeSource(droite) == QLatin1String("?");
            if (ig != id)
                return inverse ? ig : id;
            return g < 0;
        }
    }
    int r = compare(gauche, droite, cleEffective());
    if (r == Inconnu || r == -Inconnu)
        return inverse ? r == Inconnu : r == -Inconnu;
    if (r == 0)
        r = compareTextes(fg.fileName(), fd.fileName());
    return r < 0;
}

QVariant ProxyTriImages::data(const QModelIndex &index, int role) const
{
    if (index.column() == 0 && role == Qt::DecorationRole && m_vignettes) {
        const QModelIndex source = mapToSource(index);
        const QFileInfo f = infoDe(source);
        if (estImage(f)) {
            const QString chemin = f.absoluteFilePath();
            if (const auto it = m_icones.constFind(chemin); it != m_icones.cend())
                return *it;
            if (const auto image = m_cache->vignette(f)) {
                if (image->isNull())
                    return QSortFilterProxyModel::data(index, role);
                // Centred in a square, so that the grid stays even.
                QPixmap carre(m_cache->coteVignette());
                carre.fill(Qt::transparent);
                QPainter p(&carre);
                p.drawImage((carre.width() - image->width()) / 2, (carre.height() - image->height()) / 2, *image);
                p.end();
                const QIcon icone(carre);
                m_icones.insert(chemin, icone);
                return icone;
            }
        }
    }
    if (m_groupage && index.column() == 0) {
        if (role == Qt::ToolTipRole)
            return groupe(index);
        if (role == Qt::BackgroundRole) {
            const QString chemin = infoDe(mapToSource(index)).absoluteFilePath();
            if (m_parite.value(chemin, 0) == 1)
                return QColor(0xE8, 0xEE, 0xF8);
        }
    }
    return QSortFilterProxyModel::data(index, role);
}

void ProxyTriImages::recalculeTeintes()
{
    m_parite.clear();
    if (!m_groupage || !fichiers())
        return;
    const QModelIndex racine = mapFromSource(fichiers()->index(fichiers()->rootPath()));
    QString precedent;
    int parite = 1;
    for (int i = 0; i < rowCount(racine); ++i) {
        const QModelIndex ici = index(i, 0, racine);
        const QString g = groupe(ici);
        if (i == 0 || g != precedent)
            parite ^= 1;
        precedent = g;
        m_parite.insert(infoDe(mapToSource(ici)).absoluteFilePath(), parite);
    }
    if (rowCount(racine) > 0)
        emit dataChanged(index(0, 0, racine), index(rowCount(racine) - 1, 0, racine), {Qt::BackgroundRole});
}
