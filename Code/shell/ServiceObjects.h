#pragma once

#include "shell/CommonLib.h"
#include "shell/CustomProc.h"
#include "shell/SysFunc.h"
#include "support/AppFunc.h"
#include "support/FileFunc.h"
#include "support/StrFunc.h"

#include <functional>
#include <memory>
#include <string>

// The six service objects of the program, created once, in the order of their members, and
// handed to whatever needs them.
class TServiceObjects
{
public:
    // Called with the class name right after each object has been created.
    using CreationObserver = std::function<void(const char *className)>;

    TServiceObjects(const std::string &programFolder, IMessagePresenter &presenter,
                    TProfileNamePrompt &namePrompt, const CreationObserver &observer = {});
    TServiceObjects(const TServiceObjects &) = delete;
    TServiceObjects &operator=(const TServiceObjects &) = delete;

    TCustomProc &CustomProc() { return *m_customProc; }
    TCommonLib &CommonLib() { return *m_commonLib; }
    TAppFunc &AppFunc() { return *m_appFunc; }
    TSysFunc &SysFunc() { return *m_sysFunc; }
    TStrFunc &StrFunc() { return *m_strFunc; }
    TFileFunc &FileFunc() { return *m_fileFunc; }

private:
    std::unique_ptr<TCustomProc> m_customProc;
    std::unique_ptr<TCommonLib> m_commonLib;
    std::unique_ptr<TAppFunc> m_appFunc;
    std::unique_ptr<TSysFunc> m_sysFunc;
    std::unique_ptr<TStrFunc> m_strFunc;
    std::unique_ptr<TFileFunc> m_fileFunc;
};
