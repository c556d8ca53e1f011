// One form control with the value record of its kind.
#pragma once

#include "CDataWebButtonValue.h"
#include "CDataWebMultiText.h"
#include "CDataWebSelCtrl.h"
#include "CDataWebTextValue.h"
#include "ElementRef.h"
#include "WebFormLayout.h"

#include <cstdint>
#include <memory>
#include <string>
#include <variant>

class CDataWebCtrl {
public:
    CDataWebCtrl() = default;
    CDataWebCtrl(const CDataWebCtrl&) = delete;
    CDataWebCtrl& operator=(const CDataWebCtrl&) = delete;
    virtual ~CDataWebCtrl();

    // Deep copy of everything but nothing of the old value survives; the
    // element gains a reference. A source without a value record, or of
    // kind 2, leaves this control without one.
    void Copy(const CDataWebCtrl& source);
    // Frees the value record, whatever its kind, and leaves none.
    void DeleteValue() noexcept;
    // Replaces the value record by an empty one of the kind in m_nType
    // (none for kind 2 or an unknown kind); returns false when none was made.
    bool CreateValue();
    bool HasValue() const noexcept { return !std::holds_alternative<std::monostate>(m_value); }

    // The record of the kind, or null when the control holds another kind.
    CDataWebTextValue* TextValue() const noexcept { return Get<TextPtr>(); }
    CDataWebSelCtrl* SelValue() const noexcept { return Get<SelPtr>(); }
    CDataWebMultiText* MultiValue() const noexcept { return Get<MultiPtr>(); }
    CDataWebButtonValue* ButtonValue() const noexcept { return Get<ButtonPtr>(); }

    std::wstring m_strKey;
    std::int32_t m_nType = D_WEB_CTRL_TEXT;
    std::wstring m_strName;
    ElementRef m_element;
    std::int32_t m_nChanged = 0;   // 1: the capture replaced a stored value
    std::int32_t m_nPosition = -1; // index among the page's elements; -1 none

private:
    using TextPtr = std::unique_ptr<CDataWebTextValue>;
    using SelPtr = std::unique_ptr<CDataWebSelCtrl>;
    using MultiPtr = std::unique_ptr<CDataWebMultiText>;
    using ButtonPtr = std::unique_ptr<CDataWebButtonValue>;

    template <typename Ptr> auto Get() const noexcept -> typename Ptr::element_type* {
        const Ptr* held = std::get_if<Ptr>(&m_value);
        return held ? held->get() : nullptr;
    }

    std::variant<std::monostate, TextPtr, SelPtr, MultiPtr, ButtonPtr> m_value;
};
