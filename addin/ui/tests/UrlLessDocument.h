// A document that has no URL to tell (not navigated yet, or its URL cannot
// be read), which the browser stand-in never produces: every page it loads
// has one. Only get_URL answers; the object lives on the test's stack.
#pragma once

#include "NotImplBases.h"

class UrlLessDocument : public torva::browser::IHTMLDocument2NotImpl {
public:
    enum class Answer { EmptyText, NullText, Failure };
    explicit UrlLessDocument(Answer answer) : m_answer(answer) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }
    // IHTMLDocument2
    HRESULT STDMETHODCALLTYPE get_URL(BSTR* p) override;

    int UrlReads() const noexcept { return m_urlReads; }

private:
    Answer m_answer;
    int m_urlReads = 0;
};
