#pragma once

#include <QObject>

// The pause counter of the colours page animation: every modal window, help
// call and long file or device operation pauses it, through the guard below
// so that every path, errors included, resumes it.
class AnimationPause : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    bool isPaused() const { return m_count > 0; }
    int count() const { return m_count; }

    void pause()
    {
        if (m_count++ == 0)
            emit pausedChanged(true);
    }
    void resume()
    {
        if (m_count > 0 && --m_count == 0)
            emit pausedChanged(false);
    }

signals:
    void pausedChanged(bool paused);

private:
    int m_count = 0;
};

class AnimationPauseGuard
{
public:
    // A null counter is allowed (nothing to pause).
    explicit AnimationPauseGuard(AnimationPause *p) : m_p(p)
    {
        if (m_p)
            m_p->pause();
    }
    ~AnimationPauseGuard()
    {
        if (m_p)
            m_p->resume();
    }
    AnimationPauseGuard(const AnimationPauseGuard &) = delete;
    AnimationPauseGuard &operator=(const AnimationPauseGuard &) = delete;

private:
    AnimationPause *m_p;
};
