// What form controls mean, apart from how they are reached: their live state
// from the markup, radio groups, select options, the controls of a form and
// the data a submission sends. Pure functions over the node tree, so that the
// document object model and the view share one set of rules.
#pragma once

#include "HtmlNode.h"

#include <string>
#include <vector>

namespace torva::browser {

namespace FormControls {

// Sets every control's live state from its markup: values, checked boxes and
// selected options (a single select without a selected option selects its
// first; of several checked radios of a group the last stays checked).
void InitStates(HtmlNode& root);

bool IsControl(const HtmlNode& n); // input, select, textarea, button, fieldset, object
// Controls the form owns (HtmlNode::FormOwner), in document order.
std::vector<HtmlNode*> Elements(const HtmlNode& form);
// Options of a select in document order (inside optgroups too).
std::vector<HtmlNode*> Options(const HtmlNode& select);
bool IsMultiple(const HtmlNode& select);

// Current value: the typed text of inputs and text areas; for an option its
// value attribute or, without one, its text; for a select the value of its
// first selected option.
std::wstring Value(const HtmlNode& n);
void SetValue(HtmlNode& n, std::wstring value);
// Checked state of checkboxes and radios; selected state of options.
bool Checked(const HtmlNode& n);
// Ticks or clears a box; ticking a radio clears the others of its group (the
// same name in the same form, or outside forms, in the same document).
void SetChecked(HtmlNode& root, HtmlNode& n, bool checked);
// Selects or clears an option; selecting one in a single select clears the
// others; clearing the last one of a single select leaves none selected.
void SetSelected(HtmlNode& option, bool selected);
long SelectedIndex(const HtmlNode& select); // -1 when none
void SetSelectedIndex(HtmlNode& select, long index);
// The text of an option as shown: white space collapsed and trimmed.
std::wstring OptionText(const HtmlNode& option);

// Name/value pairs a submission of the form sends, in document order; the
// submitter (a submit or image input, or null) is included, an image input as
// name.x and name.y.
std::vector<std::pair<std::wstring, std::wstring>> SubmissionData(const HtmlNode& form,
                                                                  const HtmlNode* submitter);
// application/x-www-form-urlencoded form of the data.
std::wstring UrlEncode(const std::vector<std::pair<std::wstring, std::wstring>>& data);

} // namespace FormControls

} // namespace torva::browser
