#include "CNotifyWnd.h"
#include "CStrHelper.h"
#include "CWebHelpHelper.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace
{
// Texts and messages of a compile in the order they arrived, from either thread.
class CEventLog
{
public:
    void Add(const std::string& str)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_vec.push_back(str);
        m_cv.notify_all();
    }
    std::vector<std::string> Events()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_vec;
    }
    /// Waits until strEvent has arrived nCount times; false after five seconds.
    bool WaitFor(const std::string& strEvent, size_t nCount = 1)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_cv.wait_for(lock, std::chrono::seconds(5),
                             [&]
                             { return std::count(m_vec.begin(), m_vec.end(), strEvent) >= long(nCount); });
    }
    void Clear()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_vec.clear();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::vector<std::string> m_vec;
};

CEventLog g_log;

void LogText(const std::string& strText)
{
    g_log.Add(strText == "\r\n" ? "EOL" : strText);
}

// Holds the worker inside its first text until Release, to keep a compile running.
std::mutex g_gateMutex;
std::condition_variable g_gateCv;
bool g_bGateOpen = true;

void GatedText(const std::string& strText)
{
    LogText(strText);
    std::unique_lock<std::mutex> lock(g_gateMutex);
    g_gateCv.wait(lock, [] { return g_bGateOpen; });
}

void SetGate(bool bOpen)
{
    std::lock_guard<std::mutex> lock(g_gateMutex);
    g_bGateOpen = bOpen;
    g_gateCv.notify_all();
}

class CRecordingWnd : public CNotifyWnd
{
public:
    void SendMessage(unsigned nMsg) override
    {
        m_sendThread = std::this_thread::get_id();
        g_log.Add("send " + std::to_string(nMsg));
        // A worker that ran before the start message was handled would log a text in between.
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        g_log.Add("sent " + std::to_string(nMsg));
    }
    void PostMessage(unsigned nMsg) override
    {
        m_postThread = std::this_thread::get_id();
        g_log.Add("post " + std::to_string(nMsg));
    }
    std::thread::id m_sendThread;
    std::thread::id m_postThread;
};

class CCompileTest : public ::testing::Test
{
protected:
    CCompileTest()
    {
        CStrHelper::SetStringTable(
            {{673, "start"}, {674, "end"}, {675, "ok"}, {676, "failed"}, {677, "read contents"}});
        g_log.Clear();
        SetGate(true);
        m_saved = g_WebHelpSettings;
        CWebHelpHelper().InitWebHelpSettings();
        g_WebHelpSettings.strCHMFile = m_dir / "missing.chm";
        g_WebHelpSettings.strWebHelpDir = m_dir / "site";
    }
    ~CCompileTest() override
    {
        g_WebHelpSettings = m_saved;
        CStrHelper::SetStringTable({});
    }

    // What a compile of a file that cannot be opened outputs, between its two messages.
    const std::vector<std::string> m_vecMissingFileTexts = {"start",  "EOL", "read contents",
                                                            "failed", "EOL", "end"};
    CTempDir m_dir;
    tagWebHelpSettings m_saved;
};

std::vector<std::string> Concat(std::vector<std::string> vecA, const std::vector<std::string>& vecB)
{
    vecA.insert(vecA.end(), vecB.begin(), vecB.end());
    return vecA;
}
} // namespace

TEST_F(CCompileTest, StartMessageTextsAndEndMessageInOrder)
{
    CWebHelpHelper helper;
    CRecordingWnd wnd;
    CWebHelpHelper::tagCompileThreadPar par;
    par.pfnOutput = LogText;
    par.pNotifyWnd = &wnd;
    helper.Compile(&par);
    ASSERT_TRUE(g_log.WaitFor("post 3114"));

    auto vecExpected = Concat({"send 3031", "sent 3031"}, m_vecMissingFileTexts);
    vecExpected.push_back("post 3114");
    EXPECT_EQ(g_log.Events(), vecExpected);
    EXPECT_EQ(wnd.m_sendThread, std::this_thread::get_id());
    EXPECT_NE(wnd.m_postThread, std::this_thread::get_id());
    // The worker converted the settings' files: the pipeline made the folders before it failed.
    EXPECT_EQ(helper.m_strCHMFile, g_WebHelpSettings.strCHMFile);
    EXPECT_TRUE(FileExists(m_dir / "site/source"));
    EXPECT_TRUE(FileExists(m_dir / "site/whfiles"));
    // The thread object stays until the next compile or the end of the converter.
    EXPECT_TRUE(helper.m_pCompileThread);
}

