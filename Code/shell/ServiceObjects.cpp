#include "shell/ServiceObjects.h"

namespace {
template <typename T, typename... Args>
std::unique_ptr<T> Create(const TServiceObjects::CreationObserver &observer, const char *name,
                          Args &&...args)
{
    auto object = std::make_unique<T>(std::forward<Args>(args)...);
    if (observer)
        observer(name);
    return object;
}
} // namespace

TServiceObjects::TServiceObjects(const std::string &programFolder, IMessagePresenter &presenter,
                                 TProfileNamePrompt &namePrompt, const CreationObserver &observer)
{
    m_customProc = Create<TCustomProc>(observer, "TCustomProc", programFolder, namePrompt);
    m_commonLib = Create<TCommonLib>(observer, "TCommonLib", programFolder, presenter);
    m_appFunc = Create<TAppFunc>(observer, "TAppFunc", programFolder);
    m_sysFunc = Create<TSysFunc>(observer, "TSysFunc");
    m_strFunc = Create<TStrFunc>(observer, "TStrFunc");
    m_fileFunc = Create<TFileFunc>(observer, "TFileFunc");
}
