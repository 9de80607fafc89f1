#include "CDlgTemplate.h"

#include <iterator>

namespace
{
using K = EDlgItemKind;

const SDlgItem kFilesPage[] = {
    {25000, K::Edit, "", 104, 19, 144, 14},
    {25001, K::Button, "Browse...", 252, 19, 42, 15},
    {25002, K::Edit, "", 104, 55, 144, 14},
    {25003, K::Button, "Browse...", 252, 54, 42, 15},
    {25007, K::Label, "Select Web Help output folder:", 104, 41, 146, 11},
    {25006, K::Label, "Select an HTML Help (CHM) file:", 104, 7, 162, 9},
    {25008, K::DropList, "", 104, 87, 190, 91},
    {25009, K::Label, "Select Charset:", 104, 73, 108, 11},
    {25011, K::Label, "Select Template:", 104, 103, 100, 11},
    {25010, K::DropList, "", 104, 117, 190, 78},
    {0, K::Picture, "25001", 0, 0, 92, 168},
    {25042, K::Label, "Enter Web Help Title:", 104, 134, 132, 11},
    {25041, K::Edit, "", 104, 146, 190, 14},
};

const SDlgItem kButtonsPage[] = {
    {0, K::Picture, "25001", 0, 0, 92, 170},
    {25016, K::CheckBox, "Index", 105, 13, 48, 11},
    {25017, K::CheckBox, "Search", 163, 13, 48, 11},
    {25018, K::CheckBox, "Print", 105, 26, 48, 11},
    {25019, K::CheckBox, "Prev", 163, 26, 48, 11},
    {25020, K::CheckBox, "Home", 217, 13, 48, 11},
    {25021, K::Edit, "", 144, 148, 143, 13},
    {25022, K::Edit, "", 140, 54, 48, 12},
    {25023, K::Edit, "", 238, 55, 48, 12},
    {25024, K::Edit, "", 140, 71, 48, 12},
    {25025, K::Edit, "", 132, 101, 61, 15},
    {25026, K::Edit, "", 228, 101, 61, 15},
    {25040, K::Label, "Home", 200, 122, 27, 10},
    {25027, K::Edit, "", 228, 119, 61, 15},
    {25028, K::GroupBox, "Show Buttons", 98, 3, 195, 38},
    {25029, K::Label, "Contents", 102, 56, 34, 10},
    {25030, K::Edit, "", 132, 119, 61, 15},
    {25031, K::CheckBox, "Next", 217, 26, 48, 11},
    {25032, K::Label, "Index", 201, 56, 34, 10},
    {25033, K::Label, "Search", 102, 71, 34, 10},
    {25037, K::Label, "Print", 102, 104, 29, 10},
    {25034, K::Label, "Home URL", 102, 149, 38, 13},
    {25035, K::GroupBox, "Button Captions", 98, 44, 195, 43},
    {25036, K::GroupBox, "Button Tips", 98, 91, 195, 48},
    {25039, K::Label, "Prev", 200, 104, 27, 10},
    {25038, K::Label, "Next", 102, 122, 29, 10},
};

const SDlgItem kWizard[] = {
    {25015, K::EtchedFrame, "", 0, 0, 306, 172},    {12323, K::Button, "< Back", 62, 178, 45, 14},
    {12324, K::Button, "Next >", 111, 178, 45, 14}, {2, K::Button, "Cancel", 160, 178, 45, 14},
    {12325, K::Button, "Finish", 209, 178, 45, 14}, {25048, K::Button, "Help", 258, 178, 45, 14},
};

const SDlgItem kProgress[] = {
    {25046, K::GroupBox, "Compile Progress", 7, 4, 217, 121},
    {25043, K::OutputEdit, "", 13, 16, 203, 104},
    {25045, K::Button, "View Result", 7, 133, 70, 14},
    {25044, K::Button, "View in Browser", 81, 133, 70, 14},
    {25047, K::DefaultButton, "Close", 155, 133, 69, 14},
};

// The progress window's caption is the product's name until the string table replaces it.
const SDlgTemplate kTemplates[] = {
    {25000, "", 296, 170, true, 0, kFilesPage, std::size(kFilesPage)},
    {25002, "Wizard", 306, 199, false, 0, kWizard, std::size(kWizard)},
    {25003, "", 296, 170, true, 0, kButtonsPage, std::size(kButtonsPage)},
    {25004, "WebHelp", 231, 154, false, 30, kProgress, std::size(kProgress)},
};
} // namespace

const SDlgItem* SDlgTemplate::FindItem(int nID) const
{
    for (size_t i = 0; i < nItems; ++i)
    {
        if (pItems[i].nID == nID && nID != 0)
            return &pItems[i];
    }
    return nullptr;
}

const SDlgTemplate* FindDlgTemplate(int nDialogID)
{
    for (const SDlgTemplate& t : kTemplates)
    {
        if (t.nDialogID == nDialogID)
            return &t;
    }
    return nullptr;
}
