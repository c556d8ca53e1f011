#include "FormControls.h"

#include "PageSource.h"

namespace torva::browser {

namespace FormControls {

namespace {

bool IsCheckable(const HtmlNode& n) {
    if (!n.Is(L"input")) return false;
    const std::wstring t = n.InputType();
    return t == L"checkbox" || t == L"radio";
}

HtmlNode* OwningSelect(const HtmlNode& option) {
    for (HtmlNode* p = option.parent(); p; p = p->parent())
        if (p->Is(L"select")) return p;
    return nullptr;
}

std::wstring CollapseSpace(const std::wstring& s) {
    std::wstring r;
    bool space = false;
    for (wchar_t c : s) {
        if (c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\f') {
            space = true;
            continue;
        }
        if (space && !r.empty()) r += L' ';
        space = false;
        r += c;
    }
    return r;
}

void CollectOptions(const HtmlNode& n, std::vector<HtmlNode*>& out) {
    for (const auto& c : n.children()) {
        if (c->Is(L"option"))
            out.push_back(c.get());
        else if (c->Is(L"optgroup"))
            CollectOptions(*c, out);
    }
}

} // namespace

bool IsControl(const HtmlNode& n) {
    return n.Is(L"input") || n.Is(L"select") || n.Is(L"textarea") || n.Is(L"button") ||
           n.Is(L"fieldset") || n.Is(L"object");
}

std::vector<HtmlNode*> Elements(const HtmlNode& form) {
    // The controls of a form need not lie inside it (a form closed by its
    // table cell owns the controls of the next cells), so the whole tree is
    // searched for the ones it owns.
    std::vector<HtmlNode*> all, r;
    form.Root().CollectElements(all);
    for (HtmlNode* n : all)
        if (n->FormOwner() == &form && IsControl(*n)) r.push_back(n);
    return r;
}

std::vector<HtmlNode*> Options(const HtmlNode& select) {
    std::vector<HtmlNode*> r;
    CollectOptions(select, r);
    return r;
}

bool IsMultiple(const HtmlNode& select) {
    return select.HasAttribute(L"multiple");
}

void InitStates(HtmlNode& root) {
    std::vector<HtmlNode*> all;
    root.CollectElements(all);
    for (HtmlNode* n : all) {
        auto& s = n->state();
        if (n->Is(L"input")) {
            s.value = n->Attribute(L"value");
            s.checked = false;
        } else if (n->Is(L"textarea")) {
            s.value = n->TextContent();
            // A newline right after the start tag belongs to the markup.
            if (!s.value.empty() && s.value[0] == L'\n')
                s.value.erase(0, 1);
            else if (s.value.size() > 1 && s.value[0] == L'\r' && s.value[1] == L'\n')
                s.value.erase(0, 2);
        } else if (n->Is(L"option")) {
            s.checked = n->HasAttribute(L"selected");
        }
        s.initialised = true;
    }
    // Checked boxes go through SetChecked so that a radio group keeps one.
    for (HtmlNode* n : all)
        if (IsCheckable(*n) && n->HasAttribute(L"checked")) SetChecked(root, *n, true);
    for (HtmlNode* n : all) {
        if (!n->Is(L"select") || IsMultiple(*n)) continue;
        const auto opts = Options(*n);
        HtmlNode* last = nullptr;
        for (HtmlNode* o : opts)
            if (o->state().checked) last = o;
        if (!last && !opts.empty()) last = opts.front();
        for (HtmlNode* o : opts)
            o->state().checked = (o == last);
    }
}

std::wstring OptionText(const HtmlNode& option) {
    return CollapseSpace(option.TextContent());
}

std::wstring Value(const HtmlNode& n) {
    if (n.Is(L"option")) return n.HasAttribute(L"value") ? n.Attribute(L"value") : OptionText(n);
    if (n.Is(L"select")) {
        for (HtmlNode* o : Options(n))
            if (o->state().checked) return Value(*o);
        return {};
    }
    if (n.Is(L"input") && IsCheckable(n) && !n.HasAttribute(L"value")) return L"on";
    return n.state().value;
}

void SetValue(HtmlNode& n, std::wstring value) {
    if (n.Is(L"option")) {
        n.SetAttribute(L"value", std::move(value));
        return;
    }
    if (n.Is(L"select")) {
        for (HtmlNode* o : Options(n))
            if (Value(*o) == value) {
                SetSelected(*o, true);
                return;
            }
        for (HtmlNode* o : Options(n))
            o->state().checked = false;
        return;
    }
    if (n.Is(L"input") && IsCheckable(n)) n.SetAttribute(L"value", value);
    n.state().value = std::move(value);
}

bool Checked(const HtmlNode& n) {
    return n.state().checked;
}

void SetChecked(HtmlNode& root, HtmlNode& n, bool checked) {
    if (!IsCheckable(n)) return;
    n.state().checked = checked;
    if (!checked || n.InputType() != L"radio") return;
    const std::wstring name = n.Attribute(L"name");
    if (name.empty()) return;
    HtmlNode* form = n.FormOwner();
    std::vector<HtmlNode*> all;
    root.CollectElements(all);
    for (HtmlNode* other : all)
        if (other != &n && other->Is(L"input") && other->InputType() == L"radio" &&
            other->Attribute(L"name") == name && other->FormOwner() == form)
            other->state().checked = false;
}

void SetSelected(HtmlNode& option, bool selected) {
    HtmlNode* select = OwningSelect(option);
    if (selected && select && !IsMultiple(*select))
        for (HtmlNode* o : Options(*select))
            o->state().checked = false;
    option.state().checked = selected;
}

long SelectedIndex(const HtmlNode& select) {
    const auto opts = Options(select);
    for (size_t i = 0; i < opts.size(); ++i)
        if (opts[i]->state().checked) return static_cast<long>(i);
    return -1;
}

void SetSelectedIndex(HtmlNode& select, long index) {
    const auto opts = Options(select);
    for (size_t i = 0; i < opts.size(); ++i)
        opts[i]->state().checked = static_cast<long>(i) == index;
}

std::vector<std::pair<std::wstring, std::wstring>> SubmissionData(const HtmlNode& form,
                                                                  const HtmlNode* submitter) {
    std::vector<std::pair<std::wstring, std::wstring>> data;
    for (HtmlNode* n : Elements(form)) {
        const std::wstring name = n->Attribute(L"name");
        if (n->HasAttribute(L"disabled")) continue;
        if (n->Is(L"input")) {
            const std::wstring t = n->InputType();
            if (t == L"submit" || t == L"image" || t == L"button" || t == L"reset" ||
                t == L"file") {
                if (n != submitter) continue;
                if (t == L"image") {
                    const std::wstring prefix = name.empty() ? L"" : name + L".";
                    data.emplace_back(prefix + L"x", L"0");
                    data.emplace_back(prefix + L"y", L"0");
                    continue;
                }
            }
            if ((t == L"checkbox" || t == L"radio") && !Checked(*n)) continue;
            if (!name.empty()) data.emplace_back(name, Value(*n));
        } else if (n->Is(L"select")) {
            if (name.empty()) continue;
            for (HtmlNode* o : Options(*n))
                if (o->state().checked) data.emplace_back(name, Value(*o));
        } else if (n->Is(L"textarea")) {
            if (!name.empty()) data.emplace_back(name, n->state().value);
        }
    }
    return data;
}

std::wstring UrlEncode(const std::vector<std::pair<std::wstring, std::wstring>>& data) {
    std::wstring r;
    for (const auto& [name, value] : data) {
        if (!r.empty()) r += L'&';
        r += PercentEncode(name) + L'=' + PercentEncode(value);
    }
    return r;
}

} // namespace FormControls

} // namespace torva::browser
