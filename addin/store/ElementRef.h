// Holds one reference to a live HTML element of a loaded page. The model keeps
// element pointers only while their page is loaded; copying a holder adds a
// reference, overwriting or destroying it releases the old one.
#pragma once

#include <windows.h>
#include <mshtml.h>

#include <utility>

class ElementRef {
public:
    ElementRef() noexcept = default;
    // Adds a reference: the caller keeps its own.
    explicit ElementRef(IHTMLElement* element) noexcept : m_element(element) { AddRef(); }
    ElementRef(const ElementRef& other) noexcept : ElementRef(other.m_element) {}
    ElementRef(ElementRef&& other) noexcept : m_element(std::exchange(other.m_element, nullptr)) {}
    ElementRef& operator=(const ElementRef& other) noexcept {
        Reset(other.m_element);
        return *this;
    }
    ElementRef& operator=(ElementRef&& other) noexcept {
        if (this != &other) {
            Release();
            m_element = std::exchange(other.m_element, nullptr);
        }
        return *this;
    }
    ~ElementRef() { Release(); }

    IHTMLElement* Get() const noexcept { return m_element; }
    explicit operator bool() const noexcept { return m_element != nullptr; }

    // The new element gains a reference before the old one loses its own, so
    // resetting to the element already held is safe.
    void Reset(IHTMLElement* element = nullptr) noexcept {
        if (element) element->AddRef();
        Release();
        m_element = element;
    }

private:
    void AddRef() noexcept {
        if (m_element) m_element->AddRef();
    }
    void Release() noexcept {
        if (m_element) std::exchange(m_element, nullptr)->Release();
    }

    IHTMLElement* m_element = nullptr;
};
