#include "apercu/image_travail.h"

#include "tools/charger_bitmap.h"

#include <QFileInfo>

void ImageTravail::setChemin(const QString &chemin)
{
    if (chemin == m_chemin)
        return;
    m_chemin = chemin;
    m_vu = false;
}

bool ImageTravail::actualise()
{
    const QFileInfo info(m_chemin);
    const bool existe = !m_chemin.isEmpty() && info.isFile();
    const qint64 taille = existe ? info.size() : -1;
    const QDateTime modifie = existe ? info.lastModified() : QDateTime();
    if (m_vu && existe == m_existe && taille == m_taille && modifie == m_modifie)
        return false;
    m_vu = true;
    m_existe = existe;
    m_taille = taille;
    m_modifie = modifie;
    m_image = existe ? ChargerBitmap32GDIP(m_chemin).value_or(QImage()) : QImage();
    ++m_version;
    return true;
}
