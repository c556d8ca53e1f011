#include "MgrTestSupport.h"

#include "HtmlCom.h"

#include <cwchar>

DWORD TestDlg::OpenKey(TVRDB_HDB db, const std::wstring& path, TVRDB_HKEY* key) {
    if (!failingKey.empty() && path == failingKey) {
        if (key) *key = nullptr;
        return TVRDB_E_BUSY;
    }
    return CTvrIEToolDlg::OpenKey(db, path, key);
}

BOOL TestDlg::OpenDB(TVRDB_HDB* db) {
    ++openCalls;
    if (openingsBeforeFailure >= 0 && openCalls > openingsBeforeFailure) {
        if (db) *db = nullptr;
        return FALSE;
    }
    return CTvrIEToolDlg::OpenDB(db);
}

void TestDlg::UpdateDialogFields(BOOL fetch) {
    if (fetch && onFetch) onFetch();
}

int TestDlg::ShowMessage(const wchar_t* text, UINT) {
    messages.emplace_back(text);
    return IDOK;
}

DWORD TestDlg::EncryptData(const BYTE* input, DWORD length, BYTE* output, DWORD capacity,
                           DWORD* produced) {
    ++encryptCalls;
    if (encryptionsBeforeFailure >= 0 && encryptCalls > encryptionsBeforeFailure) return 5;
    return CTvrIEToolDlg::EncryptData(input, length, output, capacity, produced);
}

DWORD TestDlg::DecryptData(const BYTE* input, DWORD length, BYTE* output, DWORD capacity,
                           DWORD* produced) {
    if (failDecryption) return 3;
    return CTvrIEToolDlg::DecryptData(input, length, output, capacity, produced);
}

RawDb::RawDb() {
    (void)TvrDB_OpenDB(&m_db);
}
RawDb::~RawDb() {
    if (m_db) TvrDB_CloseDB(m_db);
}

bool RawDb::Exists(const std::wstring& path) {
    TVRDB_HKEY key = nullptr;
    if (TvrDB_OpenKey(m_db, path.c_str(), &key) != TVRDB_OK) return false;
    TvrDB_CloseKey(m_db, key);
    return true;
}

bool RawDb::Create(const std::wstring& path) {
    TVRDB_HKEY key = nullptr;
    if (TvrDB_CreateKey(m_db, path.c_str(), &key) != TVRDB_OK) return false;
    TvrDB_CloseKey(m_db, key);
    return true;
}

bool RawDb::SetRaw(const std::wstring& path, const wchar_t* name, DWORD type,
                   const std::vector<BYTE>& bytes) {
    TVRDB_HKEY key = nullptr;
    if (TvrDB_CreateKey(m_db, path.c_str(), &key) != TVRDB_OK) return false;
    const bool set = TvrDB_SetValue(m_db, key, name, type, bytes.data(), DWORD(bytes.size())) == 0;
    TvrDB_CloseKey(m_db, key);
    return set;
}

bool RawDb::SetText(const std::wstring& path, const wchar_t* name, const std::wstring& text) {
    const auto* bytes = reinterpret_cast<const BYTE*>(text.data());
    return SetRaw(path, name, TVRDB_TYPE_STRING,
                  std::vector<BYTE>(bytes, bytes + text.size() * sizeof(wchar_t)));
}

bool RawDb::SetDword(const std::wstring& path, const wchar_t* name, DWORD value) {
    const auto* bytes = reinterpret_cast<const BYTE*>(&value);
    return SetRaw(path, name, TVRDB_TYPE_DWORD, std::vector<BYTE>(bytes, bytes + 4));
}

std::optional<std::pair<DWORD, std::vector<BYTE>>> RawDb::Raw(const std::wstring& path,
                                                              const wchar_t* name) {
    TVRDB_HKEY key = nullptr;
    if (TvrDB_OpenKey(m_db, path.c_str(), &key) != TVRDB_OK) return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    std::optional<std::pair<DWORD, std::vector<BYTE>>> result;
    if (TvrDB_QueryValue(m_db, key, name, &type, nullptr, &size) == TVRDB_OK) {
        std::vector<BYTE> bytes(size + 1, 0);
        if (TvrDB_QueryValue(m_db, key, name, &type, bytes.data(), &size) == TVRDB_OK) {
            bytes.resize(size);
            result.emplace(type, std::move(bytes));
        }
    }
    TvrDB_CloseKey(m_db, key);
    return result;
}

std::optional<std::wstring> RawDb::Text(const std::wstring& path, const wchar_t* name) {
    auto raw = Raw(path, name);
    if (!raw) return std::nullopt;
    const auto& bytes = raw->second;
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
}

std::optional<std::int32_t> RawDb::Dword(const std::wstring& path, const wchar_t* name) {
    auto raw = Raw(path, name);
    if (!raw || raw->second.size() != 4) return std::nullopt;
    std::int32_t value = 0;
    ::memcpy(&value, raw->second.data(), 4);
    return value;
}

