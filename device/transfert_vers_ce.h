#pragma once

// The send-to-device window: builds the current theme as a package in the
// work folder and copies it into a device folder chosen with the device
// browser.

#include "device/arbre_ce.h"
#include "theme/package_writer.h"

#include <QDialog>

#include <functional>

class EtatPDA;
class QLabel;
class QLineEdit;
class QPushButton;
class ThemeDocument;

// The application's hint-and-sound handler, as the window that opens the
// device browser takes it off and sets it again. Empty functions: nothing to do.
struct GestionBulles
{
    std::function<void()> retire; // no hint handler
    std::function<void()> remet;  // the handler as the options say
};

class TTransfertVersCE : public QDialog
{
    Q_OBJECT
public:
    // ctxPaquet.prompts answers every question of the window.
    TTransfertVersCE(EtatPDA &etat, const ThemeDocument &doc, const ContexteArbreCE &ctxArbre,
                     const ContextePackage &ctxPaquet, QWidget *parent = nullptr);

    void setGestionBulles(const GestionBulles &bulles) { m_bulles = bulles; }

protected:
    void showEvent(QShowEvent *e) override;

private:
    void FormShow();
    void DossierCEBtnClick();
    void ThemeNomEdtChange();
    void ThemeNomEdtKeyPress();
    void TranfertBtnClick();
    ControleNoms::Refus refusNoms() const;
    bool nomsValides() const;
    // What keeps the transfer disabled, empty when it is offered.
    QString raison() const;

    EtatPDA &m_etat;
    const ThemeDocument &m_doc;
    ContexteArbreCE m_ctxArbre;
    ContextePackage m_ctxPaquet;
    QString m_dossierCE; // the folder chosen in this showing
    GestionBulles m_bulles;

    QPushButton *DossierCEBtn = nullptr;
    QLineEdit *DirEdt = nullptr;
    QLineEdit *ThemeNomEdt = nullptr;
    QLineEdit *AppNameEdt = nullptr;
    QLineEdit *NomCompletEdt = nullptr;
    QPushButton *TranfertBtn = nullptr;
    QPushButton *QuitterBtn = nullptr;
    QLabel *RaisonLbl = nullptr;
};

// The main window's transfer command: shows the window modally; refuses with
// "Not connected" when no device is connected.
int OuvreTransfertVersCE(EtatPDA &etat, const ThemeDocument &doc, const ContexteArbreCE &ctxArbre,
                         const ContextePackage &ctxPaquet, QWidget *parent = nullptr,
                         const GestionBulles &bulles = {});
