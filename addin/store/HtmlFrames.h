// Walking a document's frames.
#pragma once

#include "CComPtr.h"

#include <windows.h>
#include <mshtml.h>

// Frames nest only as deep as pages do; walkers stop at this depth so that
// a page that frames itself cannot recurse without end.
inline constexpr int kMaxFrameDepth = 32;

// The document of frame i of a frames collection; null when its item, its
// window or the window's document cannot be had.
CComPtr<IHTMLDocument2> FrameDocument(IHTMLFramesCollection2* frames, long i);
