#pragma once

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

class JCnvPrmData;
class OmbreskMngr;

// Procedure run on a worker thread; its argument is the thread's parameter.
using AFX_THREADPROC = UINT (*)(void *);

// A worker thread that runs the object's ExecuteFunction. The object stays owned by its
// creator: the thread never deletes it.
//
// A derived class must call Join (after asking its work to stop) in its own destructor,
// because the worker calls the derived ExecuteFunction until it returns. The base
// destructor joins too, as a last guard.
class JWorkerThread {
  public:
    // proc runs on the worker with this object as its parameter; the default calls
    // ExecuteFunction. A custom proc must end by calling ThreadFunc(param).
    explicit JWorkerThread(AFX_THREADPROC proc = &JWorkerThread::ThreadFunc);
    JWorkerThread(const JWorkerThread &) = delete;
    JWorkerThread &operator=(const JWorkerThread &) = delete;
    virtual ~JWorkerThread();

    // Starts the worker, once. False when it was started before or cannot be created.
    bool CreateThread();
    // True from CreateThread until the thread procedure has returned.
    bool IsRunning() const { return m_running.load(std::memory_order_acquire); }
    // Waits for the worker to end; does nothing when none was started or it was joined.
    void Join();

    // Calls ExecuteFunction of the JWorkerThread given as param and returns 0.
    static UINT ThreadFunc(void *param);

    // The work of the thread.
    virtual UINT ExecuteFunction() = 0;

  private:
    AFX_THREADPROC m_pfnThreadProc;
    void *m_pThreadParams;
    std::thread m_thread;
    bool m_started = false;
    std::atomic<bool> m_running{false};
};

// Completion call to the host: message number, then the two message parameters. It runs on
// the worker thread; a Qt host turns it into a queued call to its own thread. It must not
// destroy the thread object (the destructor waits for the worker).
using JPostMessageFunc =
    std::function<void(UINT message, std::uintptr_t wParam, std::intptr_t lParam)>;

// Reads a grid parameter file (text or binary cache) into a manager's data on a worker
// thread and calls post(message, 0, 0) when the data is ready. A failed or stopped read
// posts nothing and leaves the data not ready.
//
// While the thread runs the owner must not touch the manager except through StopReading.
// The destructor stops the read and waits for the thread.
class JCnvPrmReadThread : public JWorkerThread {
  public:
    // Sets the path of the manager's data to path (nothing when mngr is null).
    JCnvPrmReadThread(JPostMessageFunc post, OmbreskMngr *mngr, const CString &path, UINT message,
                      bool binary, AFX_THREADPROC proc = &JWorkerThread::ThreadFunc);
    ~JCnvPrmReadThread() override;

    // Reads the stored path with the stoppable sort; posts on success. Returns 0.
    UINT ExecuteFunction() override;
    // While the worker runs, asks the read to stop; afterwards does nothing.
    void StopReading();

  private:
    JPostMessageFunc m_post;
    JCnvPrmData *m_pData;
    UINT m_message;
    bool m_fBinary;
    // Set by StopReading: a stop asked before the read has begun is not lost.
    std::atomic<bool> m_stopRequested{false};
};
