// What the user entered in the preview, read from the page elements bound
// to the model. Each answer is empty when the element is not bound or does
// not tell: such a value is left as it is stored.
#pragma once

#include "ElementRef.h"

#include <optional>
#include <string>

namespace mablix {

// The value of a bound INPUT or TEXTAREA.
std::optional<std::wstring> ElementText(const ElementRef& element);
// The checked state of a bound radio button or check box.
std::optional<bool> ElementChecked(const ElementRef& element);
// The selected state of a bound OPTION.
std::optional<bool> OptionSelected(const ElementRef& element);

} // namespace mablix
