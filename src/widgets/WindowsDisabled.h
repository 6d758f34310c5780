#pragma once

#include <QPointer>
#include <QWidget>

#include <vector>

// Neither the owner nor any window it stands in (up to the main window) takes input while an output
// runs; all come back however it ends.
class WindowsDisabled {
public:
    explicit WindowsDisabled(QWidget *owner)
    {
        for (QWidget *w = owner; w; w = w->window()->parentWidget()) {
            disable(w);
            if (w->window() != w)
                disable(w->window());
        }
    }
    ~WindowsDisabled()
    {
        for (auto w = m_windows.rbegin(); w != m_windows.rend(); ++w)
            if (*w)
                (*w)->setEnabled(true);
    }

private:
    void disable(QWidget *w)
    {
        m_windows.emplace_back(w);
        w->setEnabled(false);
    }
    std::vector<QPointer<QWidget>> m_windows;
};