TEST_F(CCompileTest, WithoutNotifyWindowOnlyTextsAndTheDestructorWaits)
{
    {
        CWebHelpHelper helper;
        CWebHelpHelper::tagCompileThreadPar par;
        par.pfnOutput = LogText;
        helper.Compile(&par);
    }
    EXPECT_EQ(g_log.Events(), m_vecMissingFileTexts);
}

TEST_F(CCompileTest, CallersRecordIsReadOnlyDuringTheCall)
{
    CWebHelpHelper helper;
    CWebHelpHelper other;
    CRecordingWnd wnd;
    {
        CWebHelpHelper::tagCompileThreadPar par;
        par.pHelper = &other;
        par.pfnOutput = LogText;
        par.pNotifyWnd = &wnd;
        helper.Compile(&par);
        par.pfnOutput = nullptr;
        par.pNotifyWnd = nullptr;
    }
    ASSERT_TRUE(g_log.WaitFor("post 3114"));
    EXPECT_EQ(helper.m_CompileThreadPar.pHelper, &helper);
    EXPECT_EQ(helper.m_strCHMFile, g_WebHelpSettings.strCHMFile);
    EXPECT_TRUE(other.m_strCHMFile.empty());
    EXPECT_EQ(g_log.Events().size(), m_vecMissingFileTexts.size() + 3);
}

TEST_F(CCompileTest, SecondCompileAfterTheFirstEndedRunsAFreshWorker)
{
    CWebHelpHelper helper;
    CRecordingWnd wnd;
    CWebHelpHelper::tagCompileThreadPar par;
    par.pfnOutput = LogText;
    par.pNotifyWnd = &wnd;
    helper.Compile(&par);
    ASSERT_TRUE(g_log.WaitFor("post 3114"));

    g_WebHelpSettings.strWebHelpDir = m_dir / "second";
    helper.Compile(&par);
    ASSERT_TRUE(g_log.WaitFor("post 3114", 2));

    auto vecOne = Concat({"send 3031", "sent 3031"}, m_vecMissingFileTexts);
    vecOne.push_back("post 3114");
    EXPECT_EQ(g_log.Events(), Concat(vecOne, vecOne));
    EXPECT_TRUE(FileExists(m_dir / "second/whfiles"));
}

TEST_F(CCompileTest, CompileWhileTheFirstRunsWaitsForItToEnd)
{
    CWebHelpHelper helper;
    CWebHelpHelper::tagCompileThreadPar par;
    par.pfnOutput = GatedText;
    SetGate(false);
    helper.Compile(&par);
    ASSERT_TRUE(g_log.WaitFor("start"));

    std::thread release(
        []
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            g_log.Add("released");
            SetGate(true);
        });
    helper.Compile(&par);
    release.join();
    ASSERT_TRUE(g_log.WaitFor("end", 2));
    helper.m_pCompileThread->join();
    helper.m_pCompileThread.reset();

    // The second compile began only after the first had output its last text.
    auto vecExpected =
        Concat({"start", "released"}, {m_vecMissingFileTexts.begin() + 1, m_vecMissingFileTexts.end()});
    EXPECT_EQ(g_log.Events(), Concat(vecExpected, m_vecMissingFileTexts));
}

TEST_F(CCompileTest, NullRecordStartsNothing)
{
    CWebHelpHelper helper;
    helper.Compile(nullptr);
    EXPECT_FALSE(helper.m_pCompileThread);
    EXPECT_FALSE(FileExists(m_dir / "site"));
}
