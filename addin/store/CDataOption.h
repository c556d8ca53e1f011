// The web-form options. The leading field has no stored value; the seven
// flags are 0 or 1, in the order in which they are stored.
#pragma once

#include <cstdint>

class CDataOption {
public:
    virtual ~CDataOption() = default;

    std::int32_t m_nReserved = 0;
    std::int32_t m_nStopFunc = 0;
    std::int32_t m_nStopAutoInput = 0;
    std::int32_t m_nSetAuto = 0;
    std::int32_t m_nCheckSet = 0;
    std::int32_t m_nOnlyPwd = 0;
    std::int32_t m_nNoMultiText = 0;
    std::int32_t m_nHidePwd = 1;
};
