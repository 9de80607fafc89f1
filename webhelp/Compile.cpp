#include "CWebHelpHelper.h"

#include "CNotifyWnd.h"
#include "CStrHelper.h"

#include <future>
#include <system_error>

namespace
{
const int kTextCompileStart = 673;
const int kTextCompileEnd = 674;

void Output(PFNCOMPILEOUTPUT pfnOutput, int nID)
{
    if (pfnOutput != nullptr)
        pfnOutput(CStrHelper::ML_GetStringEx(nID));
}
} // namespace

void CWebHelpHelper::Compile(tagCompileThreadPar* pPar)
{
    if (pPar == nullptr)
        return;
    // An earlier worker still reads m_CompileThreadPar and the whole object: wait for it rather
    // than pull the state from under it. Its output is posted, never waited for, so this ends.
    if (m_pCompileThread)
    {
        if (m_pCompileThread->joinable())
            m_pCompileThread->join();
        m_pCompileThread.reset();
    }

    m_CompileThreadPar.pHelper = this;
    m_CompileThreadPar.pfnOutput = pPar->pfnOutput;
    m_CompileThreadPar.pNotifyWnd = pPar->pNotifyWnd;

    // The worker is held at a gate until the start message was handled, as a thread created
    // suspended would be.
    std::promise<void> gate;
    std::future<void> started = gate.get_future();
    try
    {
        m_pCompileThread = std::make_unique<std::thread>(
            [pThreadPar = &m_CompileThreadPar, started = std::move(started)]() mutable
            {
                started.wait();
                CompileThread(pThreadPar);
            });
    }
    catch (const std::system_error&)
    {
        m_pCompileThread.reset();
        return;
    }

    if (m_CompileThreadPar.pNotifyWnd != nullptr)
        m_CompileThreadPar.pNotifyWnd->SendMessage(WM_WEBHELP_COMPILE_START);
    gate.set_value();
}

unsigned CWebHelpHelper::CompileThread(void* pParam)
{
    auto* pPar = static_cast<tagCompileThreadPar*>(pParam);
    CWebHelpHelper* pHelper = pPar->pHelper;

    Output(pPar->pfnOutput, kTextCompileStart);
    pHelper->SetCHMFile(g_WebHelpSettings.strCHMFile);
    pHelper->CHM2WebHelp(g_WebHelpSettings.strWebHelpDir, g_WebHelpSettings.strSourceDir);
    Output(pPar->pfnOutput, kTextCompileEnd);

    if (pPar->pNotifyWnd != nullptr)
        pPar->pNotifyWnd->PostMessage(WM_WEBHELP_COMPILE_END);
    return 0;
}
