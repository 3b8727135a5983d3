#include "ombresk/JWorkerThread.h"

#include "kernels/Grisveld/EarthEllips.h"
#include "kernels/Grisveld/TransMercator.h"
#include "kernels/Lunmarg/Angle.h"
#include "ombresk/OmbreskMngr.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread> // also the durations: <chrono> itself does not build under code page 932
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr UINT kMessage = 0x8000 + 17;

// What the host was told, and from which thread.
struct Mailbox {
    std::mutex mutex;
    std::condition_variable cv;
    int count = 0;
    UINT message = 0;
    std::uintptr_t wParam = 1;
    std::intptr_t lParam = 1;
    std::thread::id from;

    JPostMessageFunc poster() {
        return [this](UINT msg, std::uintptr_t w, std::intptr_t l) {
            std::lock_guard<std::mutex> lock(mutex);
            ++count;
            message = msg;
            wParam = w;
            lParam = l;
            from = std::this_thread::get_id();
            cv.notify_all();
        };
    }
    // Waits for a post; the limit only keeps a broken build from hanging the run.
    bool waitForPost() {
        std::unique_lock<std::mutex> lock(mutex);
        return cv.wait_for(lock, std::chrono::seconds(60), [this] { return count > 0; });
    }
    int posts() {
        std::lock_guard<std::mutex> lock(mutex);
        return count;
    }
};

// A type-1 file of rows x cols nodes from 35 20' N, 140 E, written in reverse order so that
// the read has real sorting to do.
void writeGrid(const fs::path &path, int rows, int cols, const char *first) {
    std::ofstream out(path, std::ios::binary);
    out << first << "\r\n"
        << "MeshCode dB(sec) dL(sec)\r\n";
    char line[64];
    for (int i = rows - 1; i >= 0; --i)
        for (int j = cols - 1; j >= 0; --j) {
            const int latSec = 127200 + 30 * i, lonSec = 504000 + 45 * j;
            const int e = latSec % 2400, l = lonSec % 3600;
            std::snprintf(line, sizeof line, "%04d%d%d%d%d  %.6f  %.6f\r\n",
                          latSec / 2400 * 100 + lonSec / 3600 - 100, e / 300, l / 450, e % 300 / 30,
                          l % 450 / 45, 11.5 + i / 64.0, -11.5 + j / 64.0);
            out << line;
        }
}

// The data that the gated thread procedure watches.
std::atomic<const JCnvPrmData *> g_gateData{nullptr};

// Holds the worker until the owner has asked it to stop, then runs the thread as usual.
UINT stopGatedProc(void *param) {
    const JCnvPrmData *data = g_gateData.load();
    while (data != nullptr && !data->IsStopRequested())
        std::this_thread::yield();
    return JWorkerThread::ThreadFunc(param);
}

class JCnvPrmReadThreadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/gridthread_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
        writeGrid(m_dir / "grid.par", 8, 8, "JGD2000-TokyoDatum Ver.2.1.1");
    }
    void TearDown() override {
        g_gateData.store(nullptr);
        fs::remove_all(m_dir);
    }
    CString path(const char *name) const { return CString((m_dir / name).string().c_str()); }

    fs::path m_dir;
    EarthEllips m_grs80{6378137.0, 298.257222101};
    EarthEllips m_bessel{6377397.155, 299.152813};
    TransMercator m_oldTM{
        &m_bessel, 36.0 * 3600 / Angle::m_RI, (139.0 * 3600 + 50 * 60) / Angle::m_RI, 0.9999, 0.0,
        0.0};
    TransMercator m_newTM{
        &m_grs80, 36.0 * 3600 / Angle::m_RI, (139.0 * 3600 + 50 * 60) / Angle::m_RI, 0.9999, 0.0,
        0.0};
};

TEST_F(JCnvPrmReadThreadTest, ReadsOnTheWorkerAndPostsOnceWithZeroParameters) {
    OmbreskMngr mngr(&m_oldTM, &m_newTM);
    Mailbox box;
    {
        JCnvPrmReadThread thread(box.poster(), &mngr, path("grid.par"), kMessage, false);
        EXPECT_EQ(mngr.GetFilePath(), path("grid.par"));
        ASSERT_TRUE(thread.CreateThread());
        EXPECT_FALSE(thread.CreateThread());
        ASSERT_TRUE(box.waitForPost());
        thread.Join();
        EXPECT_FALSE(thread.IsRunning());

        // Stopping a thread that has ended does nothing.
        thread.StopReading();
        EXPECT_FALSE(mngr.GetCnvPrmData()->IsStopRequested());
        EXPECT_TRUE(mngr.IsDataReady());
    }
    EXPECT_EQ(box.posts(), 1);
    EXPECT_EQ(box.message, kMessage);
    EXPECT_EQ(box.wParam, 0u);
    EXPECT_EQ(box.lParam, 0);
    EXPECT_NE(box.from, std::this_thread::get_id());

    ASSERT_TRUE(mngr.IsDataReady());
    EXPECT_EQ(mngr.GetFileVerStr1(), CString("Ver.2.1.1"));
    EXPECT_EQ(mngr.GetCnvPrmData()->GetElmCount(), 64u);
    // The stoppable sort left the nodes in order for the conversion.
    double B2 = 0, L2 = 0;
    ASSERT_TRUE(mngr.ConvertBL(127230.0 / Angle::m_RI, 504100.0 / Angle::m_RI, &B2, &L2));
    EXPECT_NEAR(B2 * Angle::m_RI - 127230.0, 11.5 + 1 / 64.0, 1e-9);
    EXPECT_NEAR(L2 * Angle::m_RI - 504100.0, -11.5 + (100.0 / 45) / 64.0, 1e-9);
}

