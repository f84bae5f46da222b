#pragma once

// The window's controls, found by the names they carry, so that a test
// drives and reads the window the way a person does and never reaches into
// its members.

#include "app/status_panels.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <QToolButton>

namespace vellumax::test {

// The control called `name` of `window`, of the kind asked for. A missing
// one ends the test program: every test after it would only repeat that.
template <typename Control>
Control& control(const QObject& window, const char* name)
{
    Control* found = window.findChild<Control*>(QLatin1String(name));
    if (!found)
        qFatal("the window has no %s of the kind asked for", name);
    return *found;
}

inline QToolButton& button(const QObject& window, const char* name) { return control<QToolButton>(window, name); }

// Timer1 paces the page reads of a run.
inline QTimer& pageTimer(const QObject& window) { return control<QTimer>(window, "Timer1"); }

// The text of one of StatusBar1's panels.
inline QString panel(const QObject& window, int number)
{
    return control<StatusPanels>(window, "StatusBar1").text(number);
}

} // namespace vellumax::test
