#pragma once

#include <QObject>

class QWidget;

// Tells when the user changes a value anywhere in the widgets it watches:
// line edits, spin boxes, combo boxes, buttons that check, and the models of
// item views, whose cells are edited through delegates. The owner pauses it
// while it fills the widgets itself, so only the user's changes count.
class EditWatcher : public QObject
{
    Q_OBJECT

public:
    explicit EditWatcher(QObject *parent = nullptr);

    // Every editable control under `root` as it is now; controls added later
    // are not watched. The connections go with the controls.
    void watch(QWidget *root);

    bool isPaused() const { return m_paused; }
    void setPaused(bool paused) { m_paused = paused; }

    // Pauses a watcher for one scope.
    class Pause
    {
    public:
        explicit Pause(EditWatcher &watcher) : m_watcher(watcher), m_was(watcher.isPaused())
        {
            m_watcher.setPaused(true);
        }
        ~Pause() { m_watcher.setPaused(m_was); }
        Pause(const Pause &) = delete;
        Pause &operator=(const Pause &) = delete;

    private:
        EditWatcher &m_watcher;
        bool m_was;
    };

signals:
    void edited();

private:
    void changed();
    void watchControl(QWidget *control);

    bool m_paused = false;
};
