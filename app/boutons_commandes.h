#pragma once

// Helpers shared by the files that build the main window's commands.

#include "ui/charge_image_res.h"

#include <QAction>
#include <QIcon>
#include <QPixmap>
#include <QToolBar>
#include <QToolButton>
#include <QVariant>

namespace commandes {

// A tool-bar button with its embedded picture, or its text when it has none
// (the text stays for accessibility). The tool bar shows and hides it through
// the action returned in *action.
inline QToolButton *bouton(QToolBar *barre, const char *nom, const QString &texte, const QString &bulle,
                           const QString &image = {}, QAction **action = nullptr)
{
    auto *b = new QToolButton(barre);
    b->setObjectName(QLatin1String(nom));
    b->setText(texte);
    b->setToolTip(bulle);
    const QIcon icone = image.isEmpty() ? QIcon() : IconeRes(image);
    if (!icone.isNull()) {
        b->setIcon(icone);
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    } else {
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    }
    QAction *a = barre->addWidget(b);
    if (action)
        *action = a;
    return b;
}

} // namespace commandes
