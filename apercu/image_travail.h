#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>

// One working picture file, decoded once and kept while the file stays the
// same (same size and modification time): a 12-megapixel picture is decoded
// once, not at every redraw.
class ImageTravail
{
public:
    explicit ImageTravail(QString chemin = {}) : m_chemin(std::move(chemin)) {}

    void setChemin(const QString &chemin);
    const QString &chemin() const { return m_chemin; }
    // Reloads when the file changed since the last look; true when the
    // picture is not the one it was.
    bool actualise();
    // Forgets the picture so that the next look decodes the file again.
    void invalide() { m_vu = false; }
    const QImage &image() const { return m_image; }
    // Changes whenever a new picture (or none) was loaded.
    quint64 version() const { return m_version; }

private:
    QString m_chemin;
    bool m_vu = false;
    bool m_existe = false;
    qint64 m_taille = -1;
    QDateTime m_modifie;
    QImage m_image;
    quint64 m_version = 0;
};
