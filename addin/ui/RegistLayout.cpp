#include "RegistLayout.h"

#include "res/resource.h"

namespace {

constexpr int kDialogWidth = 808;
constexpr int kDialogHeight = 425;

// Which values count from the pane's right edge (left, right) or from the
// client bottom (top, bottom); the others from the pane's left or the top.
enum Anchor : unsigned { kLeft = 1, kTop = 2, kRight = 4, kBottom = 8, kAll = 15, kNone = 0 };

struct Row {
    int id;
    int left, top, right, bottom;
    unsigned anchors;
};

// The title's label and box sit inside the page frame, below its caption
// and above the list (the template's places would put them on the caption);
// the fold button is wide enough for its text.
constexpr Row kPagePane[] = {
    {IDC_REGIST_PAGEGROUP, 10, 10, 20, 40, kRight | kBottom},
    {IDC_REGIST_TITLELABEL, 30, 31, 130, 47, kNone},
    {IDC_REGIST_TITLE, 135, 27, 40, 49, kRight},
    {IDC_REGIST_LIST, 30, 55, 40, 140, kRight | kBottom},
    {IDC_REGIST_FOLD, 150, 75, 40, 50, kAll},
    {IDC_REGIST_URLLABEL, 30, 135, 100, 125, kTop | kRight | kBottom},
    {IDC_REGIST_URL, 30, 125, 40, 75, kTop | kRight | kBottom},
    {IDC_REGIST_DATELABEL, 30, 70, 100, 55, kTop | kBottom},
    {IDC_REGIST_DATE, 100, 70, 250, 55, kTop | kBottom},
    {IDC_REGIST_APPLY, 130, 35, 40, 10, kAll},
    {IDCANCEL, 225, 35, 135, 10, kAll},
    {IDOK, 320, 35, 230, 10, kAll},
};

// The boxes start right of their labels. The two long check box texts do
// not fit one line of the pane: 229 wraps
// beside the Clear button and 247 below 226, the copy ending 14 pixels
// higher to make room.
constexpr Row kItemPane[] = {
    {IDC_REGIST_ITEMGROUP, 10, 10, 20, 40, kRight | kBottom},
    {IDC_REGIST_NAMELABEL, 20, 35, 95, 55, kNone},
    {IDC_REGIST_NAME, 98, 30, 40, 50, kRight},
    {IDC_REGIST_FORMNAMELABEL, 20, 60, 95, 80, kNone},
    {IDC_REGIST_FORMNAME, 98, 60, 40, 80, kRight},
    {IDC_REGIST_BROWSER, 20, 80, 40, 134, kRight | kBottom},
    {IDC_REGIST_CLEAR, 130, 127, 40, 102, kAll},
    {IDC_REGIST_AUTOINPUT, 20, 129, 135, 99, kTop | kRight | kBottom},
    {IDC_REGIST_AUTOSEND, 20, 97, 30, 79, kTop | kRight | kBottom},
    {IDC_REGIST_HIDEPWD, 20, 40, 275, 20, kTop | kBottom},
    {IDC_REGIST_CHANGEFLG, 20, 77, 30, 46, kTop | kRight | kBottom},
};

RECT Place(DpiScale& scale, const Row& row, int paneLeft, int paneRight, int clientBottom) {
    auto x = [&](int value, unsigned anchor) {
        const int scaled = scale.ScaleX(value);
        return (row.anchors & anchor) ? paneRight - scaled : paneLeft + scaled;
    };
    auto y = [&](int value, unsigned anchor) {
        const int scaled = scale.ScaleY(value);
        return (row.anchors & anchor) ? clientBottom - scaled : scaled;
    };
    return RECT{x(row.left, kLeft), y(row.top, kTop), x(row.right, kRight), y(row.bottom, kBottom)};
}

} // namespace

SIZE RegistDialogSize(DpiScale& scale) {
    return SIZE{scale.ScaleX(kDialogWidth), scale.ScaleY(kDialogHeight)};
}

std::vector<RegistPlacement> RegistLayout(DpiScale& scale, const RECT& client, bool expanded) {
    std::vector<RegistPlacement> places;
    const int middle = expanded ? (client.right - client.left) / 2 : client.right;
    for (const Row& row : kItemPane) {
        if (expanded) {
            places.push_back({row.id, Place(scale, row, middle, client.right, client.bottom),
                              row.id != IDC_REGIST_HIDEPWD});
        } else if (row.id == IDC_REGIST_BROWSER) {
            places.push_back({row.id, RECT{0, 0, 0, 0}, true});
        } else {
            places.push_back({row.id, RECT{}, false});
        }
    }
    for (const Row& row : kPagePane)
        places.push_back({row.id, Place(scale, row, 0, middle, client.bottom), true});
    return places;
}
