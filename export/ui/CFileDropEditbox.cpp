#include "CFileDropEditbox.h"

#include <string>

#include "ExportMessages.h"
#include "ExportPathRules.h"
#include "ResourceStrings.h"

namespace vantrel {

namespace {

// Ends the drop on every way out of the handler.
class DropOwner {
public:
    explicit DropOwner(HDROP drop) noexcept : m_drop(drop) {}
    ~DropOwner() {
        if (m_drop) ::DragFinish(m_drop);
    }
    DropOwner(const DropOwner&) = delete;
    DropOwner& operator=(const DropOwner&) = delete;

private:
    HDROP m_drop;
};

} // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CFileDropEditbox, CEdit)
    ON_WM_DROPFILES()
END_MESSAGE_MAP()
// clang-format on

void CFileDropEditbox::OnDropFiles(HDROP drop) {
    DropOwner owner(drop);
    if (!drop || ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 0) return;
    const UINT length = ::DragQueryFileW(drop, 0, nullptr, 0);
    std::wstring name(static_cast<size_t>(length) + 1, L'\0');
    name.resize(::DragQueryFileW(drop, 0, name.data(), length + 1));
    if (!IsDroppableCsv(name)) {
        ShowUtilityMessage(::GetParent(m_hWnd), GetResourceString(22086), MB_OK | MB_ICONWARNING);
        return;
    }
    SetWindowText(name.c_str());
}

} // namespace vantrel
