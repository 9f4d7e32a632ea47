#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

class Prompts;
class QWidget;

// The name of a screen capture: dossier + "CaptureOVD" + the counter on at
// least two digits + " (" + the asking window's name + ").jpg" or ").bmp".
QString NomFichierCapture(const QString &dossier, int compteur, const QString &nomFenetre, bool jpeg);

// What is on the screen over the window's outer area (frame included, and
// whatever covers it). Where the screen cannot be read (offscreen and Wayland
// platforms, or an empty grab) the window draws itself instead.
QImage ImageZoneFenetre(QWidget *fenetre);

// Writes a capture: JPEG at quality 100, or a 24-bit BMP; an existing file is
// replaced, by way of a temporary name. False, with *erreur set, on failure.
bool EcritCapture(const QImage &image, const QString &fichier, bool jpeg, QString *erreur = nullptr);

// The screen captures of the main window. Every window that offers them
// installs itself: Shift + "P" then saves the main window's screen area as
// BMP and Shift + "J" as JPEG into the private temporary folder, named after
// the window where the keys were pressed. Keys typed into a text field (a
// capital P or J) are left to the field.
class CaptureEcran : public QObject
{
    Q_OBJECT
public:
    // fenetrePrincipale: the window whose screen area is captured; dossier:
    // the temporary folder (ending with "/"); prompts: where failures are told.
    CaptureEcran(QWidget *fenetrePrincipale, const QString &dossier, Prompts *prompts, QObject *parent = nullptr);
    ~CaptureEcran() override;

    // The number of the next capture: 1 at first, one more after each capture
    // written, never reset.
    int CompteurCapture() const { return m_compteur; }

    // Captures the main window's screen area under the name of demandeur.
    // A file that cannot be written is reported and the counter stays.
    // Returns the file written, or an empty text.
    QString CaptureMainForm(QWidget *demandeur, bool AsJpeg);

    // Offers the capture keys in fenetre (and its child widgets) until it is destroyed.
    void installe(QWidget *fenetre);

signals:
    void captureEcrite(const QString &fichier);

protected:
    bool eventFilter(QObject *objet, QEvent *evenement) override;

private:
    QPointer<QWidget> m_principale;
    QString m_dossier;
    Prompts *m_prompts;
    int m_compteur = 1;
    QSet<QWidget *> m_fenetres;
};
