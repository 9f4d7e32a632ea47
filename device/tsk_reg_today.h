#pragma once

// The device's Today theme keys: lists them with a tick box each and erases
// the ticked ones with their contents.

#include <QDialog>
#include <QStringList>

#include <functional>

class EtatPDA;
class Prompts;
class QLabel;
class QListWidget;
class QPushButton;

class TTskRegTodayF : public QDialog
{
    Q_OBJECT
public:
    // cles: the theme-key list the rows show; rafraichit gives it again after
    // keys were erased (the device information window refreshes itself and
    // hands back the list it read again).
    TTskRegTodayF(EtatPDA &etat, Prompts &prompts, const QStringList &cles,
                  std::function<QStringList()> rafraichit, QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *objet, QEvent *e) override;

private:
    void FormShow();
    void remplit(const QStringList &cles);
    void CheckListBox1ClickCheck();
    void CheckListBox1MouseMove(const QPoint &position, const QPoint &global);
    void DelKeysBtnClick();

    EtatPDA &m_etat;
    Prompts &m_prompts;
    QStringList m_cles;
    std::function<QStringList()> m_rafraichit;
    int m_ligneSurvolee = -1;

    QLabel *EnTete = nullptr;
    QListWidget *CheckListBox1 = nullptr;
    QPushButton *DelKeysBtn = nullptr;
    QPushButton *QuitterBtn = nullptr;
};

// The theme keys of the connected device's Today key, sorted.
QStringList ClesTskTriees(EtatPDA &etat);

// Opens the window when the device is connected and has at least one theme
// key ("Not connected" otherwise; nothing when it has none). rafraichit is
// run after keys were erased and gives the list read again; empty: the list
// is read from the device.
int OuvreTskRegToday(EtatPDA &etat, Prompts &prompts, QWidget *parent = nullptr,
                     std::function<QStringList()> rafraichit = {});
