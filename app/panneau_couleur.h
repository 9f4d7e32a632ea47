#pragma once

#include "theme/couleur.h"

#include <QFrame>

// A colour panel: shows one colour and reports clicks.
class PanneauCouleur : public QFrame
{
    Q_OBJECT
public:
    explicit PanneauCouleur(QWidget *parent = nullptr);

    TColor couleur() const { return m_couleur; }
    void setCouleur(TColor c);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    TColor m_couleur;
};
