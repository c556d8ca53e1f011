// Helpers of the browser tests: the test pages beside the test program, and
// short ways to reach elements through the real interfaces.
#pragma once

#include "ComPtr.h"
#include "HtmlDocument.h"
#include "LiveObjects.h"

#include <gtest/gtest.h>

#include <string>

namespace browser_test {

using torva::browser::ComPtr;

std::wstring PagePath(const std::wstring& name);
std::wstring PageUrl(const std::wstring& name); // as the browser reports it

std::wstring Str(BSTR s); // frees s
// Element named name (or the index-th of that name) in the document's all
// collection, as interface T.
template <typename T>
ComPtr<T> Element(IHTMLDocument2* doc, const wchar_t* name, REFIID iid, long index = 0);
ComPtr<IDispatch> ElementDispatch(IHTMLDocument2* doc, const wchar_t* name, long index);
std::wstring TagName(IDispatch* element);

template <typename T>
ComPtr<T> Element(IHTMLDocument2* doc, const wchar_t* name, REFIID iid, long index) {
    return ElementDispatch(doc, name, index).template As<T>(iid);
}

// Checks that every object the layer created during a test was freed.
class BrowserTest : public ::testing::Test {
protected:
    void SetUp() override { m_before = torva::browser::LiveObjects::Count(); }
    void TearDown() override {
        EXPECT_EQ(torva::browser::LiveObjects::Count(), m_before) << "objects leaked";
    }

private:
    long m_before = 0;
};

} // namespace browser_test
