// Passes the worker's presence answers on to the engine only when they tell
// it something new. The window asks for the unit's presence ten times a
// second, and with no unit each answer is a rescan that reports "deselected"
// and "not selected" again: two events posted to the main thread, each a
// wake-up of its event loop that changes nothing. Lives on the worker's
// thread and hears the worker directly, so what it remembers is only ever
// touched there.
#pragma once

#include <QObject>

class PresenceRelay : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

public slots:
    // Connected directly to the worker's ret_deselect and ret_is_selected.
    void deselected(bool ret);
    void selectionAnswered(bool ret);
    // Connected to the engine's sig_deselect ahead of the worker, so it is
    // heard before the worker's answer: the engine has just cleared its
    // record and is owed that answer.
    void deselectAsked();

signals:
    void ret_deselect(bool ret);
    void ret_is_selected(bool ret);

private:
    // What the engine holds once everything passed on has arrived: its
    // deselect answer starts cleared, so the first one is owed too.
    bool deselectOwed_ = true;
    bool selected_ = false;
};
