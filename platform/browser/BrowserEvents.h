// DWebBrowserEvents2 as the browser delivers them: arguments in reverse
// order in rgvarg, in/out ones by reference (VT_VARIANT|VT_BYREF around
// the value, Cancel as VT_BOOL|VT_BYREF), all owned by the browser for the
// duration of the call.
#pragma once

#include "SinkList.h"

#include <string>

namespace torva::browser {

namespace BrowserEvents {

// Returns true when a sink set Cancel.
[[nodiscard]] bool BeforeNavigate2(const SinkList& sinks, IDispatch* browser,
                                   const std::wstring& url, long flags,
                                   const std::wstring& targetFrame, const std::string& postData,
                                   const std::wstring& headers);
void NavigateComplete2(const SinkList& sinks, IDispatch* browser, const std::wstring& url);
void DocumentComplete(const SinkList& sinks, IDispatch* browser, const std::wstring& url);
void DownloadBegin(const SinkList& sinks);
void DownloadComplete(const SinkList& sinks);
void TitleChange(const SinkList& sinks, const std::wstring& title);
void OnQuit(const SinkList& sinks);

} // namespace BrowserEvents

} // namespace torva::browser
