#pragma once

#include <QObject>

#include <functional>

// The application-wide side of the hints: while hints are off no hint shows
// anywhere; and each time the mouse enters a control that has a hint, the
// hint event runs (whether the hint shows or not).
class FiltreBulles : public QObject
{
    Q_OBJECT
public:
    explicit FiltreBulles(QObject *parent = nullptr);
    ~FiltreBulles() override;

    void setBullesVisibles(bool visibles) { m_visibles = visibles; }
    bool bullesVisibles() const { return m_visibles; }
    // The hint event; empty: nothing runs.
    std::function<void()> surBulle;

protected:
    bool eventFilter(QObject *objet, QEvent *e) override;

private:
    bool m_visibles = true;
};
