// Binding of the product plug-in library: all 13 entry points or none. The library's name and the launcher's
// switches come from autoruncfg.cfg beside the launcher.
#include "palvio_dlg.h"

#include "common/files.h"
#include "common/log.h"
#include "common/profile.h"

#include <new>

namespace {

const char kAutorunSection[] = "Section_Autorun";

// The twelve entry points that take nothing, in the order of kPluginEntryNames after InitialDllPara.
PluginQueryFunction CPalvioDlg::*const kQueryMembers[] = {
    &CPalvioDlg::m_FunCheckPalvioPrgInstall,
    &CPalvioDlg::m_FunInstallPalvio,
    &CPalvioDlg::m_FunUpdatePalvio,
    &CPalvioDlg::m_FunRunPalvio,
    &CPalvioDlg::m_FunCheckPalvioIsRunning,
    &CPalvioDlg::m_FunPalvioIsEnable,
    &CPalvioDlg::m_FunCheckDialPrgInstall,
    &CPalvioDlg::m_FunInstallDialPrg,
    &CPalvioDlg::m_FunUpdateDial,
    &CPalvioDlg::m_FunRunDial,
    &CPalvioDlg::m_FunCheckDialIsRunning,
    &CPalvioDlg::m_FunDialIsEnable,
};
static_assert(sizeof kQueryMembers / sizeof kQueryMembers[0] == kPluginEntryCount - 1,
              "every entry point but InitialDllPara has its member");

template <typename Function>
Function Resolve(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

// For its lifetime, a library that cannot be loaded is reported to the caller only: Windows shows no box of
// its own about it (which would hold the launcher until someone closes it).
class ScopedQuietErrors {
public:
    ScopedQuietErrors() : m_old(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
    ~ScopedQuietErrors() { SetErrorMode(m_old); }
    ScopedQuietErrors(const ScopedQuietErrors&) = delete;
    ScopedQuietErrors& operator=(const ScopedQuietErrors&) = delete;

private:
    UINT m_old;
};

} // namespace

int CPalvioDlg::LoadProductDll() {
    if (!m_pDriverPrepare)
        m_pDriverPrepare.reset(new (std::nothrow) CDriverPrepare_PcOptions());
    if (!m_pDriverPrepare)
        return 0;

    if (!ReadCfgTexts(kAutorunSection,
                      {{"Key_PrgMutex", m_strPrgMutex},
                       {"Key_IsSupportMtp", m_strIsSupportMtp},
                       {"Key_IsSupportSd", m_strIsSupportSd},
                       {"Key_IsSupportPalvio", m_strIsSupportPalvio},
                       {"Key_IsSupportDialup", m_strIsSupportDialup},
                       {"use_palvio_lite", m_strUsePalvioLite},
                       {"use_dailup_lite", m_strUseDailupLite},
                       {"use_driver_lite", m_strUseDriverLite}},
                      m_pDriverPrepare->m_strCfgPath.c_str()))
        return 0;

    std::string path = GetModuleDir() + m_pDriverPrepare->m_strDllModuleName;
    DWORD error = 0;
    {
        ScopedQuietErrors quiet;
        m_hProductDll.Reset(LoadLibraryA(path.c_str()));
        error = GetLastError();
    }
    if (!m_hProductDll) {
        WriteLog("ERR: Load the product library %s failed, error %lu", path.c_str(), error);
        return 0;
    }

    // Each entry point is kept as soon as it is found; the first one missing ends the binding.
    HMODULE library = m_hProductDll.Get();
    m_FunInitialDllPara = Resolve<PluginInitFunction>(library, kPluginEntryNames[0]);
    if (!m_FunInitialDllPara) {
        WriteLog("ERR: The product library %s has no entry point %s", path.c_str(), kPluginEntryNames[0]);
        return 0;
    }
    for (int i = 1; i < kPluginEntryCount; ++i) {
        PluginQueryFunction function = Resolve<PluginQueryFunction>(library, kPluginEntryNames[i]);
        this->*kQueryMembers[i - 1] = function;
        if (!function) {
            WriteLog("ERR: The product library %s has no entry point %s", path.c_str(), kPluginEntryNames[i]);
            return 0;
        }
    }
    return 1;
}

void CPalvioDlg::FreeProductDll() {
    if (m_hProductDll) {
        m_hProductDll.Reset();
        WriteLog("INF: The product library is freed");
    }
    m_pDriverPrepare.reset();
}

int CPalvioDlg::IsApplicationRunning() {
    WriteLog("run m_FunCheckPalvioIsRunning and m_FunCheckDialIsRunning");
    if (m_FunPalvioIsEnable() && m_FunCheckPalvioIsRunning())
        return 1;
    return m_FunDialIsEnable() && m_FunCheckDialIsRunning() ? 1 : 0;
}