std::vector<std::wstring> RawDb::SubKeys(const std::wstring& path) {
    std::vector<std::wstring> names;
    TVRDB_HKEY key = nullptr;
    if (TvrDB_OpenKey(m_db, path.c_str(), &key) != TVRDB_OK) return names;
    wchar_t name[TVRDB_MAX_NAME + 1];
    DWORD length = 0;
    for (DWORD i = 0; TvrDB_EnumKey(m_db, key, i, name, &length) == TVRDB_OK; ++i) {
        names.emplace_back(name, length);
    }
    TvrDB_CloseKey(m_db, key);
    return names;
}

void RawDb::Delete(const std::wstring& path) {
    const size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos) {
        (void)TvrDB_DeleteKey(m_db, nullptr, path.c_str());
        return;
    }
    TVRDB_HKEY parent = nullptr;
    if (TvrDB_OpenKey(m_db, path.substr(0, slash).c_str(), &parent) != TVRDB_OK) return;
    (void)TvrDB_DeleteKey(m_db, parent, path.substr(slash + 1).c_str());
    TvrDB_CloseKey(m_db, parent);
}

std::wstring ScratchPageKey(const std::wstring& tag) {
    wchar_t name[64];
    std::swprintf(name, 64, L"WEBFORMDATA\\MGRTEST%lu_", ::GetCurrentProcessId());
    return name + tag;
}

PreviewPage::PreviewPage(const std::wstring& body)
    : m_page(torva::browser::HtmlDocument::FromMarkup(
          L"about:blank", L"<html><body><form>" + body + L"</form></body></html>")) {}

std::vector<CComPtr<IHTMLElement>> PreviewPage::All() {
    std::vector<CComPtr<IHTMLElement>> elements;
    CComPtr<IHTMLElementCollection> all;
    auto* document = static_cast<IHTMLDocument2*>(m_page.get());
    if (FAILED(document->get_all(&all)) || !all) return elements;
    long count = 0;
    all->get_length(&count);
    for (long i = 0; i < count; ++i) {
        CComPtr<IHTMLElement> element;
        if (SUCCEEDED(ItemAt(all.p, i, IID_IHTMLElement, element))) elements.push_back(element);
    }
    return elements;
}

namespace {
struct Described {
    std::wstring tag, type, name, value;
};

Described Describe(IHTMLElement* element) {
    Described d;
    ScopedBstr text;
    if (SUCCEEDED(element->get_tagName(text.Out()))) d.tag = text.Text();
    for (auto& c : d.tag)
        c = wchar_t(::towupper(c));
    if (auto input = As<IHTMLInputElement>(element, IID_IHTMLInputElement)) {
        if (SUCCEEDED(input->get_type(text.Out()))) d.type = text.Text();
        for (auto& c : d.type)
            c = wchar_t(::towlower(c));
        if (SUCCEEDED(input->get_name(text.Out()))) d.name = text.Text();
        if (SUCCEEDED(input->get_value(text.Out()))) d.value = text.Text();
    } else if (auto select = As<IHTMLSelectElement>(element, IID_IHTMLSelectElement)) {
        if (SUCCEEDED(select->get_name(text.Out()))) d.name = text.Text();
    } else if (auto area = As<IHTMLTextAreaElement>(element, IID_IHTMLTextAreaElement)) {
        if (SUCCEEDED(area->get_name(text.Out()))) d.name = text.Text();
    }
    return d;
}
} // namespace

CComPtr<IHTMLElement> PreviewPage::Element(const std::wstring& name, const wchar_t* value) {
    for (auto& element : All()) {
        const Described d = Describe(element);
        if (d.name == name && (!value || d.value == value)) return element;
    }
    return {};
}

void PreviewPage::SetText(const std::wstring& name, const std::wstring& text) {
    CComPtr<IHTMLElement> element = Element(name);
    ScopedBstr value(text);
    if (auto input = As<IHTMLInputElement>(element, IID_IHTMLInputElement)) {
        input->put_value(value.Get());
    } else if (auto area = As<IHTMLTextAreaElement>(element, IID_IHTMLTextAreaElement)) {
        area->put_value(value.Get());
    }
}

void PreviewPage::SetChecked(const std::wstring& name, const wchar_t* value, bool checked) {
    if (auto input = As<IHTMLInputElement>(Element(name, value), IID_IHTMLInputElement)) {
        input->put_checked(checked ? VARIANT_TRUE : VARIANT_FALSE);
    }
}

void PreviewPage::SelectOption(const std::wstring& name, long index, bool selected) {
    auto select = As<IHTMLSelectElement>(Element(name), IID_IHTMLSelectElement);
    CComPtr<IHTMLOptionElement> option;
    if (select && SUCCEEDED(::SelectOption(select.p, index, option))) {
        option->put_selected(selected ? VARIANT_TRUE : VARIANT_FALSE);
    }
}

void PreviewPage::Bind(CTvrIEToolDlg& dlg, CDataWebItem& item) {
    // Whatever was bound belongs to another page, as when a preview loads.
    dlg.ClearElementBindings();
    for (auto& element : All()) {
        if (dlg.SetTextElement(element, &item, 0)) continue;
        if (dlg.SetTextAreaElement(element, &item)) continue;
        if (dlg.SetSelectMenuElement(element, &item)) continue;
        (void)dlg.SetInputElement(element, &item);
    }
}
