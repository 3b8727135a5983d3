#include "ombresk/JWorkerThread.h"

#include "ombresk/OmbreskMngr.h"

#include <exception>
#include <system_error>
#include <utility>

JWorkerThread::JWorkerThread(AFX_THREADPROC proc)
    : m_pfnThreadProc(proc != nullptr ? proc : &JWorkerThread::ThreadFunc), m_pThreadParams(this) {}

JWorkerThread::~JWorkerThread() { Join(); }

bool JWorkerThread::CreateThread() {
    if (m_started)
        return false;
    m_started = true;
    m_running.store(true, std::memory_order_release);
    try {
        m_thread = std::thread([this] {
            try {
                m_pfnThreadProc(m_pThreadParams);
            } catch (...) {
                // An exception must not end the process from a worker thread.
            }
            m_running.store(false, std::memory_order_release);
        });
    } catch (const std::system_error &) {
        m_running.store(false, std::memory_order_release);
        return false;
    }
    return true;
}

void JWorkerThread::Join() {
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
}

UINT JWorkerThread::ThreadFunc(void *param) {
    auto *thread = static_cast<JWorkerThread *>(param);
    if (thread != nullptr)
        thread->ExecuteFunction();
    return 0;
}

JCnvPrmReadThread::JCnvPrmReadThread(JPostMessageFunc post, OmbreskMngr *mngr, const CString &path,
                                     UINT message, bool binary, AFX_THREADPROC proc)
    : JWorkerThread(proc), m_post(std::move(post)),
      m_pData(mngr != nullptr ? mngr->GetCnvPrmData() : nullptr), m_message(message),
      m_fBinary(binary) {
    if (m_pData != nullptr)
        m_pData->SetFilePath(path);
}

JCnvPrmReadThread::~JCnvPrmReadThread() {
    StopReading();
    Join();
}

UINT JCnvPrmReadThread::ExecuteFunction() {
    if (m_pData == nullptr)
        return 0;
    if (m_stopRequested.load(std::memory_order_acquire)) {
        // Stopped before the read began: the data no longer matches its new path.
        m_pData->Clear();
        return 0;
    }
    JCnvPrmReadRetCode ret = CNVPRM_READ_STOPPED;
    try {
        // The kind of a text file is taken from its first line, whatever was read before.
        if (!m_fBinary)
            m_pData->SetFileType(CNVPRM_TYPE_DETECT);
        ret = m_fBinary ? m_pData->ReadBin(true, nullptr) : m_pData->Read(true, nullptr);
    } catch (...) {
        // A read that throws has failed: the data is left not ready and nothing is posted.
        m_pData->Clear();
        return 0;
    }
    if (ret != CNVPRM_READ_SUCCESS) {
        // The read put back the grid held before, which does not match the new path.
        m_pData->Clear();
        return 0;
    }
    if (m_stopRequested.load(std::memory_order_acquire)) {
        // The stop came after the read had cleared the data's stop flag or after it ended:
        // the owner asked to stop, so the data does not stay ready.
        m_pData->Clear();
        return 0;
    }
    if (m_post)
        m_post(m_message, 0, 0);
    return 0;
}

void JCnvPrmReadThread::StopReading() {
    if (!IsRunning() || m_pData == nullptr)
        return;
    m_stopRequested.store(true, std::memory_order_release);
    m_pData->StopReading();
}
