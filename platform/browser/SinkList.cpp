#include "SinkList.h"

namespace torva::browser {

DWORD SinkList::Add(ComPtr<IDispatch> sink) {
    std::lock_guard<std::mutex> hold(m_lock);
    const DWORD cookie = m_nextCookie++;
    m_sinks.emplace_back(cookie, std::move(sink));
    return cookie;
}

bool SinkList::Remove(DWORD cookie) {
    ComPtr<IDispatch> released; // released outside the lock: the sink may call back
    {
        std::lock_guard<std::mutex> hold(m_lock);
        for (auto it = m_sinks.begin(); it != m_sinks.end(); ++it)
            if (it->first == cookie) {
                released = std::move(it->second);
                m_sinks.erase(it);
                break;
            }
    }
    return static_cast<bool>(released);
}

void SinkList::Clear() {
    std::vector<std::pair<DWORD, ComPtr<IDispatch>>> released;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        released.swap(m_sinks);
    }
}

std::vector<ComPtr<IDispatch>> SinkList::Snapshot() const {
    std::lock_guard<std::mutex> hold(m_lock);
    std::vector<ComPtr<IDispatch>> r;
    for (const auto& s : m_sinks)
        r.push_back(s.second);
    return r;
}

size_t SinkList::Size() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_sinks.size();
}

void SinkList::Fire(DISPID dispid, DISPPARAMS* params) const {
    for (const auto& sink : Snapshot()) {
        VARIANT result;
        VariantInit(&result);
        sink->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, params, &result,
                     nullptr, nullptr);
        VariantClear(&result);
    }
}

} // namespace torva::browser
