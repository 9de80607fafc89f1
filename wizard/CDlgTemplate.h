#pragma once

#include <cstddef>

/// Command numbers shared by the dialogs.
enum : int
{
    IDOK = 1,
    IDCANCEL = 2,
    ID_WIZBACK = 12323,
    ID_WIZNEXT = 12324,
    ID_WIZFINISH = 12325,
};

/// Kinds of control a dialog template holds.
enum class EDlgItemKind
{
    EtchedFrame,   ///< a sunken outline, used as the wizard's page placeholder
    Button,        ///< push button
    DefaultButton, ///< push button that Enter presses
    Edit,          ///< one-line text box with a border, scrolling horizontally
    OutputEdit,    ///< several lines, vertical scroll bar, scrolls by itself, read only
    Label,
    DropList, ///< drop-down list without a text box; the height is that of the open list
    CheckBox, ///< checks and unchecks itself when clicked
    GroupBox,
    Picture, ///< the side picture; pszText names the bitmap
};

/// One control; positions and sizes in dialog units, as the tables give them.
struct SDlgItem
{
    int nID; ///< 0 for a control nothing refers to
    EDlgItemKind eKind;
    const char* pszText;
    int x, y, cx, cy;
};

/// One dialog: its own texts and its controls in tab order.
struct SDlgTemplate
{
    int nDialogID;
    const char* pszCaption;
    int cx, cy;        ///< dialog units
    bool bChild;       ///< a page: a child window, created hidden and disabled
    int nBannerHeight; ///< dialog units above the controls for a drawn banner; 0 for none
    const SDlgItem* pItems;
    size_t nItems;

    const SDlgItem* FindItem(int nID) const;
};

/// The template of dialog nDialogID (25000, 25002, 25003, 25004); null for another number.
const SDlgTemplate* FindDlgTemplate(int nDialogID);
