#pragma once

#include <QHash>
#include <QPointer>
#include <QWidget>
#include <functional>

// Windows of which the program has at most one (the about window, the
// project list, ...), by name. A window that was closed and destroyed is
// made afresh the next time it is asked for.
class SingleWindows
{
public:
    // The living window of that name, or nullptr.
    template <typename W>
    W *find(const QString &name) const
    {
        return qobject_cast<W *>(m_windows.value(name).data());
    }

    // The living window of that name, or a new one from make.
    template <typename W>
    W *get(const QString &name, const std::function<W *()> &make)
    {
        if (W *w = find<W>(name))
            return w;
        W *w = make();
        m_windows.insert(name, w);
        return w;
    }

private:
    QHash<QString, QPointer<QWidget>> m_windows;
};
