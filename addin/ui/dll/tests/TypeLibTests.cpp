// The type library and registrar scripts that the installed module carries.
#include "DllTestSupport.h"

#include <QuorvelGuids.h>
#include <resource.h>

#include <gtest/gtest.h>

#include <oleauto.h>

using namespace module_tests;

namespace {

struct Released {
    void operator()(IUnknown* p) const {
        if (p) p->Release();
    }
};

std::wstring Doc(ITypeLib* lib, int index, std::wstring* name = nullptr) {
    BSTR nameText = nullptr, docText = nullptr;
    if (FAILED(lib->GetDocumentation(index, &nameText, &docText, nullptr, nullptr)))
        return L"(none)";
    if (name) *name = nameText ? nameText : L"";
    std::wstring doc = docText ? docText : L"";
    ::SysFreeString(nameText);
    ::SysFreeString(docText);
    return doc;
}

} // namespace

TEST(QuorvelTypeLib, LibraryClassesAndInterfacesAreAsPublished) {
    ITypeLib* lib = nullptr;
    ASSERT_EQ(::LoadTypeLibEx(InstalledQuorvel().c_str(), REGKIND_NONE, &lib), S_OK);
    std::unique_ptr<ITypeLib, Released> owner(lib);

    TLIBATTR* attr = nullptr;
    ASSERT_EQ(lib->GetLibAttr(&attr), S_OK);
    EXPECT_TRUE(::IsEqualGUID(attr->guid, LIBID_MablixLib));
    EXPECT_EQ(attr->wMajorVerNum, 1);
    EXPECT_EQ(attr->wMinorVerNum, 0);
    lib->ReleaseTLibAttr(attr);
    std::wstring name;
    EXPECT_EQ(Doc(lib, -1, &name), L"Quorvel 1.0 Type Library");
    EXPECT_EQ(name, L"MablixLib");

    const struct {
        const GUID* id;
        TYPEKIND kind;
        const wchar_t* name;
        const wchar_t* doc;
    } types[] = {
        {&CLSID_StockBar, TKIND_COCLASS, L"StockBar", L""},
        {&IID_IStockBar, TKIND_DISPATCH, L"IStockBar", L"IStockBar Interface"},
        {&CLSID_SubmitButoonEventSink, TKIND_COCLASS, L"SubmitButoonEventSink",
         L"SubmitButoonEventSink Class"},
        {&IID_ISubmitButoonEventSink, TKIND_DISPATCH, L"ISubmitButoonEventSink", L""},
    };
    for (const auto& type : types) {
        ITypeInfo* info = nullptr;
        ASSERT_EQ(lib->GetTypeInfoOfGuid(*type.id, &info), S_OK) << type.name;
        std::unique_ptr<ITypeInfo, Released> infoOwner(info);
        TYPEATTR* typeAttr = nullptr;
        ASSERT_EQ(info->GetTypeAttr(&typeAttr), S_OK);
        EXPECT_EQ(typeAttr->typekind, type.kind) << type.name;
        if (type.kind == TKIND_DISPATCH) {
            EXPECT_TRUE(typeAttr->wTypeFlags & TYPEFLAG_FDUAL) << type.name;
        }
        info->ReleaseTypeAttr(typeAttr);
        BSTR nameText = nullptr, docText = nullptr;
        ASSERT_EQ(info->GetDocumentation(MEMBERID_NIL, &nameText, &docText, nullptr, nullptr),
                  S_OK);
        EXPECT_EQ(std::wstring(nameText ? nameText : L""), type.name);
        EXPECT_EQ(std::wstring(docText ? docText : L""), type.doc) << type.name;
        ::SysFreeString(nameText);
        ::SysFreeString(docText);
    }
}

TEST(QuorvelTypeLib, ModuleCarriesItsRegistrarScripts) {
    const HMODULE module =
        ::LoadLibraryExW(InstalledQuorvel().c_str(), nullptr,
                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr);
    for (UINT id : {IDR_QUORVEL, IDR_STOCKBAR, IDR_IESINK, IDR_SUBMITBUTOONEVENTSINK})
        EXPECT_NE(::FindResourceW(module, MAKEINTRESOURCEW(id), L"REGISTRY"), nullptr) << id;
    const HRSRC script = ::FindResourceW(module, MAKEINTRESOURCEW(IDR_STOCKBAR), L"REGISTRY");
    ASSERT_NE(script, nullptr);
    const char* text = static_cast<const char*>(::LockResource(::LoadResource(module, script)));
    const std::string body(text, ::SizeofResource(module, script));
    EXPECT_NE(body.find("%MODULE%"), std::string::npos);
    ::FreeLibrary(module);
}