TEST_F(JCnvPrmReadThreadTest, ReadsTheBinaryCache) {
    OmbreskMngr writer(&m_oldTM, &m_newTM);
    ASSERT_EQ(writer.ReadCnvPrmData(path("grid.par"), nullptr), CNVPRM_READ_SUCCESS);
    ASSERT_TRUE(writer.WriteCnvPrmBin(path("grid.bin")));

    OmbreskMngr mngr(&m_oldTM, &m_newTM);
    Mailbox box;
    JCnvPrmReadThread thread(box.poster(), &mngr, path("grid.bin"), kMessage, true);
    ASSERT_TRUE(thread.CreateThread());
    thread.Join();
    EXPECT_EQ(box.posts(), 1);
    ASSERT_TRUE(mngr.IsDataReady());
    EXPECT_EQ(mngr.GetFilePath(), path("grid.bin"));
    EXPECT_EQ(mngr.GetCnvPrmData()->GetElmCount(), 64u);
}

TEST_F(JCnvPrmReadThreadTest, FailedReadPostsNothingAndLeavesNoData) {
    // A first line of no known kind is not read as a Tokyo-datum grid, even by a new
    // manager; a missing file and a text file read as a cache fail too.
    writeGrid(m_dir / "other.par", 4, 4, "Tokyo-JGD grid Ver.2.1.1");
    struct Case {
        const char *name;
        bool binary;
    } cases[] = {{"other.par", false}, {"missing.par", false}, {"grid.par", true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        OmbreskMngr mngr(&m_oldTM, &m_newTM);
        ASSERT_EQ(mngr.ReadCnvPrmData(path("grid.par"), nullptr), CNVPRM_READ_SUCCESS);
        Mailbox box;
        JCnvPrmReadThread thread(box.poster(), &mngr, path(c.name), kMessage, c.binary);
        ASSERT_TRUE(thread.CreateThread());
        thread.Join();
        EXPECT_EQ(box.posts(), 0);
        EXPECT_FALSE(mngr.IsDataReady());
        EXPECT_EQ(mngr.GetCnvPrmData()->GetTableCount(), 0u);
    }

    // Without a manager the thread does nothing.
    Mailbox box;
    JCnvPrmReadThread none(box.poster(), nullptr, path("grid.par"), kMessage, false);
    ASSERT_TRUE(none.CreateThread());
    none.Join();
    EXPECT_EQ(box.posts(), 0);
}

TEST_F(JCnvPrmReadThreadTest, StopBeforeTheReadBeginsIsNotLost) {
    // The read clears the data's stop flag when it begins; a stop asked for while the
    // worker is starting must still stop it.
    OmbreskMngr mngr(&m_oldTM, &m_newTM);
    ASSERT_EQ(mngr.ReadCnvPrmData(path("grid.par"), nullptr), CNVPRM_READ_SUCCESS);
    g_gateData.store(mngr.GetCnvPrmData());
    Mailbox box;
    JCnvPrmReadThread thread(box.poster(), &mngr, path("grid.par"), kMessage, false,
                             &stopGatedProc);
    ASSERT_TRUE(thread.CreateThread());
    EXPECT_TRUE(thread.IsRunning());
    thread.StopReading();
    thread.Join();
    EXPECT_EQ(box.posts(), 0);
    EXPECT_FALSE(mngr.IsDataReady());
    EXPECT_EQ(mngr.GetCnvPrmData()->GetTableCount(), 0u);
}

TEST_F(JCnvPrmReadThreadTest, DestroyingARunningThreadStopsAndJoinsIt) {
    OmbreskMngr mngr(&m_oldTM, &m_newTM);
    g_gateData.store(mngr.GetCnvPrmData());
    Mailbox box;
    {
        JCnvPrmReadThread thread(box.poster(), &mngr, path("grid.par"), kMessage, false,
                                 &stopGatedProc);
        ASSERT_TRUE(thread.CreateThread());
        // The worker waits for the stop that only the destructor gives.
    }
    EXPECT_EQ(box.posts(), 0);
    EXPECT_FALSE(mngr.IsDataReady());
}

TEST_F(JCnvPrmReadThreadTest, StopAtAnyMomentLeavesEitherAllOrNothing) {
    // Stops at different moments of a larger read (lines, sorting, the end): the host is
    // told exactly when the data is ready, and stopped data holds no tables.
    writeGrid(m_dir / "large.par", 120, 150, "JGD2000-TokyoDatum Ver.2.1.1");
    for (int delayMs : {0, 1, 2, 5, 10, 20, 50, 100, 200, 400}) {
        SCOPED_TRACE(delayMs);
        OmbreskMngr mngr(&m_oldTM, &m_newTM);
        Mailbox box;
        JCnvPrmReadThread thread(box.poster(), &mngr, path("large.par"), kMessage, false);
        ASSERT_TRUE(thread.CreateThread());
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        thread.StopReading();
        thread.Join();
        EXPECT_EQ(box.posts(), mngr.IsDataReady() ? 1 : 0);
        if (mngr.IsDataReady())
            EXPECT_EQ(mngr.GetCnvPrmData()->GetElmCount(), 120u * 150u);
        else
            EXPECT_EQ(mngr.GetCnvPrmData()->GetTableCount(), 0u);
    }
}

} // namespace
