#include "CCmdTarget.h"

namespace {

bool RowMatches(const FxMsgMapEntry& row, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (row.message != message) return false;
    if (message == WM_COMMAND && row.code != kFxCodeAny) {
        const UINT id = LOWORD(wParam);
        const UINT code = HIWORD(wParam);
        if (id < row.firstId || id > row.lastId) return false;
        // A menu item sends code 0, an accelerator 1 (both with no control).
        if (row.code == kFxCodeCommand) return code == 0 || (code == 1 && lParam == 0);
        return code == row.code;
    }
    if (message == kFxMsgUpdateCommandUI) {
        const UINT id = static_cast<UINT>(wParam);
        return id >= row.firstId && id <= row.lastId;
    }
    if ((message == WM_NOTIFY || message == kFxReflectBase + WM_NOTIFY) && row.code != kFxCodeAny) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (!header) return false;
        return header->code == row.code && header->idFrom >= row.firstId &&
               header->idFrom <= row.lastId;
    }
    return true;
}

} // namespace

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const FxMsgMap* CCmdTarget::GetThisMessageMap() {
    static const FxMsgMapEntry s_entries[] = {{0, 0, 0, 0, nullptr}};
    static const FxMsgMap s_map = {nullptr, s_entries};
    return &s_map;
}

const FxMsgMap* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

BOOL CCmdTarget::DispatchToMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    LRESULT ignored = 0;
    if (!result) result = &ignored;
    for (const FxMsgMap* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
        for (const FxMsgMapEntry* row = map->entries; row->message; ++row) {
            if (!RowMatches(*row, message, wParam, lParam)) continue;
            *result = 0;
            if (row->thunk(this, message, wParam, lParam, result)) return TRUE;
        }
    }
    return FALSE;
}

bool CCmdTarget::HasCommandHandler(UINT id) const {
    for (const FxMsgMap* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
        for (const FxMsgMapEntry* row = map->entries; row->message; ++row) {
            if (row->message == WM_COMMAND && row->code == kFxCodeCommand && id >= row->firstId &&
                id <= row->lastId)
                return true;
        }
    }
    return false;
}
