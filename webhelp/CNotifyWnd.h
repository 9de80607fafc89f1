#pragma once

/// A window that the background compile tells when it starts and ends.
class CNotifyWnd
{
public:
    virtual ~CNotifyWnd() = default;
    /// Handles nMsg before it returns; called on the thread that calls Compile.
    virtual void SendMessage(unsigned nMsg) = 0;
    /// Queues nMsg for the window's own thread; may be called from any thread.
    virtual void PostMessage(unsigned nMsg) = 0;
};
