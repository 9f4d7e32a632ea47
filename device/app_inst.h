#pragma once

// The applications installed on the device with their install role; the
// ticked ones get role 24 (visible to the uninstaller) when the device's
// policy allows it.

#include <QDialog>
#include <QStringList>

class EtatPDA;
class Prompts;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

class TAppInstF : public QDialog
{
    Q_OBJECT
public:
    TAppInstF(EtatPDA &etat, Prompts &prompts, QWidget *parent = nullptr);

    // Reads the applications of "\Windows\AppMgr" that have an install role.
    // The lists are emptied first, so they only ever hold this device's
    // applications as they are now.
    void ChargeAppInstall();
    const QStringList &noms() const { return m_noms; }
    const QStringList &roles() const { return m_roles; }

protected:
    void showEvent(QShowEvent *e) override;

private:
    void FormShow();
    void CheckListBox1ClickCheck();
    void ModifKeysBtnClick();

    EtatPDA &m_etat;
    Prompts &m_prompts;
    QStringList m_noms;        // application names
    QStringList m_roles;       // their roles as decimal text, same order
    QStringList m_nomsAffiches; // the application of each row, row order

    QLabel *EnTete = nullptr;
    QLabel *InfosLbl = nullptr;
    QListWidget *CheckListBox1 = nullptr;
    QPushButton *ModifKeysBtn = nullptr;
    QPushButton *QuitterBtn = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
};

// Loads the applications and opens the window when at least one was found
// ("Not connected" without a connected device; nothing when none).
int OuvreAppInst(EtatPDA &etat, Prompts &prompts, QWidget *parent = nullptr);
