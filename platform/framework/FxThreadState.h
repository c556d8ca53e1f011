// Per-thread state of the window layer: the message being handled (for
// Default), the object whose window is being created, and the temporary
// wrappers FromHandle hands out.
#pragma once

#include <windows.h>

#include <memory>
#include <unordered_map>

class CWnd;

struct FxCurrentMessage {
    HWND window = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

struct FxThreadState {
    FxCurrentMessage current;
    CWnd* creating = nullptr; // bound to the first window the CBT hook sees
    HHOOK createHook = nullptr;
    std::unordered_map<HWND, std::unique_ptr<CWnd>> temporaries;
};

FxThreadState& FxGetThreadState();
